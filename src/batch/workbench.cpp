#include "batch/workbench.h"

#include <string>

#include "platform/debug_output.h"

namespace batch {

Workbench::Workbench(View& view, WindowThread& window, WordEngineFactory engines)
    : view_(view),
      window_(window),
      engines_(std::move(engines)),
      windowThread_(std::this_thread::get_id()) {}

Workbench::~Workbench() {
  if (worker_.joinable())
    worker_.join();
}

void Workbench::HandleMessage(std::uint32_t message, std::intptr_t wParam, std::intptr_t) {
  switch (message) {
    case util::UM_BUSY_ON:
      EnterBusy();
      break;
    case util::UM_BUSY_OFF:
      LeaveBusy();
      break;
    case util::UM_PROGRESS:
      SetProgress(static_cast<int>(wParam));
      break;
    default:
      break;
  }
}

void Workbench::EnterBusy() {
  busyFlag = 1;
  view_.EnableFileList(false);
  view_.ShowBusy(true);
}

void Workbench::LeaveBusy() {
  view_.ShowBusy(false);
  view_.Flash();
  busyFlag = 0;
  view_.EnableFileList(true);
}

void Workbench::SetProgress(int value) {
  platform::DebugOutput(std::to_wstring(value) + L"\r\n");
  view_.ShowProgress(value);
}

void Workbench::SetStatus(DocumentEntry& entry, DocumentStatus status, std::wstring reason) {
  entry.status = status;
  entry.reason = std::move(reason);
  if (entry.row != 0) {
    RowId row = entry.row;
    OnWindowThread([this, row, status, reason = entry.reason] {
      view_.ShowStatus(row, status);
      view_.ShowReason(row, reason);
    });
  }
}

void Workbench::JoinWorker() {
  if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id())
    worker_.join();
}

bool Workbench::StartWorker(void (Workbench::*body)()) {
  if (busyFlag != 0)
    return false;
  // The last worker has left the busy state and is only quitting its engine.
  JoinWorker();
  // Busy before the worker runs, so no click slips in between.
  EnterBusy();
  workerActive_ = true;
  worker_ = std::thread([this, body] {
    (this->*body)();
    workerActive_ = false;
    window_.Post(0, 0, 0);  // wakes a waiting window thread
  });
  return true;
}

void Workbench::OnWindowThread(const std::function<void()>& work) {
  if (std::this_thread::get_id() == windowThread_) {
    work();
  } else {
    window_.Invoke(work);
  }
}

void Workbench::Send(std::uint32_t message, std::intptr_t wParam) {
  window_.Send(message, wParam, 0);
}

}  // namespace batch
