#include "util/number.h"

#include <cwctype>
#include <limits>

namespace util {

std::int32_t ReadNumber(std::wstring_view text) {
  while (!text.empty() && std::iswspace(static_cast<wint_t>(text.front())))
    text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
    negative = text.front() == L'-';
    text.remove_prefix(1);
  }
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  std::int64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9')
      break;
    // Past the 32-bit range the result is a limit anyway; stop growing there.
    if (value <= kMax + 1)
      value = value * 10 + (c - L'0');
  }
  if (negative)
    value = -value;
  if (value > kMax)
    return static_cast<std::int32_t>(kMax);
  if (value < kMin)
    return static_cast<std::int32_t>(kMin);
  return static_cast<std::int32_t>(value);
}

}  // namespace util
