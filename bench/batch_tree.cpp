// Writes a folder tree of Word documents for a large batch through varnik-cli, and lists on
// standard output what each should come to:
//   batch_tree FOLDER [COUNT]
// prints one line per document: PATH, KIND, STATUS (what varnik-cli split should report),
// PIECES (how many pieces "every 2 pages" makes of it, 0 when none).
// Kinds: good .docx (Word's page record, some with a footnote or a table), .docx without Word's
// record (LibreOffice lays it out), damaged, protected, .doc and .rtf (a few converted through
// LibreOffice, then copied). Names and folders hold spaces and Chinese letters.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "docserver/libreoffice/office.h"
#include "platform/text.h"
#include "support/docx_builder.h"

namespace docx = testsupport::docx;
namespace fs = std::filesystem;

namespace {

std::string Text(int page, int seed) {
  return "Page " + std::to_string(page) + " of document " + std::to_string(seed) +
         ". It says a little more, so that the page is not empty.";
}

// Pages begun where Word recorded them.
std::string Recorded(int pages, int seed, bool extras, docx::Builder& builder) {
  std::string body;
  for (int p = 1; p <= pages; ++p) {
    std::string runs = (p > 1 ? docx::RenderedBreak() : "") + docx::TextRun(Text(p, seed));
    if (extras && p == 1)
      runs += builder.Footnote("A note of document " + std::to_string(seed) + ".");
    body += docx::Para(runs);
    if (extras && p == pages)
      body += docx::Table({{docx::P("Cell"), docx::P(std::to_string(seed))}});
  }
  return body;
}

// Pages begun by explicit breaks only: nothing Word recorded.
std::string Broken(int pages, int seed) {
  std::string body;
  for (int p = 1; p <= pages; ++p)
    body += docx::Para((p > 1 ? docx::PageBreak() : "") + docx::TextRun(Text(p, seed)));
  return body;
}

int Pieces(int pages) {
  return (pages + 1) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("usage: batch_tree FOLDER [COUNT]\n", stderr);
    return 2;
  }
  fs::path root = argv[1];
  int count = argc == 3 ? std::atoi(argv[2]) : 1000;
  const char* folders[] = {"",
                           "part one",
                           "第二部分",
                           "part three/nested 层",
                           "报告 2024",
                           "a/b/c d",
                           "混合 mixed/深 deeper"};
  const char* names[] = {"document", "报告", "quarterly report", "文档 with spaces"};
  fs::create_directories(root);

  // The older formats: a few made through LibreOffice, every other one a copy of them.
  fs::path originals = root.parent_path() / (root.filename().string() + "-originals");
  fs::create_directories(originals);
  const int legacyPages[] = {3, 5, 7};
  {
    libreoffice::Office office;
    for (int pages : legacyPages) {
      fs::path made = originals / ("broken " + std::to_string(pages) + ".docx");
      docx::Builder().Body(Broken(pages, pages)).Save(platform::FromPath(made));
      for (auto [format, extension] : {std::pair{libreoffice::Format::Doc, ".doc"},
                                       std::pair{libreoffice::Format::Rtf, ".rtf"}}) {
        fs::path target = originals / (std::to_string(pages) + extension);
        office.ConvertFromDocx(platform::FromPath(made), platform::FromPath(target), format);
      }
    }
  }

  for (int i = 0; i < count; ++i) {
    fs::path folder = root / fs::u8path(folders[i % std::size(folders)]);
    fs::create_directories(folder);
    std::string stem = std::string(names[i % std::size(names)]) + " " + std::to_string(i);
    int kind = i % 20;
    int pages = 1 + i % 9;
    std::string path, label, status = "Done";
    int pieces = Pieces(pages);
    if (kind < 12) {
      docx::Builder builder;
      bool extras = i % 5 == 0;
      std::string body = Recorded(pages, i, extras, builder);
      path = (folder / fs::u8path(stem + ".docx")).string();
      builder.Body(body).Pages(pages).Save(platform::FromUtf8(path));
      label = extras ? "good-extras" : "good";
    } else if (kind == 12 || kind == 13) {
      path = (folder / fs::u8path(stem + ".docx")).string();
      docx::Builder builder;
      std::string bytes = builder.Body(Recorded(pages, i, false, builder)).Bytes();
      if (kind == 12)
        bytes.resize(bytes.size() / 2);  // cut short
      else
        bytes.assign(bytes.size(), static_cast<char>('x' + i % 3));  // not a document at all
      FILE* file = std::fopen(path.c_str(), "wb");
      std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
      label = "damaged";
      status = "Failed";
      pieces = 0;
    } else if (kind == 14) {
      path = (folder / fs::u8path(stem + ".docx")).string();
      docx::Builder builder;
      builder.Body(Recorded(pages, i, false, builder)).Pages(pages).Protection("readOnly");
      builder.Save(platform::FromUtf8(path));
      label = "protected";
      status = "Protected";
      pieces = 0;
    } else if (kind == 15 || kind == 16 || kind == 17 || kind == 18) {
      int base = legacyPages[i % std::size(legacyPages)];
      const char* extension = kind < 17 ? ".doc" : ".rtf";
      path = (folder / fs::u8path(stem + extension)).string();
      fs::copy_file(originals / (std::to_string(base) + extension), path,
                    fs::copy_options::overwrite_existing);
      label = kind < 17 ? "doc" : "rtf";
      pieces = Pieces(base);
    } else {
      path = (folder / fs::u8path(stem + ".docx")).string();
      docx::Builder().Body(Broken(pages, i)).Save(platform::FromUtf8(path));
      label = "laid-out";
    }
    std::printf("%s\t%s\t%s\t%d\n", path.c_str(), label.c_str(), status.c_str(), pieces);
  }
  return 0;
}
