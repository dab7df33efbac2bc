#pragma once
// Moving and protecting the cut points of a page-range export. Every helper works on the
// application's selection, which holds the boundary.

#include <cstdint>

#include "engine/word_object.h"

namespace engine {

// Which cut a boundary is: the one before the piece's first page or after its last page.
enum BoundarySide : std::int32_t { StartSide = 0, EndSide = 1 };

// Keeps a field or a table at the boundary whole by inserting a break in front of it.
// 1 when a break was inserted, else 0; its own errors give 0 silently.
std::int32_t FixBoundaryObjects(BoundarySide side, const WordObject& selection);

// Inserts a break where a table goes on past the boundary. 1 when it did; errors are shown
// in the message box and give 0.
std::int32_t SplitTableAtBoundary(BoundarySide side, const WordObject& selection);

// alignMode bit 2: paragraph alignment, else bit 1: sentence alignment, else nothing.
void AlignBoundary(std::int32_t alignMode, BoundarySide side, const WordObject& selection);

// Moves the boundary so that a sentence lying across it goes whole to the earlier piece.
// Errors leave the boundary where it is.
void AlignToSentence(BoundarySide side, const WordObject& selection);

// The same for paragraphs; its errors reach the caller.
void AlignToParagraph(BoundarySide side, const WordObject& selection);

}  // namespace engine
