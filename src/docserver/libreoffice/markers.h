#pragma once
// Paragraph markers for mapping LibreOffice's layout back onto a .docx: a copy of the document
// with an empty bookmark at the start of every body paragraph.

#include <string>
#include <vector>

namespace libreoffice {

struct MarkedCopy {
  std::string prefix;  // every marker is named prefix + paragraph index
  int paragraphs = 0;  // body paragraphs counted (see PageStart in office.h for the rule)
  // Per paragraph, its page and column breaks: LibreOffice may split it there, so its text can
  // run on in up to that many more of LibreOffice's paragraphs.
  std::vector<int> breaks;
};

// Writes target: source with the markers added to its main document part; all other parts are
// copied unchanged. Throws OfficeError when the source is not a readable .docx.
MarkedCopy WriteMarkedCopy(const std::wstring& source, const std::wstring& target);

// The body paragraphs of a main document part, counted by the same rule, for callers and tests
// that need to count the way the markers do. -1 for XML that cannot be read.
int CountBodyParagraphs(const std::string& documentXml);

}  // namespace libreoffice
