// A document Word never laid out (no page count saved, no recorded breaks): the engine sees
// LibreOffice's pages and every piece holds exactly the pages LibreOffice laid out.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "docserver/legacy.h"
#include "docserver/libreoffice/office.h"
#include "docserver/page_report.h"
#include "libreoffice/mini_docx.h"
#include "real_server.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"
#include "table_documents.h"

namespace enginetest {
namespace {

// prefix followed by n, appended: GCC 12 at -O3 warns of a false overlap (-Wrestrict) inside
// std::string for "text" + std::to_string(n).
std::string Numbered(const char* prefix, int n) {
  std::string text = prefix;
  text += std::to_string(n);
  return text;
}

class OfficeAcceptance : public RealServerTest {};

TEST_F(OfficeAcceptance, PiecesHoldThePagesLibreOfficeLaidOut) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  testsupport::TempFolder folder;
  std::wstring source = folder / L"other program.docx";
  std::string body;
  for (int i = 0; i < 156; ++i) {
    std::string text = Numbered("P", i) + " " + minidocx::Words(120, i) + ".";
    body += minidocx::Paragraph(text);
  }
  minidocx::Write(source, body);

  // LibreOffice's own page texts, from its layout of the source.
  libreoffice::PageLayout layout = libreoffice::Office().PageStarts(source);
  std::vector<std::string> paragraphs = minidocx::ParagraphTexts(source);
  ASSERT_GE(layout.pageCount, 28);
  ASSERT_EQ(static_cast<int>(layout.starts.size()), layout.pageCount);
  std::vector<std::wstring> pages;
  for (std::size_t p = 0; p < layout.starts.size(); ++p) {
    auto from = layout.starts[p];
    auto to = p + 1 < layout.starts.size() ? layout.starts[p + 1]
                                           : libreoffice::PageStart{0, int(paragraphs.size()), 0};
    std::string text;
    for (int k = from.paragraph; k <= to.paragraph && k < int(paragraphs.size()); ++k) {
      const std::string& t = paragraphs[static_cast<std::size_t>(k)];
      std::size_t a = k == from.paragraph ? static_cast<std::size_t>(from.offset) : 0;
      std::size_t b = k == to.paragraph ? static_cast<std::size_t>(to.offset) : t.size();
      if (b > a)
        text += t.substr(a, b - a);
    }
    pages.emplace_back(text.begin(), text.end());
  }

  std::wstring time;
  const int count = ctrl->ReadPageCount(source, time, nullptr, 0, 0);
  ASSERT_EQ(count, layout.pageCount);
  std::printf("LibreOffice lays the document out on %d pages\n", count);
  auto app = docserver::CreateApplication();
  std::wstring joined;
  for (int first = 1; first <= count; first += 5) {
    int last = std::min(count, first + 4);
    std::wstring target = folder / (L"pages " + std::to_wstring(first) + L".docx");
    ASSERT_EQ(ctrl->ExportPageRange(source, target, first, last, count, 0), 1);
    std::wstring difference;
    EXPECT_EQ(ctrl->VerifyPiece(target, difference), 1) << platform::ToUtf8(difference);
    std::wstring expected;
    for (int p = first; p <= last; ++p)
      expected += pages[static_cast<std::size_t>(p - 1)];
    std::wstring got = Letters(DocumentText(app, target));
    EXPECT_EQ(got, expected) << "pages " << first << "-" << last;
    EXPECT_EQ(PiecePages(app, target), last - first + 1) << "pages " << first << "-" << last;
    joined += got;
  }
  EXPECT_EQ(joined, Letters(DocumentText(app, source)));
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

// Pieces of the older formats come back through LibreOffice: each is checked by opening it again
// and finding every letter of its range, and a piece swapped for another fails.
TEST_F(OfficeAcceptance, PiecesOfOlderFormatsAreChecked) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  testsupport::TempFolder folder;
  std::wstring docx = folder / L"source.docx";
  std::string body;
  for (int i = 0; i < 40; ++i)
    body += minidocx::Paragraph(Numbered("P", i) + " " + minidocx::Words(120, i) + ".");
  minidocx::Write(docx, body);
  for (auto [kind, ext] : {std::pair{docserver::FileKind::Doc, L".doc"},
                           std::pair{docserver::FileKind::Rtf, L".rtf"}}) {
    SCOPED_TRACE(platform::ToUtf8(ext));
    std::wstring source = folder / (std::wstring(L"source") + ext);
    docserver::OfficeHost().FromDocx(platform::ToPath(docx), platform::ToPath(source), kind);
    std::wstring time;
    const int count = ctrl->ReadPageCount(source, time, nullptr, 0, 0);
    ASSERT_GE(count, 3);
    std::vector<std::wstring> pieces;
    for (int first = 1; first <= count; first += 3) {
      pieces.push_back(folder / (L"pages " + std::to_wstring(first) + ext));
      ASSERT_EQ(
          ctrl->ExportPageRange(source, pieces.back(), first, std::min(count, first + 2), count, 0),
          1);
      std::wstring difference;
      EXPECT_EQ(ctrl->VerifyPiece(pieces.back(), difference), 1) << platform::ToUtf8(difference);
    }
    ASSERT_GE(pieces.size(), 2u);
    ASSERT_EQ(ctrl->ExportPageRange(source, pieces[0], 1, 3, count, 0), 1);
    std::filesystem::copy_file(platform::ToPath(pieces[1]), platform::ToPath(pieces[0]),
                               std::filesystem::copy_options::overwrite_existing);
    std::wstring difference;
    EXPECT_EQ(ctrl->VerifyPiece(pieces[0], difference), -1);
    EXPECT_TRUE(difference.starts_with(L"its text differs from the source at character "))
        << platform::ToUtf8(difference);
  }
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

// Pieces of one page of the table documents, as LibreOffice lays them out: one page each, none
// with a blank page left by a break at its end.
TEST_F(OfficeAcceptance, OnePagePiecesOfTableDocumentsRenderOnOnePage) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  libreoffice::Office office;
  for (const auto& c : tabledocs::Cases()) {
    SCOPED_TRACE(c.name);
    testsupport::TempFolder folder;
    std::wstring source = folder / L"source.docx";
    testsupport::docx::Builder().Body(c.body).Pages(c.pages).Save(source);
    for (int page = 1; page <= c.pages; ++page) {
      std::wstring piece = folder / (L"page " + std::to_wstring(page) + L".docx");
      ASSERT_EQ(ctrl->ExportPageRange(source, piece, page, page, c.pages, 0), 1);
      EXPECT_EQ(office.PageStarts(piece).pageCount, 1) << "page " << page;
    }
  }
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

// A document Word never laid out whose tables cross pages (a heading row repeated on every
// page, a row taller than what is left of a page, a nested table): cut every page at
// LibreOffice's page starts, each piece is one page in LibreOffice and has its range's text.
TEST_F(OfficeAcceptance, TablesLaidOutByLibreOfficeCutIntoWholePages) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  namespace docx = testsupport::docx;
  std::string rows = tabledocs::Row({"Name", "Value"}, false, true);
  for (int r = 1; r <= 70; ++r) {
    std::string cell = "Row " + std::to_string(r);
    if (r == 40) {
      std::string tall;
      for (int line = 0; line < 40; ++line)
        tall += docx::TextRun("line " + std::to_string(line) + " of the tall cell") +
                "<w:r><w:br/></w:r>";
      rows +=
          "<w:tr>" + tabledocs::Cell(docx::Para(tall)) + tabledocs::Cell(docx::P(cell)) + "</w:tr>";
    } else {
      rows += tabledocs::Row({cell + " name", cell + " value"});
    }
  }
  std::string nested;
  for (int r = 1; r <= 60; ++r)
    nested += tabledocs::Row({"Inner " + std::to_string(r), "x"});
  std::string body =
      tabledocs::Table(rows) + docx::P("Between the tables.") +
      tabledocs::Table("<w:tr>" + tabledocs::Cell(tabledocs::Table(nested) + docx::P("Under.")) +
                       tabledocs::Cell(docx::P("Side.")) + "</w:tr>") +
      docx::P("After.");
  testsupport::TempFolder folder;
  std::wstring source = folder / L"tables.docx";
  docx::Builder().Body(body).Save(source);
  auto app = docserver::CreateApplication();
  std::vector<int> bounds = PageBounds(app, source);
  const int pages = static_cast<int>(bounds.size()) - 1;
  ASSERT_GE(pages, 4);
  libreoffice::Office office;
  for (int page = 1; page <= pages; ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    std::wstring piece = folder / (L"page " + std::to_wstring(page) + L".docx");
    ASSERT_EQ(ctrl->ExportPageRange(source, piece, page, page, pages, 0), 1);
    EXPECT_EQ(office.PageStarts(piece).pageCount, 1);
    std::wstring range = RangeText(app, source, bounds[static_cast<std::size_t>(page - 1)],
                                   bounds[static_cast<std::size_t>(page)]);
    EXPECT_EQ(TextDifference(DocumentText(app, piece), range), "");
  }
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

// Paragraphs holding note references, pictures and fields before the place where LibreOffice
// starts a page: every page starts where one of LibreOffice's lines does (a word or a picture),
// and no letter moves between pieces.
TEST_F(OfficeAcceptance, CutsAfterAnchorsInAParagraphFallBetweenWords) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  namespace docx = testsupport::docx;
  using Anchor = std::function<std::string(docx::Builder&, int)>;
  std::vector<std::pair<std::string, Anchor>> kinds = {
      {"footnotes", [](docx::Builder& b, int n) { return b.Footnote(Numbered("Note ", n)); }},
      {"pictures", [](docx::Builder& b, int n) { return b.Image(Numbered("p", n) + ".png"); }},
      {"page fields",
       [](docx::Builder&, int) { return docx::ComplexField(" PAGE ", docx::TextRun("1")); }},
      {"text fields",
       [](docx::Builder&, int) { return docx::ComplexField(" QUOTE abc ", docx::TextRun("abc")); }},
  };
  for (const auto& [kind, anchor] : kinds) {
    SCOPED_TRACE(kind);
    testsupport::TempFolder folder;
    docx::Builder builder;
    std::string body;
    int word = 0;
    for (int p = 0; p < 3; ++p) {
      std::string runs;
      for (int k = 0; k < 6; ++k) {
        runs += docx::TextRun(Numbered("w", word++) + " ");
        runs += anchor(builder, p * 6 + k);
      }
      std::string words;
      for (int k = 0; k < 500; ++k)
        words += " w" + std::to_string(word++);
      body += docx::Para(runs + docx::TextRun(words));
    }
    std::wstring source = folder / L"anchors.docx";
    builder.Body(body).Save(source);
    auto app = docserver::CreateApplication();
    std::wstring time;
    const int pages = ctrl->ReadPageCount(source, time, nullptr, 0, 0);
    ASSERT_GE(pages, 2);
    std::wstring joined;
    for (int page = 1; page <= pages; ++page) {
      SCOPED_TRACE("page " + std::to_string(page));
      std::wstring piece = folder / (L"page " + std::to_wstring(page) + L".docx");
      ASSERT_EQ(ctrl->ExportPageRange(source, piece, page, page, pages, 0), 1);
      std::wstring text = DocumentText(app, piece);
      EXPECT_TRUE(text.starts_with(L"w") || text.starts_with(L"\x01")) << Shown(text.substr(0, 20));
      if (page < pages) {
        EXPECT_EQ(text.substr(text.size() - 2), L" \r") << Shown(text.substr(text.size() - 20));
      }
      joined += Letters(text);
    }
    EXPECT_EQ(joined, Letters(DocumentText(app, source)));
  }
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

// Word recorded one page start of three: a piece whose page starts are all Word's keeps Word's
// record and says so; one whose pages start where only the layout put them is laid out again.
TEST_F(OfficeAcceptance, PiecesOfWordsPagesKeepWordsRecord) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  testsupport::TempFolder folder;
  std::string lines;
  for (int i = 1; i <= 120; ++i)
    lines += testsupport::docx::Para((i == 60 ? testsupport::docx::RenderedBreak() : "") +
                                     testsupport::docx::TextRun(Numbered("Line ", i) + "."));
  std::wstring source = folder / L"partial record.docx";
  testsupport::docx::Builder().Body(lines).Pages(3).Save(source);
  std::wstring time;
  ASSERT_EQ(ctrl->ReadPageCount(source, time, nullptr, 0, 0), 3);
  const struct {
    int page;
    docserver::PagesBy by;
    int saved;
  } cases[] = {{1, docserver::PagesBy::Word, 1},
               {2, docserver::PagesBy::Layout, 0},
               {3, docserver::PagesBy::Layout, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    std::wstring piece = folder / (L"page " + std::to_wstring(c.page) + L".docx");
    ASSERT_EQ(ctrl->ExportPageRange(source, piece, c.page, c.page, 3, 0), 1);
    std::wstring difference;
    EXPECT_EQ(ctrl->VerifyPiece(piece, difference), 1) << platform::ToUtf8(difference);
    auto report = docserver::ReadPageReport(platform::ToPath(piece));
    EXPECT_EQ(report.by, c.by);
    EXPECT_EQ(report.savedPages, c.saved);
    if (c.by == docserver::PagesBy::Word) {
      EXPECT_EQ(report.pages.size(), 1u);
    }
  }
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

// A column break in a one-column page breaks the page: the page after it starts after the
// break, so its piece does not begin with a blank page.
TEST_F(OfficeAcceptance, APageBrokenByAColumnBreakStartsAfterIt) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  namespace docx = testsupport::docx;
  testsupport::TempFolder folder;
  std::wstring source = folder / L"columns.docx";
  docx::Builder()
      .Body(docx::P("One.") +
            docx::Para("<w:r><w:br w:type=\"column\"/></w:r>" + docx::TextRun("Two.")) +
            docx::P("Three."))
      .Save(source);
  std::wstring time;
  ASSERT_EQ(ctrl->ReadPageCount(source, time, nullptr, 0, 0), 2);
  auto app = docserver::CreateApplication();
  for (int page : {1, 2}) {
    SCOPED_TRACE(page);
    std::wstring piece = folder / (L"page " + std::to_wstring(page) + L".docx");
    ASSERT_EQ(ctrl->ExportPageRange(source, piece, page, page, 2, 0), 1);
    std::wstring difference;
    EXPECT_EQ(ctrl->VerifyPiece(piece, difference), 1) << platform::ToUtf8(difference);
    EXPECT_EQ(PiecePages(app, piece), 1);
  }
  EXPECT_EQ(DocumentText(app, folder / L"page 2.docx").substr(0, 4), L"Two.");
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

}  // namespace
}  // namespace enginetest
