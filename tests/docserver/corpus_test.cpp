// Real documents made by Word: every .docx opens, and where Word recorded its page breaks the
// page count agrees with the one Word stored.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "automation/errors.h"
#include "docserver/calls.h"
#include "docserver/document.h"
#include "platform/text.h"

namespace docserver::test {
namespace {

struct Entry {
  std::string file;
  std::string kind;
  int pages = 0;
  int recorded = 0;
};

std::vector<Entry> Manifest(const std::string& folder) {
  std::ifstream in(folder + "/manifest.tsv");
  std::string line;
  std::getline(in, line);
  std::vector<Entry> out;
  while (std::getline(in, line)) {
    std::vector<std::string> cols;
    std::stringstream ss(line);
    for (std::string c; std::getline(ss, c, '\t');)
      cols.push_back(c);
    if (cols.size() < 9)
      continue;
    out.push_back({cols[0], cols[1], std::atoi(cols[7].c_str()), std::atoi(cols[8].c_str())});
  }
  return out;
}

TEST(DocserverCorpus, PageCountsOfWordDocuments) {
  const char* folder = std::getenv("VARNIK_CORPUS_DIR");
  if (!folder)
    GTEST_SKIP() << "VARNIK_CORPUS_DIR is not set";
  auto entries = Manifest(folder);
  ASSERT_FALSE(entries.empty());
  bool office = std::system("command -v soffice > /dev/null 2>&1") == 0;
  auto app = CreateApplication();
  for (const auto& e : entries) {
    // .doc and .rtf open through the office program and carry no recorded layout.
    if (e.kind != "docx" && !office)
      continue;
    std::wstring path = platform::FromUtf8(std::string(folder) + "/" + e.file);
    int pages = -1;
    int recorded = -1;
    try {
      recorded = Document(platform::ToPath(path), true).story().RecordedStarts();
      auto doc = Open(app, path);
      pages = PageCount(doc);
      Call(doc, 1105, {Variant::I4(0).ByRef(), Variant::I4(1).ByRef(), Omitted()});
    } catch (const automation::ServerException& ex) {
      ADD_FAILURE() << e.file << ": " << platform::ToUtf8(ex.Description());
      continue;
    }
    // Only a document whose layout Word recorded break by break, one recorded start for every
    // page after the first, can be counted without laying it out again.
    bool comparable = e.kind == "docx" && recorded == e.pages - 1;
    std::cout << (pages == e.pages ? "same  " : "DIFF  ") << e.file << " ours " << pages << " word "
              << e.pages << " recorded starts " << recorded << " (markers " << e.recorded << ")"
              << (comparable ? "" : " not comparable") << "\n";
    if (comparable) {
      EXPECT_EQ(pages, e.pages) << e.file;
    }
  }
}

// Where Word's record and the count it saved differ: LibreOffice's layout alone against the
// pages the program takes (Word's starts kept where it recorded fewer pages than it saved, and
// only the missing ones taken from the layout). Prints the figures.
TEST(DocserverCorpus, PartialRecordsAgainstTheLayout) {
  const char* folder = std::getenv("VARNIK_CORPUS_DIR");
  if (!folder || std::system("command -v soffice > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "VARNIK_CORPUS_DIR is not set or the office program is missing";
  int layoutSame = 0, mergedSame = 0, documents = 0;
  for (const auto& e : Manifest(folder)) {
    if (e.kind != "docx")
      continue;
    try {
      Document doc(platform::ToPath(platform::FromUtf8(std::string(folder) + "/" + e.file)), true);
      if (!doc.UsesLayout() || doc.story().RecordedStarts() == 0)
        continue;
      int pages = static_cast<int>(doc.PageStarts().size());
      int layout = doc.LayoutPageCount();
      ++documents;
      layoutSame += layout == e.pages;
      mergedSame += pages == e.pages;
      std::cout << e.file << " word " << e.pages << " record " << doc.story().PageStarts().size()
                << " layout " << layout << " ours " << pages << "\n";
    } catch (const automation::ServerException& ex) {
      ADD_FAILURE() << e.file << ": " << platform::ToUtf8(ex.Description());
    }
  }
  std::cout << documents << " documents whose record Word's count does not confirm: the layout"
            << " alone agrees with Word's count on " << layoutSame << ", the program's pages on "
            << mergedSame << "\n";
}

}  // namespace
}  // namespace docserver::test
