#include <atomic>
#include <future>

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

namespace {

// The window may start the next worker as soon as the last one left the busy state, and waits
// for that thread: the chapter reader must need nothing more of the window's thread by then.
TEST_F(WorkbenchTest, ANewWorkerRightAfterAChapterReadIsNotHeldUp) {
  constexpr std::uint32_t kStartNext = 0x7000;
  script.chapters = {Chapter(1, L"1"), Chapter(2, L"2")};
  Add({Document(L"book.docx")});
  view.selected = bench.documents[0].row;
  bool posted = false;
  loop.SetHandler([&](std::uint32_t m, std::intptr_t w, std::intptr_t l) {
    if (m == kStartNext) {
      view.baseTab = {.everyN = true, .everyText = L"1"};
      bench.processAllFlag = 1;
      bench.StartProcessing();
      return;
    }
    bench.HandleMessage(m, w, l);
    if (m == util::UM_BUSY_OFF && !posted) {
      posted = true;
      loop.Post(kStartNext, 0, 0);
    }
  });
  ASSERT_TRUE(bench.StartChapterReading(0));
  Wait();
  EXPECT_TRUE(bench.documents[0].chaptersLoaded);
  EXPECT_EQ(bench.documents[0].status, documents::DocumentStatus::Done);
}

}  // namespace

namespace {

// Holds the next worker inside StartWord until released, so the window's side can act while a
// worker runs.
class HeldWorker {
 public:
  HeldWorker(testsupport::EngineScript& script, batch::MessageLoop& loop) {
    script.onStart = [this, &loop] {
      reached_ = true;
      loop.Post(0, 0, 0);  // wakes the loop to see it
      release_.get_future().wait();
    };
  }
  bool Reached() const { return reached_; }
  void Release() { release_.set_value(); }

 private:
  std::atomic<bool> reached_{false};
  std::promise<void> release_;
};

TEST_F(WorkbenchTest, DuringAChapterRunMarksPlansAndTheTabStayAsTheRunTookThem) {
  script.chapters = {Chapter(1, L"1"), Chapter(2, L"3"), Chapter(3, L"7"), Chapter(4, L"9"),
                     Chapter(5, L"12")};
  Add({Document(L"book.docx")});
  view.selected = bench.documents[0].row;
  ASSERT_TRUE(bench.StartChapterReading(0));
  Wait();
  bench.MarkChapter(L"_Toc3", true);
  const auto plan = bench.documents[0].plan.chapterPlan;
  ASSERT_EQ(plan.size(), 2u);

  bench.planMode = 1;
  HeldWorker held(script, loop);
  bench.processAllFlag = 0;
  bench.StartProcessing();
  loop.RunUntil([&] { return held.Reached(); });
  // What the chapter view and the tabs may do meanwhile.
  bench.MarkChapter(L"_Toc3", false);
  bench.MarkChapter(L"_Toc4", true);
  bench.RebuildChapterPlan();
  bench.planMode = 0;
  EXPECT_TRUE(bench.documents[0].plan.chapters[2].marked);
  EXPECT_FALSE(bench.documents[0].plan.chapters[3].marked);
  EXPECT_EQ(bench.documents[0].plan.chapterPlan, plan);
  held.Release();
  Wait();

  ASSERT_EQ(script.exports.size(), 2u) << "cut by chapters, as when the run started";
  EXPECT_EQ(script.exports[0].endKey, L"_Toc3");
  EXPECT_EQ(script.exports[1].endKey, planning::kDocumentEndKey);
  EXPECT_EQ(bench.documents[0].status, documents::DocumentStatus::Done);
  // Idle again: marks work.
  bench.MarkChapter(L"_Toc4", true);
  EXPECT_EQ(bench.documents[0].plan.chapterPlan.size(), 3u);
}

TEST_F(WorkbenchTest, AMarkDuringAChapterReadLeavesTheReadChaptersWhole) {
  script.chapters = {Chapter(1, L"1"), Chapter(2, L"3"), Chapter(3, L"7")};
  Add({Document(L"book.docx")});
  view.selected = bench.documents[0].row;
  HeldWorker held(script, loop);
  ASSERT_TRUE(bench.StartChapterReading(0));
  loop.RunUntil([&] { return held.Reached(); });
  bench.MarkChapter(L"_Toc2", true);
  held.Release();
  Wait();
  ASSERT_EQ(bench.documents[0].plan.chapters.size(), 3u);
  EXPECT_FALSE(bench.documents[0].plan.chapters[1].marked);
  EXPECT_TRUE(view.shownPlan.empty());
}

}  // namespace
