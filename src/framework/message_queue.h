#pragma once
// A window's queue of private messages. Send waits until the window's thread has handled the
// message; Post returns at once. Once the queue is closed, waiting senders are released and
// later messages are dropped, so a worker never waits on a window that is gone.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace framework {

class MessageQueue {
 public:
  using Handler = std::function<void(std::uint32_t, std::intptr_t, std::intptr_t)>;
  using Wake = std::function<void()>;

  // handler runs on the owner thread (the one constructing the queue) from Drain; wake is
  // called from any thread to make the owner thread call Drain soon.
  MessageQueue(Handler handler, Wake wake);
  ~MessageQueue();

  // Returns true when the message was handled, false when the queue was closed first.
  bool Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);
  void Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);
  // Handles every waiting message; owner thread only.
  void Drain();
  // Releases every waiting sender and refuses further messages.
  void Close();
  bool IsOwnerThread() const { return std::this_thread::get_id() == owner_; }
  // Senders waiting for their message to be handled.
  std::size_t WaitingSenders();

 private:
  struct Entry {
    std::uint32_t message;
    std::intptr_t wParam;
    std::intptr_t lParam;
    bool waited;
    bool* done;  // set under the lock when handled or dropped; nullptr for posts
  };

  Handler handler_;
  Wake wake_;
  std::thread::id owner_;
  std::mutex lock_;
  std::condition_variable handled_;
  std::deque<Entry> entries_;
  bool closed_ = false;
  std::size_t senders_ = 0;  // threads inside Send; the queue outlives them
};

}  // namespace framework
