#include "planning/chapter_plan.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<engine::ChapterEntry> Chapters(std::initializer_list<const wchar_t*> pages,
                                           std::initializer_list<int> marked) {
  std::vector<engine::ChapterEntry> chapters;
  int n = 1;
  for (const wchar_t* page : pages) {
    engine::ChapterEntry c;
    c.title = L"T" + std::to_wstring(n);
    c.key = L"K" + std::to_wstring(n);
    c.pageText = page;
    for (int m : marked)
      c.marked = c.marked || m == n;
    chapters.push_back(c);
    ++n;
  }
  return chapters;
}

std::wstring Show(const std::vector<planning::PageRange>& plan) {
  std::wostringstream out;
  for (const auto& r : plan) {
    out << L"[" << r.beginText << L"-" << r.endText << L" " << r.beginKey << L">" << r.endKey
        << L" " << r.pageCount << L"]";
  }
  return out.str();
}

TEST(ChapterPlan, MarksSplitTheFlatListOfChapters) {
  const wchar_t* end = L"KESTO_[DOC_END]";
  struct Case {
    std::initializer_list<int> marked;
    std::wstring expected;
  };
  const Case cases[] = {
      // A marked last chapter is a piece of its own, to the end of the document.
      {{3, 5}, L"[T1-T2 K1>K3 2][T3-T4 K3>K5 1][T5-T5 K5>" + std::wstring(end) + L" 9]"},
      {{3}, L"[T1-T2 K1>K3 2][T3-T5 K3>" + std::wstring(end) + L" 14]"},
      {{}, L""},
      {{1}, L""},
      {{5}, L"[T1-T4 K1>K5 7][T5-T5 K5>" + std::wstring(end) + L" 9]"},
      {{2, 3}, L"[T1-T1 K1>K2 1][T2-T2 K2>K3 1][T3-T5 K3>" + std::wstring(end) + L" 14]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(planning::BuildChapterPlan(Chapters({L"1", L"2", L"7", L"7", L"12"}, c.marked),
                                              L"20")),
              c.expected);
  }
}

TEST(ChapterPlan, UnreadablePagesShowNoCount) {
  auto plan = planning::BuildChapterPlan(Chapters({L"", L"x", L""}, {2}), L"abc");
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].pageCount, 0);
  EXPECT_EQ(plan[1].pageCount, 0);
  EXPECT_TRUE(planning::BuildChapterPlan({}, L"3").empty());
}

}  // namespace
