#include "util/work_folder.h"

#include <atomic>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "util/paths.h"
#include "util/program_folders.h"

namespace util {

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kLockSuffix[] = L".lock";
constexpr std::size_t kLockSuffixLength = std::size(kLockSuffix) - 1;
// Far more copies of the program than anyone runs at once.
constexpr int kMaxIds = 100;

std::atomic<int> workFileCounter{0};

struct Claim {
  std::wstring root;    // the WorkFolderRoot it was made under
  std::wstring folder;  // root + id, with a trailing separator
  std::optional<platform::FileLock> lock;
};

std::mutex& ClaimMutex() {
  static std::mutex mutex;
  return mutex;
}

Claim& Current() {
  static Claim claim;
  return claim;
}

bool EndsWith(const std::wstring& text, std::wstring_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::optional<Claim> ClaimIn(const std::wstring& root) {
  std::error_code error;
  fs::create_directories(platform::ToPath(root), error);
  const std::wstring process = std::to_wstring(platform::CurrentProcessId());
  for (int n = 1; n <= kMaxIds; ++n) {
    const std::wstring id = n == 1 ? process : process + L"-" + std::to_wstring(n);
    if (auto lock = platform::FileLock::TryAcquire(root + id + kLockSuffix)) {
      std::wstring folder = root + id + platform::kPathSeparator;
      // A crashed copy with the same number may have left copies there; their names would
      // collide with this run's.
      DeleteDirectoryTree(folder);
      return Claim{root, std::move(folder), std::move(lock)};
    }
  }
  return std::nullopt;
}

// Removes what copies of the program that are no longer running left under the root: a
// folder whose lock file can be taken, a folder without a lock file (the lock file is made
// before the folder and deleted after it), and loose files of the time when all copies shared
// the root itself.
void RemoveAbandonedFolders(const std::wstring& root) {
  std::error_code error;
  std::vector<fs::directory_entry> entries;
  for (const auto& entry : fs::directory_iterator(platform::ToPath(root), error))
    entries.push_back(entry);
  for (const auto& entry : entries) {
    const std::wstring name = platform::FromPath(entry.path().filename());
    if (entry.is_directory(error)) {
      if (!fs::exists(platform::ToPath(root + name + kLockSuffix), error))
        DeleteDirectoryTree(root + name);
    } else if (EndsWith(name, kLockSuffix)) {
      if (auto lock = platform::FileLock::TryAcquire(root + name)) {
        DeleteDirectoryTree(root + name.substr(0, name.size() - kLockSuffixLength));
        lock->ReleaseAndDelete();
      }
    } else {
      fs::remove(entry.path(), error);
    }
  }
}

}  // namespace

std::wstring WorkFolder() {
  if (std::wstring chosen = ChosenWorkFolder(); !chosen.empty())
    return chosen;
  const std::wstring root = WorkFolderRoot();
  std::lock_guard guard(ClaimMutex());
  Claim& claim = Current();
  if (claim.lock && claim.root == root)
    return claim.folder;
  // A new program folder (tests switch them): the claim under the old one is given up.
  claim = {};
  if (auto fresh = ClaimIn(root))
    claim = std::move(*fresh);
  return claim.lock ? claim.folder : std::wstring();
}

void ClearWorkFolder() {
  if (std::wstring chosen = ChosenWorkFolder(); !chosen.empty()) {
    DeleteDirectoryTree(chosen);
    return;
  }
  {
    std::lock_guard guard(ClaimMutex());
    Claim& claim = Current();
    if (claim.lock) {
      DeleteDirectoryTree(claim.folder);
      claim.lock->ReleaseAndDelete();
    }
    claim = {};
  }
  RemoveAbandonedFolders(WorkFolderRoot());
}

std::wstring NextWorkFileName() {
  return std::to_wstring(workFileCounter.fetch_add(1));
}

std::wstring CopyToWorkFolder(std::wstring_view source) {
  std::wstring folder = WorkFolder();
  if (folder.empty())
    return {};
  std::error_code error;
  fs::path folderPath = platform::ToPath(folder);
  if (!fs::is_directory(folderPath, error)) {
    fs::create_directories(folderPath, error);
    if (!fs::is_directory(folderPath, error))
      return {};
  }
  std::wstring copy = folder + NextWorkFileName();
  fs::copy_file(platform::ToPath(source), platform::ToPath(copy), fs::copy_options::none, error);
  return copy;
}

}  // namespace util
