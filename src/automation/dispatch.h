#pragma once
// An automation object answering members by dispatch identifier (DISPID).

#include <cstdint>
#include <span>

#include "automation/variant.h"

namespace automation {

enum class InvokeKind : std::uint16_t {
  Method = 1,
  PropertyGet = 2,
  MethodOrGet = 3,
  PropertyPut = 4,
};

class Dispatch {
 public:
  virtual ~Dispatch() = default;

  // Calls one member. Arguments come in declaration order (the COM client reverses them); a
  // put has exactly one, the new value. A failure throws ServerException or CallFailure.
  virtual Variant Invoke(std::int32_t dispid, InvokeKind kind, std::span<const Variant> args) = 0;
};

}  // namespace automation
