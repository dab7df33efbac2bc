#pragma once
// The chapter plan: every marked chapter after the first starts a new piece.

#include <string_view>
#include <vector>

#include "engine/chapter_entry.h"
#include "planning/split_plan.h"

namespace planning {

// Pieces from the chapters' marks. The first chapter always begins the first piece; a piece
// ends where the next marked chapter begins; the last piece runs to the end of the document
// (a marked last chapter makes a piece of its own). Without a mark after the first chapter
// there is no plan. Pages count from the piece's first chapter's page
// to its last chapter's page (0 when both are unreadable).
std::vector<PageRange> BuildChapterPlan(const std::vector<engine::ChapterEntry>& chapters,
                                        std::wstring_view documentPageCountText);

}  // namespace planning
