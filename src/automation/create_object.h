#pragma once
// Making an automation server from its programmatic identifier ("Word.Application").

#include <functional>
#include <string_view>

#include "automation/variant.h"

namespace automation {

// Makes a server for an identifier, or throws CallFailure.
using ObjectFactory = std::function<DispatchPtr(std::wstring_view progId)>;

// Makes the server registered for the identifier. Without a registration: COM on Windows;
// elsewhere CallFailure(codes::kInvalidClassString), as when no such server is installed.
DispatchPtr CreateObject(std::wstring_view progId);

// Registers the factory for one identifier for the whole process (the built-in document server
// for "Word.Application", or a test server). An empty factory removes the registration.
void RegisterObjectFactory(std::wstring_view progId, ObjectFactory factory);

// A registration for the lifetime of a scope (tests); the earlier one comes back after it.
class ScopedObjectFactory {
 public:
  ScopedObjectFactory(std::wstring_view progId, ObjectFactory factory);
  ~ScopedObjectFactory();
  ScopedObjectFactory(const ScopedObjectFactory&) = delete;
  ScopedObjectFactory& operator=(const ScopedObjectFactory&) = delete;

 private:
  std::wstring progId_;
  ObjectFactory previous_;
};

}  // namespace automation
