#pragma once
// The command line of varnik-cli.

#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class Command { Help, Version, Info, Chapters, Pages, Split };

struct Options {
  Command command = Command::Help;
  std::vector<std::wstring> paths;
  // split: exactly one of these
  std::optional<std::wstring> every;         // --every N (as edtEvery would hold it)
  std::optional<std::wstring> pages;         // --pages LIST (as edtBaseManu would hold it)
  std::optional<std::vector<int>> chapters;  // --chapters 3,5
  std::optional<std::wstring> align;         // ALIGN value "0".."3"
  std::optional<std::wstring> naming;        // EM value "1" or "2"
  std::optional<std::wstring> exportFolder;
};

// Reads the arguments (without the program name). Throws UsageError for anything wrong.
Options ParseOptions(const std::vector<std::wstring>& arguments);

struct UsageError {
  std::wstring message;
};

extern const char kUsage[];

}  // namespace cli
