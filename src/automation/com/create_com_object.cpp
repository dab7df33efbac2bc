#include "automation/com/create_com_object.h"

#include <objbase.h>

#include <string>

#include "automation/com/com_dispatch.h"
#include "automation/errors.h"

namespace automation {

DispatchPtr CreateComObject(std::wstring_view progId) {
  CLSID classId{};
  HRESULT hr = CLSIDFromProgID(std::wstring(progId).c_str(), &classId);
  if (FAILED(hr))
    throw CallFailure(static_cast<std::uint32_t>(hr));
  IDispatch* object = nullptr;
  hr = CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                        reinterpret_cast<void**>(&object));
  if (FAILED(hr))
    throw CallFailure(static_cast<std::uint32_t>(hr));
  return std::make_shared<com::ComDispatch>(object);
}

bool IsComServerRegistered(std::wstring_view progId) {
  // Also asked from threads that never entered an apartment (the version text).
  HRESULT entered = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  CLSID classId{};
  bool registered = SUCCEEDED(CLSIDFromProgID(std::wstring(progId).c_str(), &classId));
  if (SUCCEEDED(entered))
    CoUninitialize();
  return registered;
}

}  // namespace automation
