#pragma once
// How documents come into the list: the filters of one path and the search of folder trees.

#include <string_view>
#include <vector>

#include "documents/document_entry.h"

namespace documents {

using DocumentList = std::vector<DocumentEntry>;

// Appends an entry for a .doc, .docx or .rtf file that is not yet in the list (same text,
// letter case counts), is not a Word owner file ("~$...") and is not hidden. True when added.
bool AcceptFile(DocumentList& documents, std::wstring_view path);

// Offers every file of a folder tree to AcceptFile, hidden folders included, in name order.
// Links to folders are not followed, so a loop of links cannot trap the search. Returns how
// many entries were added.
int AddFolder(DocumentList& documents, std::wstring_view folder);

// A dropped or chosen path: folders are searched, files offered. Returns how many were added.
int AddPath(DocumentList& documents, std::wstring_view path);

}  // namespace documents
