#pragma once
// Typed automation values, with the same type tags as OLE Automation's VARIANT.

#include <cstdint>
#include <memory>
#include <string>

namespace automation {

class Dispatch;
// An owned reference on an automation object; copying adds a reference. Empty = no object.
using DispatchPtr = std::shared_ptr<Dispatch>;

enum class VarType : std::uint16_t {
  Empty = 0,
  Null = 1,
  I2 = 2,
  I4 = 3,
  R4 = 4,
  R8 = 5,
  Currency = 6,
  Date = 7,
  String = 8,
  Object = 9,
  Error = 10,
  Bool = 11,
  UI1 = 17,
};

// Error code of an omitted optional parameter (DISP_E_PARAMNOTFOUND).
inline constexpr std::uint32_t kParamNotFound = 0x80020004u;

struct Variant {
  VarType type = VarType::Empty;
  bool byRef = false;        // passed by reference (the callee sees the caller's value)
  std::int64_t integer = 0;  // I2, I4, UI1, Bool (-1 true, 0 false), Error (code), Currency
                             // (the value times 10,000, as the platform keeps it)
  double real = 0;           // R4, R8, Date (days since 30 December 1899, fraction = time)
  std::wstring text;         // String
  DispatchPtr object;        // Object; may be empty

  static Variant Empty() { return {}; }
  static Variant Null() { return Variant{.type = VarType::Null}; }
  static Variant I2(std::int16_t v) { return Variant{.type = VarType::I2, .integer = v}; }
  static Variant I4(std::int32_t v) { return Variant{.type = VarType::I4, .integer = v}; }
  static Variant UI1(std::uint8_t v) { return Variant{.type = VarType::UI1, .integer = v}; }
  static Variant R4(float v) { return Variant{.type = VarType::R4, .real = v}; }
  static Variant R8(double v) { return Variant{.type = VarType::R8, .real = v}; }
  static Variant CurrencyUnits(std::int64_t tenThousandths) {
    return Variant{.type = VarType::Currency, .integer = tenThousandths};
  }
  static Variant Date(double oleDate) { return Variant{.type = VarType::Date, .real = oleDate}; }
  static Variant String(std::wstring v) {
    return Variant{.type = VarType::String, .text = std::move(v)};
  }
  static Variant Bool(bool v) { return Variant{.type = VarType::Bool, .integer = v ? -1 : 0}; }
  static Variant ErrorCode(std::uint32_t code) {
    return Variant{.type = VarType::Error, .integer = code};
  }
  static Variant Object(DispatchPtr v) {
    return Variant{.type = VarType::Object, .object = std::move(v)};
  }
  Variant ByRef() const {
    Variant v = *this;
    v.byRef = true;
    return v;
  }

  bool IsOmitted() const { return type == VarType::Error && integer == kParamNotFound; }
};

}  // namespace automation
