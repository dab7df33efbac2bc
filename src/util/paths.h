#pragma once
// Paths and folders. Both "\" and "/" are accepted as separators in the texts these take; the
// texts they make use the platform's separator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace util {

// The executable's folder with a trailing separator; empty if its path has no separator.
std::wstring GetModuleDirectory();

struct PathParts {
  std::wstring drive;  // "C:" on Windows, empty elsewhere
  std::wstring dir;    // folder with its trailing separator
  std::wstring name;   // file name without extension
  std::wstring ext;    // extension with its dot, as written
};
PathParts SplitPath(std::wstring_view path);

// Creates every missing folder along a file's path (the text after the last separator is a
// file name and is not created). 0 for an empty path, else 1; single failures are ignored.
int CreateDirectoryChain(std::wstring_view path);

// Deletes the files and subfolders of a folder, then the folder. Symbolic links are removed,
// never followed. 0 for an empty path or a folder that cannot be listed, else 1.
int DeleteDirectoryTree(std::wstring_view folder);

// What tells whether a file changed: its size and last-write time.
struct FileStamp {
  std::uintmax_t size = 0;
  std::int64_t writeTime = 0;  // file-clock ticks

  bool operator==(const FileStamp&) const = default;
};
// Nothing when the file cannot be found or read.
std::optional<FileStamp> ReadFileStamp(std::wstring_view path);

// Joins a folder and a name with exactly one separator between them.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// The folder with exactly one trailing separator (a root stays a root).
std::wstring WithTrailingSeparator(std::wstring_view folder);

}  // namespace util
