#pragma once
// A window's thread without a window: the thread that runs Run() handles the messages and the
// work that workers hand it, in order. The command line and the tests use it.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "batch/window_thread.h"

namespace batch {

class MessageLoop final : public WindowThread {
 public:
  using Handler = std::function<void(std::uint32_t, std::intptr_t, std::intptr_t)>;

  void SetHandler(Handler handler) { handler_ = std::move(handler); }

  void Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override;
  void Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override;
  void Invoke(std::function<void()> work) override;

  // Handles what arrives until done() holds (checked before waiting and after each item).
  void RunUntil(const std::function<bool()>& done);

 private:
  void Enqueue(std::function<void()> item);

  Handler handler_;
  std::mutex lock_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace batch
