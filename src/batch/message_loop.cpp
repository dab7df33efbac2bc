#include "batch/message_loop.h"

#include <future>

namespace batch {

void MessageLoop::Enqueue(std::function<void()> item) {
  {
    std::lock_guard guard(lock_);
    queue_.push_back(std::move(item));
  }
  wake_.notify_one();
}

void MessageLoop::Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  Enqueue([this, message, wParam, lParam] {
    if (handler_)
      handler_(message, wParam, lParam);
  });
}

void MessageLoop::Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  Invoke([this, message, wParam, lParam] {
    if (handler_)
      handler_(message, wParam, lParam);
  });
}

void MessageLoop::Invoke(std::function<void()> work) {
  std::promise<void> done;
  std::future<void> handled = done.get_future();
  Enqueue([&work, &done] {
    work();
    done.set_value();
  });
  handled.wait();
}

void MessageLoop::RunUntil(const std::function<bool()>& done) {
  for (;;) {
    std::function<void()> item;
    {
      std::unique_lock guard(lock_);
      wake_.wait(guard, [&] { return !queue_.empty() || done(); });
      if (queue_.empty())
        return;
      item = std::move(queue_.front());
      queue_.pop_front();
    }
    item();
  }
}

}  // namespace batch
