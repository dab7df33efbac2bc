// Reading a document's chapters on a worker, and the chapter plan of the selected document.

#include "batch/workbench.h"
#include "planning/chapter_plan.h"

namespace batch {

bool Workbench::StartChapterReading(int index) {
  // One worker at a time: while another runs, the read is refused and the caller tries again
  // when the user comes back to the document.
  if (index < 0 || index >= static_cast<int>(documents.size()))
    return false;
  chapterWorkerIndex_ = index;
  chapterWorkerPath_ = documents[index].workPath;
  return StartWorker(&Workbench::LoadChaptersThread);
}

void Workbench::LoadChaptersThread() {
  const int index = chapterWorkerIndex_;
  const std::wstring path = chapterWorkerPath_;
  Send(util::UM_BUSY_ON);
  Send(util::UM_PROGRESS, 10);
  std::unique_ptr<WordEngine> word = engines_();
  if (!word->StartWord()) {
    Send(util::UM_BUSY_OFF);
    return;
  }
  Send(util::UM_PROGRESS, 30);
  // Read into a list of the worker's own and handed over on the window's thread, which owns
  // the entries.
  std::vector<engine::ChapterEntry> chapters;
  word->ReadChapters(path, chapters, &window_);
  Send(util::UM_PROGRESS, 300);
  // Shown before the busy state ends: after it, the window may start the next worker and wait
  // for this one, which must then need nothing more of the window's thread.
  OnWindowThread([this, index, &chapters] {
    auto& known = documents[index].plan.chapters;
    known.insert(known.end(), chapters.begin(), chapters.end());
    documents[index].chaptersLoaded = true;
    view_.ChaptersRead(index);
  });
  Send(util::UM_BUSY_OFF);
  word->QuitWord();
}

void Workbench::MarkChapter(std::wstring_view key, bool marked) {
  if (busyFlag != 0 || WorkerActive())
    return;
  int selected = SelectedIndex();
  if (selected < 0)
    return;
  for (auto& chapter : documents[selected].plan.chapters) {
    if (chapter.key == key)
      chapter.marked = marked;
  }
  RebuildChapterPlan();
}

void Workbench::RebuildChapterPlan() {
  if (busyFlag != 0 || WorkerActive())
    return;
  int selected = SelectedIndex();
  if (selected < 0)
    return;
  DocumentEntry& entry = documents[selected];
  entry.plan.chapterPlan = planning::BuildChapterPlan(entry.plan.chapters, entry.pageCountText);
  view_.ShowChapterPlan(entry.plan.chapterPlan);
}

}  // namespace batch
