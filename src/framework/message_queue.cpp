#include "framework/message_queue.h"

namespace framework {

MessageQueue::MessageQueue(Handler handler, Wake wake)
    : handler_(std::move(handler)), wake_(std::move(wake)), owner_(std::this_thread::get_id()) {}

MessageQueue::~MessageQueue() {
  Close();
  // A released sender still has to take the lock to return: wait until it has left.
  std::unique_lock guard(lock_);
  handled_.wait(guard, [&] { return senders_ == 0; });
}

std::size_t MessageQueue::WaitingSenders() {
  std::lock_guard guard(lock_);
  return senders_;
}

bool MessageQueue::Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  if (IsOwnerThread()) {
    {
      std::lock_guard guard(lock_);
      if (closed_)
        return false;
    }
    handler_(message, wParam, lParam);
    return true;
  }
  bool done = false;
  std::unique_lock guard(lock_);
  if (closed_)
    return false;
  entries_.push_back({message, wParam, lParam, true, &done});
  ++senders_;
  wake_();
  handled_.wait(guard, [&] { return done; });
  --senders_;
  handled_.notify_all();
  // A closed queue releases its senders without handling their messages.
  return !closed_;
}

void MessageQueue::Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  std::lock_guard guard(lock_);
  if (closed_)
    return;
  entries_.push_back({message, wParam, lParam, false, nullptr});
  wake_();
}

void MessageQueue::Drain() {
  for (;;) {
    Entry entry;
    {
      std::lock_guard guard(lock_);
      if (entries_.empty() || closed_)
        return;
      entry = entries_.front();
      entries_.pop_front();
    }
    handler_(entry.message, entry.wParam, entry.lParam);
    if (entry.waited) {
      std::lock_guard guard(lock_);
      *entry.done = true;
      handled_.notify_all();
    }
  }
}

void MessageQueue::Close() {
  std::lock_guard guard(lock_);
  if (closed_)
    return;
  closed_ = true;
  for (Entry& entry : entries_) {
    if (entry.waited)
      *entry.done = true;
  }
  entries_.clear();
  handled_.notify_all();
}

}  // namespace framework
