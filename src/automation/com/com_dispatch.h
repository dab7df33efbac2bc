#pragma once
// The automation interface over a COM object's IDispatch (Windows only).

#include <oaidl.h>

#include "automation/dispatch.h"

namespace automation::com {

// Calls members with IDispatch::Invoke. Owns one reference on the object and releases it when
// destroyed; use and destroy it on the thread (apartment) that got it.
class ComDispatch final : public Dispatch {
 public:
  // Takes over one reference the caller holds.
  explicit ComDispatch(IDispatch* object) : object_(object) {}
  ~ComDispatch() override;
  ComDispatch(const ComDispatch&) = delete;
  ComDispatch& operator=(const ComDispatch&) = delete;

  Variant Invoke(std::int32_t dispid, InvokeKind kind, std::span<const Variant> args) override;

  IDispatch* Get() const { return object_; }

 private:
  IDispatch* object_;
};

// A handle on an object, with a reference of its own; a null object gives an empty handle.
DispatchPtr Wrap(IDispatch* object);

// A value as an automation VARIANT, by value (the by-reference flag is the caller's to
// apply). Objects must be COM objects. Throws CallFailure; out is left empty then.
void ToVariant(const Variant& value, VARIANT* out);

// A VARIANT (by value or by reference) as a value; objects come back as handles with their
// own reference. Throws CallFailure(type mismatch) for shapes we have no value type for.
Variant FromVariant(const VARIANT& value);

// Throws the failure for an HRESULT from Invoke: ServerException for DISP_E_EXCEPTION (with
// the server's description), CallFailure otherwise. Frees the texts in the exception info.
[[noreturn]] void ThrowFailure(HRESULT result, EXCEPINFO* exception);

}  // namespace automation::com
