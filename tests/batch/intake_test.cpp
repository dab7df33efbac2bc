#include "batch/pages_note.h"
#include "batch/workbench_fixture.h"
#include "util/paths.h"

namespace {

using documents::DocumentStatus;
using testsupport::WorkbenchTest;

TEST_F(WorkbenchTest, IntakeReadsEveryNewDocumentAndShowsRows) {
  script.pageCounts = {{L"a.docx", 12}, {L"b.doc", -2}, {L"c.rtf", -1}};
  script.times = {{L"a.docx", L"03/05/2014 14:07"}, {L"b.doc", L"01/01/2020 00:00"}};
  testsupport::WriteFile(docs / L"d.docx", std::string(1536, 'x'));
  Add({Document(L"a.docx"), Document(L"b.doc"), Document(L"c.rtf"), docs / L"d.docx",
       docs / L"missing.docx"});

  ASSERT_EQ(bench.documents.size(), 5u);
  const auto& d = bench.documents;
  EXPECT_EQ(d[0].pageCountText, L"12");
  EXPECT_EQ(d[0].timeText, L"03/05/2014 14:07");
  EXPECT_EQ(d[0].status, DocumentStatus::Ready);
  EXPECT_EQ(d[1].status, DocumentStatus::Protected);
  EXPECT_EQ(d[1].pageCountText, L"-2");
  EXPECT_EQ(d[1].timeText, L"01/01/2020 00:00");
  // Two failing reads in a row: neither shows another document's time.
  EXPECT_EQ(d[2].status, DocumentStatus::Failed);
  EXPECT_EQ(d[2].timeText, L"");
  EXPECT_EQ(d[3].sizeText, L"1.50KB");
  EXPECT_EQ(d[4].status, DocumentStatus::Failed);
  EXPECT_EQ(d[4].sizeText, L"0.00KB");
  EXPECT_EQ(d[4].timeText, L"");

  // Working copies carry the documents' bytes; the originals stay where they were.
  EXPECT_EQ(testsupport::ReadFile(d[0].workPath), "a.docx");
  EXPECT_TRUE(testsupport::Exists(d[0].path));

  ASSERT_EQ(view.rowOrder.size(), 5u);
  EXPECT_EQ(view.rows[d[0].row].status, DocumentStatus::Ready);
  EXPECT_EQ(view.rows[d[1].row].status, DocumentStatus::Protected);
  EXPECT_EQ(view.rows[d[0].row].pages, L"12");
  // Over Word a count is Word's own; a failed read says nothing of pages.
  EXPECT_EQ(view.rows[d[0].row].pagesNote, L"12 pages, as Word laid them out");
  EXPECT_EQ(view.rows[d[2].row].pagesNote, L"");
  EXPECT_EQ(view.rows[d[0].row].folder, docs.Path());

  // 5 documents: step 46 from 70, the reader posting counter+step before each send.
  EXPECT_EQ(view.progress,
            (std::vector<int>{20, 50, 116, 116, 162, 162, 208, 208, 254, 254, 300, 300, 300}));
  EXPECT_EQ(bench.busyFlag, 0);
  EXPECT_TRUE(view.listEnabled);
  EXPECT_FALSE(view.busy);
  EXPECT_EQ(view.flashes, 1);
  EXPECT_EQ(script.quits, 1);
}

TEST_F(WorkbenchTest, ThePageCellTellsWhatTheServerKnowsOfItsPages) {
  script.pageCounts = {{L"a.docx", 13}, {L"b.docx", 1}};
  auto previous = batch::SetPagesNoteSource([](std::wstring_view path) {
    return testsupport::ReadFile(std::wstring(path)) == "a.docx"
               ? std::optional<std::wstring>(L"13 pages by LibreOffice's layout; Word saved 12")
               : std::nullopt;
  });
  Add({Document(L"a.docx"), Document(L"b.docx")});
  batch::SetPagesNoteSource(previous);
  ASSERT_EQ(view.rowOrder.size(), 2u);
  EXPECT_EQ(view.rows[view.rowOrder[0]].pagesNote,
            L"13 pages by LibreOffice's layout; Word saved 12");
  EXPECT_EQ(view.rows[view.rowOrder[1]].pagesNote, L"1 page, as Word laid it out");
}

TEST_F(WorkbenchTest, FiltersOfTheWayIn) {
  testsupport::WriteFile(docs / L"tree/sub 子/deep/REPORT.DOCX", "r");
  testsupport::WriteFile(docs / L"tree/.hidden dir/in hidden.doc", "h");
  testsupport::WriteFile(docs / L"tree/notes.txt", "n");
  testsupport::WriteFile(docs / L"tree/~$owner.docx", "o");
  testsupport::WriteFile(docs / L"tree/.hidden.rtf", "x");
  std::wstring a = Document(L"a.doc");
  bench.AcceptDrop({docs / L"tree", a, a});
  Wait();
  std::vector<std::wstring> names;
  for (const auto& e : bench.documents)
    names.push_back(e.name + e.extension);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"in hidden.doc", L"REPORT.docx", L"a.doc"}));

  // The same path again adds nothing; in other letter case it is another entry.
  std::wstring upper = docs.Path() + L"A.doc";
  bench.AcceptFile(a);
  bench.AcceptFile(upper);
  EXPECT_EQ(bench.documents.size(), 4u);
}

TEST_F(WorkbenchTest, NoEngineLeavesNewEntriesWithoutRows) {
  script.startSucceeds = false;
  Add({Document(L"a.docx")});
  EXPECT_EQ(bench.documents[0].status, DocumentStatus::New);
  EXPECT_EQ(bench.documents[0].row, 0u);
  EXPECT_EQ(bench.busyFlag, 0);
  EXPECT_TRUE(view.listEnabled);

  // A later intake takes it in; entries already read keep their state.
  script.startSucceeds = true;
  Add({Document(L"b.docx")});
  EXPECT_EQ(bench.documents[0].status, DocumentStatus::Ready);
  EXPECT_EQ(view.rowOrder.size(), 2u);
}

TEST_F(WorkbenchTest, RemovingTheMiddleEntryKeepsTheOthers) {
  Add({Document(L"a.docx"), Document(L"b.docx"), Document(L"c.docx")});
  auto first = bench.documents[0].row;
  auto last = bench.documents[2].row;
  bench.RemoveEntry(bench.documents[1].row);
  ASSERT_EQ(bench.documents.size(), 2u);
  EXPECT_EQ(bench.documents[0].row, first);
  EXPECT_EQ(bench.documents[1].row, last);
  EXPECT_EQ(bench.documents[1].name, L"c");
  EXPECT_EQ(view.rowOrder, (std::vector<documents::RowId>{first, last}));
  EXPECT_TRUE(testsupport::Exists(docs / L"b.docx"));
}

TEST_F(WorkbenchTest, LookingAtDocumentsGoesThroughTheShell) {
  Add({Document(L"a.docx")});
  auto row = bench.documents[0].row;
  view.selected = row;
  bench.ViewSource(row);
  bench.RevealInExplorer(row);
  bench.documents[0].status = DocumentStatus::Done;
  bench.documents[0].resultFolder = out / L"a";
  bench.RevealInExplorer(row);
  bench.ViewResult(row);
  using platform::ShellAction;
  EXPECT_EQ(shellCalls, (std::vector<std::pair<ShellAction, std::wstring>>{
                            {ShellAction::Open, docs / L"a.docx"},
                            {ShellAction::Reveal, docs / L"a.docx"},
                            {ShellAction::Reveal, out / L"a"},
                            {ShellAction::Open, out / L"a"}}));
}

}  // namespace
