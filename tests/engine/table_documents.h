#pragma once
// Documents whose pages start at and inside tables and next to the breaks that start pages,
// with Word's record of where each page starts (a recorded start repeated in every cell of a
// row that starts a page, as Word writes it).

#include <string>
#include <vector>

#include "support/docx_builder.h"

namespace enginetest::tabledocs {

namespace docx = testsupport::docx;

struct Case {
  std::string name;
  std::string body;
  int pages = 0;
};

inline std::string Cell(const std::string& blocks) {
  return "<w:tc><w:tcPr><w:tcW w:w=\"3000\" w:type=\"dxa\"/></w:tcPr>" + blocks + "</w:tc>";
}

// A row of one-paragraph cells; a row that starts a page has Word's recorded start in each.
inline std::string Row(const std::vector<std::string>& texts, bool startsPage = false,
                       bool heading = false) {
  std::string row = "<w:tr>";
  if (heading)
    row += "<w:trPr><w:tblHeader/></w:trPr>";
  for (const auto& t : texts)
    row += Cell(docx::Para((startsPage ? docx::RenderedBreak() : "") + docx::TextRun(t)));
  return row + "</w:tr>";
}

inline std::string Table(const std::string& rows) {
  return "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>"
         "<w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>" +
         rows + "</w:tbl>";
}

// Rows first..last, each "Rn a" | "Rn b"; the row startsAt starts a page.
inline std::string Rows(int first, int last, int startsAt = -1, bool heading = false) {
  std::string rows;
  for (int r = first; r <= last; ++r) {
    // Appended rather than "R" + ...: GCC 12 at -O3 warns of a false overlap (-Wrestrict).
    std::string n = "R";
    n += std::to_string(r);
    rows += Row({n + " a", n + " b"}, r == startsAt, heading && r == first);
  }
  return rows;
}

inline std::string Starting(const std::string& text) {
  return docx::Para(docx::RenderedBreak() + docx::TextRun(text));
}

inline std::vector<Case> Cases() {
  using docx::P;
  using docx::Para;
  using docx::RenderedBreak;
  using docx::TextRun;
  std::vector<Case> out;
  out.push_back({"a table running from page 1 onto page 2",
                 P("Intro.") + Table(Rows(1, 6, 4)) + P("After the table.") +
                     Starting("Page three.") + P("More.") + Starting("Page four."),
                 4});
  // The row's cells cross the page at their own places.
  out.push_back({"a row split across pages",
                 P("Intro.") +
                     Table(Rows(1, 2) + "<w:tr>" +
                           Cell(Para(TextRun("A1 A2 ") + RenderedBreak() + TextRun("A3 A4"))) +
                           Cell(Para(TextRun("B1 ") + RenderedBreak() + TextRun("B2"))) +
                           "</w:tr>" + Rows(4, 5)) +
                     P("After.") + Starting("Page three."),
                 3});
  out.push_back(
      {"a row running over three pages",
       P("Intro.") +
           Table(Rows(1, 1) + "<w:tr>" +
                 Cell(Para(RenderedBreak() + TextRun("A1 ") + RenderedBreak() + TextRun("A2"))) +
                 Cell(Para(RenderedBreak() + TextRun("B1 ") + RenderedBreak() + TextRun("B2"))) +
                 "</w:tr>" + Rows(3, 4)) +
           P("After."),
       3});
  // Split before its first row for the tail cut, which then falls inside that row.
  out.push_back(
      {"a first row split across pages",
       P("Intro.") +
           Table("<w:tr>" + Cell(Para(TextRun("A1 A2 ") + RenderedBreak() + TextRun("A3 A4"))) +
                 Cell(Para(TextRun("B1 ") + RenderedBreak() + TextRun("B2"))) + "</w:tr>" +
                 Rows(2, 3)) +
           P("After.") + Starting("Page three."),
       3});
  // The same row holds the head cut of the middle page's piece, after the split's paragraph.
  out.push_back({"a first row running over three pages",
                 P("Intro.") +
                     Table("<w:tr>" +
                           Cell(Para(TextRun("A1 ") + RenderedBreak() + TextRun("A2 ") +
                                     RenderedBreak() + TextRun("A3"))) +
                           Cell(Para(TextRun("B1 ") + RenderedBreak() + TextRun("B2 ") +
                                     RenderedBreak() + TextRun("B3"))) +
                           "</w:tr>" + Rows(2, 3)) +
                     P("After."),
                 3});
  out.push_back({"repeated heading rows",
                 P("Intro.") + Table(Rows(1, 8, 4, true)) + P("Between.") +
                     Table(Rows(10, 14, 12, true)) + P("End."),
                 3});
  {
    std::string nested = Table(Rows(1, 5, 3));
    out.push_back({"a nested table",
                   P("Intro.") +
                       Table("<w:tr>" + Cell(nested + P("Under the inner table.")) +
                             Cell(P("Side.")) + "</w:tr>" + Rows(20, 21)) +
                       P("After."),
                   2});
  }
  out.push_back({"a table at the very start",
                 Table(Rows(1, 6, 3)) + P("After.") + Starting("Page three."), 3});
  out.push_back({"a table at the very end",
                 P("Intro.") + Starting("Page two.") + Table(Rows(1, 6, 4)) + Para(""), 3});
  out.push_back({"a table starting a page",
                 P("Intro.") + Table(Rows(1, 3, 1)) + P("After.") + Starting("Page three."), 3});
  out.push_back({"section breaks",
                 P("Intro.") + docx::SectionEnd(TextRun("End of one."), "nextPage") +
                     Starting("Section two.") + docx::SectionEnd(TextRun("End of two."), "") +
                     P("Section three.") + Table(Rows(1, 2)),
                 3});
  out.push_back({"page breaks",
                 Para(TextRun("One.") + docx::PageBreak()) + Starting("Two.") +
                     Para(TextRun("Two more.") + docx::PageBreak() + TextRun("Three.")) +
                     Table(Rows(1, 2)) + Para(docx::PageBreak()) + P("Four."),
                 4});
  out.push_back({"page break before",
                 P("One.") + Para(RenderedBreak() + TextRun("Two."), "<w:pageBreakBefore/>") +
                     Table(Rows(1, 2)) + Para(TextRun("Three."), "<w:pageBreakBefore/>"),
                 3});
  out.push_back({"an empty last paragraph after a page break",
                 P("One.") + Para(TextRun("Two.") + docx::PageBreak()) + Para(""), 2});
  out.push_back({"an empty last paragraph", P("One.") + Starting("Two.") + Para(""), 2});
  return out;
}

}  // namespace enginetest::tabledocs
