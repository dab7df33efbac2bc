#include "automation/com/com_dispatch.h"

#include <oleauto.h>

#include <string>
#include <vector>

#include "automation/errors.h"

namespace automation::com {

namespace {

std::uint32_t Code(HRESULT result) {
  return static_cast<std::uint32_t>(result);
}

// One call's arguments in the order IDispatch wants them (last first). By-reference values
// point into storage held here; omitted arguments always go by value, since servers only
// recognise a by-value DISP_E_PARAMNOTFOUND as "not given".
class Arguments {
 public:
  explicit Arguments(std::span<const Variant> args) {
    args_.resize(args.size());
    referenced_.resize(args.size());  // never grows again: arguments point into it
    for (VARIANT& v : args_)
      VariantInit(&v);
    for (VARIANT& v : referenced_)
      VariantInit(&v);
    try {
      for (std::size_t i = 0; i < args.size(); ++i) {
        const Variant& value = args[i];
        VARIANT& slot = args_[args.size() - 1 - i];
        if (value.byRef && !value.IsOmitted()) {
          VARIANT& stored = referenced_[i];
          ToVariant(value, &stored);
          if (V_VT(&stored) == VT_EMPTY || V_VT(&stored) == VT_NULL) {
            // No typed reference exists for these: refer to the whole value instead.
            V_VT(&slot) = VT_VARIANT | VT_BYREF;
            V_VARIANTREF(&slot) = &stored;
          } else {
            V_VT(&slot) = static_cast<VARTYPE>(V_VT(&stored) | VT_BYREF);
            V_BYREF(&slot) = &V_I8(&stored);  // every scalar member starts here
          }
        } else {
          ToVariant(value, &slot);
        }
      }
    } catch (...) {
      Clear();
      throw;
    }
  }
  ~Arguments() { Clear(); }
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;

  VARIANTARG* Data() { return args_.empty() ? nullptr : args_.data(); }
  UINT Count() const { return static_cast<UINT>(args_.size()); }

 private:
  void Clear() {
    for (VARIANT& v : args_) {
      if ((V_VT(&v) & VT_BYREF) == 0)
        VariantClear(&v);
    }
    for (VARIANT& v : referenced_)
      VariantClear(&v);
  }

  std::vector<VARIANTARG> args_;
  std::vector<VARIANT> referenced_;
};

class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&value_); }
  ~ScopedVariant() { VariantClear(&value_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT* operator&() { return &value_; }
  const VARIANT& Get() const { return value_; }

 private:
  VARIANT value_;
};

std::wstring TakeText(BSTR& text) {
  std::wstring out;
  if (text != nullptr) {
    out.assign(text, SysStringLen(text));
    SysFreeString(text);
    text = nullptr;
  }
  return out;
}

}  // namespace

ComDispatch::~ComDispatch() {
  if (object_ != nullptr)
    object_->Release();
}

Variant ComDispatch::Invoke(std::int32_t dispid, InvokeKind kind, std::span<const Variant> args) {
  if (object_ == nullptr)
    throw CallFailure(Code(E_POINTER));
  Arguments packed(args);
  DISPID putName = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = packed.Data();
  params.cArgs = packed.Count();
  if (kind == InvokeKind::PropertyPut) {
    // The new value of a put is the named argument DISPID_PROPERTYPUT.
    params.rgdispidNamedArgs = &putName;
    params.cNamedArgs = 1;
  }
  ScopedVariant result;
  EXCEPINFO exception{};
  UINT badArgument = 0;
  HRESULT hr = object_->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(kind),
                               &params, kind == InvokeKind::PropertyPut ? nullptr : &result,
                               &exception, &badArgument);
  if (FAILED(hr))
    ThrowFailure(hr, &exception);
  return FromVariant(result.Get());
}

DispatchPtr Wrap(IDispatch* object) {
  if (object == nullptr)
    return nullptr;
  object->AddRef();
  return std::make_shared<ComDispatch>(object);
}

void ToVariant(const Variant& value, VARIANT* out) {
  VariantInit(out);
  switch (value.type) {
    case VarType::Empty:
      break;
    case VarType::Null:
      V_VT(out) = VT_NULL;
      break;
    case VarType::I2:
      V_VT(out) = VT_I2;
      V_I2(out) = static_cast<SHORT>(value.integer);
      break;
    case VarType::I4:
      V_VT(out) = VT_I4;
      V_I4(out) = static_cast<LONG>(value.integer);
      break;
    case VarType::UI1:
      V_VT(out) = VT_UI1;
      V_UI1(out) = static_cast<BYTE>(value.integer);
      break;
    case VarType::R4:
      V_VT(out) = VT_R4;
      V_R4(out) = static_cast<FLOAT>(value.real);
      break;
    case VarType::R8:
      V_VT(out) = VT_R8;
      V_R8(out) = value.real;
      break;
    case VarType::Currency:
      V_VT(out) = VT_CY;
      V_CY(out).int64 = value.integer;
      break;
    case VarType::Date:
      V_VT(out) = VT_DATE;
      V_DATE(out) = value.real;
      break;
    case VarType::String: {
      // Exact length: a text may hold NUL characters.
      BSTR text = SysAllocStringLen(value.text.data(), static_cast<UINT>(value.text.size()));
      if (text == nullptr)
        throw CallFailure(Code(E_OUTOFMEMORY));
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = text;
      break;
    }
    case VarType::Bool:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = value.integer != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VarType::Error:
      V_VT(out) = VT_ERROR;
      V_ERROR(out) = static_cast<SCODE>(static_cast<std::uint32_t>(value.integer));
      break;
    case VarType::Object: {
      IDispatch* object = nullptr;
      if (value.object) {
        auto* com = dynamic_cast<ComDispatch*>(value.object.get());
        if (com == nullptr)  // only a COM object can be handed to a COM server
          throw CallFailure(Code(DISP_E_TYPEMISMATCH));
        object = com->Get();
        object->AddRef();
      }
      V_VT(out) = VT_DISPATCH;
      V_DISPATCH(out) = object;
      break;
    }
    default:
      throw CallFailure(Code(DISP_E_BADVARTYPE));
  }
}

Variant FromVariant(const VARIANT& value) {
  ScopedVariant plain;
  // The API takes its sources as non-const; it does not change them.
  HRESULT hr = VariantCopyInd(&plain, const_cast<VARIANT*>(&value));
  if (FAILED(hr))
    throw CallFailure(Code(hr));
  const VARIANT& v = plain.Get();
  switch (V_VT(&v)) {
    case VT_EMPTY:
      return Variant::Empty();
    case VT_NULL:
      return Variant::Null();
    case VT_I2:
      return Variant::I2(V_I2(&v));
    case VT_I4:
      return Variant::I4(V_I4(&v));
    case VT_UI1:
      return Variant::UI1(V_UI1(&v));
    case VT_R4:
      return Variant::R4(V_R4(&v));
    case VT_R8:
      return Variant::R8(V_R8(&v));
    case VT_CY:
      return Variant::CurrencyUnits(V_CY(&v).int64);
    case VT_DATE:
      return Variant::Date(V_DATE(&v));
    case VT_BSTR: {
      BSTR text = V_BSTR(&v);
      return Variant::String(text == nullptr ? std::wstring()
                                             : std::wstring(text, SysStringLen(text)));
    }
    case VT_BOOL:
      return Variant::Bool(V_BOOL(&v) != VARIANT_FALSE);
    case VT_ERROR:
      return Variant::ErrorCode(static_cast<std::uint32_t>(V_ERROR(&v)));
    case VT_DISPATCH:
      return Variant::Object(Wrap(V_DISPATCH(&v)));
    case VT_UNKNOWN: {
      IUnknown* unknown = V_UNKNOWN(&v);
      if (unknown == nullptr)
        return Variant::Object(nullptr);
      IDispatch* object = nullptr;
      hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object));
      if (FAILED(hr))
        throw CallFailure(Code(DISP_E_TYPEMISMATCH));
      return Variant::Object(DispatchPtr(std::make_shared<ComDispatch>(object)));
    }
    default:
      break;
  }
  // Other integer and decimal shapes: as a 32-bit integer when they fit, else as a double.
  if ((V_VT(&v) & (VT_ARRAY | VT_VECTOR)) == 0) {
    ScopedVariant converted;
    if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&v), 0, VT_I4)))
      return Variant::I4(V_I4(&converted.Get()));
    if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&v), 0, VT_R8)))
      return Variant::R8(V_R8(&converted.Get()));
  }
  throw CallFailure(Code(DISP_E_TYPEMISMATCH));
}

void ThrowFailure(HRESULT result, EXCEPINFO* exception) {
  // Servers may leave the texts to be filled in only when someone asks for them.
  if (result == DISP_E_EXCEPTION && exception->pfnDeferredFillIn != nullptr)
    exception->pfnDeferredFillIn(exception);
  std::wstring description = TakeText(exception->bstrDescription);
  TakeText(exception->bstrSource);
  TakeText(exception->bstrHelpFile);
  if (result != DISP_E_EXCEPTION)
    throw CallFailure(Code(result));
  if (description.empty()) {
    // A server that says nothing: the system's text for its code rather than a blank.
    description = SystemMessage(Code(exception->scode != 0 ? exception->scode : result));
  }
  throw ServerException(std::move(description));
}

}  // namespace automation::com
