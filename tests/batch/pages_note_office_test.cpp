// The Page cell's tooltip over the built-in document server: Word's record, LibreOffice's layout
// where that record counts more pages than Word saved, both where it counts fewer.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "batch/memory_view.h"
#include "batch/message_loop.h"
#include "batch/pages_note.h"
#include "batch/workbench.h"
#include "docserver/page_report.h"
#include "docserver/server.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace {

namespace docx = testsupport::docx;

TEST(PagesNoteOverTheBuiltInServer, TheRowSaysWhereItsPagesCameFrom) {
  if (std::system("command -v soffice > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "the office program is not installed";
  docserver::RegisterBuiltInServer();
  auto previous = batch::SetPagesNoteSource(docserver::PagesSentenceOf);
  testsupport::TempFolder program;
  testsupport::ProgramFolderScope scope{program};
  testsupport::TempFolder docs;
  docx::Builder().Body(docx::PagedBody(3)).Pages(3).Save(docs / L"recorded.docx");
  docx::Builder()
      .Body(docx::P("One.") + docx::Para(docx::RenderedBreak() + docx::TextRun("Two.")) +
            docx::Para(docx::TextRun("Three.") + docx::PageBreak()) + docx::P("Four."))
      .Pages(1)
      .Save(docs / L"stale.docx");
  std::string lines;
  for (int i = 1; i <= 120; ++i)
    lines += docx::Para((i == 60 ? docx::RenderedBreak() : "") +
                        docx::TextRun("Line " + std::to_string(i) + "."));
  docx::Builder().Body(lines).Pages(4).Save(docs / L"partial.docx");

  batch::MemoryView view;
  batch::MessageLoop loop;
  batch::Workbench bench(view, loop, batch::MakeWordEngine);
  loop.SetHandler(
      [&](std::uint32_t m, std::intptr_t w, std::intptr_t l) { bench.HandleMessage(m, w, l); });
  bench.AddFiles({docs / L"recorded.docx", docs / L"stale.docx", docs / L"partial.docx"});
  loop.RunUntil([&] { return !bench.WorkerActive(); });
  bench.JoinWorker();
  batch::SetPagesNoteSource(previous);

  ASSERT_EQ(view.rowOrder.size(), 3u);
  EXPECT_EQ(view.rows[view.rowOrder[0]].pagesNote, L"3 pages, as Word laid them out");
  EXPECT_EQ(view.rows[view.rowOrder[1]].pagesNote,
            L"2 pages by LibreOffice's layout; Word saved 1");
  EXPECT_EQ(view.rows[view.rowOrder[2]].pagesNote,
            L"3 pages from Word's record and LibreOffice's layout; Word saved 4");
}

}  // namespace
