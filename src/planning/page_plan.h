#pragma once
// Page plans from the Base tab's choices: every N pages, or a manual list of first pages.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "planning/split_plan.h"

namespace planning {

// The Base tab's choice as the user left it.
struct PagePlanChoice {
  bool everyN = true;                // optEvery selected (else optManu)
  std::wstring_view everyText;       // edtEvery
  std::wstring_view manualListText;  // edtBaseManu
};

// The manual list read into numbers: full-width commas count as commas, every piece (empty
// ones too) is one number.
std::vector<std::int32_t> ReadManualList(std::wstring_view text);

// Ranges [1,N] [N+1,2N] ... up to pageCount; empty for pageCount below 1.
std::vector<PageRange> EveryNPages(std::int32_t n, std::int32_t pageCount);

// A leading range [0, v0-1] unless v0 is 0 or 1, then [vj, vj+1 - 1] and the last to pageCount.
std::vector<PageRange> ManualPages(const std::vector<std::int32_t>& firstPages,
                                   std::int32_t pageCount);

// The page plan for one document, or nothing when the choice leaves every plan as it was
// (every N with N below 1).
std::optional<std::vector<PageRange>> BuildPagePlan(const PagePlanChoice& choice,
                                                    std::int32_t pageCount);

}  // namespace planning
