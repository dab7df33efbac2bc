#pragma once
// Lets logic below the window send and post the private messages to a framework window.

#include "util/window_messages.h"

namespace framework {
class WindowImplBase;
}

namespace ui {

class WindowMessageTarget : public util::MessageTarget {
 public:
  explicit WindowMessageTarget(framework::WindowImplBase& window) : window_(window) {}
  void Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override;
  void Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override;

 private:
  framework::WindowImplBase& window_;
};

}  // namespace ui
