#include "automation/create_object.h"

#include <map>
#include <mutex>
#include <string>

#include "automation/errors.h"

#ifdef _WIN32
#include "automation/com/create_com_object.h"
#endif

namespace automation {

namespace {

std::mutex registryLock;

std::map<std::wstring, ObjectFactory, std::less<>>& Registry() {
  static std::map<std::wstring, ObjectFactory, std::less<>> registry;
  return registry;
}

ObjectFactory Find(std::wstring_view progId) {
  std::lock_guard guard(registryLock);
  auto it = Registry().find(progId);
  return it == Registry().end() ? ObjectFactory{} : it->second;
}

ObjectFactory Exchange(std::wstring_view progId, ObjectFactory factory) {
  std::lock_guard guard(registryLock);
  auto& registry = Registry();
  ObjectFactory previous;
  if (auto it = registry.find(progId); it != registry.end()) {
    previous = std::move(it->second);
    registry.erase(it);
  }
  if (factory)
    registry.emplace(std::wstring(progId), std::move(factory));
  return previous;
}

}  // namespace

DispatchPtr CreateObject(std::wstring_view progId) {
  if (ObjectFactory factory = Find(progId))
    return factory(progId);
#ifdef _WIN32
  return CreateComObject(progId);
#else
  throw CallFailure(codes::kInvalidClassString);
#endif
}

void RegisterObjectFactory(std::wstring_view progId, ObjectFactory factory) {
  Exchange(progId, std::move(factory));
}

ScopedObjectFactory::ScopedObjectFactory(std::wstring_view progId, ObjectFactory factory)
    : progId_(progId), previous_(Exchange(progId, std::move(factory))) {}

ScopedObjectFactory::~ScopedObjectFactory() {
  Exchange(progId_, std::move(previous_));
}

}  // namespace automation
