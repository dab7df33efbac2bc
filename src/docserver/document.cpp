#include "docserver/document.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <deque>
#include <set>

#include "automation/errors.h"
#include "docserver/page_merge.h"
#include "platform/text.h"

namespace docserver {

namespace {

constexpr const char* kOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";

[[noreturn]] void Fail(std::wstring text) {
  throw automation::ServerException(std::move(text));
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// Days from 1970-01-01 of a civil date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

Document::Document(const std::filesystem::path& path, bool readOnly,
                   std::shared_ptr<OfficeHost> office, SourceCache* sources)
    : path_(path),
      readOnly_(readOnly),
      office_(office ? std::move(office) : std::make_shared<OfficeHost>()) {
  FileKind kind = SniffFileKind(path);
  docx_ = kind == FileKind::Docx ? path : office_->ToDocx(path, kind);
  package_ = std::make_unique<Package>(docx_);
  const std::wstring notWord = L"The file is not a Word document: " + platform::FromPath(path);
  if (!package_->Has("[Content_Types].xml") || !package_->Has("_rels/.rels"))
    Fail(notWord);
  for (auto rel : package_->Xml("_rels/.rels").child("Relationships").children("Relationship"))
    if (std::strcmp(rel.attribute("Type").as_string(), kOfficeDocument) == 0)
      mainPart_ = ResolvePartName("", rel.attribute("Target").as_string());
  if (mainPart_.empty() || !package_->Has(mainPart_))
    Fail(notWord);
  std::string contentType;
  for (auto o : package_->Xml("[Content_Types].xml").child("Types").children("Override"))
    if (std::string_view(o.attribute("PartName").as_string()).substr(0, 1) == "/" &&
        std::string_view(o.attribute("PartName").as_string()).substr(1) == mainPart_)
      contentType = o.attribute("ContentType").as_string();
  if (contentType.find("wordprocessingml") == std::string::npos)
    Fail(notWord);
  if (kind != FileKind::Docx)
    format_ = kind == FileKind::Doc ? 0 : 6;
  else if (contentType.find("macroEnabled") != std::string::npos)
    format_ = contentType.find("template") != std::string::npos ? 15 : 13;
  else if (contentType.find("template") != std::string::npos)
    format_ = 14;
  if (sources) {
    if (const auto* parsed = sources->Find(docx_, mainPart_))
      package_->SeedXml(mainPart_, *parsed);
    else
      sources->Keep(docx_, mainPart_, package_->Xml(mainPart_));
  }
  body_ = package_->Xml(mainPart_).child("w:document").child("w:body");
  if (!body_)
    Fail(notWord);
  std::string stylesPart = ResolvePartName(mainPart_, "styles.xml");
  if (package_->Has(stylesPart))
    styles_.Load(package_->Xml(stylesPart));
  ConvertSimpleFields();
  Reindex();
  // LibreOffice writes no page record into what it converts (the saved count is still read).
  needsLayout_ = !WordPagination() || kind != FileKind::Docx;
  // Every piece of one source shares one copy of its text.
  if (sources)
    sourceChars_ = sources->FindText(docx_, mainPart_);
  if (!sourceChars_) {
    sourceChars_ = std::make_shared<const std::wstring>(story_.Chars());
    if (sources)
      sources->KeepText(docx_, mainPart_, sourceChars_);
  }
  if (story_.Length() > 0)
    origin_.emplace_back(0, story_.Length());
  if (!needsLayout_)
    sourcePageStarts_ = story_.PageStarts();
  for (const auto& f : story_.Fields()) {
    int codeEnd = f.separator >= 0 ? f.separator : f.end >= 0 ? f.end : story_.Length();
    sourceCodes_.push_back(Span{f.begin, codeEnd});
  }
}

void Document::FollowEdit(int at, int removed, int inserted, int alsoRemovedAt) {
  Remap(at, removed, inserted);
  // One more position removed before the edit's, at a place of the text as it was before both.
  if (alsoRemovedAt >= 0 && alsoRemovedAt < at)
    Remap(alsoRemovedAt, 1, 0);
  // A closing paragraph the edit added, or a trailing one it tidied away.
  int total = 0;
  for (auto& [origin, length] : origin_) {
    length = std::min(length, story_.Length() - total);
    total += length;
  }
  std::erase_if(origin_, [](const auto& s) { return s.second <= 0; });
  if (total < story_.Length()) {
    if (!origin_.empty() && origin_.back().first < 0)
      origin_.back().second += story_.Length() - total;
    else
      origin_.emplace_back(-1, story_.Length() - total);
  }
}

void Document::Remap(int at, int removed, int inserted) {
  std::vector<std::pair<int, int>> next;
  auto put = [&next](int origin, int length) {
    if (length <= 0)
      return;
    if (!next.empty()) {
      auto& last = next.back();
      if (origin < 0 ? last.first < 0 : last.first >= 0 && last.first + last.second == origin) {
        last.second += length;
        return;
      }
    }
    next.emplace_back(origin, length);
  };
  int pos = 0;
  bool placed = false;
  const int cutEnd = at + removed;
  for (const auto& stretch : origin_) {
    // Named copies rather than a structured binding: clang 14 cannot capture one.
    const int origin = stretch.first, length = stretch.second;
    const int end = pos + length;
    auto source = [origin](int offset) { return origin < 0 ? -1 : origin + offset; };
    // The part before the edit, the new positions, the part after the removed ones.
    put(source(0), std::min(end, at) - pos);
    if (!placed && end >= at) {
      put(-1, inserted);
      placed = true;
    }
    int from = std::max(pos, cutEnd);
    put(source(from - pos), end - from);
    pos = end;
  }
  if (!placed)
    put(-1, inserted);
  origin_ = std::move(next);
}

PieceRecord Document::Kept() const {
  PieceRecord record;
  record.legacy = format_ == 0 || format_ == 6;
  auto kept = [](const auto& s) { return s.first >= 0; };
  auto first = std::find_if(origin_.begin(), origin_.end(), kept);
  if (first == origin_.end())
    return record;
  auto last = std::find_if(origin_.rbegin(), origin_.rend(), kept);
  record.start = first->first;
  record.end = last->first + last->second;
  // A range that starts inside a field's code starts with that field's begin mark, so that the
  // code, which its piece drops with the torn field, is not taken for text a reader sees.
  for (const auto& code : sourceCodes_)
    if (code.start < record.start && record.start <= code.end)
      record.text += L'\x13';
  record.text += sourceChars_->substr(static_cast<std::size_t>(record.start),
                                      static_cast<std::size_t>(record.end - record.start));
  if (!sourcePageStarts_.empty()) {
    auto pageOf = [this](int pos) {
      auto it = std::upper_bound(sourcePageStarts_.begin(), sourcePageStarts_.end(), pos);
      return std::max(0, static_cast<int>(it - sourcePageStarts_.begin()) - 1);
    };
    record.pages = pageOf(record.end - 1) - pageOf(record.start) + 1;
  }
  return record;
}

// Word's record of the pages is trusted when the page count Word saved agrees with it. Without
// a saved count, recorded breaks (only Word writes them) are the record; a document with
// neither was never laid out by Word.
bool Document::WordPagination() {
  int saved = 0;
  for (auto rel : package_->Xml("_rels/.rels").child("Relationships").children("Relationship"))
    if (EndsWith(rel.attribute("Type").as_string(), "/extended-properties")) {
      std::string part = ResolvePartName("", rel.attribute("Target").as_string());
      if (!package_->Has(part))
        continue;
      try {
        for (auto n : package_->Xml(part).document_element().children())
          if (std::strcmp(n.name(), "Pages") == 0 || EndsWith(n.name(), ":Pages"))
            saved = n.text().as_int(0);
      } catch (const automation::ServerException&) {
        saved = 0;  // a damaged properties part says nothing
      }
    }
  savedPages_ = saved;
  int mine = static_cast<int>(story_.PageStarts().size());
  if (saved > 0)
    return saved == mine;
  return story_.RecordedStarts() > 0;
}

const std::vector<int>& Document::PageStarts() {
  if (!needsLayout_)
    return story_.PageStarts();
  if (!laidOut_)
    LayOut();
  pages_.clear();
  pageSources_.clear();
  for (std::size_t i = 0; i < layoutStarts_.size(); ++i)
    if (pages_.empty() || layoutStarts_[i] < story_.Length()) {
      pageSources_.push_back(pages_.empty() ? PageSource::DocumentStart : layoutSources_[i]);
      pages_.push_back(layoutStarts_[i]);
    }
  return pages_;
}

const std::vector<PageSource>& Document::PageSources() {
  if (!needsLayout_)
    return story_.PageSources();
  PageStarts();
  return pageSources_;
}

int Document::PageAt(int pos) {
  // Which pages a stretch touches: when the layout cannot be had (no LibreOffice, or the text
  // already changed), the document's own breaks tell; a stretch touches at least one page
  // either way, which is what a chapter cut asks.
  bool layout = needsLayout_ && (laidOut_ || (!dirty_ && OfficeHost::Available()));
  const auto& starts = layout ? PageStarts() : story_.PageStarts();
  auto it = std::upper_bound(starts.begin(), starts.end(), pos);
  return std::max(0, static_cast<int>(it - starts.begin()) - 1);
}

void Document::LayOut() {
  // The layout describes the document as it was read.
  if (dirty_)
    Fail(L"The pages of this document are not known once it has been changed: " +
         platform::FromPath(path_));
  auto layout = office_->Layout(docx_, path_);
  layoutStarts_ = MapPageStarts(story_, LayoutParagraphs(body_), layout);
  layoutSources_.assign(layoutStarts_.size(), PageSource::Layout);
  layoutPages_ = static_cast<int>(layoutStarts_.size());
  // Word recorded some of its pages but fewer than it saved: where it recorded a start it knew
  // best; the layout only fills in the pages it left out.
  const auto& word = story_.PageStarts();
  completed_ = format_ != 0 && format_ != 6 && story_.RecordedStarts() > 0 &&
               savedPages_ > static_cast<int>(word.size());
  if (completed_) {
    auto merged = MergePageStarts(word, layoutStarts_, story_.Length());
    layoutStarts_.clear();
    layoutSources_.clear();
    for (const auto& m : merged) {
      layoutStarts_.push_back(m.pos);
      layoutSources_.push_back(m.word < 0 ? PageSource::Layout
                                          : story_.PageSources()[static_cast<std::size_t>(m.word)]);
    }
  }
  laidOut_ = true;
  // Where the source's pages start and why, for telling later which of a piece's pages were
  // Word's.
  if (!dirty_ && completed_)
    for (std::size_t i = 0; i < layoutStarts_.size(); ++i)
      sourceStarts_.emplace_back(layoutStarts_[i], layoutSources_[i]);
}

namespace {

void CollectLayoutParagraphs(pugi::xml_node node, std::vector<pugi::xml_node>& out) {
  for (auto child : node.children()) {
    if (child.type() != pugi::node_element)
      continue;
    if (std::strcmp(child.name(), "w:p") == 0)
      out.push_back(child);
    else if (std::strcmp(child.name(), "mc:Fallback") != 0)
      CollectLayoutParagraphs(child, out);
  }
}

// LibreOffice counts a note reference as the characters of its number: footnotes 1, 2, 3 ...,
// endnotes i, ii, iii ..., each kind numbered through the document. Keyed by story position.
std::map<int, int> NoteReferenceWidths(const Story& story) {
  static const char* roman[] = {"m",  "cm", "d",  "cd", "c",  "xc", "l",
                                "xl", "x",  "ix", "v",  "iv", "i"};
  static const int values[] = {1000, 900, 500, 400, 100, 90, 50, 40, 10, 9, 5, 4, 1};
  std::map<int, int> widths;
  int footnotes = 0, endnotes = 0;
  for (const auto& seg : story.Segments()) {
    std::string_view name = seg.node.name();
    if (name == "w:footnoteReference") {
      widths[seg.start] = static_cast<int>(std::to_string(++footnotes).size());
    } else if (name == "w:endnoteReference") {
      int n = ++endnotes, width = 0;
      for (int i = 0; i < 13; ++i)
        for (; n >= values[i]; n -= values[i])
          width += static_cast<int>(std::strlen(roman[i]));
      widths[seg.start] = width;
    }
  }
  return widths;
}

// The position where the layout's character offset into a paragraph lands: text, field results,
// tabs and breaks count one each, note references the characters of their numbers; field codes,
// field marks and other objects do not.
int PositionInParagraph(const Story& story, const Paragraph& para, int offset,
                        const std::map<int, int>& notes) {
  std::vector<std::pair<int, int>> codes;
  for (const auto& f : story.Fields())
    if (f.begin >= para.span.start && f.begin < para.span.end && f.end >= 0)
      codes.emplace_back(f.begin, f.separator >= 0 ? f.separator : f.end);
  int mark = para.span.end - 1;
  int p = para.span.start;
  int counted = 0;
  while (p < mark && counted < offset) {
    bool inCode = false;
    for (const auto& c : codes)
      inCode = inCode || (p >= c.first && p <= c.second);
    Atom k = story.KindAt(p);
    if (!inCode &&
        (k == Atom::Char || k == Atom::Tab || k == Atom::LineBreak || k == Atom::PageBreak))
      ++counted;
    else if (auto note = notes.find(p); !inCode && k == Atom::Object && note != notes.end())
      counted += note->second;
    ++p;
  }
  if (counted < offset)
    return para.span.end;
  // A page break that closes its paragraph: the page begins with the next paragraph.
  if (p == mark && p > para.span.start && story.KindAt(p - 1) == Atom::PageBreak)
    return para.span.end;
  return p;
}

}  // namespace

std::vector<pugi::xml_node> LayoutParagraphs(pugi::xml_node body) {
  std::vector<pugi::xml_node> out;
  CollectLayoutParagraphs(body, out);
  return out;
}

std::vector<int> MapPageStarts(const Story& story, const std::vector<pugi::xml_node>& paragraphs,
                               const libreoffice::PageLayout& layout) {
  int len = story.Length();
  // Each layout paragraph's story paragraph; one the story does not walk stands for the next.
  std::vector<int> index(paragraphs.size(), -1);
  int next = -1;
  for (std::size_t i = paragraphs.size(); i-- > 0;) {
    Span s;
    if (story.SpanOf(paragraphs[i], s) && s.start < len)
      next = story.ParagraphAt(s.start);
    index[i] = next;
  }
  int count = std::max(1, layout.pageCount);
  const std::map<int, int> notes = NoteReferenceWidths(story);
  std::vector<int> out(static_cast<std::size_t>(count), -1);
  out[0] = 0;
  for (const auto& st : layout.starts) {
    if (st.page < 2 || st.page > count)
      continue;
    int pos = len;
    if (st.paragraph >= 0 && static_cast<std::size_t>(st.paragraph) < index.size() &&
        index[static_cast<std::size_t>(st.paragraph)] >= 0) {
      const Paragraph& para = story.Paragraphs()[static_cast<std::size_t>(
          index[static_cast<std::size_t>(st.paragraph)])];
      pos = PositionInParagraph(story, para, std::max(0, st.offset), notes);
    }
    // A column break the layout put at the top of the page is what broke it (one column):
    // the page starts after it, as after a page break, so that no piece begins with a break.
    while (pos < len && story.KindAt(pos) == Atom::LineBreak) {
      int seg = story.SegmentAt(pos);
      pugi::xml_node br =
          seg >= 0 ? story.Segments()[static_cast<std::size_t>(seg)].node : pugi::xml_node{};
      if (std::strcmp(br.name(), "w:br") != 0 ||
          std::strcmp(br.attribute("w:type").as_string(), "column") != 0)
        break;
      ++pos;
    }
    out[static_cast<std::size_t>(st.page - 1)] = pos;
  }
  for (std::size_t i = out.size(); i-- > 1;)
    if (out[i] < 0)
      out[i] = i + 1 < out.size() ? out[i + 1] : len;
  for (std::size_t i = 1; i < out.size(); ++i)
    out[i] = std::clamp(out[i], out[i - 1], len);
  return out;
}

// Simple fields become begin/code/separator/result/end runs, so that every field has positions
// for its marks and code as Word counts them.
void Document::ConvertSimpleFields() {
  std::vector<pugi::xml_node> simple;
  for (auto n : body_.select_nodes(".//w:fldSimple"))
    simple.push_back(n.node());
  for (auto it = simple.rbegin(); it != simple.rend(); ++it) {
    pugi::xml_node f = *it;
    pugi::xml_node parent = f.parent();
    auto mark = [&](const char* type) {
      auto r = parent.insert_child_before("w:r", f);
      r.append_child("w:fldChar").append_attribute("w:fldCharType") = type;
    };
    mark("begin");
    auto code = parent.insert_child_before("w:r", f).append_child("w:instrText");
    code.append_attribute("xml:space") = "preserve";
    code.text() = f.attribute("w:instr").as_string();
    mark("separate");
    while (auto c = f.first_child())
      parent.insert_move_before(c, f);
    mark("end");
    parent.remove_child(f);
  }
}

void Document::Reindex() {
  story_.Build(body_, styles_);
}

int Document::Protection() {
  std::string settings = ResolvePartName(mainPart_, "settings.xml");
  if (!package_->Has(settings))
    return -1;
  auto prot = package_->Xml(settings).child("w:settings").child("w:documentProtection");
  if (!prot)
    return -1;
  std::string enforced = prot.attribute("w:enforcement").as_string();
  if (!(enforced == "1" || enforced == "true" || enforced == "on"))
    return -1;
  std::string edit = prot.attribute("w:edit").as_string();
  if (edit == "trackedChanges")
    return 0;
  if (edit == "comments")
    return 1;
  if (edit == "forms")
    return 2;
  if (edit == "readOnly")
    return 3;
  return -1;
}

std::optional<double> Document::LastSaved() {
  std::string core;
  for (auto rel : package_->Xml("_rels/.rels").child("Relationships").children("Relationship"))
    if (EndsWith(rel.attribute("Type").as_string(), "/core-properties"))
      core = ResolvePartName("", rel.attribute("Target").as_string());
  if (core.empty() || !package_->Has(core))
    return std::nullopt;
  std::string text;
  for (auto n : package_->Xml(core).document_element().children())
    if (EndsWith(n.name(), ":modified") || std::strcmp(n.name(), "modified") == 0)
      text = n.text().get();
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d", &y, &mo, &d, &h, &mi, &s) < 3)
    return std::nullopt;
  // A damaged time says nothing, as a damaged page count does (and must not overflow below).
  if (y < 1 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 24 || mi < 0 ||
      mi > 59 || s < 0 || s > 60)
    return std::nullopt;
  std::int64_t utc = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 +
                     h * 3600 + mi * 60 + s;
  // Shown in local time, as the save time is everywhere else.
  std::time_t t = static_cast<std::time_t>(utc);
  std::tm local{};
  {
    std::lock_guard guard(TimeZoneLock());
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0)
      return std::nullopt;
#else
    if (!localtime_r(&t, &local))
      return std::nullopt;
#endif
  }
  std::int64_t days = DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                    static_cast<unsigned>(local.tm_mday)) -
                      DaysFromCivil(1899, 12, 30);
  double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  return static_cast<double>(days) + seconds / 86400.0;
}

int Document::OutlineLevel(int paragraph) const {
  auto ppr = story_.Paragraphs()[static_cast<std::size_t>(paragraph)].node.child("w:pPr");
  if (auto own = ppr.child("w:outlineLvl")) {
    int v = own.attribute("w:val").as_int(9);
    return v >= 0 && v < 9 ? v + 1 : 10;
  }
  return styles_.OutlineLevel(ppr.child("w:pStyle").attribute("w:val").as_string());
}

std::shared_ptr<LiveRange> Document::MakeRange(int start, int end) {
  std::erase_if(ranges_, [](const auto& w) { return w.expired(); });
  int len = story_.Length();
  start = std::clamp(start, 0, len);
  end = std::clamp(end, start, len);
  auto r = std::make_shared<LiveRange>(LiveRange{start, end});
  ranges_.push_back(r);
  return r;
}

}  // namespace docserver
