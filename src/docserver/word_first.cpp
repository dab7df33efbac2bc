#include "docserver/word_first.h"

#include "automation/create_object.h"
#include "automation/errors.h"
#include "docserver/server.h"

#ifdef _WIN32
#include "automation/com/create_com_object.h"
#endif

namespace docserver {

namespace {

constexpr wchar_t kBuiltIn[] = L"built-in document server";

}  // namespace

void RegisterWordFirst() {
#ifdef _WIN32
  automation::RegisterObjectFactory(L"Word.Application", [](std::wstring_view progId) {
    try {
      return automation::CreateComObject(progId);
    } catch (const automation::CallFailure&) {
      return CreateApplication();
    }
  });
#else
  RegisterBuiltInServer();
#endif
}

std::wstring EngineName() {
#ifdef _WIN32
  if (automation::IsComServerRegistered(L"Word.Application"))
    return L"Microsoft Word (COM)";
#endif
  return kBuiltIn;
}

}  // namespace docserver
