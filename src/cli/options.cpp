#include "cli/options.h"

#include <map>

#include "util/number.h"

namespace cli {

const char kUsage[] =
    "usage:\n"
    "  varnik-cli info PATH...\n"
    "  varnik-cli chapters FILE\n"
    "  varnik-cli pages FILE\n"
    "  varnik-cli split (--every N | --pages LIST | --chapters NUMBERS)\n"
    "                   [--align none|sentence|paragraph|both] [--naming range|number]\n"
    "                   [--export DIR] PATH...\n"
    "  varnik-cli --version\n"
    "\n"
    "Cuts Word documents (.doc, .docx, .rtf) into smaller documents.\n"
    "\n"
    "PATH may be a document or a folder; folders are searched with all their subfolders, and\n"
    "only .doc, .docx and .rtf files are taken (not Word's ~$ owner files, not hidden files).\n"
    "\n"
    "info      reads every document and prints one line per document:\n"
    "          STATUS<TAB>PAGES<TAB>TIME<TAB>SIZE<TAB>PATH\n"
    "chapters  prints the headings of FILE's tables of contents, one line per chapter:\n"
    "          NUMBER<TAB>LEVEL<TAB>PAGE<TAB>TITLE\n"
    "pages     prints where each page of FILE starts and what put the start there. The first\n"
    "          line gives the count against the one Word saved in the document (\"13 pages;\n"
    "          Word saved 12: differs\"), then one line per page:\n"
    "          PAGE<TAB>PARAGRAPH<TAB>SOURCE<TAB>FIRST WORDS\n"
    "          PARAGRAPH counts from 1, paragraphs in table cells included. SOURCE is one of\n"
    "          start (the first page), word-mark (where Word recorded a page start when it\n"
    "          last laid the document out), page-break, section-break, break-before (a\n"
    "          paragraph set to begin a page), layout (LibreOffice's layout of the document:\n"
    "          the pages Word left out where it recorded fewer than it saved, every page\n"
    "          where it recorded none or more than it saved).\n"
    "split     cuts every document and prints STATUS<TAB>RESULT_FOLDER<TAB>PATH per document.\n"
    "  --every N          a piece every N pages\n"
    "  --pages LIST       a piece starting at each listed page, e.g. 1,5,10,20 (pages before\n"
    "                     the first listed page form a piece of their own; a listed page past\n"
    "                     the last page makes no piece, and a message says so)\n"
    "  --chapters LIST    a piece starting at each listed chapter number (see 'chapters'); the\n"
    "                     first chapter always begins the first piece, and the last piece runs\n"
    "                     to the end of the document, also when it is the last chapter alone\n"
    "  --align MODE       move each page cut to the end of its sentence, paragraph, or both\n"
    "  --naming SCHEME    range: [first]-[last].ext (titles for chapters); number: 1.ext, 2.ext\n"
    "  --export DIR       where each document's output folder is made\n"
    "\n"
    "Options left out are read from the window program's config.ini; options given do not\n"
    "change it. Without an export folder from either, nothing is written.\n"
    "Each document's pieces go to a folder of its name inside the export folder. Only a folder\n"
    "that varnik-cli or the window program made (it holds a hidden .varnik-output file) is\n"
    "emptied and filled again; when a folder of that name is not theirs, or holds a document\n"
    "being cut, the pieces go beside it to \"NAME (2)\", \"NAME (3)\", ... RESULT_FOLDER says\n"
    "where. The documents themselves are only read.\n"
    "\n"
    "Messages go to standard error, one per line; a progress bar too when it is a terminal.\n"
    "Every document that ends Failed or Protected gets one line there: PATH: REASON.\n"
    "Exit status: 0 when every document ended Done, 1 when any failed, was protected or was\n"
    "not processed, 2 for wrong usage.\n";

namespace {

std::vector<int> ReadNumbers(const std::wstring& text) {
  std::vector<int> numbers;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = text.find(L',', start);
    std::wstring piece = text.substr(start, comma == std::wstring::npos ? comma : comma - start);
    int n = util::ReadNumber(piece);
    if (n < 1)
      throw UsageError{L"chapter numbers count from 1: " + piece};
    numbers.push_back(n);
    if (comma == std::wstring::npos)
      break;
    start = comma + 1;
  }
  return numbers;
}

}  // namespace

Options ParseOptions(const std::vector<std::wstring>& arguments) {
  Options options;
  if (arguments.empty())
    throw UsageError{L"a command is needed"};
  const std::wstring& command = arguments[0];
  if (command == L"--help" || command == L"-h" || command == L"help")
    return options;
  if (command == L"--version") {
    options.command = Command::Version;
    return options;
  }
  if (command == L"info") {
    options.command = Command::Info;
  } else if (command == L"chapters") {
    options.command = Command::Chapters;
  } else if (command == L"pages") {
    options.command = Command::Pages;
  } else if (command == L"split") {
    options.command = Command::Split;
  } else {
    throw UsageError{L"unknown command: " + command};
  }

  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::wstring& a = arguments[i];
    if (a == L"--help" || a == L"-h") {
      options.command = Command::Help;
      return options;
    }
    if (!a.starts_with(L"--")) {
      options.paths.push_back(a);
      continue;
    }
    if (options.command != Command::Split)
      throw UsageError{L"unknown option: " + a};
    if (i + 1 >= arguments.size())
      throw UsageError{a + L" needs a value"};
    const std::wstring& value = arguments[++i];
    if (a == L"--every") {
      options.every = value;
    } else if (a == L"--pages") {
      options.pages = value;
    } else if (a == L"--chapters") {
      options.chapters = ReadNumbers(value);
    } else if (a == L"--align") {
      static const std::map<std::wstring, std::wstring> modes = {
          {L"none", L"0"}, {L"sentence", L"1"}, {L"paragraph", L"2"}, {L"both", L"3"}};
      auto it = modes.find(value);
      if (it == modes.end())
        throw UsageError{L"--align takes none, sentence, paragraph or both"};
      options.align = it->second;
    } else if (a == L"--naming") {
      if (value != L"range" && value != L"number") {
        throw UsageError{L"--naming takes range or number"};
      }
      options.naming = value == L"range" ? L"1" : L"2";
    } else if (a == L"--export") {
      if (value.empty())
        throw UsageError{L"--export needs a folder"};
      options.exportFolder = value;
    } else {
      throw UsageError{L"unknown option: " + a};
    }
  }

  if (options.paths.empty())
    throw UsageError{L"no document given"};
  if (options.command == Command::Chapters && options.paths.size() != 1) {
    throw UsageError{L"chapters takes one file"};
  }
  if (options.command == Command::Pages && options.paths.size() != 1)
    throw UsageError{L"pages takes one file"};
  if (options.command == Command::Split) {
    int plans = (options.every ? 1 : 0) + (options.pages ? 1 : 0) + (options.chapters ? 1 : 0);
    if (plans != 1)
      throw UsageError{L"split takes exactly one of --every, --pages, --chapters"};
  }
  return options;
}

}  // namespace cli
