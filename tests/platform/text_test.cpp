#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, RoundTripsEveryPlane) {
  const std::wstring text = L"Report 报告 отчёт \U0001F600 end";
  EXPECT_EQ(platform::FromUtf8(platform::ToUtf8(text)), text);
  EXPECT_EQ(platform::ToUtf8(L"报"), "\xE6\x8A\xA5");
}

TEST(Text, DamagedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(platform::FromUtf8("a\xFF"
                               "b"),
            L"a\uFFFDb");
  EXPECT_EQ(platform::FromUtf8("\xE6\x8A"), L"\uFFFD\uFFFD");  // cut short
  EXPECT_EQ(platform::FromUtf8("\xC0\x80"), L"\uFFFD\uFFFD");  // overlong
}

}  // namespace
