// A document Word never laid out (no page count saved, no recorded breaks): the engine sees
// LibreOffice's pages and every piece holds exactly the pages LibreOffice laid out.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "docserver/legacy.h"
#include "docserver/libreoffice/office.h"
#include "libreoffice/mini_docx.h"
#include "real_server.h"
#include "support/temp_folder.h"

namespace enginetest {
namespace {

class OfficeAcceptance : public RealServerTest {};

TEST_F(OfficeAcceptance, PiecesHoldThePagesLibreOfficeLaidOut) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  testsupport::TempFolder folder;
  std::wstring source = folder / L"other program.docx";
  std::string body;
  for (int i = 0; i < 156; ++i)
    body += minidocx::Paragraph("P" + std::to_string(i) + " " + minidocx::Words(120, i) + ".");
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
    body += minidocx::Paragraph("P" + std::to_string(i) + " " + minidocx::Words(120, i) + ".");
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

}  // namespace
}  // namespace enginetest
