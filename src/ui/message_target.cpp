#include "ui/message_target.h"

#include "framework/window_impl_base.h"

namespace ui {

void WindowMessageTarget::Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  window_.Send(message, wParam, lParam);
}

void WindowMessageTarget::Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
  window_.Post(message, wParam, lParam);
}

void WindowMessageTarget::Invoke(std::function<void()> work) {
  window_.Send(kUmInvoke, reinterpret_cast<std::intptr_t>(&work), 0);
}

}  // namespace ui
