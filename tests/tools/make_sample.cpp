// Writes a sample report for trying the program: chapters with a table of contents, a table,
// and the page starts Word records when it lays a document out.

#include <cstdio>
#include <string>

#include "platform/text.h"
#include "support/docx_builder.h"

namespace docx = testsupport::docx;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: varnik-make-sample FILE.docx\n", stderr);
    return 2;
  }
  const char* titles[] = {"Introduction", "Background", "Method",
                          "Results",      "Discussion", "Conclusion"};
  std::vector<docx::TocLine> toc;
  std::string body;
  int page = 2;
  for (int c = 0; c < 6; ++c) {
    std::string bookmark = "_Toc" + std::to_string(1000 + c);
    toc.push_back({titles[c], bookmark, std::to_string(page)});
    body += docx::Para(docx::RenderedBreak() + docx::Bookmark(bookmark, docx::TextRun(titles[c])),
                       "<w:pStyle w:val=\"Heading1\"/>");
    for (int p = 0; p < 2; ++p) {
      if (p == 1)
        body += docx::Para(docx::RenderedBreak() + docx::TextRun("Page two of it."));
      for (int s = 0; s < 6; ++s) {
        body += docx::P("This is sentence " + std::to_string(s + 1) + " of part " +
                        std::to_string(p + 1) + " of " + titles[c] +
                        ". It has a second sentence as well.");
      }
    }
    if (c == 3) {
      body +=
          docx::Table({{docx::P("Measure"), docx::P("Value")}, {docx::P("Pages"), docx::P("13")}});
    }
    page += 2;
  }
  std::string document =
      docx::Para(docx::TextRun("Sample report")) + docx::Toc(toc, true, true) + body;
  docx::Builder builder;
  builder.Body(document).Pages(13).Modified("2026-12-01T09:30:00Z");
  builder.Save(platform::FromUtf8(argv[1]));
  return 0;
}
