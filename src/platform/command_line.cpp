#include "platform/command_line.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

#include "platform/text.h"

namespace platform {

std::vector<std::wstring> CommandLineArguments(int argc, char** argv) {
  std::vector<std::wstring> arguments;
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count); wide != nullptr) {
    for (int i = 1; i < count; ++i)
      arguments.emplace_back(wide[i]);
    LocalFree(wide);
  }
#else
  for (int i = 1; i < argc; ++i)
    arguments.push_back(FromUtf8(argv[i]));
#endif
  return arguments;
}

void PrepareConsole() {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
  HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(errors, &mode))
    SetConsoleMode(errors, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
#endif
}

}  // namespace platform
