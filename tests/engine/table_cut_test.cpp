// Cuts at and inside tables, and next to the breaks that start pages: every piece holds its
// pages and nothing else (no blank page, its own page count right) and its text, marks
// included, is its range's source text. The real engine over the built-in server, on documents
// as Word records their pages.
#include <gtest/gtest.h>

#include "real_server.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"
#include "table_documents.h"

namespace enginetest {
namespace {

class TableCuts : public RealServerTest {};

TEST_F(TableCuts, EveryPieceHoldsItsPagesAndItsRangesText) {
  for (const auto& c : tabledocs::Cases()) {
    SCOPED_TRACE(c.name);
    testsupport::TempFolder folder;
    std::wstring source = folder / L"source.docx";
    testsupport::docx::Builder().Body(c.body).Pages(c.pages).Save(source);
    auto app = docserver::CreateApplication();
    std::vector<int> bounds = PageBounds(app, source);
    ASSERT_EQ(static_cast<int>(bounds.size()) - 1, c.pages);
    for (int every : {1, 2}) {
      for (int first = 1; first <= c.pages; first += every) {
        int last = std::min(c.pages, first + every - 1);
        SCOPED_TRACE("pages " + std::to_string(first) + "-" + std::to_string(last));
        std::wstring piece = folder / (L"piece " + std::to_wstring(every) + L" " +
                                       std::to_wstring(first) + L".docx");
        ASSERT_EQ(ctrl->ExportPageRange(source, piece, first, last, c.pages, 0), 1);
        // The program's own check of the piece against what its cut kept.
        std::wstring difference;
        EXPECT_EQ(ctrl->VerifyPiece(piece, difference), 1) << platform::ToUtf8(difference);
        EXPECT_EQ(PiecePages(app, piece), last - first + 1);
        std::wstring range = RangeText(app, source, bounds[static_cast<std::size_t>(first - 1)],
                                       bounds[static_cast<std::size_t>(last)]);
        EXPECT_EQ(TextDifference(DocumentText(app, piece), range), "");
      }
    }
  }
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

}  // namespace
}  // namespace enginetest
