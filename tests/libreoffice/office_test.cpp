#include "docserver/libreoffice/office.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <optional>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "docserver/libreoffice/markers.h"
#include "libreoffice/mini_docx.h"
#include "platform/text.h"
#include "support/temp_folder.h"

namespace {

using libreoffice::Format;
using libreoffice::Office;
using libreoffice::OfficeError;
using libreoffice::PageLayout;
using libreoffice::PageStart;
using testsupport::TempFolder;

}  // namespace

namespace libreoffice {
void PrintTo(const PageStart& start, std::ostream* out) {
  *out << "{page " << start.page << ", paragraph " << start.paragraph << ", offset " << start.offset
       << "}";
}
}  // namespace libreoffice

namespace {

#define SKIP_WITHOUT_LIBREOFFICE() \
  if (!libreoffice::IsAvailable()) \
  GTEST_SKIP() << "LibreOffice is not installed"

// One office for the suite: starting one costs a second or more.
class OfficeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { office_ = new Office(); }
  static void TearDownTestSuite() {
    delete office_;
    office_ = nullptr;
  }
  void SetUp() override { SKIP_WITHOUT_LIBREOFFICE(); }
  Office& office() { return *office_; }

  TempFolder folder_;
  static Office* office_;
};
Office* OfficeTest::office_ = nullptr;

std::string Body(const std::vector<std::string>& texts) {
  std::string body;
  for (const std::string& text : texts)
    body += minidocx::Paragraph(text);
  return body;
}

TEST_F(OfficeTest, ConvertsToDocAndRtfAndBackKeepingTheText) {
  const std::vector<std::string> texts = {"First paragraph.", "Grüße aus Köln, 文档测试.", "",
                                          minidocx::Words(60)};
  std::wstring source = folder_ / L"source file.docx";
  minidocx::Write(source, Body(texts));
  std::string before = testsupport::ReadFile(source);

  for (Format format : {Format::Doc, Format::Rtf}) {
    SCOPED_TRACE(libreoffice::FilterName(format));
    std::wstring legacy = folder_ / (format == Format::Doc ? L"piece.doc" : L"piece.rtf");
    // A stale file at the target must not pass for the result.
    testsupport::WriteFile(legacy, "old");
    office().ConvertFromDocx(source, legacy, format);
    EXPECT_EQ(libreoffice::DetectFormat(legacy), format);

    // The working copy has no extension: the format comes from the content.
    std::wstring copy = folder_ / L"0";
    testsupport::WriteFile(copy, testsupport::ReadFile(legacy));
    std::wstring back = folder_ / L"back.docx";
    office().ConvertToDocx(copy, back);
    EXPECT_EQ(minidocx::ParagraphTexts(back), texts);
  }
  EXPECT_EQ(testsupport::ReadFile(source), before);
  EXPECT_EQ(office().Starts(), 1);
}

TEST_F(OfficeTest, RefusesWhatIsNotAWordDocumentOfTheGivenFormat) {
  std::wstring docx = folder_ / L"real.docx";
  minidocx::Write(docx, Body({"text"}));
  std::wstring random = folder_ / L"random.docx";
  testsupport::WriteFile(random, "Just some text that is not a document at all.\n");
  std::wstring zip = folder_ / L"other.docx";
  testsupport::WriteFile(zip, std::string("PK\x03\x04", 4) + "broken archive");
  std::wstring missing = folder_ / L"missing.docx";
  std::wstring target = folder_ / L"out.docx";
  // A compound file (the container of .doc) that holds no Word document: the type LibreOffice
  // detects decides, and a guess that is not Word is refused with a reason.
  std::wstring ole = folder_ / L"other.doc";
  testsupport::WriteFile(
      ole, std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(2040, '\0'));

  struct Case {
    const char* name;
    std::function<void()> call;
    const wchar_t* expected;
  };
  const std::vector<Case> cases = {
      {"text named .docx", [&] { office().ConvertToDocx(random, target); },
       L"is not a Word document"},
      {"text named .docx, format given",
       [&] { office().ConvertToDocx(random, target, Format::Docx); }, L"is not a Word document"},
      {"damaged archive", [&] { office().ConvertFromDocx(zip, target, Format::Doc); },
       L"is not a Word document"},
      {"docx given as rtf", [&] { office().ConvertToDocx(docx, target, Format::Rtf); },
       L"is not a Rich Text Format document"},
      {"missing file", [&] { office().ConvertToDocx(missing, target); }, L"does not exist"},
      {"missing file, layout", [&] { office().PageStarts(missing); }, L"does not exist"},
      {"text named .docx, layout", [&] { office().PageStarts(random); }, L"is not a Word document"},
      {"compound file without a Word document", [&] { office().ConvertToDocx(ole, target); },
       L"as a Word document"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    try {
      test.call();
      ADD_FAILURE() << "no error";
    } catch (const OfficeError& error) {
      EXPECT_NE(error.Description().find(test.expected), std::wstring::npos) << error.what();
    }
    EXPECT_FALSE(testsupport::Exists(target));
  }

  std::string before = testsupport::ReadFile(docx);
  EXPECT_THROW(office().ConvertFromDocx(docx, docx, Format::Docx), OfficeError);
  EXPECT_EQ(testsupport::ReadFile(docx), before);
}

TEST_F(OfficeTest, PageStartsAtExplicitBreaks) {
  std::string body = minidocx::Paragraph("one") +
                     // a page break inside a paragraph: LibreOffice splits it in two
                     "<w:p><w:r><w:t>two</w:t><w:br w:type=\"page\"/><w:t>three</w:t></w:r></w:p>" +
                     "<w:p><w:pPr><w:pageBreakBefore/></w:pPr><w:r><w:t>four</w:t></w:r></w:p>" +
                     minidocx::PageBreakParagraph() + minidocx::Paragraph("five") +
                     // a tab and a field's result count one character each, its code none
                     "<w:p><w:r><w:t>a</w:t><w:tab/><w:t>b</w:t></w:r><w:r><w:fldChar "
                     "w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> SEQ x </w:instrText></w:r>"
                     "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>1</w:t></w:r>"
                     "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t>c</w:t>"
                     "<w:br w:type=\"page\"/><w:t>d</w:t></w:r></w:p>";
  std::wstring docx = folder_ / L"breaks.docx";
  minidocx::Write(docx, body);

  PageLayout layout = office().PageStarts(docx);
  EXPECT_EQ(layout.pageCount, 5);
  // After "two" and its break; at "four"; a break that ends its paragraph leaves that paragraph
  // on its page in LibreOffice's layout, so the next page starts with "five".
  EXPECT_EQ(layout.starts,
            (std::vector<PageStart>{{1, 0, 0}, {2, 1, 4}, {3, 2, 0}, {4, 4, 0}, {5, 5, 6}}));
}

TEST_F(OfficeTest, PageStartsInsideLongParagraphs) {
  std::vector<std::string> texts;
  for (int i = 0; i < 6; ++i)
    texts.push_back(minidocx::Words(700, i));
  std::wstring docx = folder_ / L"long.docx";
  minidocx::Write(docx, Body(texts));

  PageLayout layout = office().PageStarts(docx);
  ASSERT_GE(layout.pageCount, 4);
  ASSERT_EQ(static_cast<int>(layout.starts.size()), layout.pageCount);
  EXPECT_EQ(layout.starts.front(), (PageStart{1, 0, 0}));
  for (std::size_t page = 1; page < layout.starts.size(); ++page) {
    const PageStart& start = layout.starts[page];
    const PageStart& before = layout.starts[page - 1];
    EXPECT_EQ(start.page, static_cast<int>(page) + 1);
    EXPECT_TRUE(start.paragraph > before.paragraph ||
                (start.paragraph == before.paragraph && start.offset > before.offset));
    ASSERT_LT(start.paragraph, 6);
    const std::string& text = texts[static_cast<std::size_t>(start.paragraph)];
    // Pages break between words: the page starts with a word.
    ASSERT_LT(start.offset, static_cast<int>(text.size()));
    if (start.offset > 0) {
      EXPECT_EQ(text[static_cast<std::size_t>(start.offset) - 1], ' ') << "page " << page + 1;
      EXPECT_NE(text[static_cast<std::size_t>(start.offset)], ' ') << "page " << page + 1;
    }
  }
}

TEST_F(OfficeTest, PageStartsAtATableRow) {
  // The heading row repeats on every page: the cursor cannot enter those copies.
  std::vector<std::vector<std::string>> rows = {{"Number", "Words"}};
  for (int r = 0; r < 100; ++r) {
    rows.push_back({"row " + std::to_string(r), minidocx::Words(3, r)});
  }
  std::string body = minidocx::Paragraph("Before the table.") + minidocx::Table(rows, true) +
                     minidocx::Paragraph("After the table.");
  std::wstring docx = folder_ / L"table.docx";
  minidocx::Write(docx, body);

  PageLayout layout = office().PageStarts(docx);
  ASSERT_EQ(layout.pageCount, 3);
  ASSERT_EQ(layout.starts.size(), 3u);
  EXPECT_EQ(layout.starts[0], (PageStart{1, 0, 0}));
  // Paragraph 0 is before the table, 1 and 2 the heading row; then two per row.
  for (std::size_t page = 1; page < 3; ++page) {
    const PageStart& start = layout.starts[page];
    EXPECT_EQ(start.page, static_cast<int>(page) + 1);
    EXPECT_EQ(start.offset, 0);
    EXPECT_GT(start.paragraph, layout.starts[page - 1].paragraph + 20);
    EXPECT_LT(start.paragraph, 203);
    EXPECT_EQ((start.paragraph - 1) % 2, 0) << "the page starts in a row's first cell";
  }
}

// A .doc or .rtf is laid out as loaded from it, in the load that converts it: for a document
// whose conversion changes nothing of its layout, the same pages as a layout of the .docx.
TEST_F(OfficeTest, OlderFormatsAreLaidOutInTheLoadThatConvertsThem) {
  std::vector<std::vector<std::string>> rows = {{"Number", "Words"}};
  for (int r = 0; r < 60; ++r)
    rows.push_back({"row " + std::to_string(r), minidocx::Words(3, r)});
  std::string body = minidocx::Paragraph(minidocx::Words(400, 1)) + minidocx::Table(rows, true) +
                     minidocx::Paragraph(minidocx::Words(600, 2)) + minidocx::PageBreakParagraph() +
                     minidocx::Paragraph("Last.");
  std::wstring docx = folder_ / L"source.docx";
  minidocx::Write(docx, body);
  for (Format format : {Format::Doc, Format::Rtf}) {
    SCOPED_TRACE(format == Format::Doc ? "doc" : "rtf");
    std::wstring older = folder_ / (format == Format::Doc ? L"older.doc" : L"older.rtf");
    office().ConvertFromDocx(docx, older, format);
    std::wstring converted = folder_ / L"converted.docx";
    std::optional<PageLayout> layout = office().ConvertToDocxAndLayOut(older, converted, format);
    ASSERT_TRUE(layout.has_value());
    ASSERT_GE(layout->pageCount, 4);
    EXPECT_EQ(static_cast<int>(layout->starts.size()), layout->pageCount);
    PageLayout again = office().PageStarts(converted);
    EXPECT_EQ(layout->pageCount, again.pageCount);
    EXPECT_EQ(layout->starts, again.starts);
  }
}

TEST_F(OfficeTest, PageStartsAtAFloatingTable) {
  // LibreOffice lays a floating table out as a frame; the page still starts with its first cell.
  std::string table = minidocx::Table({{"cell one", "cell two"}, {"cell three", "cell four"}});
  table.insert(table.find("<w:tblPr>") + 9,
               "<w:tblpPr w:leftFromText=\"180\" w:rightFromText=\"180\" w:vertAnchor=\"text\" "
               "w:tblpY=\"1\"/>");
  std::string body = minidocx::Paragraph("first page") + minidocx::PageBreakParagraph() + table +
                     minidocx::Paragraph("beside the table");
  std::wstring docx = folder_ / L"floating.docx";
  minidocx::Write(docx, body);
  PageLayout layout = office().PageStarts(docx);
  ASSERT_EQ(layout.pageCount, 2);
  EXPECT_EQ(layout.starts, (std::vector<PageStart>{{1, 0, 0}, {2, 2, 0}}));
}

TEST(OfficeProcess, RestartsALostOfficeOnceAndNeverHangs) {
  SKIP_WITHOUT_LIBREOFFICE();
  TempFolder folder;
  std::wstring docx = folder / L"doc.docx";
  minidocx::Write(docx, minidocx::Paragraph("text"));
  libreoffice::OfficeOptions options;
  options.callTimeout = std::chrono::seconds(4);
  Office office(options);
  office.ConvertFromDocx(docx, folder / L"a.rtf", Format::Rtf);
  ASSERT_TRUE(office.Running());

  // Crashed between documents.
  kill(-office.ProcessId(), SIGKILL);
  office.ConvertFromDocx(docx, folder / L"b.rtf", Format::Rtf);
  EXPECT_EQ(office.Starts(), 2);

  // Hung: the call is given up after its time and the office started again.
  kill(-office.ProcessId(), SIGSTOP);
  auto begin = std::chrono::steady_clock::now();
  office.ConvertFromDocx(docx, folder / L"c.rtf", Format::Rtf);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(40));
  EXPECT_EQ(office.Starts(), 3);
  EXPECT_EQ(libreoffice::DetectFormat(folder / L"c.rtf"), Format::Rtf);

  office.Stop();
  EXPECT_FALSE(office.Running());
}

// A long run does not keep one office, whose memory grows with every document it loaded.
TEST(OfficeProcess, StartsAnewAfterItsShareOfDocuments) {
  SKIP_WITHOUT_LIBREOFFICE();
  TempFolder folder;
  std::wstring docx = folder / L"doc.docx";
  minidocx::Write(docx, minidocx::Paragraph("text"));
  libreoffice::OfficeOptions options;
  options.documentsPerStart = 2;
  Office office(options);
  for (int n = 0; n < 3; ++n)
    office.ConvertFromDocx(docx, folder / (L"out" + std::to_wstring(n) + L".rtf"), Format::Rtf);
  EXPECT_EQ(office.Starts(), 2);
}

}  // namespace

namespace {

TEST(OfficeProcess, SeparateOfficesWorkInParallel) {
  SKIP_WITHOUT_LIBREOFFICE();
  TempFolder folder;
  std::wstring docx = folder / L"doc.docx";
  minidocx::Write(docx, minidocx::Paragraph("shared source"));
  std::vector<std::wstring> errors(2);
  std::vector<int> processes(2);
  std::vector<std::thread> workers;
  for (int worker = 0; worker < 2; ++worker) {
    workers.emplace_back([&, worker] {
      try {
        Office office;
        for (int round = 0; round < 2; ++round) {
          std::wstring target =
              folder / (L"out" + std::to_wstring(worker) + L"-" + std::to_wstring(round) + L".doc");
          office.ConvertFromDocx(docx, target, Format::Doc);
        }
        processes[static_cast<std::size_t>(worker)] = office.ProcessId();
      } catch (const OfficeError& error) {
        errors[static_cast<std::size_t>(worker)] = error.Description();
      }
    });
  }
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_EQ(errors, (std::vector<std::wstring>{L"", L""}));
  EXPECT_NE(processes[0], processes[1]);
  for (const char* name : {"out0-0.doc", "out0-1.doc", "out1-0.doc", "out1-1.doc"}) {
    EXPECT_EQ(libreoffice::DetectFormat(folder / platform::FromUtf8(name)), Format::Doc) << name;
  }
}

}  // namespace

namespace {

TEST(OfficeMissing, EveryOperationNamesWhatIsMissing) {
  if (libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is installed";
  TempFolder folder;
  std::wstring docx = folder / L"doc.docx";
  minidocx::Write(docx, minidocx::Paragraph("text"));
  Office office;
  const std::vector<std::function<void()>> calls = {
      [&] { office.ConvertToDocx(docx, folder / L"a.docx"); },
      [&] { office.ConvertFromDocx(docx, folder / L"a.doc", Format::Doc); },
      [&] { office.PageStarts(docx); },
  };
  for (const auto& call : calls) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const OfficeError& error) {
      EXPECT_NE(error.Description().find(L"LibreOffice is not installed"), std::wstring::npos);
    }
  }
  EXPECT_FALSE(office.Running());
}

}  // namespace
