#include "util/number.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ReadNumber, FollowsTheOneRuleForEveryNumber) {
  struct Case {
    const wchar_t* text;
    int expected;
  };
  const Case cases[] = {
      {L"42", 42},
      {L"  4  ", 4},
      {L"\t-2", -2},
      {L"+7", 7},
      {L"", 0},
      {L"word", 0},
      {L"12abc", 12},
      {L"- 3", 0},
      {L"3 4", 3},
      {L"2147483647", INT_MAX},
      {L"2147483648", INT_MAX},
      {L"99999999999999999999", INT_MAX},
      {L"-2147483648", INT_MIN},
      {L"-99999999999999999999", INT_MIN},
  };
  for (const auto& c : cases)
    EXPECT_EQ(util::ReadNumber(c.text), c.expected) << c.text;
}

}  // namespace
