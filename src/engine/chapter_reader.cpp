#include "engine/chapter_reader.h"

#include <utility>

#include "engine/word_members.h"
#include "util/names.h"

namespace engine {

namespace {

using automation::Variant;
using M = Member;

constexpr std::int32_t kBodyTextLevel = 10;

bool IsNameCharacter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
         c == L'_';
}

wchar_t Lower(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// A pass with a span above 100 first moves its base on by 10 and shows it.
void StartProgress(util::MessageTarget* window, std::int32_t& base, std::int32_t& span) {
  if (span > 100) {
    base += 10;
    PostProgress(window, base);
    span -= 10;
  }
}

// Sets the table to list headings down to level 9, with its two flags on.
void PrepareTable(const WordObject& toc) {
  Call(M::TableOfContentsLowerLevel, toc, {Variant::I4(9)});
  Call(M::TableOfContentsFlag8, toc, {Variant::Bool(true)});
  Call(M::TableOfContentsFlag7, toc, {Variant::Bool(true)});
}

// The first paragraph of the bookmark named key; an unknown name fails the call.
// The paragraphs of the i-th table of contents, made ready for reading, and their count.
std::pair<WordObject, std::int32_t> TableParagraphs(const WordObject& tocs, std::int32_t i) {
  WordObject toc = CallObject(M::TablesOfContentsItem, tocs, {Variant::I4(i)});
  PrepareTable(toc);
  WordObject paragraphs = CallObject(M::RangeParagraphs, CallObject(M::TableOfContentsRange, toc));
  return {paragraphs, CallI4(M::ParagraphsCount, paragraphs)};
}

WordObject HeadingParagraph(const WordObject& document, const std::wstring& key) {
  WordObject bookmarks = CallObject(M::DocumentBookmarks, document);
  WordObject bookmark = CallObject(M::BookmarksItem, bookmarks, {Variant::String(key)});
  WordObject paragraphs = CallObject(M::RangeParagraphs, CallObject(M::BookmarkRange, bookmark));
  return CallObject(M::ParagraphsItem, paragraphs, {Variant::I4(1)});
}

std::int32_t HeadingLevel(const WordObject& heading) {
  std::int32_t level = CallI4(M::ParagraphOutlineLevel, heading);
  return level == kBodyTextLevel ? 1 : level;
}

}  // namespace

void PostProgress(util::MessageTarget* window, std::int64_t value) {
  if (window != nullptr)
    window->Post(util::UM_PROGRESS, static_cast<std::intptr_t>(value), 0);
}

std::wstring BookmarkNameFromCode(std::wstring_view code) {
  constexpr std::wstring_view kMark = L"_toc";
  for (std::size_t at = 0; at + kMark.size() <= code.size(); ++at) {
    bool found = true;
    for (std::size_t i = 0; i < kMark.size() && found; ++i)
      found = Lower(code[at + i]) == kMark[i];
    if (!found)
      continue;
    std::size_t end = at;
    while (end < code.size() && IsNameCharacter(code[end]))
      ++end;
    return std::wstring(code.substr(at, end - at));
  }
  return {};
}

void ReadChaptersFromLinks(const WordObject& document, std::vector<ChapterEntry>& chapters,
                           util::MessageTarget* window, std::int32_t progressBase,
                           std::int32_t progressSpan) {
  StartProgress(window, progressBase, progressSpan);
  WordObject tocs = CallObject(M::DocumentTablesOfContents, document);
  for (std::int32_t i = 1; i <= CallI4(M::TablesOfContentsCount, tocs); ++i) {
    auto [paragraphs, count] = TableParagraphs(tocs, i);
    if (count == 0)
      continue;
    float step = static_cast<float>(progressSpan) / static_cast<float>(count);
    float progress = static_cast<float>(progressBase);
    WordObject paragraph = CallObject(M::ParagraphsItem, paragraphs, {Variant::I4(1)});
    std::wstring lastKey;
    for (std::int32_t n = 0; n < count; ++n) {
      if (n > 0)
        paragraph = CallObject(M::ParagraphNext, paragraph, {Variant::I4(1)});
      progress += step;
      PostProgress(window, static_cast<std::int64_t>(progress));
      WordObject line = CallObject(M::ParagraphRange, paragraph);
      WordObject links = CallObject(M::RangeHyperlinks, line);
      std::int32_t linkCount = CallI4(M::HyperlinksCount, links);
      if (linkCount == 0) {
        lastKey.clear();
        continue;
      }
      // A line with up to two links names its heading with the last one, a longer line with
      // the first.
      std::int32_t pick = linkCount <= 2 ? linkCount : 1;
      WordObject link = CallObject(M::HyperlinksItem, links, {Variant::I4(pick)});
      std::wstring key = CallString(M::HyperlinkTarget, link);
      if (key.empty())
        continue;
      WordObject heading = HeadingParagraph(document, key);
      if (key == lastKey && !chapters.empty()) {
        std::wstring pageText;
        std::wstring title = util::SplitTocLine(CallString(M::RangeText, line), pageText);
        chapters.back().title += title;
        chapters.back().pageText = pageText;
      } else {
        std::int32_t level = HeadingLevel(heading);
        std::wstring pageText;
        std::wstring title = util::SplitTocLine(CallString(M::RangeText, line), pageText);
        if (title.empty())
          continue;
        chapters.push_back(ChapterEntry{level, false, title, key, pageText});
      }
      lastKey = key;
    }
  }
}

void ReadChaptersFromFields(const WordObject& document, std::vector<ChapterEntry>& chapters,
                            util::MessageTarget* window, std::int32_t progressBase,
                            std::int32_t progressSpan) {
  StartProgress(window, progressBase, progressSpan);
  WordObject tocs = CallObject(M::DocumentTablesOfContents, document);
  for (std::int32_t i = 1; i <= CallI4(M::TablesOfContentsCount, tocs); ++i) {
    auto [paragraphs, count] = TableParagraphs(tocs, i);
    if (count == 0)
      continue;
    WordObject first = CallObject(M::ParagraphsItem, paragraphs, {Variant::I4(1)});
    PostProgress(window, static_cast<std::int64_t>(static_cast<float>(progressBase) +
                                                   static_cast<float>(progressSpan) /
                                                       static_cast<float>(count)));
    // The fields of a table's first paragraph are the table's own field followed by every
    // page reference nested in it.
    WordObject fields = CallObject(M::RangeFields, CallObject(M::ParagraphRange, first));
    for (std::int32_t j = 1; j <= CallI4(M::FieldsCount, fields); ++j) {
      WordObject field = CallObject(M::FieldsItem, fields, {Variant::I4(j)});
      std::wstring code = CallString(M::RangeText, CallObject(M::FieldCode, field));
      if (code.find(L" TOC ") != std::wstring::npos)
        continue;
      std::wstring key = BookmarkNameFromCode(code);
      WordObject resultParagraphs =
          CallObject(M::RangeParagraphs, CallObject(M::FieldResult, field));
      if (!resultParagraphs || CallI4(M::ParagraphsCount, resultParagraphs) < 1)
        continue;
      WordObject line = CallObject(
          M::ParagraphRange, CallObject(M::ParagraphsItem, resultParagraphs, {Variant::I4(1)}));
      std::int32_t level = HeadingLevel(HeadingParagraph(document, key));
      std::wstring pageText;
      std::wstring title = util::SplitTocLine(CallString(M::RangeText, line), pageText);
      if (!title.empty())
        chapters.push_back(ChapterEntry{level, false, title, key, pageText});
    }
  }
}

}  // namespace engine
