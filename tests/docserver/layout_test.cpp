// Pages from LibreOffice's layout: which documents need it, how its paragraph numbers and
// offsets land on the story, and what happens when LibreOffice is missing.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "automation/errors.h"
#include "docserver/calls.h"
#include "docserver/document.h"
#include "docserver/libreoffice/markers.h"
#include "docserver/page_merge.h"
#include "platform/text.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace docserver::test {
namespace {

using namespace testsupport::docx;

// Behaves as if LibreOffice were not installed while it lives.
struct NoOffice {
  NoOffice() { OfficeHost::SetDisabledForTesting(true); }
  ~NoOffice() { OfficeHost::SetDisabledForTesting(false); }
};

std::string Wrapped(const std::string& body) {
  return "<w:document xmlns:w=\"w\" xmlns:mc=\"mc\" xmlns:v=\"v\"><w:body>" + body +
         "<w:sectPr/></w:body></w:document>";
}

TEST(DocserverLayout, TheLayoutOnlyFillsInThePagesWordLeftOut) {
  const struct {
    const char* what;
    std::vector<int> word, layout;
    std::vector<std::pair<int, int>> merged;  // position, index among Word's starts or -1
  } cases[] = {
      {"a layout a little ahead adds nothing", {0, 100}, {0, 90}, {{0, 0}, {100, 1}}},
      {"a page Word left out", {0, 100}, {0, 100, 200}, {{0, 0}, {100, 1}, {200, -1}}},
      {"Word's start where the layout has none",
       {0, 50, 100},
       {0, 100},
       {{0, 0}, {50, 1}, {100, 2}}},
      {"two pages left out, the layout a little off",
       {0},
       {0, 95, 205},
       {{0, 0}, {95, -1}, {205, -1}}},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<int, int>> got;
    for (const auto& m : MergePageStarts(c.word, c.layout, 300))
      got.emplace_back(m.pos, m.word);
    EXPECT_EQ(got, c.merged) << c.what;
  }
}

TEST(DocserverLayout, ParagraphsAreNumberedAsTheLayoutNumbersThem) {
  const std::string textBox =
      "<w:p><w:r><w:t>before</w:t></w:r><w:r><w:pict><v:shape><v:textbox><w:txbxContent>" +
      P("box") + "</w:txbxContent></v:textbox></v:shape></w:pict></w:r><w:r><w:t>after</w:t>" +
      "</w:r></w:p>";
  const std::string alternate = "<mc:AlternateContent><mc:Choice Requires=\"wps\">" + P("choice") +
                                "</mc:Choice><mc:Fallback>" + P("fallback") +
                                "</mc:Fallback></mc:AlternateContent>";
  using Rows = std::vector<std::vector<std::string>>;
  const std::string nested = testsupport::docx::Table(Rows{{P("n1"), P("n2")}});
  const std::string body =
      P("p0") +  // 0
      testsupport::docx::Table(
          Rows{{P("c1"), nested + P("c2 after nested")},                            // 1 2 3 4
               {"<w:sdt><w:sdtContent>" + P("c3") + "</w:sdtContent></w:sdt>"}}) +  // 5
      "<w:sdt><w:sdtContent>" +
      P("s1") + P("s2") + "</w:sdtContent></w:sdt>" +                                        // 6 7
      textBox +                                                                              // 8
      alternate +                                                                            // 9
      Para(ComplexField(" PAGE ", TextRun("7")) + TextRun("xyz") + Tab() + TextRun("end"));  // 10
  const std::string xmlText = Wrapped(body);
  pugi::xml_document xml;
  ASSERT_TRUE(xml.load_string(xmlText.c_str()));
  auto bodyNode = xml.child("w:document").child("w:body");
  Styles styles;
  Story story;
  story.Build(bodyNode, styles);

  auto paragraphs = LayoutParagraphs(bodyNode);
  ASSERT_EQ(static_cast<int>(paragraphs.size()), libreoffice::CountBodyParagraphs(xmlText));
  ASSERT_EQ(paragraphs.size(), 11u);
  EXPECT_STREQ(paragraphs[4].child("w:r").child("w:t").text().get(), "c2 after nested");
  EXPECT_STREQ(paragraphs[5].child("w:r").child("w:t").text().get(), "c3");
  EXPECT_STREQ(paragraphs[9].child("w:r").child("w:t").text().get(), "choice");

  // Page 4 is a blank page the layout inserted: it starts where page 5 does.
  libreoffice::PageLayout layout{6, {{1, 0, 0}, {2, 4, 3}, {3, 7, 0}, {5, 10, 2}, {6, 9, 0}}};
  auto starts = MapPageStarts(story, paragraphs, layout);
  ASSERT_EQ(starts.size(), 6u);
  EXPECT_EQ(starts[0], 0);
  EXPECT_EQ(story.Text(starts[1], starts[1] + 5), L"after");
  EXPECT_EQ(story.Text(starts[2], starts[2] + 2), L"s2");
  EXPECT_EQ(starts[3], starts[4]);
  // The field's code is not counted, its result is.
  EXPECT_EQ(story.Text(starts[4], starts[4] + 2), L"yz");
  // A paragraph the story does not walk stands for the next one; starts never go back.
  EXPECT_GE(starts[5], starts[4]);
}

// LibreOffice counts a note reference as its number's characters: footnote 10 counts two.
TEST(DocserverLayout, NoteReferencesCountAsTheirNumbers) {
  std::string runs;
  for (int n = 1; n <= 10; ++n)
    runs += TextRun("w") + "<w:r><w:footnoteReference w:id=\"" + std::to_string(n) + "\"/></w:r>";
  runs += "<w:r><w:endnoteReference w:id=\"1\"/></w:r>" + TextRun(" tail");
  pugi::xml_document xml;
  ASSERT_TRUE(xml.load_string(Wrapped(P("first") + Para(runs)).c_str()));
  auto bodyNode = xml.child("w:document").child("w:body");
  Styles styles;
  Story story;
  story.Build(bodyNode, styles);
  // Ten letters, 1..9 and 10 (eleven characters), the endnote's "i", the space.
  libreoffice::PageLayout layout{2, {{1, 0, 0}, {2, 1, 10 + 11 + 1 + 1}}};
  auto starts = MapPageStarts(story, LayoutParagraphs(bodyNode), layout);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(story.Text(starts[1], starts[1] + 4), L"tail");
}

TEST(DocserverLayout, WordsRecordIsUsedWhenItsCountAgrees) {
  testsupport::TempFolder folder;
  const std::string lrpb = RenderedBreak();
  const std::string recorded = P("a") + Para(lrpb + TextRun("b")) + Para(lrpb + TextRun("c"));
  const std::string explicitOnly = P("a") + Para(PageBreak()) + P("b");
  struct Case {
    const char* name;
    std::string body;
    int saved;  // 0: no count saved
    bool layout;
  } cases[] = {
      {"recorded, count agrees", recorded, 3, false},
      {"recorded, count disagrees", recorded, 5, true},
      {"recorded, no count", recorded, 0, false},
      {"explicit, count agrees", explicitOnly, 2, false},
      {"explicit, no count", explicitOnly, 0, true},
      {"no breaks, no count", P("a"), 0, true},
      {"no breaks, one page", P("a"), 1, false},
  };
  int n = 0;
  for (const auto& c : cases) {
    std::wstring path = folder / (std::to_wstring(n++) + L".docx");
    Builder().Body(c.body).Pages(c.saved).Save(path);
    EXPECT_EQ(Document(platform::ToPath(path), true).UsesLayout(), c.layout) << c.name;
  }
}

TEST(DocserverLayout, WithoutLibreOfficeOnlyWhatNeedsItFails) {
  NoOffice off;
  testsupport::TempFolder folder;
  const std::string lrpb = RenderedBreak();
  Builder()
      .Body(P("one") + Para(lrpb + TextRun("two")) + Para(lrpb + TextRun("three")))
      .Pages(3)
      .Save(folder / L"word.docx");
  Builder().Body(P("one") + P("two")).Save(folder / L"other.docx");
  testsupport::WriteFile(folder / L"old.rtf", "{\\rtf1\\ansi Text.\\par}");
  auto app = CreateApplication();

  // Word's record: pages, cuts and saves as .docx all work.
  auto word = Open(app, folder / L"word.docx", false);
  EXPECT_EQ(PageCount(word), 3);
  auto sel = Obj(app, 5);
  Call(sel, 173,
       {Variant::I4(1).ByRef(), Variant::I4(1).ByRef(), Variant::I4(3).ByRef(),
        Variant::String(L"").ByRef()});
  Call(sel, 100, {Variant::I4(Int(sel, 3)), Variant::I4(Int(Obj(word, 41), 4))});
  Call(sel, 127, {Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
  SaveAs(word, folder / L"piece.docx", 12);
  EXPECT_EQ(PageCount(Open(app, folder / L"piece.docx")), 2);

  auto expectMissing = [](auto&& call) {
    try {
      call();
      ADD_FAILURE() << "no failure";
    } catch (const automation::ServerException& e) {
      EXPECT_NE(e.Description().find(L"LibreOffice is not installed"), std::wstring::npos)
          << platform::ToUtf8(e.Description());
    }
  };
  // A document Word never laid out opens and reads; only its pages need LibreOffice.
  auto other = Open(app, folder / L"other.docx");
  auto story = Obj(other, 41);
  EXPECT_EQ(Text(story), L"one\rtwo\r");
  expectMissing([&] { PageCount(other); });
  // A stretch touches a page whatever the layout: chapter cuts ask only that.
  EXPECT_GE(Call(story, 178, {Variant::I4(2)}).integer, 1);
  expectMissing([&] { Open(app, folder / L"old.rtf"); });
  expectMissing([&] { SaveAs(word, folder / L"piece.rtf", 6); });
  EXPECT_FALSE(testsupport::Exists(folder / L"piece.rtf"));
}

}  // namespace
}  // namespace docserver::test
