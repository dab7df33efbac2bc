#pragma once
// Where each page of a document starts and what put it there, told to people: the lines of
// varnik-cli pages and the sentence shown on a row's page count.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "docserver/story.h"

namespace docserver {

class Document;

struct PageStartReport {
  int paragraph = 1;        // counted from 1, cell paragraphs included
  std::wstring firstWords;  // the page's first few words
  PageSource source = PageSource::DocumentStart;
};

// Where a document's pages as a whole come from.
enum class PagesBy {
  Word,           // Word's record, confirmed by the count it saved
  Layout,         // LibreOffice's layout
  WordAndLayout,  // Word's record, the pages it left out from LibreOffice's layout
};

struct PageReport {
  std::vector<PageStartReport> pages;
  int savedPages = 0;  // the count Word saved in the document; 0 when none
  PagesBy by = PagesBy::Word;
};

// A short name of a source for lines meant to be read by scripts too ("word-mark", "layout").
const char* PageSourceKey(PageSource source);

// Throws automation::ServerException when the pages need a layout that cannot be had.
PageReport DescribePages(Document& document);

// "13 pages, as Word laid them out", or "13 pages by LibreOffice's layout; Word saved 12".
std::wstring PagesSentence(int pages, int savedPages, PagesBy by);
std::wstring PagesSentence(Document& document);

// Opens a document only for reading, with a LibreOffice of its own when one is needed, and
// describes its pages. Throws automation::ServerException when it cannot.
PageReport ReadPageReport(const std::filesystem::path& path);

// The sentence for the page count the server last gave of a file in this process; none when it
// gave none (the file was read by another server).
void RememberPagesSentence(const std::filesystem::path& path, std::wstring sentence);
std::optional<std::wstring> PagesSentenceOf(std::wstring_view path);

}  // namespace docserver
