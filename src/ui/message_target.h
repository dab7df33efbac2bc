#pragma once
// Lets logic below the window reach a framework window's thread: the private messages (Send
// waits, Post does not) and Invoke, which runs a piece of work there and waits for it.

#include <cstdint>

#include "batch/window_thread.h"

namespace framework {
class WindowImplBase;
}

namespace ui {

// The window's own message that carries Invoke's work: wParam points at a
// std::function<void()> that lives until the Send returns.
inline constexpr std::uint32_t kUmInvoke = 0x0BE0;

class WindowMessageTarget : public batch::WindowThread {
 public:
  explicit WindowMessageTarget(framework::WindowImplBase& window) : window_(window) {}
  void Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override;
  void Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override;
  // When the window is gone the work is dropped: nothing is left on screen to change.
  void Invoke(std::function<void()> work) override;

 private:
  framework::WindowImplBase& window_;
};

}  // namespace ui
