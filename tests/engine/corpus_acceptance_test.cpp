// Real documents through the real engine and the built-in server: every piece opens in
// LibreOffice and passes the program's own piece check, .doc and .rtf pieces keep their format and
// all the text, chapters match the tables of contents Word wrote. Needs VARNIK_CORPUS_DIR.
#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <sstream>

#include "docserver/libreoffice/office.h"
#include "engine/chapter_entry.h"
#include "planning/split_plan.h"
#include "platform/text.h"
#include "real_server.h"
#include "support/temp_folder.h"

namespace enginetest {
namespace {

namespace fs = std::filesystem;

struct Entry {
  std::string file, kind, toc;
  int pages = 0;
};

// The documents of the manifest; VARNIK_CORPUS_ONLY, when set, keeps those whose file name
// holds it (one document at a time while working on it).
std::vector<Entry> Manifest(const fs::path& folder) {
  const char* only = std::getenv("VARNIK_CORPUS_ONLY");
  std::ifstream in(folder / "manifest.tsv");
  std::string line;
  std::getline(in, line);
  std::vector<std::string> head;
  std::stringstream hs(line);
  for (std::string c; std::getline(hs, c, '\t');)
    head.push_back(c);
  std::vector<Entry> out;
  while (std::getline(in, line)) {
    std::stringstream ls(line);
    std::map<std::string, std::string> row;
    std::size_t i = 0;
    for (std::string c; std::getline(ls, c, '\t'); ++i)
      if (i < head.size())
        row[head[i]] = c;
    if (only && *only && row["file"].find(only) == std::string::npos)
      continue;
    out.push_back({row["file"], row["kind"], row["toc"], std::atoi(row["pages"].c_str())});
  }
  return out;
}

// A part of a .docx package; empty when it has none.
std::string PartOf(const fs::path& docx, const char* name) {
  std::string bytes;
  int error = 0;
  zip_t* zip = zip_open(docx.c_str(), ZIP_RDONLY, &error);
  if (!zip)
    return bytes;
  zip_stat_t st;
  if (zip_stat(zip, name, 0, &st) == 0) {
    if (zip_file_t* f = zip_fopen(zip, name, 0)) {
      bytes.resize(st.size);
      zip_fread(f, bytes.data(), st.size);
      zip_fclose(f);
    }
  }
  zip_close(zip);
  return bytes;
}

// What users see of each piece: its whole text, marks included, is its range's source text, and
// its own page count (Word's record kept in it, or LibreOffice's layout of it) is the number of
// pages it was cut for.
struct PieceFigures {
  int pieces = 0, textDiffers = 0, countDiffers = 0;
  // Of those: pieces whose count is Word's record kept in them (a fault of the cut), and pieces
  // LibreOffice lays out again, on other pages than it laid the same text out in the source.
  int countDiffersByRecord = 0;

  void Check(const automation::DispatchPtr& app, const std::wstring& source,
             const std::vector<int>& bounds, const std::wstring& piece, int first, int last) {
    ++pieces;
    std::string where = "pages " + std::to_string(first) + "-" + std::to_string(last);
    std::string differs =
        TextDifference(DocumentText(app, piece),
                       RangeText(app, source, bounds[static_cast<std::size_t>(first - 1)],
                                 bounds[static_cast<std::size_t>(last)]));
    if (!differs.empty()) {
      ++textDiffers;
      ADD_FAILURE() << where << ": the text is not its range's\n" << differs.substr(0, 2000);
    }
    int count = PiecePages(app, piece);
    if (count != last - first + 1) {
      ++countDiffers;
      // A piece of Word's pages carries the count it was cut for in its properties.
      bool byRecord =
          PartOf(platform::ToPath(piece), "docProps/app.xml").find("Pages>") != std::string::npos;
      countDiffersByRecord += byRecord;
      ADD_FAILURE() << where << ": " << count << " pages"
                    << (byRecord ? " by Word's record" : " by LibreOffice's layout");
    }
  }
  void Print() const {
    std::printf(
        "pieces: %d, text not its range's: %d, page count not its own: %d (by Word's record %d, "
        "by LibreOffice's layout %d)\n",
        pieces, textDiffers, countDiffers, countDiffersByRecord,
        countDiffers - countDiffersByRecord);
  }
};

class CorpusAcceptance : public RealServerTest {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("VARNIK_CORPUS_DIR");
    if (!dir || !*dir)
      GTEST_SKIP() << "VARNIK_CORPUS_DIR is not set";
    if (!libreoffice::IsAvailable())
      GTEST_SKIP() << "LibreOffice is not installed";
    corpus = dir;
    RealServerTest::SetUp();
  }
  std::wstring Source(const Entry& e) const { return platform::FromPath(corpus / e.file); }

  // The pages the program reads, printed beside Word's count; 0 for a protected document, which
  // the program leaves alone, and a failure for one it cannot read.
  int PagesToSplit(const Entry& e) {
    std::wstring time;
    int pages = ctrl->ReadPageCount(Source(e), time, nullptr, 0, 0);
    std::printf("%s: %d pages (Word saved %d)\n", e.file.c_str(), pages, e.pages);
    if (pages == -2)
      return 0;
    EXPECT_GE(pages, 1);
    return pages;
  }

  fs::path corpus;
  testsupport::TempFolder folder;
  libreoffice::Office office;
};

libreoffice::Format FormatOfKind(const std::string& kind) {
  return kind == "doc"   ? libreoffice::Format::Doc
         : kind == "rtf" ? libreoffice::Format::Rtf
                         : libreoffice::Format::Docx;
}

TEST_F(CorpusAcceptance, EveryPieceOpensInLibreOfficeAndPassesThePieceCheck) {
  auto app = docserver::CreateApplication();
  int checked = 0, failed = 0, textsDiffer = 0;
  PieceFigures figures;
  for (const auto& e : Manifest(corpus)) {
    if (e.kind != "docx")
      continue;
    SCOPED_TRACE(e.file);
    int pages = PagesToSplit(e);
    if (pages < 1)
      continue;
    std::wstring whole = Letters(DocumentText(app, Source(e)));
    std::vector<int> bounds = PageBounds(app, Source(e));
    for (int n : {1, 3}) {
      std::wstring joined;
      for (int first = 1; first <= pages; first += n) {
        int last = std::min(pages, first + n - 1);
        std::wstring piece = folder / (L"piece " + std::to_wstring(checked) + L".docx");
        ++checked;
        if (ctrl->ExportPageRange(Source(e), piece, first, last, pages, 0) != 1) {
          ++failed;
          ADD_FAILURE() << "pages " << first << "-" << last << " not cut";
          continue;
        }
        std::vector<std::wstring> problems;
        std::wstring difference;
        if (ctrl->VerifyPiece(piece, difference) != 1)
          problems.push_back(difference);
        bool opens = true;
        try {
          office.ConvertToDocx(piece, folder / L"check.docx", libreoffice::Format::Docx);
        } catch (const libreoffice::OfficeError& error) {
          opens = false;
          problems.push_back(platform::FromUtf8(error.what()));
        }
        if (!problems.empty() || !opens) {
          ++failed;
          ADD_FAILURE() << "pages " << first << "-" << last << ": "
                        << platform::ToUtf8(problems.front());
        }
        figures.Check(app, Source(e), bounds, piece, first, last);
        joined += Letters(DocumentText(app, piece));
      }
      if (joined != whole) {
        ++textsDiffer;
        std::size_t at = 0;
        while (at < joined.size() && at < whole.size() && joined[at] == whole[at])
          ++at;
        std::size_t from = at > 30 ? at - 30 : 0;
        ADD_FAILURE() << e.file << " every " << n << ": nothing may be lost or doubled";
        std::printf(
            "%s every %d: the pieces' texts differ from the source's at %zu of %zu "
            "(pieces %zu): source \"%s\" pieces \"%s\"\n",
            e.file.c_str(), n, at, whole.size(), joined.size(),
            platform::ToUtf8(whole.substr(from, 70)).c_str(),
            platform::ToUtf8(joined.substr(from, 70)).c_str());
      }
    }
  }
  std::printf("pieces checked: %d, failed: %d, plans whose texts differ: %d\n", checked, failed,
              textsDiffer);
  figures.Print();
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

TEST_F(CorpusAcceptance, DocAndRtfSplitIntoPiecesOfTheirOwnFormat) {
  auto app = docserver::CreateApplication();
  int checked = 0, failed = 0;
  PieceFigures figures;
  for (const auto& e : Manifest(corpus)) {
    if (e.kind != "doc" && e.kind != "rtf")
      continue;
    SCOPED_TRACE(e.file);
    int pages = PagesToSplit(e);
    if (pages < 1)
      continue;
    std::wstring whole = Letters(DocumentText(app, Source(e)));
    std::vector<int> bounds = PageBounds(app, Source(e));
    std::wstring ext = e.kind == "doc" ? L".doc" : L".rtf";
    for (int n : {1, 2}) {
      std::wstring joined;
      for (int first = 1; first <= pages; first += n) {
        int last = std::min(pages, first + n - 1);
        std::wstring piece = folder / (L"piece " + std::to_wstring(checked++) + ext);
        ASSERT_EQ(ctrl->ExportPageRange(Source(e), piece, first, last, pages, 0), 1);
        std::wstring difference;
        if (ctrl->VerifyPiece(piece, difference) != 1) {
          ++failed;
          ADD_FAILURE() << "pages " << first << "-" << last << ": " << platform::ToUtf8(difference);
        }
        try {
          office.ConvertToDocx(piece, folder / L"check.docx", FormatOfKind(e.kind));
        } catch (const libreoffice::OfficeError& error) {
          ++failed;
          ADD_FAILURE() << "pages " << first << "-" << last << ": " << error.what();
        }
        figures.Check(app, Source(e), bounds, piece, first, last);
        joined += Letters(DocumentText(app, piece));
      }
      EXPECT_EQ(joined, whole) << "every " << n;
    }
  }
  std::printf("pieces checked: %d, failed: %d\n", checked, failed);
  figures.Print();
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

// The lines of the first table of contents Word wrote: text of the field's result paragraphs,
// split at the last tab into title and page.
std::vector<std::pair<std::wstring, std::wstring>> TocLines(const fs::path& docx) {
  std::vector<std::pair<std::wstring, std::wstring>> out;
  std::string bytes = PartOf(docx, "word/document.xml");
  pugi::xml_document xml;
  xml.load_buffer(bytes.data(), bytes.size());
  auto body = xml.child("w:document").child("w:body");
  for (auto x : body.select_nodes(".//w:p")) {
    std::string style = x.node().child("w:pPr").child("w:pStyle").attribute("w:val").as_string();
    for (auto& c : style)
      c = static_cast<char>(std::tolower(c));
    if (!style.starts_with("toc") && !style.starts_with("contents") &&
        !style.starts_with("tableof"))
      continue;
    std::wstring text;
    auto pieces = x.node().select_nodes(".//w:r/w:t | .//w:r/w:tab | .//w:r/w:br");
    pieces.sort();
    for (auto t : pieces) {
      if (t.node().parent().child("w:instrText"))
        continue;
      if (std::string_view(t.node().name()) == "w:tab")
        text += L'\t';
      else if (std::string_view(t.node().name()) == "w:br")
        text += L' ';
      else
        text += platform::FromUtf8(t.node().text().get());
    }
    auto tab = text.rfind(L'\t');
    if (tab == std::wstring::npos)
      continue;
    auto trim = [](std::wstring s) {
      while (!s.empty() && (s.back() == L' ' || s.back() == L'\t'))
        s.pop_back();
      std::size_t a = 0;
      while (a < s.size() && (s[a] == L' ' || s[a] == L'\t'))
        ++a;
      return s.substr(a);
    };
    // A tab inside the title (after a heading's number) is shown as an underscore.
    std::wstring title = trim(text.substr(0, tab));
    std::replace(title.begin(), title.end(), L'\t', L'_');
    out.emplace_back(title, trim(text.substr(tab + 1)));
  }
  return out;
}

// Runs of spaces as one: a line break inside a TOC line shows as white space.
std::wstring Squeezed(const std::wstring& s) {
  std::wstring out;
  for (wchar_t c : s) {
    if (c == L'\v' || c == L'\n' || c == L'\r' || c == L'\t' || c == L'\u00A0')
      c = L' ';
    if (!(c == L' ' && !out.empty() && out.back() == L' '))
      out += c;
  }
  return out;
}

TEST_F(CorpusAcceptance, ChaptersMatchTheTableOfContentsLines) {
  int documents = 0;
  for (const auto& e : Manifest(corpus)) {
    if (e.toc != "yes")
      continue;
    SCOPED_TRACE(e.file);
    fs::path docx = corpus / e.file;
    if (e.kind != "docx") {
      docx = platform::ToPath(folder / platform::FromUtf8(e.file + ".docx"));
      office.ConvertToDocx(Source(e), platform::FromPath(docx), FormatOfKind(e.kind));
    }
    auto lines = TocLines(docx);
    std::vector<engine::ChapterEntry> chapters;
    int result = ctrl->ReadChapters(Source(e), chapters, nullptr);
    int matched = 0;
    for (const auto& c : chapters) {
      bool found = false;
      for (const auto& [title, page] : lines)
        found = found || ((Squeezed(c.title) == Squeezed(title) || c.title.starts_with(title) ||
                           title.starts_with(c.title)) &&
                          c.pageText == page);
      matched += found;
      // Tables of contents whose lines carry none of the usual styles cannot be compared.
      if (!found && !lines.empty())
        ADD_FAILURE() << "no TOC line for \"" << platform::ToUtf8(c.title) << "\" page \""
                      << platform::ToUtf8(c.pageText) << "\"";
    }
    ++documents;
    std::printf("%s: %zu chapters read (result %d), %d match a TOC line; %zu TOC lines\n",
                e.file.c_str(), chapters.size(), result, matched, lines.size());
  }
  EXPECT_GT(documents, 0);
}

TEST_F(CorpusAcceptance, EveryChapterMarkedGivesTheWholeTextBack) {
  auto app = docserver::CreateApplication();
  for (const char* name : {"lo-FDO77715.docx", "lo-fdo69649.docx", "pandoc-0_level_headers.docx"}) {
    SCOPED_TRACE(name);
    Entry e{name, "docx", "yes", 0};
    std::vector<engine::ChapterEntry> chapters;
    ASSERT_EQ(ctrl->ReadChapters(Source(e), chapters, nullptr), 1);
    // Text before the first chapter, from the source.
    using namespace docserver::test;
    auto doc = Open(app, Source(e));
    auto mark = Call(Obj(doc, 4), 0, {Variant::String(chapters.front().key).ByRef()}).object;
    int start = Int(Obj(mark, 1), 3);
    auto range = Obj(doc, 41);
    Call(range, 100, {Variant::I4(0), Variant::I4(start)});
    std::wstring joined = Letters(Text(range));
    Call(doc, 1105, {Variant::I4(0).ByRef(), Omitted(), Omitted()});
    for (std::size_t i = 0; i < chapters.size(); ++i) {
      std::wstring piece = folder / (L"chapter " + std::to_wstring(i) + L".docx");
      std::wstring end =
          i + 1 < chapters.size() ? chapters[i + 1].key : std::wstring(planning::kDocumentEndKey);
      ASSERT_EQ(ctrl->ExportChapterRange(Source(e), piece, chapters[i].key, end), 1);
      joined += Letters(DocumentText(app, piece));
    }
    EXPECT_EQ(joined, Letters(DocumentText(app, Source(e))));
    std::printf("%s: %zu chapters cut\n", name, chapters.size());
  }
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

}  // namespace
}  // namespace enginetest
