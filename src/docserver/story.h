#pragma once
// The main text of a document as one sequence of character positions, with its paragraphs,
// fields, tables, bookmarks, hyperlinks and page starts indexed over it. Built in one pass over
// the body; rebuilt after each edit.

#include <cstdint>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <vector>

namespace docserver {

enum class Atom : std::uint8_t {
  Char,
  Tab,
  LineBreak,
  PageBreak,
  Object,  // picture, footnote reference and other one-character objects
  ParaMark,
  CellEnd,
  RowEnd,
  FieldBegin,
  FieldSep,
  FieldEnd,
};

// What put a page start where it is.
enum class PageSource : std::uint8_t {
  DocumentStart,  // the first page
  Recorded,       // Word's record of its last layout (w:lastRenderedPageBreak)
  PageBreak,      // an explicit page break
  SectionBreak,   // a section that begins on a new page
  BreakBefore,    // a paragraph with page-break-before
  Layout,         // LibreOffice's layout
};

struct Span {
  int start = 0;
  int end = 0;
};

// A stretch of positions that one XML node stands for: the characters of a w:t or w:instrText
// (offset = first character of the node inside the stretch), or one single-position atom.
struct Segment {
  int start = 0;
  int length = 0;
  pugi::xml_node node;
};

struct Paragraph {
  Span span;  // the mark is the last position
  pugi::xml_node node;
  int tableDepth = 0;
  bool pageBreakBefore = false;
};

struct Field {
  int begin = 0;
  int separator = -1;  // -1: no result part
  int end = 0;
  int parent = -1;
  std::wstring code;
};

struct Table {
  Span span;
  pugi::xml_node node;
  int depth = 0;  // 0 for a table in the body
};

struct Hyperlink {
  Span span;
  std::wstring anchor;
};

struct Bookmark {
  std::wstring name;
  Span span;
};

// What the story needs to know of the styles part.
class Styles {
 public:
  void Load(const pugi::xml_node& stylesRoot);
  // Outline level 1..9 of a paragraph style through its basedOn chain, 10 for none.
  int OutlineLevel(const std::string& styleId) const;
  bool PageBreakBefore(const std::string& styleId) const;

 private:
  struct Style {
    std::string basedOn;
    int outline = -1;      // 0..9 as written, -1 when not set
    int breakBefore = -1;  // 0/1, -1 when not set
  };
  template <typename Get>
  int Resolve(const std::string& id, Get get) const;
  std::unordered_map<std::string, Style> styles_;
  std::string defaultParagraph_;
};

class Story {
 public:
  void Build(pugi::xml_node body, const Styles& styles);

  int Length() const { return static_cast<int>(chars_.size()); }
  Atom KindAt(int pos) const { return kinds_[static_cast<std::size_t>(pos)]; }
  wchar_t CharAt(int pos) const { return chars_[static_cast<std::size_t>(pos)]; }
  // Every position's character, marks included.
  const std::wstring& Chars() const { return chars_; }
  // The text Word shows for a range: field results rather than codes, no field marks.
  std::wstring Text(int start, int end) const;

  const std::vector<Paragraph>& Paragraphs() const { return paragraphs_; }
  const std::vector<Field>& Fields() const { return fields_; }
  const std::vector<Table>& Tables() const { return tables_; }
  const std::vector<Hyperlink>& Hyperlinks() const { return hyperlinks_; }
  const std::vector<Bookmark>& Bookmarks() const { return bookmarks_; }
  const std::vector<int>& PageStarts() const { return pageStarts_; }
  // What put each of PageStarts() there, one for each.
  const std::vector<PageSource>& PageSources() const { return pageSources_; }
  const std::vector<Segment>& Segments() const { return segments_; }
  // Page starts that Word recorded when it last laid the document out, one per page break.
  int RecordedStarts() const { return recordedStarts_; }

  // Index of the paragraph holding a position (the last one for the end of the story).
  int ParagraphAt(int pos) const;
  // 0-based page of a position.
  int PageAt(int pos) const;
  // The segment holding a position, or -1.
  int SegmentAt(int pos) const;
  // Start and end positions of an element seen by the walk (zero-width ones too).
  bool SpanOf(const pugi::xml_node& node, Span& span) const;
  // Sentence boundaries of a paragraph: starts of its sentences plus its end.
  std::vector<int> SentenceBounds(int paragraph) const;
  // Fields that start inside [start, end), each followed by the fields nested in it.
  std::vector<int> FieldsIn(int start, int end) const;

 private:
  // The body-level table row and cell a position lies in (both null outside tables), and the
  // innermost row and cell (the same ones outside nested tables).
  struct Where {
    const void* row = nullptr;
    const void* cell = nullptr;
    const void* innerRow = nullptr;
    const void* innerCell = nullptr;
  };
  struct Candidate {
    int pos;
    bool recorded;
    Where where;
    PageSource source;
  };
  void Block(pugi::xml_node container, int depth, Where topRow);
  // Opens or closes a bookmark at a position, if the node is a bookmark start or end.
  void BookmarkEdge(pugi::xml_node node, int at);
  void Para(pugi::xml_node p, int depth, Where topRow, bool cellEnd);
  void TableAt(pugi::xml_node tbl, int depth, Where topRow);
  void Inline(pugi::xml_node container, Where topRow);
  void Run(pugi::xml_node r, Where topRow);
  // Inside a tracked deletion: its bookmark starts and ends only.
  void DeletedMarks(pugi::xml_node container);
  void Put(Atom kind, wchar_t ch, pugi::xml_node node);
  void Text(pugi::xml_node node, const char* utf8);
  void Mark(pugi::xml_node node, int start);
  void ComputePages();
  // Recorded starts repeated over the cells of one row become the starts of the cell with most.
  template <typename Key>
  static std::vector<Candidate> MergeRows(const std::vector<Candidate>& in, Key key);

  const Styles* styles_ = nullptr;
  std::wstring chars_;
  std::vector<Atom> kinds_;
  std::vector<Segment> segments_;
  std::vector<Paragraph> paragraphs_;
  std::vector<Field> fields_;
  std::vector<int> openFields_;
  std::vector<Table> tables_;
  std::vector<Hyperlink> hyperlinks_;
  std::vector<Bookmark> bookmarks_;
  std::map<std::string, std::size_t> openBookmarks_;
  std::unordered_map<const void*, Span> spans_;
  std::vector<Candidate> candidates_;
  std::vector<std::pair<int, pugi::xml_node>> sectionEnds_;  // paragraph end, its sectPr
  std::vector<int> pageStarts_;
  std::vector<PageSource> pageSources_;
  int recordedStarts_ = 0;
};

// A paragraph's own property or the one of its style chain.
bool OnFlag(const pugi::xml_node& flag);

}  // namespace docserver
