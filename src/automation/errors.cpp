#include "automation/errors.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace automation {

namespace {

// The texts Windows gives for the codes our servers use.
std::wstring KnownMessage(std::uint32_t code) {
  switch (code) {
    case codes::kFail:
      return L"Unspecified error\r\n";
    case codes::kMemberNotFound:
      return L"Member not found.\r\n";
    case codes::kTypeMismatch:
      return L"Type mismatch.\r\n";
    case codes::kBadParamCount:
      return L"Invalid number of parameters.\r\n";
    case codes::kBadIndex:
      return L"Invalid index.\r\n";
    case codes::kException:
      return L"Exception occurred.\r\n";
    case codes::kInvalidClassString:
      return L"Invalid class string\r\n";
    case codes::kServerDied:
      return L"The object invoked has disconnected from its clients.\r\n";
    default: {
      wchar_t text[64];
      std::swprintf(text, 64, L"Error 0x%08X\r\n", static_cast<unsigned>(code));
      return text;
    }
  }
}

#ifdef _WIN32
std::wstring FormatSystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length != 0 && text != nullptr ? std::wstring(text, length) : L"";
  LocalFree(text);
  return message;
}
#endif

}  // namespace

std::wstring SystemMessage(std::uint32_t code) {
#ifdef _WIN32
  std::wstring message = FormatSystemMessage(code);
  // Failures of system calls wrapped as HRESULTs are listed under their plain number.
  if (message.empty() && HRESULT_FACILITY(code) == FACILITY_WIN32)
    message = FormatSystemMessage(HRESULT_CODE(code));
  if (!message.empty())
    return message;
#endif
  return KnownMessage(code);
}

}  // namespace automation
