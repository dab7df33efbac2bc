#include "planning/page_plan.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

namespace {

using planning::BuildPagePlan;
using planning::PagePlanChoice;
using planning::PageRange;

std::string Show(const std::vector<PageRange>& ranges) {
  std::ostringstream out;
  for (const auto& r : ranges)
    out << "[" << r.firstPage << "," << r.lastPage << "]";
  return out.str();
}

std::string Manual(const wchar_t* list, int pages) {
  auto plan = BuildPagePlan(PagePlanChoice{.everyN = false, .manualListText = list}, pages);
  return plan ? Show(*plan) : "unchanged";
}

std::string Every(const wchar_t* n, int pages) {
  auto plan = BuildPagePlan(PagePlanChoice{.everyN = true, .everyText = n}, pages);
  return plan ? Show(*plan) : "unchanged";
}

TEST(PagePlan, ManualListsOnThirtyPages) {
  const std::pair<const wchar_t*, const char*> table[] = {
      {L"1,5,10,20", "[1,4][5,9][10,19][20,30]"},
      {L"5,10", "[0,4][5,9][10,30]"},
      {L"0,5", "[0,4][5,30]"},
      {L"", "[0,30]"},
      {L"1,5,", "[1,4][5,-1][0,30]"},
      {L"10,5", "[0,9][10,4][5,30]"},
      {L"5,5", "[0,4][5,4][5,30]"},
      {L"1,20,40", "[1,19][20,39][40,30]"},
      {L" 3 , 7 ", "[0,2][3,6][7,30]"},
      {L"1\uFF0C15", "[1,14][15,30]"},
      {L"a,5", "[0,4][5,30]"},
  };
  for (const auto& [list, expected] : table)
    EXPECT_EQ(Manual(list, 30), expected) << list;
}

TEST(PagePlan, ManualListUsesEachDocumentsOwnPageCount) {
  EXPECT_EQ(Manual(L"1,10", 12), "[1,9][10,12]");
  EXPECT_EQ(Manual(L"1,10", 40), "[1,9][10,40]");
}

TEST(PagePlan, ManualListAtTheEdgesOfTheNumberRange) {
  EXPECT_EQ(Manual(L"-2147483648", 5), "[0,-2147483648][-2147483648,5]");
  EXPECT_EQ(Manual(L"99999999999", 5), "[0,2147483646][2147483647,5]");
}

TEST(PagePlan, EveryNPages) {
  const std::tuple<const wchar_t*, int, const char*> table[] = {
      {L"3", 10, "[1,3][4,6][7,9][10,10]"},
      {L"10", 10, "[1,10]"},
      {L"99", 10, "[1,10]"},
      {L"2147483647", 10, "[1,10]"},
      {L" 4 ", 10, "[1,4][5,8][9,10]"},
      {L"1", 3, "[1,1][2,2][3,3]"},
      {L"3", -1, ""},  // page count unreadable: an empty plan
      {L"3", 0, ""},
      {L"0", 10, "unchanged"},
      {L"", 10, "unchanged"},
      {L"-2", 10, "unchanged"},
      {L"four", 10, "unchanged"},
  };
  for (const auto& [n, pages, expected] : table)
    EXPECT_EQ(Every(n, pages), expected) << n;
}

TEST(PagePlan, EveryNNeverOverflowsNearTheLimit) {
  auto ranges = planning::EveryNPages(INT_MAX - 1, INT_MAX);
  EXPECT_EQ(Show(ranges), "[1,2147483646][2147483647,2147483647]");
  EXPECT_EQ(Show(planning::EveryNPages(INT_MAX, INT_MAX)), "[1,2147483647]");
}

}  // namespace
