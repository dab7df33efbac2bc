#include "ui/message_target.h"

#include "framework/window_impl_base.h"

namespace ui {

void WindowMessageTarget::Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  window_.Send(message, wParam, lParam);
}

void WindowMessageTarget::Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  window_.Post(message, wParam, lParam);
}

}  // namespace ui
