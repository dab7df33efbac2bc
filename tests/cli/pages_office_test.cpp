// varnik-cli pages where LibreOffice's layout makes pages: Word's record disagrees with the count
// Word saved.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "batch/word_engine.h"
#include "cli/runner.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace {

namespace docx = testsupport::docx;

std::string PagesOf(const std::wstring& doc) {
  cli::Console console;
  std::ostringstream out;
  EXPECT_EQ(cli::Run(cli::ParseOptions({L"pages", doc}), out, console, batch::MakeWordEngine), 0);
  return out.str();
}

TEST(CliPagesByLayout, SaysWhereWordsRecordWasNotEnough) {
  if (std::system("command -v soffice > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "the office program is not installed";
  testsupport::TempFolder program;
  testsupport::ProgramFolderScope scope{program};
  testsupport::TempFolder docs;

  // More pages recorded than Word saved: the record is not Word's last layout.
  std::wstring stale = docs / L"stale record.docx";
  docx::Builder()
      .Body(docx::P("One.") + docx::Para(docx::RenderedBreak() + docx::TextRun("Two.")) +
            docx::Para(docx::TextRun("Three.") + docx::PageBreak()) + docx::P("Four."))
      .Pages(1)
      .Save(stale);
  EXPECT_EQ(PagesOf(stale),
            "2 pages; Word saved 1: differs\n"
            "1\t1\tstart\tOne. Two. Three.\n"
            "2\t4\tlayout\tFour.\n");

  // Fewer: Word's start stays where it recorded it, the layout adds the page it left out.
  std::string lines;
  for (int i = 1; i <= 120; ++i)
    lines += docx::Para((i == 60 ? docx::RenderedBreak() : "") +
                        docx::TextRun("Line " + std::to_string(i) + "."));
  std::wstring partial = docs / L"partial record.docx";
  docx::Builder().Body(lines).Pages(3).Save(partial);
  std::string out = PagesOf(partial);
  EXPECT_EQ(out.substr(0, out.find('\n')), "3 pages; Word saved 3: agrees") << out;
  EXPECT_NE(out.find("\n2\t60\tword-mark\tLine 60. Line 61. Line 62.\n3\t"), std::string::npos)
      << out;
  EXPECT_NE(out.find("\tlayout\tLine "), std::string::npos) << out;
}

}  // namespace
