#pragma once
// Reading the headings of a document from its tables of contents. Word's failures leave these
// functions as WordError or CallError; the entries appended so far stay.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/chapter_entry.h"
#include "engine/word_object.h"
#include "util/window_messages.h"

namespace engine {

// First pass: tables of contents whose lines link to the headings' bookmarks. A heading split
// over two lines linking to the same bookmark becomes one entry.
void ReadChaptersFromLinks(const WordObject& document, std::vector<ChapterEntry>& chapters,
                           util::MessageTarget* window, std::int32_t progressBase,
                           std::int32_t progressSpan);

// Second pass: tables of contents without links, read through their page-reference fields.
void ReadChaptersFromFields(const WordObject& document, std::vector<ChapterEntry>& chapters,
                            util::MessageTarget* window, std::int32_t progressBase,
                            std::int32_t progressSpan);

// The bookmark name in a field code: from "_toc" (any case) up to the first character that is
// not an ASCII letter, digit or underscore; empty without "_toc".
std::wstring BookmarkNameFromCode(std::wstring_view code);

// Posts UM_PROGRESS with value; nothing without a window.
void PostProgress(util::MessageTarget* window, std::int64_t value);

}  // namespace engine
