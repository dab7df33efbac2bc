#include <future>

#include "batch/workbench_fixture.h"

namespace {

using documents::DocumentStatus;
using testsupport::WorkbenchTest;

class ProcessingTest : public WorkbenchTest {
 protected:
  void EveryN(const wchar_t* n) { view.baseTab = {.everyN = true, .everyText = n}; }
  void Manual(const wchar_t* list) { view.baseTab = {.everyN = false, .manualText = list}; }
};

TEST_F(ProcessingTest, EveryNPagesCutsFromTheOriginalIntoTheOutputFolder) {
  script.pageCounts = {{L"report.docx", 10}};
  settings::CIni::WriteString(L"BASE", L"ALIGN", L"3");
  Add({Document(L"report.docx")});
  EveryN(L"4");
  view.selected = bench.documents[0].row;
  Process(false);

  const auto& entry = bench.documents[0];
  EXPECT_EQ(entry.status, DocumentStatus::Done);
  EXPECT_EQ(view.rows[entry.row].status, DocumentStatus::Done);
  EXPECT_EQ(entry.resultFolder, out / L"report");
  ASSERT_EQ(script.exports.size(), 3u);
  EXPECT_EQ(script.exports[0].source, docs / L"report.docx");
  EXPECT_EQ(script.exports[2].target, out / L"report/[9]-[10].docx");
  EXPECT_EQ(script.exports[2].pages, 10);
  EXPECT_EQ(script.exports[2].align, 3);
  EXPECT_TRUE(testsupport::Exists(out / L"report/[5]-[8].docx"));
}

TEST_F(ProcessingTest, ProgressOfPageAndChapterRuns) {
  script.pageCounts = {{L"seven.docx", 7}, {L"many.docx", 400}};
  Add({Document(L"seven.docx"), Document(L"many.docx")});
  view.selected = bench.documents[0].row;
  Manual(L"1,2,3,4,5,6,7");
  auto from = view.progress.size();
  Process(false);
  EXPECT_EQ(ProgressSince(from), (std::vector<int>{0, 42, 84, 126, 168, 210, 252, 294, 300}));

  view.selected = bench.documents[1].row;
  EveryN(L"1");
  from = view.progress.size();
  Process(false);
  std::vector<int> expected(401, 0);
  expected.push_back(300);
  EXPECT_EQ(ProgressSince(from), expected);

  // A chapter run: three pieces.
  bench.planMode = 1;
  auto& plan = bench.documents[0].plan.chapterPlan;
  for (int i = 0; i < 3; ++i) {
    plan.push_back({.beginText = L"C" + std::to_wstring(i),
                    .endText = L"E",
                    .beginKey = L"_Toc" + std::to_wstring(i),
                    .endKey = L"k"});
  }
  view.selected = bench.documents[0].row;
  from = view.progress.size();
  Process(false);
  EXPECT_EQ(ProgressSince(from), (std::vector<int>{100, 200, 300, 300}));
  EXPECT_EQ(messages,
            (std::vector<std::wstring>{L"Finished. Double-Click a list item to view result. "}));
  EXPECT_EQ(bench.documents[0].status, DocumentStatus::Done);
  EXPECT_EQ(script.exports.back().source, bench.documents[0].workPath);
  // The chapter run left the other document's page-plan status alone.
  EXPECT_EQ(bench.documents[1].status, DocumentStatus::Done);
}

TEST_F(ProcessingTest, NothingSelected) {
  Add({Document(L"a.docx")});
  Process(false);
  EXPECT_EQ(messages, (std::vector<std::wstring>{L"No selected files"}));
  EXPECT_EQ(script.starts, 1);  // only the intake's
}

TEST_F(ProcessingTest, EveryNBelowOneKeepsEveryPlanAndStatus) {
  Add({Document(L"a.docx")});
  for (const wchar_t* n : {L"0", L"", L"-2", L"word"}) {
    EveryN(n);
    Process(true);
    EXPECT_EQ(bench.documents[0].status, DocumentStatus::Ready) << n;
    EXPECT_EQ(bench.documents[0].plan.planKind, planning::PlanKind::None);
  }
  EXPECT_TRUE(script.exports.empty());
}

TEST_F(ProcessingTest, AFailingDocumentDoesNotStopTheRun) {
  Add({Document(L"a.docx"), Document(std::wstring(240, L'b') + L".docx"), Document(L"c.docx")});
  EveryN(L"5");
  Process(true);
  EXPECT_EQ(bench.documents[0].status, DocumentStatus::Done);
  EXPECT_EQ(bench.documents[1].status, DocumentStatus::Failed);
  EXPECT_EQ(bench.documents[2].status, DocumentStatus::Done);
  EXPECT_EQ(messages, (std::vector<std::wstring>{
                          L"'" + std::wstring(240, L'b') +
                          L"' Total path and file name length must not exceed 255 characters."}));
}

TEST_F(ProcessingTest, UnknownNamingSchemeCannotReplaceTheExportFolder) {
  Add({Document(L"a.docx"), Document(L"b.docx")});
  settings::CIni::WriteString(L"SETTING", L"EM", L"x");
  EveryN(L"1");
  Process(true);
  EXPECT_EQ(bench.documents[0].status, DocumentStatus::Failed);
  EXPECT_EQ(bench.documents[1].status, DocumentStatus::Failed);
  EXPECT_EQ(messages, (std::vector<std::wstring>{
                          L"a   Result file can not be saved. Destintion file may be in use.",
                          L"b   Result file can not be saved. Destintion file may be in use."}));
  EXPECT_TRUE(script.exports.empty());
  EXPECT_TRUE(testsupport::Exists(out.Path()));
}

TEST_F(ProcessingTest, SecondRunClearsTheOutputFolderFirst) {
  script.pageCounts = {{L"r.docx", 6}};
  Add({Document(L"r.docx")});
  EveryN(L"2");
  Process(true);
  EXPECT_TRUE(testsupport::Exists(out / L"r/[5]-[6].docx"));
  EveryN(L"3");
  Process(true);
  EXPECT_FALSE(testsupport::Exists(out / L"r/[5]-[6].docx"));
  EXPECT_TRUE(testsupport::Exists(out / L"r/[4]-[6].docx"));
}

TEST_F(ProcessingTest, SameNamedDocumentsGetFoldersOfTheirOwn) {
  Add({Document(L"one/report.docx"), Document(L"two/report.docx"), Document(L"three/Report.docx")});
  EveryN(L"5");
  Process(true);
  EXPECT_EQ(bench.documents[0].resultFolder, out / L"report");
  EXPECT_EQ(bench.documents[1].resultFolder, out / L"report (2)");
  EXPECT_EQ(bench.documents[2].resultFolder, out / L"Report (3)");
  EXPECT_TRUE(testsupport::Exists(out / L"report/[1]-[5].docx"));
  EXPECT_TRUE(testsupport::Exists(out / L"report (2)/[1]-[5].docx"));
}

TEST_F(ProcessingTest, ChapterExportFailureEndsTheDocumentFailedWithItsReason) {
  Add({Document(L"a.docx")});
  bench.planMode = 1;
  bench.documents[0].plan.chapterPlan = {
      {.beginText = L"A", .endText = L"B", .beginKey = L"x", .endKey = planning::kDocumentEndKey}};
  script.chapterExportResult = -1;
  view.selected = bench.documents[0].row;
  Process(false);
  const auto& entry = bench.documents[0];
  EXPECT_EQ(entry.status, DocumentStatus::Failed);
  EXPECT_EQ(entry.reason, L"'a' chapters from \"A\" to \"B\" could not be written.");
  EXPECT_EQ(view.rows[entry.row].reason, entry.reason);
  EXPECT_EQ(messages, std::vector<std::wstring>{entry.reason});
}

// The user's folder of the document's name, holding the source itself and a note of theirs.
TEST_F(ProcessingTest, AFolderTheProgramDidNotMakeIsNeverEmptied) {
  settings::CIni::WriteString(L"SETTING", L"EP", docs.Path());
  std::wstring source = Document(L"report/report.docx");
  testsupport::WriteFile(docs / L"report/notes.txt", "the user's notes");
  script.pageCounts = {{L"report.docx", 4}};
  Add({source});
  // The second run reuses its own folder and empties it first.
  for (const wchar_t* every : {L"2", L"4"}) {
    EveryN(every);
    Process(true);
    EXPECT_EQ(bench.documents[0].status, DocumentStatus::Done);
    EXPECT_EQ(bench.documents[0].resultFolder, docs / L"report (2)");
    EXPECT_EQ(testsupport::ReadFile(source), "report.docx");
    EXPECT_EQ(testsupport::ReadFile(docs / L"report/notes.txt"), "the user's notes");
    EXPECT_EQ(testsupport::Exists(docs / L"report (2)/[3]-[4].docx"), every == std::wstring(L"2"));
    EXPECT_TRUE(testsupport::Exists(docs / L"report (2)/[1]-[" + std::wstring(every) + L"].docx"));
  }
}

TEST_F(ProcessingTest, AFailedPageExportEndsTheDocumentFailed) {
  script.pageCounts = {{L"a.docx", 2}, {L"b.docx", 6}};
  Add({Document(L"a.docx"), Document(L"b.docx")});
  script.failingFirstPages = {3};
  EveryN(L"2");
  // The engine's own text is shown once and becomes the reason; without one, ours is shown.
  for (const wchar_t* shown : {L"The file could not be written: x", L""}) {
    messages.clear();
    script.failureText = shown;
    Process(true);
    const std::wstring reason = std::wstring(L"'b' pages [3]-[4] could not be written") +
                                (*shown != 0 ? L": " + std::wstring(shown) : L".");
    const auto& entry = bench.documents[1];
    EXPECT_EQ(entry.status, DocumentStatus::Failed);
    EXPECT_EQ(view.rows[entry.row].status, DocumentStatus::Failed);
    EXPECT_EQ(view.rows[entry.row].reason, reason);
    EXPECT_EQ(messages, std::vector<std::wstring>{*shown != 0 ? std::wstring(shown) : reason});
    EXPECT_EQ(bench.documents[0].status, DocumentStatus::Done);
    EXPECT_FALSE(testsupport::Exists(out / L"b/[5]-[6].docx"));
  }
}

// Every piece is checked as soon as it is written; one that is not what its cut kept fails its
// document with a reason naming it, and nothing after it is cut.
TEST_F(ProcessingTest, APieceFailingItsCheckFailsTheDocument) {
  script.pageCounts = {{L"a.docx", 6}, {L"b.docx", 6}};
  Add({Document(L"a.docx"), Document(L"b.docx")});
  const std::wstring difference =
      L"its text differs from the source at character 120 (\"¶\" instead of \"rest\")";
  script.pieceFaults = {{out / L"b/[3]-[4].docx", difference}};
  EveryN(L"2");
  Process(true);
  const auto& good = bench.documents[0];
  const auto& bad = bench.documents[1];
  EXPECT_EQ(good.status, DocumentStatus::Done);
  EXPECT_EQ(bad.status, DocumentStatus::Failed);
  const std::wstring reason = L"'b' piece [3]-[4].docx: " + difference;
  EXPECT_EQ(bad.reason, reason);
  EXPECT_EQ(view.rows[bad.row].reason, reason);
  EXPECT_EQ(messages, std::vector<std::wstring>{reason});
  EXPECT_EQ(script.verified,
            (std::vector<std::wstring>{out / L"a/[1]-[2].docx", out / L"a/[3]-[4].docx",
                                       out / L"a/[5]-[6].docx", out / L"b/[1]-[2].docx",
                                       out / L"b/[3]-[4].docx"}));
  EXPECT_FALSE(testsupport::Exists(out / L"b/[5]-[6].docx"));

  // A chapter piece the same.
  messages.clear();
  bench.planMode = 1;
  bench.documents[0].plan.chapterPlan = {
      {.beginText = L"A", .endText = L"B", .beginKey = L"x", .endKey = planning::kDocumentEndKey}};
  script.pieceFaults = {{out / L"a/[A]-[B].docx", L"it has 2 pages, cut for 1"}};
  view.selected = bench.documents[0].row;
  Process(false);
  EXPECT_EQ(good.status, DocumentStatus::Failed);
  EXPECT_EQ(good.reason, L"'a' piece [A]-[B].docx: it has 2 pages, cut for 1");
  EXPECT_EQ(messages, std::vector<std::wstring>{good.reason});
}

TEST_F(ProcessingTest, RangesPastTheLastPageMakeNoPiece) {
  script.pageCounts = {{L"two.docx", 2}};
  Add({Document(L"two.docx")});
  Manual(L"1,3,5");
  Process(true);
  EXPECT_EQ(bench.documents[0].status, DocumentStatus::Done);
  ASSERT_EQ(script.exports.size(), 1u);
  EXPECT_EQ(script.exports[0].target, out / L"two/[1]-[2].docx");
  EXPECT_EQ(messages, std::vector<std::wstring>{
                          L"'two' has 2 pages; no piece was made for [3]-[4], [5]-[2]."});
}

TEST_F(ProcessingTest, AnOriginalChangedSinceIntakeIsNotCut) {
  std::wstring source = Document(L"a.docx");
  Add({source});
  testsupport::WriteFile(source, "a.docx, edited after it was added");
  EveryN(L"1");
  Process(true);
  const auto& entry = bench.documents[0];
  EXPECT_EQ(entry.status, DocumentStatus::Failed);
  EXPECT_TRUE(script.exports.empty());
  EXPECT_EQ(messages, std::vector<std::wstring>{entry.reason});
  EXPECT_TRUE(entry.reason.starts_with(L"'a' changed since it was added")) << entry.reason;
}

TEST_F(ProcessingTest, AutoOpensTheExportFolderAfterTheRun) {
  settings::CIni::WriteString(L"SETTING", L"AUTO", L"1");
  Process(true);  // even on an empty list
  ASSERT_EQ(shellCalls.size(), 1u);
  EXPECT_EQ(shellCalls[0].second, out.Path());
}

TEST_F(ProcessingTest, CommandsAreRefusedWhileAWorkerRuns) {
  Add({Document(L"a.docx"), Document(L"b.docx")});
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  script.onStart = [released] { released.wait(); };
  EveryN(L"1");
  bench.processAllFlag = 1;
  bench.StartProcessing();
  EXPECT_EQ(bench.busyFlag, 1);
  EXPECT_FALSE(view.listEnabled);
  bench.AddFiles({Document(L"c.docx")});
  bench.RemoveEntry(bench.documents[0].row);
  bench.StartProcessing();
  EXPECT_FALSE(bench.StartChapterReading(0));
  EXPECT_EQ(bench.documents.size(), 2u);
  release.set_value();
  Wait();
  EXPECT_EQ(bench.busyFlag, 0);
  EXPECT_EQ(script.starts, 2);  // the intake and this one run
  EXPECT_EQ(script.exports.size(), 10u);
}

TEST_F(ProcessingTest, NoEngineEndsTheBusyState) {
  Add({Document(L"a.docx")});
  script.startSucceeds = false;
  EveryN(L"1");
  Process(true);
  EXPECT_EQ(bench.busyFlag, 0);
  EXPECT_TRUE(view.listEnabled);
  EXPECT_EQ(bench.documents[0].status, DocumentStatus::Ready);
}

}  // namespace
