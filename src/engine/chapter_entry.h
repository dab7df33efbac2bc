#pragma once

#include <cstdint>
#include <string>

namespace engine {

// One heading read from a document's tables of contents.
struct ChapterEntry {
  std::int32_t level = 1;  // 1 (top) to 9; body text is stored as 1
  bool marked = false;     // a new piece starts here; false when read
  std::wstring title;      // as the table of contents shows it, never empty
  std::wstring key;        // the bookmark at which the heading starts
  std::wstring pageText;   // the page printed in the table of contents; may be empty
};

}  // namespace engine
