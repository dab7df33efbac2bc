#include "util/program_folders.h"

#include <cstdlib>
#include <mutex>

#include "platform/files.h"
#include "platform/text.h"
#include "util/paths.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace util {

namespace {

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::wstring& Override() {
  static std::wstring folder;
  return folder;
}

std::wstring& WorkOverride() {
  static std::wstring folder;
  return folder;
}

bool IsWritable(const std::wstring& folder) {
#ifdef _WIN32
  (void)folder;
  return true;
#else
  return !folder.empty() && ::access(platform::ToUtf8(folder).c_str(), W_OK) == 0;
#endif
}

std::wstring UserFolder(const char* variable, const char* fallbackBelowHome) {
  if (const char* value = std::getenv(variable); value != nullptr && *value == '/') {
    return JoinPath(platform::FromUtf8(value), L"varnik");
  }
  const char* home = std::getenv("HOME");
  std::wstring base = platform::FromUtf8(home != nullptr ? home : "/tmp");
  return JoinPath(JoinPath(base, platform::FromUtf8(fallbackBelowHome)), L"varnik");
}

enum class Use { kProgram, kSettings, kWork };

std::wstring FolderFor(Use use) {
  {
    std::lock_guard guard(Lock());
    if (!Override().empty())
      return WithTrailingSeparator(Override());
  }
  std::wstring module = GetModuleDirectory();
  if (IsWritable(module))
    return module;
  switch (use) {
    case Use::kSettings:
      return WithTrailingSeparator(UserFolder("XDG_CONFIG_HOME", ".config"));
    case Use::kWork:
      return WithTrailingSeparator(UserFolder("XDG_CACHE_HOME", ".cache"));
    case Use::kProgram:
      break;
  }
  const char* home = std::getenv("HOME");
  return WithTrailingSeparator(platform::FromUtf8(home != nullptr ? home : "/tmp"));
}

}  // namespace

std::wstring ProgramFolder() {
  return FolderFor(Use::kProgram);
}

std::wstring SettingsFilePath() {
  std::wstring folder = FolderFor(Use::kSettings);
  CreateDirectoryChain(folder);
  return folder + L"config.ini";
}

std::wstring WorkFolderRoot() {
  return FolderFor(Use::kWork) + L"t" + platform::kPathSeparator;
}

std::wstring ChosenWorkFolder() {
  std::lock_guard guard(Lock());
  return WorkOverride().empty() ? std::wstring() : WithTrailingSeparator(WorkOverride());
}

void SetWorkFolder(std::wstring_view folder) {
  std::lock_guard guard(Lock());
  WorkOverride() = std::wstring(folder);
}

void SetProgramFolder(std::wstring_view folder) {
  std::lock_guard guard(Lock());
  Override() = std::wstring(folder);
}

}  // namespace util
