#include "automation/errors.h"

#include <cstdio>

namespace automation {

#ifndef _WIN32
std::wstring SystemMessage(std::uint32_t code) {
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
#endif

}  // namespace automation
