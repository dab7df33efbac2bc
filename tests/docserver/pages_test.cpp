// Where pages start: recorded breaks, explicit breaks, page break before, section breaks, and
// the one page that several marks of one break make.
#include <gtest/gtest.h>

#include "docserver/calls.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace docserver::test {
namespace {

using namespace testsupport::docx;

struct PageCase {
  const char* name;
  std::string body;
  int pages;
};

std::vector<PageCase> Cases() {
  const std::string lrpb = RenderedBreak();
  return {
      {"plain", P("one") + P("two"), 1},
      {"recorded only",
       P("a") + Para(lrpb + TextRun("b")) + Para(TextRun("c") + lrpb + TextRun("d")), 3},
      {"explicit only", Para(TextRun("a") + PageBreak()) + Para(PageBreak()) + P("c"), 3},
      {"explicit then recorded", Para(TextRun("a") + PageBreak()) + Para(lrpb + TextRun("b")), 2},
      {"explicit own paragraph then recorded",
       P("a") + Para(PageBreak()) + Para(lrpb + TextRun("b")), 2},
      {"break before",
       P("a") + Styled("Breaking", TextRun("b")) + Para(TextRun("c"), "<w:pageBreakBefore/>"), 3},
      {"break before with recorded", P("a") + Para(lrpb + TextRun("b"), "<w:pageBreakBefore/>"), 2},
      {"break before switched off", P("a") + Para(TextRun("b"), "<w:pageBreakBefore w:val=\"0\"/>"),
       1},
      {"first paragraph break before", Para(TextRun("a"), "<w:pageBreakBefore/>") + P("b"), 1},
      {"new page sections",
       SectionEnd(TextRun("a"), "nextPage") + SectionEnd(TextRun("b"), "") + P("c"), 3},
      // A section's type sits in the sectPr that closes it; the body's last one means a new page.
      {"continuous section",
       SectionEnd(TextRun("a"), "") + SectionEnd(TextRun("b"), "continuous") + P("c"), 2},
      {"odd page section", SectionEnd(TextRun("a"), "oddPage") + P("b"), 2},
      {"section with recorded", SectionEnd(TextRun("a"), "") + Para(lrpb + TextRun("b")), 2},
      {"recorded in every cell of a row",
       P("a") +
           Table({{Para(lrpb + TextRun("x")), Para(lrpb + TextRun("y")),
                   Para(lrpb + TextRun("z"))}}) +
           P("b"),
       2},
      {"recorded in two rows",
       P("a") +
           Table({{Para(lrpb + TextRun("x")), Para(lrpb + TextRun("y"))},
                  {Para(lrpb + TextRun("v")), Para(lrpb + TextRun("w"))}}) +
           P("b"),
       3},
      // The mark after a closing break stays on the break's page.
      {"break at the very end", Para(TextRun("a") + PageBreak()), 1},
      {"break inside a paragraph", Para(TextRun("a") + PageBreak() + TextRun("b")), 2},
      {"in a table of contents",
       Toc({{"One", "_Toc1", "1"}, {"Two", "_Toc2", "2"}}, true, true) + Para(lrpb + TextRun("x")),
       2},
  };
}

TEST(DocserverPages, CountsEachBreakOnce) {
  testsupport::TempFolder folder;
  auto app = CreateApplication();
  for (const auto& c : Cases()) {
    std::wstring path =
        folder / (std::wstring(c.name, c.name + std::char_traits<char>::length(c.name)) + L".docx");
    Builder().Body(c.body).Pages(c.pages).Save(path);
    auto doc = Open(app, path);
    EXPECT_EQ(PageCount(doc), c.pages) << c.name;
    Call(doc, 1105, {Variant::I4(0).ByRef(), Variant::I4(1).ByRef(), Omitted()});
  }
  EXPECT_EQ(Int(Obj(app, 6), 2), 0);
}

TEST(DocserverPages, GoToPageClampsToTheDocument) {
  testsupport::TempFolder folder;
  Builder()
      .Body(P("ab") + Para(TextRun("cd") + PageBreak()) + P("ef"))
      .Pages(2)
      .Save(folder / L"d.docx");
  auto app = CreateApplication();
  auto doc = Open(app, folder / L"d.docx");
  auto sel = Obj(app, 5);
  auto go = [&](int page) {
    Call(sel, 173,
         {Variant::I4(1).ByRef(), Variant::I4(1).ByRef(), Variant::I4(page).ByRef(),
          Variant::String(L"").ByRef()});
    return std::pair{Int(sel, 3), Int(sel, 4)};
  };
  // "ab\r" 0-2, "cd\f\r" 3-6, "ef\r" 7-9: page 2 starts with the paragraph after the break.
  EXPECT_EQ(go(2), std::pair(7, 7));
  EXPECT_EQ(go(1), std::pair(0, 0));
  EXPECT_EQ(go(0), std::pair(0, 0));
  EXPECT_EQ(go(-3), std::pair(0, 0));
  EXPECT_EQ(go(3), std::pair(10, 10));
  auto whole = Obj(doc, 41);
  Call(whole, 128);
  EXPECT_EQ(Int(whole, 4), 10);
  EXPECT_EQ(Call(whole, 178, {Variant::I4(2)}).integer, 2);
}

}  // namespace
}  // namespace docserver::test

namespace docserver::test {
namespace {

TEST(DocserverPages, PageBrokenInsideARowStartsWhereTheFirstCellGoesOn) {
  testsupport::TempFolder folder;
  const std::string lrpb = RenderedBreak();
  Builder()
      .Body(
          P("a") +
          Table({{P("x"), Para(TextRun("y1") + lrpb + TextRun("y2")), Para(lrpb + TextRun("z"))}}) +
          P("b"))
      .Save(folder / L"d.docx");
  auto app = CreateApplication();
  auto doc = Open(app, folder / L"d.docx");
  auto sel = Obj(app, 5);
  Call(sel, 173,
       {Variant::I4(1).ByRef(), Variant::I4(1).ByRef(), Variant::I4(2).ByRef(),
        Variant::String(L"").ByRef()});
  // "a\r" 0-1, "x" 2 and its cell end 3, "y1" 4-5, "y2" 6-7.
  EXPECT_EQ(Int(sel, 3), 6);
}

}  // namespace
}  // namespace docserver::test
