// Nothing lost, nothing doubled: plans that cover a document page by page give pieces whose
// texts together are the source's, each holding exactly its pages, and alignment never splits
// a sentence or paragraph between two pieces. The real engine over the built-in server.
#include <gtest/gtest.h>

#include <map>

#include "docserver/legacy.h"
#include "engine/chapter_entry.h"
#include "real_server.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace enginetest {
namespace {

namespace docx = testsupport::docx;

// 28 paragraphs of three sentences; Word's recorded page breaks fall inside every seventh
// sentence, so pages start mid-paragraph and mid-sentence.
struct Generated {
  std::string body;
  std::vector<std::wstring> pages;  // letters of each page
  std::vector<std::wstring> sentences;
  std::vector<std::wstring> paragraphs;
};

Generated Generate() {
  Generated g;
  g.pages.emplace_back();
  int sentence = 0;
  for (int p = 0; p < 28; ++p) {
    std::string runs;
    std::wstring paragraph;
    for (int k = 0; k < 3; ++k, ++sentence) {
      std::string head = (k ? " S" : "S") + std::to_string(sentence) + " has words";
      std::string tail = " alpha beta gamma.";
      std::wstring whole(head.begin(), head.end());
      whole.append(tail.begin(), tail.end());
      g.sentences.push_back(whole.substr(k ? 1 : 0));
      paragraph += whole;
      runs += docx::TextRun(head);
      g.pages.back().append(head.begin(), head.end());
      if (sentence % 7 == 6) {
        runs += docx::RenderedBreak();
        g.pages.emplace_back();
      }
      runs += docx::TextRun(tail);
      g.pages.back().append(tail.begin(), tail.end());
    }
    g.body += docx::Para(runs);
    g.paragraphs.push_back(paragraph);
  }
  return g;
}

int Occurrences(const std::vector<std::wstring>& texts, const std::wstring& what) {
  int n = 0;
  for (const auto& t : texts)
    for (auto at = t.find(what); at != std::wstring::npos; at = t.find(what, at + 1))
      ++n;
  return n;
}

class Acceptance : public RealServerTest {};

TEST_F(Acceptance, PlansCoveringEveryPageLoseAndDoubleNothing) {
  testsupport::TempFolder folder;
  Generated g = Generate();
  const int pages = static_cast<int>(g.pages.size());
  ASSERT_EQ(pages, 13);
  std::wstring source = folder / L"source document.docx";
  docx::Builder().Body(g.body).Pages(pages).Save(source);
  std::wstring time;
  ASSERT_EQ(ctrl->ReadPageCount(source, time, nullptr, 0, 0), pages);
  auto app = docserver::CreateApplication();
  const std::wstring whole = Letters(DocumentText(app, source));
  const std::vector<int> bounds = PageBounds(app, source);

  using Plan = std::vector<std::pair<int, int>>;
  std::map<std::string, Plan> plans;
  for (int n : {1, 3, 5}) {
    Plan plan;
    for (int first = 1; first <= pages; first += n)
      plan.emplace_back(first, std::min(pages, first + n - 1));
    plans["every " + std::to_string(n)] = plan;
  }
  // A leading 0 is page 1; a range past the end keeps the last page.
  plans["manual"] = {{0, 2}, {3, 3}, {4, 9}, {10, 20}};

  int run = 0;
  for (const auto& [name, plan] : plans)
    for (int align : {0, 1, 2}) {
      SCOPED_TRACE(name + ", align " + std::to_string(align));
      std::vector<std::wstring> texts;
      for (auto [first, last] : plan) {
        std::wstring target = folder / (L"piece " + std::to_wstring(run++) + L".docx");
        ASSERT_EQ(ctrl->ExportPageRange(source, target, first, last, pages, align), 1);
        std::wstring difference;
        EXPECT_EQ(ctrl->VerifyPiece(target, difference), 1)
            << "pages " << first << "-" << last << ": " << platform::ToUtf8(difference);
        texts.push_back(Letters(DocumentText(app, target)));
        if (align == 0) {
          std::wstring expected;
          for (int p = std::max(1, first); p <= std::min(last, pages); ++p)
            expected += g.pages[static_cast<std::size_t>(p - 1)];
          EXPECT_EQ(texts.back(), expected) << "pages " << first << "-" << last;
          int from = std::max(1, first), to = std::min(last, pages);
          EXPECT_EQ(
              TextDifference(DocumentText(app, target),
                             RangeText(app, source, bounds[static_cast<std::size_t>(from - 1)],
                                       bounds[static_cast<std::size_t>(to)])),
              "");
          EXPECT_EQ(PiecePages(app, target), to - from + 1) << "pages " << first << "-" << last;
        }
      }
      std::wstring joined;
      for (const auto& t : texts)
        joined += t;
      EXPECT_EQ(joined, whole);
      const auto& units = align == 1 ? g.sentences : g.paragraphs;
      if (align != 0) {
        for (const auto& u : units) {
          EXPECT_EQ(Occurrences(texts, u), 1) << platform::ToUtf8(u);
        }
      }
    }
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

}  // namespace
}  // namespace enginetest

namespace enginetest {
namespace {

// A page that starts right after a space inside a run: the space stays with the page before.
TEST_F(Acceptance, ASpaceBeforeAPageStartIsKept) {
  testsupport::TempFolder folder;
  std::wstring source = folder / L"space.docx";
  docx::Builder()
      .Body(docx::P("First paragraph.") +
            docx::Para(docx::TextRun("a tolerable ") + docx::RenderedBreak() +
                       docx::TextRun("level of risk.")) +
            docx::P("Last paragraph."))
      .Pages(2)
      .Save(source);
  auto app = docserver::CreateApplication();
  std::vector<std::wstring> texts;
  for (int page : {1, 2}) {
    std::wstring target = folder / (L"page " + std::to_wstring(page) + L".docx");
    ASSERT_EQ(ctrl->ExportPageRange(source, target, page, page, 2, 0), 1);
    std::wstring difference;
    EXPECT_EQ(ctrl->VerifyPiece(target, difference), 1) << platform::ToUtf8(difference);
    texts.push_back(DocumentText(app, target));
  }
  EXPECT_EQ(texts[0], L"First paragraph.\ra tolerable \r");
  EXPECT_EQ(texts[1], L"level of risk.\rLast paragraph.\r");
}

}  // namespace
}  // namespace enginetest

namespace enginetest {
namespace {

// The page boundary lies in a paragraph holding a field: the tail cut puts a break at the
// paragraph's start, which moves the boundary one position on. The piece keeps the space before
// the boundary and not the break, which would give it a page of its own.
TEST_F(Acceptance, ABoundaryInAParagraphWithAFieldKeepsTheCharacterBeforeIt) {
  testsupport::TempFolder folder;
  std::wstring source = folder / L"field.docx";
  docx::Builder()
      .Body(docx::P("First paragraph.") +
            docx::Para(docx::ComplexField(" PAGE ", docx::TextRun("1")) +
                       docx::TextRun(" a tolerable ") + docx::RenderedBreak() +
                       docx::TextRun("level of risk.")) +
            docx::P("Last paragraph."))
      .Pages(2)
      .Save(source);
  auto app = docserver::CreateApplication();
  std::wstring joined;
  for (int page : {1, 2}) {
    std::wstring target = folder / (L"page " + std::to_wstring(page) + L".docx");
    ASSERT_EQ(ctrl->ExportPageRange(source, target, page, page, 2, 0), 1);
    std::wstring difference;
    EXPECT_EQ(ctrl->VerifyPiece(target, difference), 1) << platform::ToUtf8(difference);
    EXPECT_EQ(PiecePages(app, target), 1) << page;
    joined += Letters(DocumentText(app, target));
    if (page == 1) {
      std::wstring text = DocumentText(app, target);
      EXPECT_EQ(text.find(L'\f'), std::wstring::npos) << Shown(text);
    }
  }
  EXPECT_EQ(joined, Letters(DocumentText(app, source)));
}

}  // namespace
}  // namespace enginetest

namespace enginetest {
namespace {

// Without LibreOffice a document Word never laid out still gives chapters; cutting its pages
// shows one message naming what is missing.
TEST_F(Acceptance, WithoutLibreOfficeOnlyPageCutsOfUnpaginatedDocumentsFail) {
  docserver::OfficeHost::SetDisabledForTesting(true);
  struct Restore {
    ~Restore() { docserver::OfficeHost::SetDisabledForTesting(false); }
  } restore;
  testsupport::TempFolder folder;
  std::wstring source = folder / L"other.docx";
  docx::Builder()
      .Body(docx::Heading(1, "One", "_Toc1") + docx::P("Text one.") +
            docx::Heading(1, "Two", "_Toc2") + docx::P("Text two."))
      .Save(source);
  std::wstring piece = folder / L"two.docx";
  ASSERT_EQ(ctrl->ExportChapterRange(source, piece, L"_Toc2", L"KESTO_[DOC_END]"), 1);
  auto app = docserver::CreateApplication();
  EXPECT_EQ(Letters(DocumentText(app, piece)), L"TwoText two.");
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(ctrl->ExportPageRange(source, folder / L"page.docx", 1, 1, 2, 0), -1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(L"LibreOffice is not installed"), std::wstring::npos);
}

}  // namespace
}  // namespace enginetest

namespace enginetest {
namespace {

// Tracked changes around headings: a heading whose bookmark sits in a tracked deletion, one
// inserted with its bookmark, one after a deleted paragraph's text. Every chapter is read and
// every piece cut.
TEST_F(Acceptance, ChaptersAreReadPastTrackedChanges) {
  testsupport::TempFolder folder;
  const std::string del = "<w:del w:id=\"901\" w:author=\"A\" w:date=\"2024-01-01T00:00:00Z\">";
  const std::string ins = "<w:ins w:id=\"902\" w:author=\"A\" w:date=\"2024-01-01T00:00:00Z\">";
  auto deleted = [](const std::string& text) {
    return "<w:r><w:delText xml:space=\"preserve\">" + text + "</w:delText></w:r>";
  };
  std::string body =
      docx::P("Contents") +
      docx::Toc({{"One", "_Toc1", "1"}, {"Two", "_Toc2", "1"}, {"Three", "_Toc3", "1"}}, true,
                false) +
      docx::Heading(1, "One", "_Toc1") + docx::P("Text one.") +
      docx::Styled("Heading1", del + "<w:bookmarkStart w:id=\"71\" w:name=\"_Toc2\"/>" +
                                   deleted("Old ") + "</w:del>" + docx::TextRun("Two") +
                                   "<w:bookmarkEnd w:id=\"71\"/>") +
      docx::Para(del + deleted("Gone.") + "</w:del>" + docx::TextRun("Text two.")) +
      docx::Styled("Heading1", ins + docx::Bookmark("_Toc3", docx::TextRun("Three")) + "</w:ins>") +
      docx::P("Text three.");
  std::wstring source = folder / L"tracked.docx";
  docx::Builder().Body(body).Pages(1).Save(source);
  std::vector<engine::ChapterEntry> chapters;
  ASSERT_EQ(ctrl->ReadChapters(source, chapters, nullptr), 1);
  std::vector<std::wstring> titles, keys;
  for (const auto& c : chapters) {
    titles.push_back(c.title);
    keys.push_back(c.key);
  }
  EXPECT_EQ(titles, (std::vector<std::wstring>{L"One", L"Two", L"Three"}));
  ASSERT_EQ(keys, (std::vector<std::wstring>{L"_Toc1", L"_Toc2", L"_Toc3"}));
  auto app = docserver::CreateApplication();
  std::vector<std::wstring> texts;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    std::wstring piece = folder / (L"chapter " + std::to_wstring(i) + L".docx");
    ASSERT_EQ(ctrl->ExportChapterRange(source, piece, keys[i],
                                       i + 1 < keys.size() ? keys[i + 1] : L"KESTO_[DOC_END]"),
              1);
    texts.push_back(Letters(DocumentText(app, piece)));
  }
  EXPECT_EQ(texts,
            (std::vector<std::wstring>{L"OneText one.", L"TwoText two.", L"ThreeText three."}));
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

}  // namespace
}  // namespace enginetest
