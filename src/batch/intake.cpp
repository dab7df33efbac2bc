// The document list: adding documents, the intake worker, rows, removal and looking at them.

#include "batch/pages_note.h"
#include "batch/workbench.h"
#include "platform/shell.h"
#include "util/names.h"
#include "util/paths.h"
#include "util/work_folder.h"

namespace batch {

namespace {
constexpr wchar_t kUnreadable[] = L"The document could not be opened or read as a Word document.";
constexpr wchar_t kProtected[] =
    L"The document is protected against changes; remove the protection to cut it.";
}  // namespace

void Workbench::AcceptFile(std::wstring_view path) {
  documents::AcceptFile(documents, path);
}

void Workbench::AddFolder(std::wstring_view folder) {
  documents::AddFolder(documents, folder);
}

void Workbench::AcceptDrop(const std::vector<std::wstring>& paths) {
  if (busyFlag != 0)
    return;
  for (const auto& path : paths)
    documents::AddPath(documents, path);
  StartWorker(&Workbench::IntakeWorker);
}

void Workbench::AddFiles(const std::vector<std::wstring>& paths) {
  if (busyFlag != 0)
    return;
  for (const auto& path : paths)
    AcceptFile(path);
  StartWorker(&Workbench::IntakeWorker);
}

void Workbench::IntakeWorker() {
  Send(util::UM_BUSY_ON);
  Send(util::UM_PROGRESS, 20);
  std::unique_ptr<WordEngine> word = engines_();
  if (!word->StartWord()) {
    Send(util::UM_BUSY_OFF);
    return;
  }
  Send(util::UM_PROGRESS, 50);
  const auto count = static_cast<std::int32_t>(documents.size());
  const std::int32_t step = count == 0 ? 0 : 230 / count;
  std::int32_t counter = 70;
  for (DocumentEntry& entry : documents) {
    if (entry.status == DocumentStatus::New) {
      entry.sourceStamp = util::ReadFileStamp(entry.path);
      std::wstring sizeText = util::FormatFileSize(entry.sourceStamp ? entry.sourceStamp->size : 0);
      entry.workPath = util::CopyToWorkFolder(entry.path);
      // A fresh text per document: a failed read leaves its time empty, not an earlier one.
      std::wstring timeText;
      std::int32_t pages = word->ReadPageCount(entry.workPath, timeText, &window_, counter, step);
      counter += step;
      entry.pageCountText = std::to_wstring(pages);
      entry.pagesNote = pages >= 0 ? PagesNote(entry.workPath, pages) : L"";
      entry.timeText = timeText;
      entry.sizeText = sizeText;
      if (pages == -1) {
        SetStatus(entry, DocumentStatus::Failed, kUnreadable);
      } else if (pages == -2) {
        SetStatus(entry, DocumentStatus::Protected, kProtected);
      } else {
        SetStatus(entry, DocumentStatus::Ready);
      }
    }
    Send(util::UM_PROGRESS, counter);
  }
  Send(util::UM_PROGRESS, 300);
  OnWindowThread([this] { RefreshRows(); });
  Send(util::UM_BUSY_OFF);
  word->QuitWord();
}

void Workbench::RefreshRows() {
  for (DocumentEntry& entry : documents) {
    if (entry.row == 0)
      entry.row = view_.CreateRow(entry);
    if (entry.row != 0) {
      view_.ShowStatus(entry.row, entry.status);
      view_.ShowReason(entry.row, entry.reason);
    }
  }
}

int Workbench::IndexOfRow(RowId row) const {
  if (row == 0)
    return -1;
  for (std::size_t i = 0; i < documents.size(); ++i) {
    if (documents[i].row == row)
      return static_cast<int>(i);
  }
  return -1;
}

int Workbench::SelectedIndex() const {
  auto selected = view_.SelectedRow();
  return selected ? IndexOfRow(*selected) : -1;
}

void Workbench::RemoveEntry(RowId row) {
  if (busyFlag != 0)
    return;
  int index = IndexOfRow(row);
  if (index < 0)
    return;
  view_.RemoveRow(row);
  documents.erase(documents.begin() + index);
  if (chapterDocIndex == index) {
    chapterDocIndex = -1;
  } else if (chapterDocIndex > index) {
    --chapterDocIndex;
  }
}

void Workbench::RemoveSelected() {
  if (auto selected = view_.SelectedRow())
    RemoveEntry(*selected);
}

void Workbench::ViewSource(RowId row) {
  if (int i = IndexOfRow(row); i >= 0) {
    platform::ShowThroughShell(platform::ShellAction::Open, documents[i].path);
  }
}

void Workbench::ViewResult(RowId row) {
  if (int i = IndexOfRow(row); i >= 0 && !documents[i].resultFolder.empty()) {
    platform::ShowThroughShell(platform::ShellAction::Open, documents[i].resultFolder);
  }
}

void Workbench::RevealInExplorer(RowId row) {
  int i = IndexOfRow(row);
  if (i < 0)
    return;
  const DocumentEntry& entry = documents[i];
  platform::ShowThroughShell(platform::ShellAction::Reveal, entry.status == DocumentStatus::Done
                                                                ? entry.resultFolder
                                                                : entry.path);
}

}  // namespace batch
