#include "planning/output_naming.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "planning/output_folders.h"
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
  switch (InspectOutputFolder(folderName)) {
    case OutputFolderState::Absent:
      return true;
    case OutputFolderState::Ours:
      util::DeleteDirectoryTree(OutputFolder(folderName));
      return true;
    case OutputFolderState::Refused:
    case OutputFolderState::NotOurs:
      break;
  }
  return false;
}

std::wstring CleanChapterTitle(std::wstring_view title, std::size_t maxLength) {
  std::wstring shortened(title);
  if (shortened.size() > maxLength) {
    std::size_t keep = maxLength > 3 ? maxLength - 3 : 0;
    // Never half of a UTF-16 surrogate pair.
    if (keep > 0 && shortened[keep - 1] >= 0xD800 && shortened[keep - 1] < 0xDC00)
      --keep;
    shortened = shortened.substr(0, keep) + L"...";
  }
  return util::MakeFileNameSafe(shortened);
}

namespace {

// "[begin]-[end]" + tail, the longer title shortened first until the name fits.
std::wstring ChapterName(const PageRange& range, const std::wstring& tail) {
  std::size_t beginMax = 50, endMax = 50;
  for (;;) {
    std::wstring begin = CleanChapterTitle(range.beginText, beginMax);
    std::wstring end = CleanChapterTitle(range.endText, endMax);
    std::wstring name = L"[" + begin + L"]-[" + end + L"]" + tail;
    if (platform::NameLength(name) <= kMaxResultNameLength || (beginMax <= 4 && endMax <= 4))
      return name;
    bool cutBegin =
        beginMax > 4 && (endMax <= 4 || platform::NameLength(begin) >= platform::NameLength(end));
    std::size_t& max = cutBegin ? beginMax : endMax;
    max = std::min(max, std::max<std::size_t>((cutBegin ? begin : end).size(), 5)) - 1;
  }
}

}  // namespace

std::wstring MakeResultPath(std::wstring_view folderName, std::wstring_view extension,
                            const PageRange& range, std::int32_t k, bool chapterPlan, int copy) {
  const std::wstring mode = settings::CIni::ReadExportMode();
  std::wstring tail =
      (copy > 1 ? L" (" + std::to_wstring(copy) + L")" : L"") + std::wstring(extension);
  std::wstring piece;
  if (mode == L"1") {
    piece = chapterPlan ? ChapterName(range, tail)
                        : L"[" + std::to_wstring(range.firstPage) + L"]-[" +
                              std::to_wstring(range.lastPage) + L"]" + tail;
  } else if (mode == L"2") {
    piece = std::to_wstring(k) + tail;
  } else {
    return ExportFolder();
  }
  std::wstring path = OutputFolder(folderName) + platform::kPathSeparator + piece;
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
