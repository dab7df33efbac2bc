#include "util/program_folders.h"

#include <mutex>

#include "platform/files.h"
#include "platform/user_folders.h"
#include "util/paths.h"

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

enum class Use { kProgram, kSettings, kWork };

std::wstring FolderFor(Use use) {
  {
    std::lock_guard guard(Lock());
    if (!Override().empty())
      return WithTrailingSeparator(Override());
  }
  std::wstring module = GetModuleDirectory();
  if (platform::IsWritableFolder(module))
    return module;
  switch (use) {
    case Use::kSettings:
      return WithTrailingSeparator(JoinPath(platform::UserSettingsBase(), L"varnik"));
    case Use::kWork:
      return WithTrailingSeparator(JoinPath(platform::UserCacheBase(), L"varnik"));
    case Use::kProgram:
      break;
  }
  return WithTrailingSeparator(platform::HomeFolder());
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
