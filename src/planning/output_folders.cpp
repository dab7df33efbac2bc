#include "planning/output_folders.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <system_error>

#include "planning/output_naming.h"
#include "platform/files.h"
#include "platform/text.h"
#include "util/paths.h"

namespace planning {

namespace fs = std::filesystem;

namespace {

fs::path Resolved(std::wstring_view path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(platform::ToPath(path), error);
  return error ? fs::absolute(platform::ToPath(path), error).lexically_normal() : resolved;
}

bool Holds(const fs::path& folder, const fs::path& file) {
  fs::path relative = file.lexically_relative(folder);
  return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

bool IsOwnOutputFolder(std::wstring_view folder) {
  std::error_code error;
  fs::path path = platform::ToPath(folder);
  if (!fs::is_directory(fs::symlink_status(path, error)))
    return false;
  return fs::is_regular_file(
      fs::symlink_status(path / platform::ToPath(kOutputFolderMarker), error));
}

OutputFolderState InspectOutputFolder(std::wstring_view folderName) {
  if (folderName.empty() || folderName == L"." || folderName == L".." ||
      std::any_of(folderName.begin(), folderName.end(), platform::IsSeparator)) {
    return OutputFolderState::Refused;
  }
  std::wstring folder = OutputFolder(folderName);
  std::error_code error;
  if (fs::symlink_status(platform::ToPath(folder), error).type() == fs::file_type::not_found)
    return OutputFolderState::Absent;
  return IsOwnOutputFolder(folder) ? OutputFolderState::Ours : OutputFolderState::NotOurs;
}

bool ClaimOutputFolder(std::wstring_view folderName) {
  std::wstring folder = OutputFolder(folderName);
  std::wstring marker = util::JoinPath(folder, kOutputFolderMarker);
  util::CreateDirectoryChain(marker);
  {
    std::ofstream file(platform::ToPath(marker), std::ios::binary | std::ios::app);
    if (!file)
      return false;
  }
  platform::HideFile(marker);
  return IsOwnOutputFolder(folder);
}

bool CaseInsensitiveLess::operator()(const std::wstring& a, const std::wstring& b) const {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) < std::towlower(static_cast<wint_t>(y));
      });
}

OutputFolderChooser::OutputFolderChooser(const std::vector<std::wstring>& keep) {
  for (const auto& path : keep) {
    if (!path.empty())
      keep_.push_back(Resolved(path));
  }
}

std::wstring OutputFolderChooser::Choose(const std::wstring& name) {
  std::wstring folderName = name;
  for (int n = 2; used_.contains(folderName) || !Usable(folderName); ++n)
    folderName = name + L" (" + std::to_wstring(n) + L")";
  used_.insert(folderName);
  return folderName;
}

bool OutputFolderChooser::Usable(const std::wstring& folderName) const {
  switch (InspectOutputFolder(folderName)) {
    case OutputFolderState::Absent:
      return true;
    case OutputFolderState::Ours:
      break;
    case OutputFolderState::Refused:
    case OutputFolderState::NotOurs:
      return false;
  }
  fs::path resolved = Resolved(OutputFolder(folderName));
  return std::none_of(keep_.begin(), keep_.end(),
                      [&](const fs::path& file) { return Holds(resolved, file); });
}

}  // namespace planning
