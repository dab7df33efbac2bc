#pragma once
// The main window's state and work without the drawing: the document list, the busy state,
// the three workers (intake, chapter reading, processing) and the plans. It reaches the screen
// only through View and the window's thread only through WindowThread, so the window program,
// varnik-cli and the tests drive the same code.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "batch/view.h"
#include "batch/window_thread.h"
#include "batch/word_engine.h"
#include "documents/document_list.h"

namespace batch {

class Workbench {
 public:
  // Constructed on the window's thread; every operation not marked otherwise runs there.
  Workbench(View& view, WindowThread& window, WordEngineFactory engines);
  ~Workbench();
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;

  // The window's fields.
  documents::DocumentList documents;
  int busyFlag = 0;
  std::atomic<int> planMode{0};  // read by the processing worker when a run starts
  int processAllFlag = 0;
  int chapterDocIndex = -1;

  // The window's private messages that concern the workers.
  void HandleMessage(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);
  void EnterBusy();
  void LeaveBusy();
  void SetProgress(int value);

  // Documents in and out. The Add* operations do nothing while busy and start the intake.
  void AcceptFile(std::wstring_view path);
  void AddFolder(std::wstring_view folder);
  void AcceptDrop(const std::vector<std::wstring>& paths);
  void AddFiles(const std::vector<std::wstring>& paths);
  void RefreshRows();
  void RemoveEntry(RowId row);
  void RemoveSelected();

  // Looking at the document of a row through the desktop.
  void ViewSource(RowId row);
  void ViewResult(RowId row);
  void RevealInExplorer(RowId row);
  // The index of the entry shown by a row, or -1.
  int IndexOfRow(RowId row) const;
  int SelectedIndex() const;

  // Processing: "Process" (processAllFlag 0) or "Process All" (1).
  void StartProcessing();

  // Chapters: reads the chapters of document `index` on a worker (refused while busy; true
  // when started), marks a chapter of the selected document, rebuilds its chapter plan. While
  // a worker runs, marks and plans stay as they are: the worker may be reading them.
  bool StartChapterReading(int index);
  void MarkChapter(std::wstring_view key, bool marked);
  void RebuildChapterPlan();

  // Any thread: stores the status with the reason for a failure and shows both on the entry's
  // row.
  void SetStatus(DocumentEntry& entry, DocumentStatus status, std::wstring reason = {});

  // True from a worker's start to its very end (after it quit the engine).
  bool WorkerActive() const { return workerActive_.load(); }
  // Waits for the last worker's thread; only when not busy. A worker needs nothing of the
  // window's thread once it has left the busy state, so this wait cannot deadlock.
  void JoinWorker();

 private:
  bool StartWorker(void (Workbench::*body)());
  void OnWindowThread(const std::function<void()>& work);
  void Send(std::uint32_t message, std::intptr_t wParam = 0);

  void IntakeWorker();
  void ProcessWorker();
  void LoadChaptersThread();

  void BuildPagePlans(std::optional<RowId> selected);
  bool ProcessByPagePlan(DocumentEntry& entry, WordEngine& word, const std::wstring& folderName);
  bool ProcessByChapterPlan(DocumentEntry& entry, WordEngine& word, const std::wstring& folderName);
  // Ends a document Failed: the reason in the TIPS box (unless the engine showed its own text
  // already) and on the row.
  void Fail(DocumentEntry& entry, const std::wstring& reason, bool shown = false);
  bool IsChosen(const DocumentEntry& entry, std::optional<RowId> selected) const;

  View& view_;
  WindowThread& window_;
  WordEngineFactory engines_;
  std::thread::id windowThread_;
  std::thread worker_;
  std::atomic<bool> workerActive_{false};
  int chapterWorkerIndex_ = -1;
  std::wstring chapterWorkerPath_;
};

}  // namespace batch
