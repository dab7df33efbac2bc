#pragma once
// Word's own page starts kept, and the starts of the pages it did not record taken from a
// layout.

#include <vector>

#include "docserver/story.h"

namespace docserver {

struct MergedStart {
  int pos = 0;
  int word = -1;  // its index among Word's starts; -1 when taken from the layout
};

// `word` and `layout` begin with 0 and ascend; `length` is the story's. Each stretch between two
// of Word's starts gets as many starts more as the layout has pages over it, less one (counted
// in fractions of the layout's pages and rounded, so that a layout running a little ahead or
// behind adds none); they are the layout's starts nearest to whole pages into the stretch.
std::vector<MergedStart> MergePageStarts(const std::vector<int>& word,
                                         const std::vector<int>& layout, int length);

}  // namespace docserver
