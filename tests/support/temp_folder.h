#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

// A fresh folder for one test, removed with everything in it at the end. Its path holds a
// space and Chinese letters, so every test that uses it also checks such paths.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path with a trailing separator, as the program writes folders.
  std::wstring Path() const;
  // The path of a name inside the folder.
  std::wstring operator/(std::wstring_view name) const;
  const std::filesystem::path& Native() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A path written with "/" in the platform's own separators (the program writes paths so).
std::wstring Native(std::wstring_view path);

// Writes bytes to a file, making its folders.
void WriteFile(std::wstring_view path, std::string_view bytes);
std::string ReadFile(std::wstring_view path);
bool Exists(std::wstring_view path);

// Makes the program folder (config.ini, work folder) a test's own folder for its lifetime.
class ProgramFolderScope {
 public:
  explicit ProgramFolderScope(const TempFolder& folder);
  ~ProgramFolderScope();
  ProgramFolderScope(const ProgramFolderScope&) = delete;
  ProgramFolderScope& operator=(const ProgramFolderScope&) = delete;
};

}  // namespace testsupport
