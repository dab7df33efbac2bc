#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "documents/document_status.h"
#include "planning/split_plan.h"
#include "util/paths.h"

namespace documents {

// Identifies a document's row in the list view; 0 while the row has not been made.
using RowId = std::uint64_t;

// One document of the list.
struct DocumentEntry {
  std::wstring workPath;       // the working copy the readers open
  std::wstring path;           // as added
  std::wstring name;           // file name without extension
  std::wstring folder;         // drive and folder, with a trailing separator
  std::wstring extension;      // lower case, with its dot
  std::wstring timeText;       // column Time
  std::wstring pageCountText;  // column Page; "-1" or "-2" when reading failed
  std::wstring pagesNote;      // how sure the page count is, the Page cell's tooltip
  std::wstring sizeText;       // column Size
  std::wstring resultFolder;   // output folder of the last finished processing
  DocumentStatus status = DocumentStatus::New;
  std::wstring reason;  // why the document ended Failed or Protected; empty otherwise
  // The document as it was copied at intake; page cuts refuse an original that changed since.
  std::optional<util::FileStamp> sourceStamp;
  RowId row = 0;
  planning::SplitPlan plan;
  bool chaptersLoaded = false;
};

}  // namespace documents
