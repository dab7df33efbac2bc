#include "planning/output_naming.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "util/names.h"
#include "util/paths.h"
#include "util/program_folders.h"

namespace planning {

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kMaxPathLength = 255;
constexpr wchar_t kTooLong[] = L"Total path and file name length must not exceed 255 characters.";
constexpr wchar_t kInUse[] = L"   Result file can not be saved. Destintion file may be in use.";
}  // namespace

std::wstring ExportFolder() {
  std::wstring folder = settings::CIni::ReadExportPath();
  return folder.empty() ? util::ProgramFolder() : folder;
}

std::wstring OutputFolder(std::wstring_view folderName) {
  return ExportFolder() + std::wstring(folderName);
}

bool ClearOutputFolder(std::wstring_view folderName) {
  if (folderName.empty() || folderName == L"." || folderName == L".." ||
      std::any_of(folderName.begin(), folderName.end(), platform::IsSeparator)) {
    return false;
  }
  util::DeleteDirectoryTree(OutputFolder(folderName));
  return true;
}

std::wstring CleanChapterTitle(std::wstring_view title) {
  std::wstring shortened(title);
  if (shortened.size() > 50)
    shortened = shortened.substr(0, 47) + L"...";
  return util::MakeFileNameSafe(shortened);
}

std::wstring MakeResultPath(std::wstring_view folderName, std::wstring_view extension,
                            const PageRange& range, std::int32_t k, bool chapterPlan) {
  const std::wstring mode = settings::CIni::ReadExportMode();
  std::wstring piece;
  if (mode == L"1") {
    piece = chapterPlan ? L"[" + CleanChapterTitle(range.beginText) + L"]-[" +
                              CleanChapterTitle(range.endText) + L"]"
                        : L"[" + std::to_wstring(range.firstPage) + L"]-[" +
                              std::to_wstring(range.lastPage) + L"]";
  } else if (mode == L"2") {
    piece = std::to_wstring(k);
  } else {
    return ExportFolder();
  }
  std::wstring path =
      OutputFolder(folderName) + platform::kPathSeparator + piece + std::wstring(extension);
  if (chapterPlan)
    std::erase_if(path, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
  return path;
}

std::optional<PrepareFailure> PrepareResultFile(std::wstring_view name, std::wstring_view path,
                                                bool chapterPlan) {
  if (path.size() > kMaxPathLength) {
    return PrepareFailure{PrepareFailure::Kind::TooLong, L"'" + std::wstring(name) + L"' " +
                                                             (chapterPlan ? L" " : L"") + kTooLong};
  }
  util::CreateDirectoryChain(path);
  if (path.empty())
    return std::nullopt;
  fs::path file = platform::ToPath(path);
  std::error_code error;
  auto status = fs::symlink_status(file, error);
  if (error || !fs::exists(status))
    return std::nullopt;
  // Only a file is deleted; a folder standing under the name is never emptied.
  if (fs::is_directory(status) || !fs::remove(file, error) || error) {
    return PrepareFailure{PrepareFailure::Kind::InUse, std::wstring(name) + kInUse};
  }
  return std::nullopt;
}

}  // namespace planning
