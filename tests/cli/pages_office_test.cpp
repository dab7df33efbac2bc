// varnik-cli pages where the pages come from LibreOffice's layout: Word's record disagrees with
// the count Word saved.

#include <gtest/gtest.h>

#include <sstream>

#include "batch/word_engine.h"
#include "cli/runner.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace {

namespace docx = testsupport::docx;

TEST(CliPagesByLayout, SaysTheLayoutAndTheCountWordSaved) {
  if (std::system("command -v soffice > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "the office program is not installed";
  testsupport::TempFolder program;
  testsupport::ProgramFolderScope scope{program};
  testsupport::TempFolder docs;
  std::wstring doc = docs / L"partial record.docx";
  docx::Builder()
      .Body(docx::P("One.") + docx::Para(docx::RenderedBreak() + docx::TextRun("Two.")) +
            docx::Para(docx::TextRun("Three.") + docx::PageBreak()) + docx::P("Four."))
      .Pages(5)
      .Save(doc);
  cli::Console console;
  std::ostringstream out;
  EXPECT_EQ(cli::Run(cli::ParseOptions({L"pages", doc}), out, console, batch::MakeWordEngine), 0);
  EXPECT_EQ(out.str(),
            "2 pages; Word saved 5: differs\n"
            "1\t1\tstart\tOne. Two. Three.\n"
            "2\t4\tlayout\tFour.\n");
}

}  // namespace
