#include "planning/chapter_plan.h"

#include <algorithm>
#include <cstdint>

#include "util/number.h"

namespace planning {

namespace {

std::int32_t PagesBetween(std::wstring_view fromPage, std::wstring_view toPage) {
  std::int64_t from = util::ReadNumber(fromPage);
  std::int64_t to = util::ReadNumber(toPage);
  if (from == 0 && to == 0)
    return 0;
  std::int64_t pages = to - from + 1;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(pages, INT32_MIN, INT32_MAX));
}

PageRange Piece(const engine::ChapterEntry& first, std::wstring_view lastTitle,
                std::wstring_view endKey, std::int32_t pageCount) {
  PageRange range;
  range.beginText = first.title;
  range.endText = std::wstring(lastTitle);
  range.beginKey = first.key;
  range.endKey = std::wstring(endKey);
  range.pageCount = pageCount;
  return range;
}

}  // namespace

std::vector<PageRange> BuildChapterPlan(const std::vector<engine::ChapterEntry>& chapters,
                                        std::wstring_view documentPageCountText) {
  std::vector<PageRange> plan;
  if (chapters.empty())
    return plan;
  std::size_t start = 0;
  for (std::size_t m = 1; m < chapters.size(); ++m) {
    if (!chapters[m].marked)
      continue;
    const auto& before = chapters[m - 1];
    plan.push_back(Piece(chapters[start], before.title, chapters[m].key,
                         PagesBetween(chapters[start].pageText, before.pageText)));
    start = m;
  }
  // The last piece runs to the end, even when it is the marked last chapter alone.
  if (start != 0) {
    plan.push_back(Piece(chapters[start], chapters.back().title, kDocumentEndKey,
                         PagesBetween(chapters[start].pageText, documentPageCountText)));
  }
  return plan;
}

}  // namespace planning
