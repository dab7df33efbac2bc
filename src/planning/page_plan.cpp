#include "planning/page_plan.h"

#include <algorithm>
#include <string>

#include "util/number.h"

namespace planning {

std::vector<std::int32_t> ReadManualList(std::wstring_view text) {
  std::wstring list(text);
  std::replace(list.begin(), list.end(), L'\uFF0C', L',');
  std::vector<std::int32_t> numbers;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = list.find(L',', start);
    numbers.push_back(util::ReadNumber(std::wstring_view(list).substr(
        start, comma == std::wstring::npos ? std::wstring::npos : comma - start)));
    if (comma == std::wstring::npos)
      break;
    start = comma + 1;
  }
  return numbers;
}

std::vector<PageRange> EveryNPages(std::int32_t n, std::int32_t pageCount) {
  std::vector<PageRange> ranges;
  if (n < 1)
    return ranges;
  // 64-bit arithmetic: m + N - 1 must not overflow for N near the 32-bit limit.
  for (std::int64_t m = 1; m <= pageCount; m += n) {
    PageRange range;
    range.firstPage = static_cast<std::int32_t>(m);
    range.lastPage = static_cast<std::int32_t>(std::min<std::int64_t>(m + n - 1, pageCount));
    ranges.push_back(range);
  }
  return ranges;
}

namespace {
// v - 1 without wrapping below the 32-bit range.
std::int32_t PageBefore(std::int32_t v) {
  return static_cast<std::int32_t>(std::max<std::int64_t>(std::int64_t{v} - 1, INT32_MIN));
}
}  // namespace

std::vector<PageRange> ManualPages(const std::vector<std::int32_t>& firstPages,
                                   std::int32_t pageCount) {
  std::vector<PageRange> ranges;
  if (firstPages.empty())
    return ranges;
  if (firstPages[0] != 0 && firstPages[0] != 1) {
    ranges.push_back(PageRange{.firstPage = 0, .lastPage = PageBefore(firstPages[0])});
  }
  for (std::size_t j = 0; j < firstPages.size(); ++j) {
    bool last = j + 1 == firstPages.size();
    ranges.push_back(PageRange{.firstPage = firstPages[j],
                               .lastPage = last ? pageCount : PageBefore(firstPages[j + 1])});
  }
  return ranges;
}

std::optional<std::vector<PageRange>> BuildPagePlan(const PagePlanChoice& choice,
                                                    std::int32_t pageCount) {
  if (choice.everyN) {
    std::int32_t n = util::ReadNumber(choice.everyText);
    if (n < 1)
      return std::nullopt;
    return EveryNPages(n, pageCount);
  }
  return ManualPages(ReadManualList(choice.manualListText), pageCount);
}

}  // namespace planning
