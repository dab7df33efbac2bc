#include "docserver/story.h"

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/text.h"

namespace docserver {

namespace {

bool Is(const pugi::xml_node& node, const char* name) {
  return std::strcmp(node.name(), name) == 0;
}

std::wstring TrimmedUpper(std::wstring_view s) {
  std::size_t a = 0;
  while (a < s.size() && (s[a] == L' ' || s[a] == L'\t'))
    ++a;
  std::wstring out;
  for (std::size_t i = a; i < s.size() && s[i] != L' ' && s[i] != L'\t'; ++i)
    out += static_cast<wchar_t>(std::towupper(static_cast<wint_t>(s[i])));
  return out;
}

// The target of "\l" in a HYPERLINK field's code, without its quotation marks.
std::wstring AnchorOfCode(const std::wstring& code) {
  auto at = code.find(L"\\l");
  if (at == std::wstring::npos)
    return {};
  std::size_t i = at + 2;
  while (i < code.size() && code[i] == L' ')
    ++i;
  if (i < code.size() && (code[i] == L'"' || code[i] == L'\u201C')) {
    auto close = code.find_first_of(L"\"\u201D", i + 1);
    return code.substr(i + 1, close == std::wstring::npos ? std::wstring::npos : close - i - 1);
  }
  std::size_t j = i;
  while (j < code.size() && code[j] != L' ')
    ++j;
  return code.substr(i, j - i);
}

// Made once and cloned for each use: cheaper, and the library's own lazy set-up then happens
// once, before any thread uses a copy.
const icu::BreakIterator* SentencePrototype() {
  static std::once_flag once;
  static std::unique_ptr<icu::BreakIterator> prototype;
  std::call_once(once, [] {
    UErrorCode status = U_ZERO_ERROR;
    prototype.reset(icu::BreakIterator::createSentenceInstance(icu::Locale::getEnglish(), status));
    if (U_FAILURE(status))
      prototype.reset();
  });
  return prototype.get();
}

}  // namespace

bool OnFlag(const pugi::xml_node& flag) {
  if (!flag)
    return false;
  std::string v = flag.attribute("w:val").as_string("true");
  return !(v == "0" || v == "false" || v == "off");
}

void Styles::Load(const pugi::xml_node& root) {
  for (auto style : root.child("w:styles").children("w:style")) {
    if (std::strcmp(style.attribute("w:type").as_string("paragraph"), "paragraph") != 0)
      continue;
    Style s;
    s.basedOn = style.child("w:basedOn").attribute("w:val").as_string();
    auto ppr = style.child("w:pPr");
    if (auto lvl = ppr.child("w:outlineLvl"))
      s.outline = lvl.attribute("w:val").as_int(9);
    if (auto pb = ppr.child("w:pageBreakBefore"))
      s.breakBefore = OnFlag(pb) ? 1 : 0;
    std::string id = style.attribute("w:styleId").as_string();
    if (style.attribute("w:default").as_bool())
      defaultParagraph_ = id;
    styles_[id] = std::move(s);
  }
}

template <typename Get>
int Styles::Resolve(const std::string& id, Get get) const {
  std::string current = id.empty() ? defaultParagraph_ : id;
  for (int guard = 0; guard < 64 && !current.empty(); ++guard) {
    auto it = styles_.find(current);
    if (it == styles_.end())
      break;
    int v = get(it->second);
    if (v >= 0)
      return v;
    current = it->second.basedOn;
  }
  return -1;
}

int Styles::OutlineLevel(const std::string& styleId) const {
  int v = Resolve(styleId, [](const Style& s) { return s.outline; });
  return v >= 0 && v < 9 ? v + 1 : 10;
}

bool Styles::PageBreakBefore(const std::string& styleId) const {
  return Resolve(styleId, [](const Style& s) { return s.breakBefore; }) == 1;
}

void Story::Put(Atom kind, wchar_t ch, pugi::xml_node node) {
  segments_.push_back(Segment{Length(), 1, node});
  chars_ += ch;
  kinds_.push_back(kind);
}

void Story::Text(pugi::xml_node node, const char* utf8) {
  std::wstring text = platform::FromUtf8(utf8);
  if (text.empty())
    return;
  segments_.push_back(Segment{Length(), static_cast<int>(text.size()), node});
  chars_ += text;
  kinds_.insert(kinds_.end(), text.size(), Atom::Char);
}

void Story::Mark(pugi::xml_node node, int start) {
  spans_[node.internal_object()] = Span{start, Length()};
}

void Story::Build(pugi::xml_node body, const Styles& styles) {
  // Rebuilt after every edit: the last size is a good guess for the next.
  std::size_t nodes = spans_.size();
  *this = Story{};
  spans_.reserve(nodes);
  styles_ = &styles;
  Block(body, 0, Where{});
  if (auto last = body.child("w:sectPr"))
    sectionEnds_.emplace_back(Length(), last);
  // Fields left open by a damaged file have no result to show.
  openFields_.clear();
  std::erase_if(bookmarks_, [](const Bookmark& b) { return b.span.end < b.span.start; });
  for (const auto& f : fields_) {
    if (f.end < 0)
      continue;
    if (TrimmedUpper(f.code) == L"HYPERLINK")
      hyperlinks_.push_back(Hyperlink{Span{f.begin, f.end + 1}, AnchorOfCode(f.code)});
  }
  std::stable_sort(
      hyperlinks_.begin(), hyperlinks_.end(),
      [](const Hyperlink& a, const Hyperlink& b) { return a.span.start < b.span.start; });
  ComputePages();
}

void Story::Block(pugi::xml_node container, int depth, Where topRow) {
  // The last paragraph of a cell carries the cell's end mark.
  pugi::xml_node lastPara;
  if (Is(container, "w:tc"))
    for (auto c = container.last_child(); c; c = c.previous_sibling())
      if (c.type() == pugi::node_element && !Is(c, "w:tcPr")) {
        if (Is(c, "w:p"))
          lastPara = c;
        break;
      }
  for (auto child : container.children()) {
    if (child.type() != pugi::node_element)
      continue;
    int start = Length();
    if (Is(child, "w:p")) {
      Para(child, depth, topRow, child == lastPara);
    } else if (Is(child, "w:tbl")) {
      TableAt(child, depth, topRow);
    } else if (Is(child, "w:sdt")) {
      Block(child.child("w:sdtContent"), depth, topRow);
    } else if (Is(child, "w:customXml") || Is(child, "w:ins") || Is(child, "w:moveTo")) {
      Block(child, depth, topRow);
    } else if (Is(child, "w:del") || Is(child, "w:moveFrom")) {
      DeletedMarks(child);
    }
    BookmarkEdge(child, start);
    Mark(child, start);
  }
}

void Story::BookmarkEdge(pugi::xml_node node, int at) {
  if (Is(node, "w:bookmarkStart")) {
    openBookmarks_[node.attribute("w:id").as_string()] = bookmarks_.size();
    bookmarks_.push_back(
        Bookmark{platform::FromUtf8(node.attribute("w:name").as_string()), Span{at, -1}});
  } else if (Is(node, "w:bookmarkEnd")) {
    auto it = openBookmarks_.find(node.attribute("w:id").as_string());
    if (it != openBookmarks_.end()) {
      bookmarks_[it->second].span.end = at;
      openBookmarks_.erase(it);
    }
  }
}

void Story::Para(pugi::xml_node p, int depth, Where topRow, bool cellEnd) {
  int start = Length();
  Paragraph para;
  para.node = p;
  para.tableDepth = depth;
  auto ppr = p.child("w:pPr");
  if (auto own = ppr.child("w:pageBreakBefore"))
    para.pageBreakBefore = OnFlag(own);
  else
    para.pageBreakBefore =
        styles_->PageBreakBefore(ppr.child("w:pStyle").attribute("w:val").as_string());
  if (para.pageBreakBefore && depth == 0)
    candidates_.push_back(Candidate{start, false, Where{}, PageSource::BreakBefore});
  Inline(p, topRow);
  Put(cellEnd ? Atom::CellEnd : Atom::ParaMark, cellEnd ? L'\a' : L'\r', p);
  para.span = Span{start, Length()};
  paragraphs_.push_back(para);
  if (auto sect = ppr.child("w:sectPr"); sect && depth == 0)
    sectionEnds_.emplace_back(Length(), sect);
}

void Story::TableAt(pugi::xml_node tbl, int depth, Where topRow) {
  int start = Length();
  std::size_t index = tables_.size();
  tables_.push_back(Table{{start, start}, tbl, depth});
  auto rows = [&](pugi::xml_node holder, auto&& self) -> void {
    for (auto row : holder.children()) {
      if (Is(row, "w:sdt")) {
        self(row.child("w:sdtContent"), self);
        continue;
      }
      if (Is(row, "w:customXml")) {
        self(row, self);
        continue;
      }
      if (!Is(row, "w:tr"))
        continue;
      int rowStart = Length();
      Where rowKey = topRow.row ? topRow : Where{row.internal_object(), nullptr};
      for (auto cell : row.children()) {
        auto walkCell = [&](pugi::xml_node tc) {
          int cellStart = Length();
          Where where = rowKey.cell ? rowKey : Where{rowKey.row, tc.internal_object()};
          where.innerRow = row.internal_object();
          where.innerCell = tc.internal_object();
          Block(tc, depth + 1, where);
          Mark(tc, cellStart);
        };
        if (Is(cell, "w:tc"))
          walkCell(cell);
        else if (Is(cell, "w:sdt"))
          for (auto tc : cell.child("w:sdtContent").children("w:tc"))
            walkCell(tc);
      }
      Put(Atom::RowEnd, L'\a', row);
      Mark(row, rowStart);
    }
  };
  rows(tbl, rows);
  tables_[index].span.end = Length();
}

void Story::Inline(pugi::xml_node container, Where topRow) {
  for (auto child : container.children()) {
    if (child.type() != pugi::node_element)
      continue;
    int start = Length();
    if (Is(child, "w:r")) {
      Run(child, topRow);
    } else if (Is(child, "w:hyperlink")) {
      Inline(child, topRow);
      if (auto anchor = child.attribute("w:anchor"))
        hyperlinks_.push_back(Hyperlink{{start, Length()}, platform::FromUtf8(anchor.as_string())});
      else
        hyperlinks_.push_back(Hyperlink{{start, Length()}, L""});
    } else if (Is(child, "w:sdt")) {
      Inline(child.child("w:sdtContent"), topRow);
    } else if (Is(child, "w:smartTag") || Is(child, "w:customXml") || Is(child, "w:ins") ||
               Is(child, "w:moveTo") || Is(child, "w:dir") || Is(child, "w:bdo") ||
               Is(child, "w:fldSimple")) {
      Inline(child, topRow);
    } else if (Is(child, "m:oMath") || Is(child, "m:oMathPara")) {
      Put(Atom::Object, L'\x01', child);
    } else if (Is(child, "w:del") || Is(child, "w:moveFrom")) {
      // Text a tracked change took out is not shown; the bookmarks in it still mark places.
      DeletedMarks(child);
    } else {
      BookmarkEdge(child, start);
    }
    Mark(child, start);
  }
}

void Story::DeletedMarks(pugi::xml_node container) {
  for (auto child : container.children()) {
    if (child.type() != pugi::node_element)
      continue;
    BookmarkEdge(child, Length());
    DeletedMarks(child);
    Mark(child, Length());
  }
}

void Story::Run(pugi::xml_node r, Where topRow) {
  for (auto c : r.children()) {
    if (c.type() != pugi::node_element)
      continue;
    int start = Length();
    const char* n = c.name();
    if (std::strcmp(n, "w:t") == 0) {
      Text(c, c.text().get());
    } else if (std::strcmp(n, "w:instrText") == 0) {
      std::wstring code = platform::FromUtf8(c.text().get());
      if (!openFields_.empty() &&
          fields_[static_cast<std::size_t>(openFields_.back())].separator < 0)
        fields_[static_cast<std::size_t>(openFields_.back())].code += code;
      Text(c, c.text().get());
    } else if (std::strcmp(n, "w:tab") == 0 || std::strcmp(n, "w:ptab") == 0) {
      Put(Atom::Tab, L'\t', c);
    } else if (std::strcmp(n, "w:br") == 0) {
      if (std::strcmp(c.attribute("w:type").as_string(), "page") == 0) {
        Put(Atom::PageBreak, L'\f', c);
        // Word does not break the page at a page break inside a table cell.
        if (!topRow.row)
          candidates_.push_back(Candidate{Length(), false, Where{}, PageSource::PageBreak});
      } else {
        Put(Atom::LineBreak, L'\v', c);
      }
    } else if (std::strcmp(n, "w:cr") == 0) {
      Put(Atom::LineBreak, L'\v', c);
    } else if (std::strcmp(n, "w:noBreakHyphen") == 0) {
      Put(Atom::Char, L'\x1E', c);
    } else if (std::strcmp(n, "w:softHyphen") == 0) {
      Put(Atom::Char, L'\x1F', c);
    } else if (std::strcmp(n, "w:sym") == 0) {
      Put(Atom::Char, L'\xFFFD', c);
    } else if (std::strcmp(n, "w:drawing") == 0 || std::strcmp(n, "w:pict") == 0 ||
               std::strcmp(n, "w:object") == 0 || std::strcmp(n, "mc:AlternateContent") == 0 ||
               std::strcmp(n, "w:footnoteReference") == 0 ||
               std::strcmp(n, "w:endnoteReference") == 0 ||
               std::strcmp(n, "w:commentReference") == 0) {
      Put(Atom::Object, L'\x01', c);
    } else if (std::strcmp(n, "w:fldChar") == 0) {
      std::string type = c.attribute("w:fldCharType").as_string();
      if (type == "begin") {
        Field f;
        f.begin = Length();
        f.end = -1;
        f.parent = openFields_.empty() ? -1 : openFields_.back();
        openFields_.push_back(static_cast<int>(fields_.size()));
        fields_.push_back(f);
        Put(Atom::FieldBegin, L'\x13', c);
      } else if (type == "separate") {
        if (!openFields_.empty())
          fields_[static_cast<std::size_t>(openFields_.back())].separator = Length();
        Put(Atom::FieldSep, L'\x14', c);
      } else if (type == "end") {
        if (!openFields_.empty()) {
          fields_[static_cast<std::size_t>(openFields_.back())].end = Length();
          openFields_.pop_back();
        }
        Put(Atom::FieldEnd, L'\x15', c);
      }
    } else if (std::strcmp(n, "w:lastRenderedPageBreak") == 0) {
      candidates_.push_back(Candidate{Length(), true, topRow, PageSource::Recorded});
    }
    Mark(c, start);
  }
}

template <typename Key>
std::vector<Story::Candidate> Story::MergeRows(const std::vector<Candidate>& in, Key key) {
  std::vector<Candidate> merged;
  for (std::size_t i = 0; i < in.size();) {
    const Candidate& c = in[i];
    const void* row = key(c.where).first;
    if (!c.recorded || !row) {
      merged.push_back(c);
      ++i;
      continue;
    }
    std::size_t j = i;
    std::vector<std::pair<const void*, std::vector<Candidate>>> cells;
    for (; j < in.size() && in[j].recorded && key(in[j].where).first == row; ++j) {
      const void* cell = key(in[j].where).second;
      auto it =
          std::find_if(cells.begin(), cells.end(), [&](const auto& e) { return e.first == cell; });
      if (it == cells.end())
        cells.push_back({cell, {}}), it = cells.end() - 1;
      it->second.push_back(in[j]);
    }
    auto most = std::max_element(cells.begin(), cells.end(), [](const auto& a, const auto& b) {
      return a.second.size() < b.second.size();
    });
    merged.insert(merged.end(), most->second.begin(), most->second.end());
    i = j;
  }
  return merged;
}

void Story::ComputePages() {
  // Sections that begin on a new page; the type sits in the section's own (closing) sectPr.
  for (std::size_t i = 1; i < sectionEnds_.size(); ++i) {
    std::string type = sectionEnds_[i].second.child("w:type").attribute("w:val").as_string();
    if (type != "continuous" && type != "nextColumn")
      candidates_.push_back(
          Candidate{sectionEnds_[i - 1].first, false, Where{}, PageSource::SectionBreak});
  }
  // A page break that closes its paragraph shares its line with the paragraph mark; the new
  // page begins with the next paragraph.
  for (auto& c : candidates_)
    if (!c.recorded && c.pos > 0 && c.pos < Length() &&
        kinds_[static_cast<std::size_t>(c.pos - 1)] == Atom::PageBreak &&
        kinds_[static_cast<std::size_t>(c.pos)] == Atom::ParaMark)
      ++c.pos;
  // Where Word recorded a start at an explicit break, the break is what put it there.
  std::stable_sort(candidates_.begin(), candidates_.end(),
                   [](const Candidate& a, const Candidate& b) {
                     return a.pos < b.pos || (a.pos == b.pos && !a.recorded && b.recorded);
                   });
  // Word repeats a recorded break in every cell of the row that starts a page; a row running
  // over several pages has as many in each cell. The cell with the most tells the row's pages:
  // first within the rows of nested tables, then within the body-level row.
  std::vector<Candidate> merged = MergeRows(candidates_, [](const Where& w) {
    return std::pair{w.innerRow, w.innerCell};
  });
  merged = MergeRows(merged, [](const Where& w) { return std::pair{w.row, w.cell}; });
  // A recorded break with nothing but paragraph marks after it (what a cut to the end leaves of
  // the last page) starts no page.
  int tail = Length();
  while (tail > 0) {
    Atom k = kinds_[static_cast<std::size_t>(tail - 1)];
    if (k != Atom::ParaMark && k != Atom::CellEnd && k != Atom::RowEnd)
      break;
    --tail;
  }
  std::erase_if(merged, [&](const Candidate& c) { return c.recorded && c.pos >= tail; });
  pageStarts_.assign(1, 0);
  pageSources_.assign(1, PageSource::DocumentStart);
  recordedStarts_ = 0;
  bool lastRecorded = false;
  for (const auto& c : merged) {
    if (c.pos <= 0 || c.pos >= Length())
      continue;
    int last = pageStarts_.back();
    bool empty = true;
    for (int p = last; p < c.pos && empty; ++p) {
      Atom k = kinds_[static_cast<std::size_t>(p)];
      empty = k == Atom::ParaMark || k == Atom::CellEnd || k == Atom::RowEnd ||
              k == Atom::FieldBegin || k == Atom::FieldSep || k == Atom::FieldEnd;
    }
    // Only empty paragraphs since the previous start: the same break again (an explicit break
    // and the place Word recorded after it).
    if (empty && last != 0) {
      if (c.recorded && !lastRecorded && last != 0) {
        ++recordedStarts_;
        lastRecorded = true;
      }
      continue;
    }
    pageStarts_.push_back(c.pos);
    pageSources_.push_back(c.source);
    lastRecorded = c.recorded;
    recordedStarts_ += c.recorded;
  }
  std::vector<Candidate>().swap(candidates_);
}

int Story::ParagraphAt(int pos) const {
  auto it = std::upper_bound(paragraphs_.begin(), paragraphs_.end(), pos,
                             [](int p, const Paragraph& para) { return p < para.span.start; });
  if (it == paragraphs_.begin())
    return paragraphs_.empty() ? -1 : 0;
  return static_cast<int>(it - paragraphs_.begin()) - 1;
}

int Story::PageAt(int pos) const {
  auto it = std::upper_bound(pageStarts_.begin(), pageStarts_.end(), pos);
  return static_cast<int>(it - pageStarts_.begin()) - 1;
}

int Story::SegmentAt(int pos) const {
  auto it = std::upper_bound(segments_.begin(), segments_.end(), pos,
                             [](int p, const Segment& s) { return p < s.start; });
  if (it == segments_.begin())
    return -1;
  --it;
  if (pos < it->start + it->length)
    return static_cast<int>(it - segments_.begin());
  return -1;
}

bool Story::SpanOf(const pugi::xml_node& node, Span& span) const {
  auto it = spans_.find(node.internal_object());
  if (it == spans_.end())
    return false;
  span = it->second;
  return true;
}

std::wstring Story::Text(int start, int end) const {
  start = std::clamp(start, 0, Length());
  end = std::clamp(end, start, Length());
  std::vector<std::pair<int, int>> hidden;  // codes of the fields that start in the range
  for (const auto& f : fields_)
    if (f.begin >= start && f.begin < end && f.end >= 0)
      hidden.emplace_back(f.begin, f.separator >= 0 ? f.separator : f.end);
  std::wstring out;
  out.reserve(static_cast<std::size_t>(end - start));
  std::size_t h = 0;
  for (int p = start; p < end; ++p) {
    while (h < hidden.size() && hidden[h].second < p)
      ++h;
    bool inCode = false;
    for (std::size_t k = h; k < hidden.size() && hidden[k].first <= p; ++k)
      if (p <= hidden[k].second) {
        inCode = true;
        break;
      }
    if (inCode)
      continue;
    switch (KindAt(p)) {
      case Atom::FieldBegin:
      case Atom::FieldSep:
      case Atom::FieldEnd:
        break;
      case Atom::CellEnd:
      case Atom::RowEnd:
        out += L"\r\a";
        break;
      default:
        out += CharAt(p);
    }
  }
  return out;
}

std::vector<int> Story::SentenceBounds(int paragraph) const {
  const Paragraph& para = paragraphs_[static_cast<std::size_t>(paragraph)];
  // Break the visible text; codes and field marks map onto the next visible character.
  icu::UnicodeString text;
  std::vector<int> positionOf;  // UTF-16 index -> story position
  std::vector<std::pair<int, int>> codes;
  for (const auto& f : fields_)
    if (f.begin >= para.span.start && f.begin < para.span.end && f.end >= 0)
      codes.emplace_back(f.begin, f.separator >= 0 ? f.separator : f.end);
  for (int p = para.span.start; p < para.span.end; ++p) {
    Atom k = KindAt(p);
    if (k == Atom::FieldBegin || k == Atom::FieldSep || k == Atom::FieldEnd)
      continue;
    bool inCode = false;
    for (const auto& c : codes)
      inCode = inCode || (p >= c.first && p <= c.second);
    if (inCode)
      continue;
    UChar32 ch = static_cast<UChar32>(CharAt(p));
    if (k == Atom::CellEnd || k == Atom::RowEnd)
      ch = u'\r';
    int before = text.length();
    text.append(ch);
    for (int i = before; i < text.length(); ++i)
      positionOf.push_back(p);
  }
  positionOf.push_back(para.span.end);
  std::vector<int> bounds{para.span.start};
  std::unique_ptr<icu::BreakIterator> it(SentencePrototype() ? SentencePrototype()->clone()
                                                             : nullptr);
  if (it && text.length() > 0) {
    it->setText(text);
    for (int32_t b = it->next(); b != icu::BreakIterator::DONE; b = it->next()) {
      int pos = b >= static_cast<int32_t>(positionOf.size()) - 1
                    ? para.span.end
                    : positionOf[static_cast<std::size_t>(b)];
      // A boundary after a field's last visible character moves past its end mark.
      if (pos > bounds.back())
        bounds.push_back(pos);
    }
  }
  if (bounds.back() != para.span.end)
    bounds.push_back(para.span.end);
  return bounds;
}

std::vector<int> Story::FieldsIn(int start, int end) const {
  std::vector<int> out;
  std::vector<char> taken(fields_.size(), 0);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    if (f.end < 0)
      continue;
    bool inside = f.begin >= start && f.begin < end;
    bool nested = f.parent >= 0 && taken[static_cast<std::size_t>(f.parent)];
    if (inside || nested) {
      taken[i] = 1;
      out.push_back(static_cast<int>(i));
    }
  }
  return out;
}

}  // namespace docserver
