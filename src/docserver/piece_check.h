#pragma once
// The check of a written piece against what its cut kept of the source: it opens again, its
// parts are whole, its text is exactly the source's text of the kept range, and its pages are
// the pages that range covers.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "docserver/legacy.h"
#include "docserver/package.h"

namespace docserver {

// What a save kept of the document it was opened from.
struct PieceRecord {
  int start = 0;  // the kept range, in positions of the source's main text
  int end = 0;
  // The source's characters in that range, marks included, after a begin mark for each field
  // whose code the range starts in.
  std::wstring text;
  int pages = 0;        // source pages the range touches; 0 when the source's pages are a layout
  bool legacy = false;  // written through LibreOffice (.doc, .rtf)
};

// What is not whole in a .docx package: a part that cannot be read, malformed XML, a part with
// no content type, a relationship that does not resolve or an id used twice, and in the main
// part a bookmark not paired or its id used twice, a field not closed, a table without rows.
std::vector<std::wstring> PartProblems(Package& package, std::string_view mainPart);
// The same for a file; a file that is no ZIP archive gives one problem.
std::vector<std::wstring> PartProblems(const std::filesystem::path& docx);

// The first thing in which the piece at path differs from its record, said for a user, or
// nothing when it is exactly what the cut kept: the text a reader sees, paragraph, cell and
// break marks included (field codes, which a torn field loses on save, are not compared).
// Reads the piece once.
std::optional<std::wstring> CheckPiece(const std::filesystem::path& path,
                                       const PieceRecord& expected,
                                       const std::shared_ptr<OfficeHost>& office);

// The first place where a piece's text differs from its range's text in the source, said for a
// user, or nothing when the piece is what a cut of that range keeps. Only the ends may differ,
// and only as a cut makes them.
std::optional<std::wstring> TextDifference(std::wstring_view piece, std::wstring_view range);

// The text with its marks named as a reader would name them (¶, ¤, <page break>, ...), for
// messages.
std::wstring ShownMarks(std::wstring_view text);

// Text without marks and field codes, as a reader sees it: what a round through LibreOffice
// keeps of an older format.
std::wstring VisibleLetters(std::wstring_view raw);

}  // namespace docserver
