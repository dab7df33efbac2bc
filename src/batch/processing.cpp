// The processing run behind "Process" and "Process All".

#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "batch/workbench.h"
#include "planning/output_folders.h"
#include "planning/output_naming.h"
#include "planning/page_plan.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "util/message_box.h"
#include "util/number.h"
#include "util/paths.h"

namespace batch {

namespace {

constexpr wchar_t kFinished[] = L"Finished. Double-Click a list item to view result. ";

std::wstring PageText(const planning::PageRange& range) {
  return L"[" + std::to_wstring(range.firstPage) + L"]-[" + std::to_wstring(range.lastPage) + L"]";
}

// The engine's own words, when it gave any, after ours.
std::wstring WithCause(std::wstring reason, const std::wstring& cause) {
  return cause.empty() ? reason + L"." : reason + L": " + cause;
}

// A path no earlier piece of this document took: pieces whose names come out equal (titles
// shortened or cleaned alike) get " (2)", " (3)", ... instead of replacing one another.
std::wstring UniqueResultPath(const std::function<std::wstring(int copy)>& make,
                              std::set<std::wstring, planning::CaseInsensitiveLess>& used) {
  std::wstring path = make(1);
  for (int copy = 2; !used.insert(path).second; ++copy) {
    std::wstring next = make(copy);
    if (next == path)
      break;  // not a name of its own (an unknown naming scheme)
    path = std::move(next);
  }
  return path;
}

// What the check of a piece just written found wrong, as a reason naming the piece.
std::optional<std::wstring> PieceFault(WordEngine& word, const DocumentEntry& entry,
                                       const std::wstring& path) {
  std::wstring difference;
  if (word.VerifyPiece(path, difference) != PieceCheck::Failed)
    return std::nullopt;
  return L"'" + entry.name + L"' piece " + platform::FromPath(platform::ToPath(path).filename()) +
         L": " + difference;
}

// Whether the original is still the document the working copy and its page count came from.
std::optional<std::wstring> SourceChanged(const DocumentEntry& entry) {
  auto now = util::ReadFileStamp(entry.path);
  if (!now)
    return L"'" + entry.name + L"' is no longer where it was added: " + entry.path;
  if (!entry.sourceStamp || *now != *entry.sourceStamp) {
    return L"'" + entry.name +
           L"' changed since it was added, so its pages may have moved; remove it from the list "
           L"and add it again to cut it.";
  }
  return std::nullopt;
}

// Whether what this run made of a document is still there: its output folder, still ours, and
// every piece written so far. Someone may remove or replace the folder while the run goes on;
// a piece must then not go into a folder that is no longer ours, and the document is not Done.
std::optional<std::wstring> ResultsLost(const DocumentEntry& entry, const std::wstring& folderName,
                                        const std::vector<std::wstring>& written) {
  std::wstring folder = planning::OutputFolder(folderName);
  if (!planning::IsOwnOutputFolder(folder))
    return L"'" + entry.name + L"' output folder was removed while it was cut: " + folder;
  for (const std::wstring& piece : written) {
    std::error_code error;
    if (!std::filesystem::exists(platform::ToPath(piece), error)) {
      return L"'" + entry.name + L"' piece " +
             platform::FromPath(platform::ToPath(piece).filename()) +
             L" was removed while the document was cut.";
    }
  }
  return std::nullopt;
}

std::wstring FolderNotMade(const DocumentEntry& entry, const std::wstring& folderName) {
  return L"'" + entry.name + L"' output folder could not be made: " +
         planning::OutputFolder(folderName);
}

}  // namespace

void Workbench::StartProcessing() {
  if (busyFlag != 0)
    return;
  if (processAllFlag == 0 && !view_.SelectedRow()) {
    util::ShowMessageBox(L"No selected files", view_.Handle());
    return;
  }
  StartWorker(&Workbench::ProcessWorker);
}

bool Workbench::IsChosen(const DocumentEntry& entry, std::optional<RowId> selected) const {
  if (entry.row == 0)
    return false;
  return processAllFlag != 0 || (selected && *selected == entry.row);
}

void Workbench::ProcessWorker() {
  Send(util::UM_BUSY_ON);
  // The tab is taken once, as the run starts: switching tabs during a run must not change how
  // the rest of the chosen documents are cut.
  std::optional<RowId> selected;
  int mode = 0;
  OnWindowThread([this, &selected, &mode] {
    selected = view_.SelectedRow();
    mode = planMode;
  });
  std::unique_ptr<WordEngine> word = engines_();
  if (!word->StartWord()) {
    Send(util::UM_BUSY_OFF);
    return;
  }
  if (mode == 0)
    BuildPagePlans(selected);

  // No output folder may hold a document of the list or its working copy.
  std::vector<std::wstring> keep;
  for (const DocumentEntry& entry : documents) {
    keep.push_back(entry.path);
    keep.push_back(entry.workPath);
  }
  planning::OutputFolderChooser folders(keep);
  for (DocumentEntry& entry : documents) {
    if (!IsChosen(entry, selected))
      continue;
    if (mode == 0) {
      ProcessByPagePlan(entry, *word, folders.Choose(entry.name));
    } else if (mode == 1) {
      ProcessByChapterPlan(entry, *word, folders.Choose(entry.name));
    }
  }
  if (settings::CIni::ReadAutoOpen()) {
    platform::ShowThroughShell(platform::ShellAction::Open, planning::ExportFolder());
  }
  Send(util::UM_BUSY_OFF);
  word->QuitWord();
}

void Workbench::BuildPagePlans(std::optional<RowId> selected) {
  BaseTabValues base;
  OnWindowThread([this, &base] { base = view_.ReadBaseTab(); });
  planning::PagePlanChoice choice{
      .everyN = base.everyN, .everyText = base.everyText, .manualListText = base.manualText};
  for (DocumentEntry& entry : documents) {
    if (!IsChosen(entry, selected))
      continue;
    auto plan = planning::BuildPagePlan(choice, util::ReadNumber(entry.pageCountText));
    if (!plan)
      return;  // every N below 1: every plan stays as it was
    entry.plan.pagePlan = std::move(*plan);
    entry.plan.planKind = planning::PlanKind::PagePlan;
    // A document that could not be read or is protected keeps its red cross and its reason.
    if (util::ReadNumber(entry.pageCountText) >= 1)
      SetStatus(entry, DocumentStatus::Planned);
  }
}

void Workbench::Fail(DocumentEntry& entry, const std::wstring& reason, bool shown) {
  if (!shown)
    util::ShowMessageBox(reason, view_.Handle());
  SetStatus(entry, DocumentStatus::Failed, reason);
}

bool Workbench::ProcessByPagePlan(DocumentEntry& entry, WordEngine& word,
                                  const std::wstring& folderName) {
  planning::ClearOutputFolder(folderName);
  Send(util::UM_PROGRESS, 0);
  const auto& ranges = entry.plan.pagePlan;
  const auto n = static_cast<std::int32_t>(ranges.size());
  if (n == 0)
    return false;
  const std::int32_t step = 300 / n;
  const std::int32_t pages = util::ReadNumber(entry.pageCountText);
  if (pages < 1) {
    // Unreadable or protected at intake: nothing can be cut, and it stays so.
    SetStatus(entry, pages == -2 ? DocumentStatus::Protected : DocumentStatus::Failed,
              entry.reason.empty() ? L"The document's pages could not be counted." : entry.reason);
    return false;
  }
  SetStatus(entry, DocumentStatus::Processing);
  if (auto changed = SourceChanged(entry)) {
    Fail(entry, *changed);
    return false;
  }
  if (!planning::ClaimOutputFolder(folderName)) {
    Fail(entry, FolderNotMade(entry, folderName));
    return false;
  }
  entry.resultFolder = planning::OutputFolder(folderName);
  std::set<std::wstring, planning::CaseInsensitiveLess> usedNames;
  std::vector<std::wstring> written;
  std::wstring leftOut;
  for (std::int32_t k = 1; k <= n; ++k) {
    const planning::PageRange& range = ranges[k - 1];
    Send(util::UM_PROGRESS, k * step);
    // Past the last page, or out of order in a manual list: no piece, and the user is told.
    if (range.firstPage > pages || range.firstPage > range.lastPage) {
      leftOut += (leftOut.empty() ? L"" : L", ") + PageText(range);
      continue;
    }
    std::wstring path = UniqueResultPath(
        [&](int copy) {
          return planning::MakeResultPath(folderName, entry.extension, range, k, false, copy);
        },
        usedNames);
    if (auto lost = ResultsLost(entry, folderName, written)) {
      Fail(entry, *lost);
      return false;
    }
    // Each piece is cut from the document as it is now: it must still be the one added.
    if (auto changed = SourceChanged(entry)) {
      Fail(entry, *changed);
      return false;
    }
    if (auto failure = planning::PrepareResultFile(entry.name, path, false)) {
      Fail(entry, failure->message);
      return false;
    }
    util::ShownMessages shown;
    if (word.ExportPageRange(entry.path, path, range.firstPage, range.lastPage, pages,
                             settings::CIni::ReadAlignment()) != 1) {
      Fail(entry,
           WithCause(L"'" + entry.name + L"' pages " + PageText(range) + L" could not be written",
                     shown.Last()),
           !shown.Last().empty());
      return false;
    }
    written.push_back(path);
    if (auto changed = SourceChanged(entry)) {
      // Changed while this piece was cut: the piece may hold the new text.
      std::error_code ignored;
      std::filesystem::remove(platform::ToPath(path), ignored);
      Fail(entry, *changed);
      return false;
    }
    if (auto fault = PieceFault(word, entry, path)) {
      Fail(entry, *fault);
      return false;
    }
  }
  if (auto lost = ResultsLost(entry, folderName, written)) {
    Fail(entry, *lost);
    return false;
  }
  if (!leftOut.empty()) {
    util::ShowMessageBox(L"'" + entry.name + L"' has " + std::to_wstring(pages) +
                             L" pages; no piece was made for " + leftOut + L".",
                         view_.Handle());
  }
  Send(util::UM_PROGRESS, 300);
  SetStatus(entry, DocumentStatus::Done);
  return true;
}

bool Workbench::ProcessByChapterPlan(DocumentEntry& entry, WordEngine& word,
                                     const std::wstring& folderName) {
  // A copy: the run holds nothing of a plan the window owns.
  const std::vector<planning::PageRange> ranges = entry.plan.chapterPlan;
  const auto n = static_cast<std::int32_t>(ranges.size());
  if (n == 0)
    return false;
  planning::ClearOutputFolder(folderName);
  SetStatus(entry, DocumentStatus::Processing);
  if (!planning::ClaimOutputFolder(folderName)) {
    Fail(entry, FolderNotMade(entry, folderName));
    return false;
  }
  std::set<std::wstring, planning::CaseInsensitiveLess> usedNames;
  std::vector<std::wstring> written;
  std::wstring reason;
  for (std::int32_t k = 1; k <= n && reason.empty(); ++k) {
    const planning::PageRange& range = ranges[k - 1];
    Send(util::UM_PROGRESS, static_cast<std::int32_t>(k * 300.0 / n));
    std::wstring path = UniqueResultPath(
        [&](int copy) {
          return planning::MakeResultPath(folderName, entry.extension, range, k, true, copy);
        },
        usedNames);
    if (auto lost = ResultsLost(entry, folderName, written)) {
      reason = *lost;
      util::ShowMessageBox(reason, view_.Handle());
      break;
    }
    if (auto failure = planning::PrepareResultFile(entry.name, path, true)) {
      util::ShowMessageBox(failure->message, view_.Handle());
      if (failure->kind == planning::PrepareFailure::Kind::TooLong) {
        SetStatus(entry, DocumentStatus::Failed, failure->message);
        return false;
      }
      reason = failure->message;
      continue;
    }
    util::ShownMessages shown;
    if (word.ExportChapterRange(entry.workPath, path, range.beginKey, range.endKey) != 1) {
      reason = WithCause(L"'" + entry.name + L"' chapters from \"" + range.beginText + L"\" to \"" +
                             range.endText + L"\" could not be written",
                         shown.Last());
      if (shown.Last().empty())
        util::ShowMessageBox(reason, view_.Handle());
    } else {
      written.push_back(path);
      if (auto fault = PieceFault(word, entry, path)) {
        reason = *fault;
        util::ShowMessageBox(reason, view_.Handle());
      }
    }
  }
  if (reason.empty()) {
    if (auto lost = ResultsLost(entry, folderName, written)) {
      reason = *lost;
      util::ShowMessageBox(reason, view_.Handle());
    }
  }
  if (reason.empty())
    util::ShowMessageBox(kFinished, view_.Handle());
  Send(util::UM_PROGRESS, 300);
  SetStatus(entry, reason.empty() ? DocumentStatus::Done : DocumentStatus::Failed, reason);
  entry.resultFolder = planning::OutputFolder(folderName);
  return true;
}

}  // namespace batch
