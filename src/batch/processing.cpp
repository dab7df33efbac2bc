// The processing run behind "Process" and "Process All".

#include <algorithm>
#include <cwctype>
#include <set>

#include "batch/workbench.h"
#include "planning/output_naming.h"
#include "planning/page_plan.h"
#include "platform/shell.h"
#include "settings/ini.h"
#include "util/message_box.h"
#include "util/number.h"

namespace batch {

namespace {

constexpr wchar_t kFinished[] = L"Finished. Double-Click a list item to view result. ";

struct CaseInsensitiveLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
          return std::towlower(static_cast<wint_t>(x)) < std::towlower(static_cast<wint_t>(y));
        });
  }
};

// Two documents of the same name in one run must not share (and wipe) one output folder: the
// later ones get "name (2)", "name (3)", ...
std::wstring UniqueFolderName(const std::wstring& name,
                              std::set<std::wstring, CaseInsensitiveLess>& used) {
  std::wstring folder = name;
  for (int n = 2; used.contains(folder); ++n)
    folder = name + L" (" + std::to_wstring(n) + L")";
  used.insert(folder);
  return folder;
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

  std::set<std::wstring, CaseInsensitiveLess> usedFolders;
  for (DocumentEntry& entry : documents) {
    if (!IsChosen(entry, selected))
      continue;
    if (mode == 0) {
      ProcessByPagePlan(entry, *word, UniqueFolderName(entry.name, usedFolders));
    } else if (mode == 1) {
      ProcessByChapterPlan(entry, *word, UniqueFolderName(entry.name, usedFolders));
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
    SetStatus(entry, DocumentStatus::Planned);
  }
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
  SetStatus(entry, DocumentStatus::Processing);
  const std::int32_t pages = util::ReadNumber(entry.pageCountText);
  for (std::int32_t k = 1; k <= n; ++k) {
    const planning::PageRange& range = ranges[k - 1];
    Send(util::UM_PROGRESS, k * step);
    std::wstring path = planning::MakeResultPath(folderName, entry.extension, range, k, false);
    if (auto failure = planning::PrepareResultFile(entry.name, path, false)) {
      util::ShowMessageBox(failure->message, view_.Handle());
      SetStatus(entry, DocumentStatus::Failed);
      return false;
    }
    word.ExportPageRange(entry.path, path, range.firstPage, range.lastPage, pages,
                         settings::CIni::ReadAlignment());
  }
  Send(util::UM_PROGRESS, 300);
  entry.resultFolder = planning::OutputFolder(folderName);
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
  bool finished = true;
  for (std::int32_t k = 1; k <= n && finished; ++k) {
    const planning::PageRange& range = ranges[k - 1];
    Send(util::UM_PROGRESS, static_cast<std::int32_t>(k * 300.0 / n));
    std::wstring path = planning::MakeResultPath(folderName, entry.extension, range, k, true);
    if (auto failure = planning::PrepareResultFile(entry.name, path, true)) {
      util::ShowMessageBox(failure->message, view_.Handle());
      if (failure->kind == planning::PrepareFailure::Kind::TooLong) {
        SetStatus(entry, DocumentStatus::Failed);
        return false;
      }
      finished = false;
    } else if (word.ExportChapterRange(entry.workPath, path, range.beginKey, range.endKey) == -1) {
      finished = false;
    }
  }
  if (finished)
    util::ShowMessageBox(kFinished, view_.Handle());
  Send(util::UM_PROGRESS, 300);
  SetStatus(entry, finished ? DocumentStatus::Done : DocumentStatus::Failed);
  entry.resultFolder = planning::OutputFolder(folderName);
  return true;
}

}  // namespace batch
