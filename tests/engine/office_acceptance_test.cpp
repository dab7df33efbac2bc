// A document Word never laid out (no page count saved, no recorded breaks): the engine sees
// LibreOffice's pages and every piece holds exactly the pages LibreOffice laid out.
#include <gtest/gtest.h>

#include <cstdio>

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
  for (int i = 0; i < 156; ++i) {
    // Appended to a std::string: GCC 12 at -O3 warns of a false overlap (-Wrestrict) inside
    // std::string for "P" + std::to_string(i).
    std::string text = "P";
    text += std::to_string(i) + " " + minidocx::Words(120, i) + ".";
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

}  // namespace
}  // namespace enginetest
