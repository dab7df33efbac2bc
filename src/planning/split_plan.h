#pragma once
// What is to be cut out of one document.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/chapter_entry.h"

namespace planning {

// The end key of a chapter plan's last piece: the piece runs to the end of the document.
inline constexpr wchar_t kDocumentEndKey[] = L"KESTO_[DOC_END]";

// One piece. Page plans set only the pages; chapter plans set the rest. No invariant binds
// firstPage and lastPage: the export decides what an odd range means.
struct PageRange {
  std::int32_t firstPage = 0;  // counted from 1; 0 in a manual list's leading range
  std::int32_t lastPage = 0;   // inclusive
  std::wstring beginText;      // title of the piece's first chapter
  std::wstring endText;        // title of the piece's last chapter
  std::int32_t pageCount = 0;  // pages of a chapter piece; 0 shows "-"
  std::wstring beginKey;       // key of the piece's first chapter
  std::wstring endKey;         // key of the chapter starting the next piece, or kDocumentEndKey
  std::uint32_t tag = 0;       // the tag of the piece's row in the plan list

  bool operator==(const PageRange&) const = default;
};

enum class PlanKind : std::int32_t { None = -1, PagePlan = 0, ChapterPlan = 1 };

struct SplitPlan {
  PlanKind planKind = PlanKind::None;
  std::vector<PageRange> pagePlan;
  std::vector<engine::ChapterEntry> chapters;
  std::vector<PageRange> chapterPlan;
};

}  // namespace planning
