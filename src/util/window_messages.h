#pragma once
// The main window's private messages and the two ways of delivering them: Send waits until the
// window's thread has handled the message, Post does not.

#include <cstdint>

namespace util {

inline constexpr std::uint32_t UM_BUSY_ON = 0x0BD0;
inline constexpr std::uint32_t UM_BUSY_OFF = 0x0BD1;
inline constexpr std::uint32_t UM_PROGRESS = 0x0BD2;
inline constexpr std::uint32_t UM_ABOUT = 0x0941;
inline constexpr std::uint32_t UM_FEEDBACK = 0x0942;
inline constexpr std::uint32_t UM_VIEW_SOURCE = 0x0944;
inline constexpr std::uint32_t UM_VIEW_RESULT = 0x0945;
inline constexpr std::uint32_t UM_DELETE_SELECTED = 0x0947;

class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual void Send(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) = 0;
  virtual void Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace util
