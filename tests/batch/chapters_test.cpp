#include "batch/workbench_fixture.h"

namespace {

using testsupport::WorkbenchTest;

engine::ChapterEntry Chapter(int n, const wchar_t* page) {
  return {.level = 1,
          .title = L"Chapter " + std::to_wstring(n),
          .key = L"_Toc" + std::to_wstring(n),
          .pageText = page};
}

TEST_F(WorkbenchTest, ChaptersAreReadOnceAndMarksBuildThePlan) {
  script.chapters = {Chapter(1, L"1"), Chapter(2, L"3"), Chapter(3, L"7"), Chapter(4, L"9"),
                     Chapter(5, L"12")};
  script.pageCounts = {{L"book.docx", 20}};
  Add({Document(L"book.docx")});
  view.selected = bench.documents[0].row;
  auto from = view.progress.size();
  ASSERT_TRUE(bench.StartChapterReading(0));
  Wait();
  EXPECT_EQ(ProgressSince(from), (std::vector<int>{10, 30, 300}));
  EXPECT_TRUE(bench.documents[0].chaptersLoaded);
  EXPECT_EQ(bench.documents[0].plan.chapters.size(), 5u);

  bench.MarkChapter(L"_Toc3", true);
  ASSERT_EQ(view.shownPlan.size(), 2u);
  EXPECT_EQ(view.shownPlan[0].endKey, L"_Toc3");
  EXPECT_EQ(view.shownPlan[1].endKey, planning::kDocumentEndKey);
  EXPECT_EQ(view.shownPlan[1].pageCount, 14);
  bench.MarkChapter(L"_Toc3", false);
  EXPECT_TRUE(view.shownPlan.empty());
}

}  // namespace
