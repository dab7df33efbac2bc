#include "docserver/page_report.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <mutex>

#include "docserver/document.h"
#include "platform/text.h"

namespace docserver {

namespace {

constexpr std::size_t kFirstWords = 6;
constexpr int kWordsWindow = 400;

// The words of a stretch of text, marks and objects read as spaces.
std::wstring FirstWords(std::wstring_view text) {
  std::wstring out;
  std::size_t words = 0;
  bool inWord = false;
  for (wchar_t c : text) {
    bool space = std::iswspace(static_cast<wint_t>(c)) || c < L' ';
    if (space) {
      if (inWord && ++words == kFirstWords)
        break;
      inWord = false;
      continue;
    }
    if (!inWord && !out.empty())
      out += L' ';
    out += c;
    inWord = true;
  }
  return out;
}

std::mutex& SentencesLock() {
  static std::mutex lock;
  return lock;
}

std::map<std::wstring, std::wstring>& Sentences() {
  static std::map<std::wstring, std::wstring> sentences;
  return sentences;
}

// Asked after the pages: whether Word's record was completed is known once laid out.
PagesBy PagesByOf(const Document& document) {
  if (!document.UsesLayout())
    return PagesBy::Word;
  return document.CompletesWordRecord() ? PagesBy::WordAndLayout : PagesBy::Layout;
}

}  // namespace

const char* PageSourceKey(PageSource source) {
  switch (source) {
    case PageSource::DocumentStart:
      return "start";
    case PageSource::Recorded:
      return "word-mark";
    case PageSource::PageBreak:
      return "page-break";
    case PageSource::SectionBreak:
      return "section-break";
    case PageSource::BreakBefore:
      return "break-before";
    case PageSource::Layout:
      return "layout";
  }
  return "?";
}

PageReport DescribePages(Document& document) {
  PageReport report;
  const auto& starts = document.PageStarts();
  const auto& sources = document.PageSources();
  const Story& story = document.story();
  report.savedPages = document.SavedPages();
  report.by = PagesByOf(document);
  for (std::size_t i = 0; i < starts.size(); ++i) {
    PageStartReport page;
    page.source = i < sources.size() ? sources[i] : PageSource::Layout;
    int paragraph = std::max(0, story.ParagraphAt(std::min(starts[i], story.Length() - 1)));
    page.paragraph = paragraph + 1;
    // A page may begin with empty paragraphs or a table: its words are the first ones after.
    int end = i + 1 < starts.size() ? starts[i + 1] : story.Length();
    page.firstWords = FirstWords(story.Text(starts[i], std::min(end, starts[i] + kWordsWindow)));
    report.pages.push_back(std::move(page));
  }
  return report;
}

std::wstring PagesSentence(int pages, int savedPages, PagesBy by) {
  std::wstring count = std::to_wstring(pages) + (pages == 1 ? L" page" : L" pages");
  if (by == PagesBy::Word)
    return count + (pages == 1 ? L", as Word laid it out" : L", as Word laid them out");
  std::wstring sentence =
      count + (by == PagesBy::Layout ? L" by LibreOffice's layout"
                                     : L" from Word's record and LibreOffice's layout");
  if (savedPages <= 0)
    return sentence + L"; Word saved no page count";
  if (savedPages == pages)
    return sentence + L", as many as Word saved";
  return sentence + L"; Word saved " + std::to_wstring(savedPages);
}

std::wstring PagesSentence(Document& document) {
  auto pages = static_cast<int>(document.PageStarts().size());
  return PagesSentence(pages, document.SavedPages(), PagesByOf(document));
}

PageReport ReadPageReport(const std::filesystem::path& path) {
  Document document(path, /*readOnly=*/true);
  return DescribePages(document);
}

void RememberPagesSentence(const std::filesystem::path& path, std::wstring sentence) {
  std::lock_guard guard(SentencesLock());
  Sentences()[platform::FromPath(path)] = std::move(sentence);
}

std::optional<std::wstring> PagesSentenceOf(std::wstring_view path) {
  std::lock_guard guard(SentencesLock());
  auto it = Sentences().find(std::wstring(path));
  if (it == Sentences().end())
    return std::nullopt;
  return it->second;
}

}  // namespace docserver
