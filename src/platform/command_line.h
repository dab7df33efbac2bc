#pragma once
// The program's arguments and console as wide text.

#include <string>
#include <vector>

namespace platform {

// The arguments after the program's name. On Windows they come from the wide command line,
// since argv holds them in the ANSI code page, where Chinese names turn into "?"; elsewhere
// argv is UTF-8.
std::vector<std::wstring> CommandLineArguments(int argc, char** argv);

// Makes a Windows console show the UTF-8 the program writes and the terminal sequences of the
// progress line; nothing elsewhere.
void PrepareConsole();

}  // namespace platform
