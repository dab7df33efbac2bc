#include "platform/debug_output.h"

#ifdef _WIN32
#include <windows.h>

#include <string>
#else
#include <cstdio>
#include <cstdlib>

#include "platform/text.h"
#endif

namespace platform {

void DebugOutput(std::wstring_view text) {
#ifdef _WIN32
  OutputDebugStringW(std::wstring(text).c_str());
#else
  // Elsewhere standard error belongs to the user's messages; trace only when asked to.
  if (std::getenv("VARNIK_DEBUG_OUTPUT") == nullptr)
    return;
  std::string line = ToUtf8(text);
  if (line.empty() || line.back() != '\n')
    line += '\n';
  std::fputs(line.c_str(), stderr);
#endif
}

}  // namespace platform
