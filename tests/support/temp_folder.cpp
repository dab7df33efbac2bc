#include "support/temp_folder.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/files.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "util/paths.h"
#include "util/program_folders.h"

namespace testsupport {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  std::random_device random;
  path_ =
      fs::temp_directory_path() / platform::ToPath(L"varnik test " + std::to_wstring(random()) +
                                                   L"-" + std::to_wstring(counter++) + L" 文档");
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::wstring TempFolder::Path() const {
  return util::WithTrailingSeparator(platform::FromPath(path_));
}

std::wstring TempFolder::operator/(std::wstring_view name) const {
  return Path() + std::wstring(name);
}

std::wstring Native(std::wstring_view path) {
  std::wstring native(path);
  for (wchar_t& c : native) {
    if (c == L'/')
      c = platform::kPathSeparator;
  }
  return native;
}

void WriteFile(std::wstring_view path, std::string_view bytes) {
  fs::path file = platform::ToPath(path);
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(std::wstring_view path) {
  std::ifstream in(platform::ToPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(std::wstring_view path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(platform::ToPath(path), error));
}

ProgramFolderScope::ProgramFolderScope(const TempFolder& folder) {
  util::SetProgramFolder(folder.Path());
  settings::SetSettingsPath(util::SettingsFilePath());
}

ProgramFolderScope::~ProgramFolderScope() {
  util::SetProgramFolder(L"");
  settings::SetSettingsPath(L"");
}

}  // namespace testsupport
