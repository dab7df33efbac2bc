// Writes the fuzz targets' starting inputs from the test builder's documents:
//   make_seeds FOLDER  ->  FOLDER/package/*.docx, FOLDER/story/*, FOLDER/roundtrip/*
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "parts.h"
#include "support/docx_builder.h"

namespace {

using namespace testsupport::docx;

std::vector<std::string> Documents() {
  std::vector<std::string> out;
  out.push_back(Builder().Body(P("One short paragraph.")).Bytes());
  out.push_back(Builder().Body(PagedBody(4)).Pages(4).Bytes());
  out.push_back(Builder().Body(ChapterBook(3, "_Toc", "Contents")).Pages(4).Bytes());
  out.push_back(
      Builder()
          .Body(Heading(1, "Title", "start") + P("First sentence. Second one? Third!") +
                Para(TextRun("a\vb") + Tab() + SimpleField("PAGE", "1") +
                     ComplexField("REF start \\h", TextRun("Title"))) +
                Para(Hyperlink("start", TextRun("back")) + PageBreak() + TextRun("after")) +
                Styled("Breaking", TextRun("new page")) +
                SectionEnd(TextRun("end of section"), "nextPage") + P("last"))
          .Bytes());
  out.push_back(Builder()
                    .Body(P("before") +
                          Table({{P("a"), P("b")},
                                 {Para(RenderedBreak() + TextRun("c")), Table({{P("inner")}})}}) +
                          P("after"))
                    .Pages(2)
                    .Bytes());
  {
    Builder b;
    std::string picture = b.Image("picture");
    std::string note = b.Footnote("a note");
    b.Body(Para(TextRun("with picture") + picture) + Para(TextRun("and a note") + note) +
           SectionEnd(TextRun("closing"), "continuous", HeaderReference()))
        .Header("the header", false)
        .Protection("readOnly")
        .Modified("2023-01-02T03:04:05Z");
    out.push_back(b.Bytes());
  }
  out.push_back(Builder()
                    .Body(Toc({{"One", "b1", "2"}, {"Two", "b2", "3"}}, false, true) +
                          Heading(2, "One", "b1") + P("x") + Heading(3, "Two", "b2"))
                    .Bytes());
  return out;
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds FOLDER\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  for (const char* sub : {"package", "story", "roundtrip"})
    std::filesystem::create_directories(root / sub);
  // Ranges as the round trip reads them from its first four bytes: start and end, low byte
  // first; the high bit asks for a table to be split at the row.
  const std::vector<std::string> ranges = {{'\x05', 0, '\x28', 0},
                                           {0, 0, '\xff', '\x7f'},
                                           {'\x11', 0, '\x17', 0},
                                           {'\x09', '\x80', '\x11', '\x80'}};
  int n = 0;
  for (const auto& bytes : Documents()) {
    const std::string name = std::to_string(++n);
    Write(root / "package" / (name + ".docx"), bytes);
    // Stored as well as deflated: mutations of stored parts reach the XML behind the archive.
    fuzz::WriteDocx(fuzz::ReadArchive(bytes), root / "package" / (name + "-stored.docx"));
    const std::string parts = fuzz::FormatParts(fuzz::ReadArchive(bytes));
    Write(root / "story" / name, parts);
    for (std::size_t r = 0; r < ranges.size(); ++r)
      Write(root / "roundtrip" / (name + "-" + std::to_string(r)), ranges[r] + parts);
  }
  return 0;
}
