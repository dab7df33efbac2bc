#include "docserver/server.h"

#include "automation/create_object.h"
#include "docserver/objects.h"

namespace docserver {

automation::DispatchPtr CreateApplication() {
  return MakeApplication();
}

void RegisterBuiltInServer() {
  automation::RegisterObjectFactory(L"Word.Application",
                                    [](std::wstring_view) { return MakeApplication(); });
}

}  // namespace docserver
