#pragma once
// Writes .docx files for tests, with the features a test needs. Body content is given as
// WordprocessingML pieces made by the helpers below (or written by hand), so a test shows the
// markup it is about.

#include <string>
#include <string_view>
#include <vector>

namespace testsupport::docx {

// Run-level pieces.
std::string TextRun(std::string_view text);  // "\v" becomes a manual line break, as Word has it
std::string PageBreak();                     // <w:br w:type="page"/>
std::string RenderedBreak();  // where Word recorded a page start when it last laid out
std::string Tab();
std::string SimpleField(std::string_view instr, std::string_view result);
std::string ComplexField(std::string_view instr, std::string_view resultRuns);
std::string Hyperlink(std::string_view anchor, std::string_view runs);  // w:hyperlink w:anchor
std::string Bookmark(std::string_view name, std::string_view runs);

// Block-level pieces.
std::string Para(std::string_view runs, std::string_view properties = "");  // properties: pPr
std::string P(std::string_view text);
// Styles Heading1..Heading3 carry outline levels; "Chapter" is based on Heading1 without a level
// of its own; "Breaking" has page break before.
std::string Styled(std::string_view styleId, std::string_view runs);
std::string Heading(int level, std::string_view text, std::string_view bookmark = "");
// A paragraph ending a section; type: "nextPage", "continuous", "evenPage", "oddPage", or ""
// for none written (which means a new page); properties: more of the sectPr, for example
// HeaderReference().
std::string SectionEnd(std::string_view runs, std::string_view type,
                       std::string_view properties = "");
// Refers to the header that Builder::Header adds.
std::string HeaderReference();
// A table; every cell is block XML (for example P("x")).
std::string Table(const std::vector<std::vector<std::string>>& cells);
// A paragraph that is an item of list numId at level (from 0).
std::string ListItem(int numId, int level, std::string_view runs);

struct TocLine {
  std::string title;
  std::string bookmark;
  std::string page;
};
// A table of contents field over the lines; hyperlinked lines use w:hyperlink anchors,
// otherwise each line has only its PAGEREF field. inContentControl wraps it in w:sdt.
std::string Toc(const std::vector<TocLine>& lines, bool hyperlinked, bool inContentControl);

// Whole bodies for tests that need just pages or chapters.
// `pages` pages, page p saying "Page p.", each after a recorded page start.
std::string PagedBody(int pages);
// A first line, a hyperlinked table of contents over `chapters` Heading1 chapters, then each
// chapter on its own page (pages 2 on), bookmarked bookmarkPrefix + its number.
std::string ChapterBook(int chapters, std::string_view bookmarkPrefix, std::string_view firstLine);
// The same with the chapters' titles given (UTF-8).
std::string ChapterBook(const std::vector<std::string>& titles, std::string_view bookmarkPrefix,
                        std::string_view firstLine);

class Builder {
 public:
  Builder& Body(std::string_view blocks);
  // w:documentProtection enforced with this edit kind ("readOnly", "comments", "forms", ...).
  Builder& Protection(std::string_view edit);
  Builder& Modified(std::string_view w3cdtf);  // docProps/core.xml dcterms:modified
  Builder& Pages(int pages);                   // docProps/app.xml
  // Adds a header part; the last section refers to it unless told otherwise.
  Builder& Header(std::string_view text, bool onLastSection = true);
  // Adds a picture part and returns a run showing it.
  std::string Image(std::string_view name);
  // Adds a footnote and returns the run that refers to it.
  std::string Footnote(std::string_view text);
  // Adds a numbering part holding these w:abstractNum and w:num elements.
  Builder& Numbering(std::string_view definitions);

  std::string Bytes() const;
  void Save(std::wstring_view path) const;

 private:
  std::string body_;
  std::string protection_;
  std::string modified_ = "2024-03-05T08:09:10Z";
  int pages_ = 0;
  std::string header_;
  bool headerOnLastSection_ = true;
  std::vector<std::string> images_;
  std::vector<std::string> footnotes_;
  std::string numbering_;
};

}  // namespace testsupport::docx
