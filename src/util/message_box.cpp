#include "util/message_box.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "platform/text.h"

namespace util {

namespace {

std::mutex presenterLock;

MessagePresenter& Presenter() {
  static MessagePresenter presenter;
  return presenter;
}

thread_local ShownMessages* shownHere = nullptr;

}  // namespace

ShownMessages::ShownMessages() : outer_(shownHere) {
  shownHere = this;
}

ShownMessages::~ShownMessages() {
  shownHere = outer_;
}

MessagePresenter SetMessagePresenter(MessagePresenter presenter) {
  std::lock_guard guard(presenterLock);
  return std::exchange(Presenter(), std::move(presenter));
}

void ShowMessageBox(std::wstring_view text, WindowHandle owner) {
  if (shownHere != nullptr)
    shownHere->last_ = std::wstring(text);
  MessagePresenter presenter;
  {
    std::lock_guard guard(presenterLock);
    presenter = Presenter();
  }
  if (presenter) {
    presenter(text, owner);
    return;
  }
  std::string line = platform::ToUtf8(text) + "\n";
  std::fputs(line.c_str(), stderr);
}

}  // namespace util
