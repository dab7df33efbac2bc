#include "util/work_folder.h"

#include <atomic>
#include <filesystem>
#include <system_error>

#include "platform/text.h"
#include "util/paths.h"
#include "util/program_folders.h"

namespace util {

namespace fs = std::filesystem;

namespace {
std::atomic<int> workFileCounter{0};
}

void ClearWorkFolder() {
  DeleteDirectoryTree(WorkFolder());
}

std::wstring NextWorkFileName() {
  return std::to_wstring(workFileCounter.fetch_add(1));
}

std::wstring CopyToWorkFolder(std::wstring_view source) {
  std::wstring folder = WorkFolder();
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
