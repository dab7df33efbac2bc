#include "util/names.h"

#include <gtest/gtest.h>

namespace {

TEST(MakeFileNameSafe, ReplacesReservedCharactersAndDropsLineBreaks) {
  EXPECT_EQ(util::MakeFileNameSafe(L"a/b:c?"), L"a b c ");
  EXPECT_EQ(util::MakeFileNameSafe(L"\\/:*?\"<>|"), L"         ");
  EXPECT_EQ(util::MakeFileNameSafe(L"one\r\ntwo"), L"onetwo");
  EXPECT_EQ(util::MakeFileNameSafe(L"  章节 1  "), L"  章节 1  ");
  // Other control characters, such as Word's manual line break (11), become spaces.
  EXPECT_EQ(util::MakeFileNameSafe(L"a\vb\tc\x01\x7F"), L"a b c  ");
}

TEST(SplitTocLine, TakesThePageAfterTheLastTab) {
  struct Case {
    const wchar_t* line;
    const wchar_t* title;
    const wchar_t* page;
  };
  const Case cases[] = {
      {L"Chapter 1\t5", L"Chapter 1", L"5"},
      {L"A\tB\t7", L"A_B", L"7"},
      {L"  Intro\t12 \r", L"Intro", L"12"},
      {L"Title\x0b"
       L"wrapped\t3",
       L"Title\x0b"
       L"wrapped",
       L"3"},                                                // manual line break stays
      {L"Ends with tab\t", L"Ends with tab", L"unchanged"},  // the tab is trimmed first
  };
  for (const auto& c : cases) {
    std::wstring page = L"unchanged";
    EXPECT_EQ(util::SplitTocLine(c.line, page), c.title) << c.line;
    EXPECT_EQ(page, c.page) << c.line;
  }
}

TEST(SplitTocLine, LeavesPageTextAloneWithoutTab) {
  std::wstring page = L"given";
  EXPECT_EQ(util::SplitTocLine(L" No tab\x01here\r\n", page), L"No tab_here");
  EXPECT_EQ(page, L"given");
}

TEST(FormatFileSize, SwitchesToMegabytesAboveOneMebibyte) {
  EXPECT_EQ(util::FormatFileSize(0), L"0.00KB");
  EXPECT_EQ(util::FormatFileSize(512), L"0.50KB");
  EXPECT_EQ(util::FormatFileSize(1024 * 1024), L"1024.00KB");
  EXPECT_EQ(util::FormatFileSize(1024 * 1024 + 1), L"1.00MB");
  EXPECT_EQ(util::FormatFileSize(5ull * 1024 * 1024 * 1024), L"5120.00MB");
}

TEST(IsLockOrHiddenFile, KnowsOwnerFilesAndHiddenNames) {
  EXPECT_TRUE(util::IsLockOrHiddenFile(L"/d/~$report.docx", L"~$report.docx"));
  EXPECT_TRUE(util::IsLockOrHiddenFile(L"/d/.draft.docx", L".draft.docx"));
  EXPECT_FALSE(util::IsLockOrHiddenFile(L"/d/report.docx", L"report.docx"));
  EXPECT_FALSE(util::IsLockOrHiddenFile(L"/d/~report.docx", L"~report.docx"));
}

}  // namespace
