// Cutting pages out and saving the rest: the piece holds the right text and is a whole document
// (every relationship resolves, marks pair up, no part of the deleted text stays behind).
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "automation/errors.h"
#include "docserver/calls.h"
#include "docserver/package.h"
#include "platform/text.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace docserver::test {
namespace {

using namespace testsupport::docx;

Variant I(int v) {
  return Variant::I4(v).ByRef();
}

void GoToPage(const DispatchPtr& sel, int page) {
  Call(sel, 173, {I(1), I(1), I(page), Variant::String(L"").ByRef()});
}

// A break in front of a boundary inside a field or a table, as the page export makes it.
bool FixBoundary(const DispatchPtr& sel, bool endSide) {
  if (Int(Obj(sel, 64), 1) >= 1) {
    Call(sel, 101, {Omitted()});
    Call(sel, 122, {Omitted()});
    return true;
  }
  auto paras = Obj(sel, 59);
  if (Int(paras, 104) != -1) {
    auto range = Obj(Call(paras, 0, {Variant::I4(1)}).object, 0);
    if (Int(Obj(range, 64), 1) >= 1) {
      Call(range, 101, {Omitted()});
      Call(range, 122, {Omitted()});
      return true;
    }
  }
  if (Call(sel, 401, {Variant::I4(12)}, InvokeKind::PropertyGet).integer == 0)
    return false;
  auto tables = Obj(sel, 50);
  if (Int(tables, 2) < 1)
    return false;
  auto table = Obj(Call(tables, 0, {Variant::I4(1)}).object, 0);
  if (endSide) {
    if (Int(table, 3) < Int(sel, 3) - 1) {
      auto r = Obj(sel, 400);
      Call(r, 101, {Omitted()});
      Call(r, 122, {Omitted()});
      return true;
    }
  } else if (Int(table, 4) > Int(sel, 4) + 1) {
    auto r = Obj(sel, 400);
    Put(r, 3, Variant::I4(Int(r, 4)));
    Call(r, 122, {Omitted()});
    return true;
  }
  return false;
}

void CutPages(const DispatchPtr& app, const std::wstring& source, const std::wstring& target,
              int first, int last, int pages) {
  auto doc = Open(app, source, false);
  auto sel = Obj(app, 5);
  Call(sel, 524);
  if (last != pages) {
    GoToPage(sel, last + 1);
    int c = Int(sel, 3);
    Call(sel, 100, {Variant::I4(c), Variant::I4(c + 1)});
    FixBoundary(sel, true);
    Put(sel, 3, Variant::I4(c));
    auto whole = Obj(doc, 41);
    Call(whole, 128);
    int end = Int(whole, 4);
    if (end > Int(sel, 3)) {
      Put(sel, 4, Variant::I4(end));
      auto r = Obj(sel, 400);
      if (Int(r, 4) > Int(r, 3) && Call(r, 178, {Variant::I4(2)}).integer >= 1)
        Call(sel, 127, {I(1), I(1)});
    }
  }
  if (first != 1) {
    Put(sel, 3, Variant::I4(0));
    GoToPage(sel, first);
    int e = Int(sel, 4);
    if (FixBoundary(sel, false))
      Put(sel, 4, Variant::I4(e + 1));
    e = Int(sel, 4);
    if (e > 0) {
      Call(sel, 100, {Variant::I4(0), Variant::I4(e)});
      Call(sel, 127, {I(1), I(1)});
    }
  }
  Call(sel, 524);
  SaveAs(doc, target, Int(doc, 59));
  Call(doc, 1105, {Omitted(), Omitted(), Omitted()});
}

// Structural checks of a saved package; returns the problems found.
std::vector<std::string> Problems(const std::wstring& path) {
  std::vector<std::string> out;
  Package pkg(platform::ToPath(path));
  std::set<std::string> names;
  for (const auto& n : pkg.PartNames())
    names.insert(n);
  for (const auto& n : names) {
    if (n.size() < 5 || n.substr(n.size() - 5) != ".rels")
      continue;
    std::string source = n;
    source.erase(source.find("_rels/"), 6);
    source.resize(source.size() - 5);
    for (auto rel : pkg.Xml(n).child("Relationships").children("Relationship"))
      if (std::string_view(rel.attribute("TargetMode").as_string()) != "External" &&
          !names.count(ResolvePartName(source, rel.attribute("Target").as_string())))
        out.push_back("unresolved " + std::string(rel.attribute("Target").as_string()));
  }
  auto body = pkg.Xml("word/document.xml").child("w:document").child("w:body");
  std::map<std::string, int> marks;
  int depth = 0;
  for (auto x : body.select_nodes(".//w:bookmarkStart | .//w:bookmarkEnd | .//w:fldChar")) {
    auto n = x.node();
    std::string name = n.name();
    if (name == "w:bookmarkStart")
      ++marks[n.attribute("w:id").as_string()];
    else if (name == "w:bookmarkEnd")
      --marks[n.attribute("w:id").as_string()];
    else {
      std::string type = n.attribute("w:fldCharType").as_string();
      depth += type == "begin" ? 1 : type == "end" ? -1 : 0;
      if (depth < 0)
        out.push_back("field end without begin");
    }
  }
  if (depth != 0)
    out.push_back("field begin without end");
  for (auto& [id, balance] : marks)
    if (balance != 0)
      out.push_back("unpaired bookmark " + id);
  for (auto t : body.select_nodes(".//w:tbl"))
    if (!t.node().child("w:tr"))
      out.push_back("table without rows");
  for (auto c : body.select_nodes(".//w:tc"))
    if (std::string_view(c.node().last_child().name()) != "w:p")
      out.push_back("cell not ending with a paragraph");
  if (std::string_view(body.last_child().name()) != "w:sectPr" ||
      std::string_view(body.last_child().previous_sibling().name()) != "w:p")
    out.push_back("body does not end with a paragraph and its section");
  return out;
}

std::wstring WholeText(const DispatchPtr& doc) {
  auto r = Obj(doc, 41);
  Call(r, 128);
  return Text(r);
}

class DocserverCut : public ::testing::Test {
 protected:
  void SetUp() override {
    Builder b;
    std::string pic2 = b.Image("page2.png"), pic4 = b.Image("page4.png");
    std::string note1 = b.Footnote("note on page one"), note3 = b.Footnote("note on page three");
    const std::string lrpb = RenderedBreak();
    b.Header("head");
    b.Body(Heading(1, "Intro", "_Toc1") +
           // A field whose result runs over the first page break, a bookmark crossing it too.
           Para(TextRun("Alpha.") + note1 +
                "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> QUOTE "
                "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
                TextRun("quoted") + "<w:bookmarkStart w:id=\"7\" w:name=\"across\"/>") +
           // A bookmark after the break stays at the cut and must not keep the break alive.
           Para(PageBreak() + "<w:bookmarkStart w:id=\"9\" w:name=\"_Toc2\"/>" +
                "<w:bookmarkEnd w:id=\"9\"/>") +
           Para(TextRun("Second") + "<w:bookmarkEnd w:id=\"7\"/>" +
                    "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>",
                "<w:pStyle w:val=\"Heading1\"/>") +
           Para(TextRun("Beta. ") + pic2) +
           Table({{P("x")}, {Para(lrpb + TextRun("y"))}, {P("z")}}) +
           Para(TextRun("Gamma.") + note3 + ComplexField(" QUOTE ", TextRun("runs on"))) +
           SectionEnd(TextRun("end of section one"), "") +
           Styled("Breaking", TextRun("Last") + pic4) + P("Omega."));
    b.Save(source_);
  }
  testsupport::TempFolder folder_;
  std::wstring source_ = folder_ / L"source.docx";
  DispatchPtr app_ = CreateApplication();
};

TEST_F(DocserverCut, MiddlePagesMakeAWholeDocument) {
  auto doc = Open(app_, source_);
  ASSERT_EQ(PageCount(doc), 4);
  Call(doc, 1105, {Omitted(), Omitted(), Omitted()});
  std::string before = testsupport::ReadFile(source_);

  CutPages(app_, source_, folder_ / L"2-3.docx", 2, 3, 4);
  EXPECT_EQ(testsupport::ReadFile(source_), before);
  EXPECT_EQ(Problems(folder_ / L"2-3.docx"), std::vector<std::string>{});
  Package pkg(platform::ToPath(folder_ / L"2-3.docx"));
  EXPECT_TRUE(pkg.Has("word/media/page2.png"));
  EXPECT_FALSE(pkg.Has("word/media/page4.png"));
  // The piece ends in the first section, which has no header; its setup is the piece's now.
  EXPECT_FALSE(pkg.Has("word/header1.xml"));
  std::string notes = pkg.Read("word/footnotes.xml");
  EXPECT_NE(notes.find("note on page three"), std::string::npos);
  EXPECT_EQ(notes.find("note on page one"), std::string::npos);

  auto piece = Open(app_, folder_ / L"2-3.docx");
  EXPECT_EQ(PageCount(piece), 2);
  std::wstring text = WholeText(piece);
  EXPECT_EQ(text.find(L"Alpha"), std::wstring::npos);
  EXPECT_EQ(text.find(L"Omega"), std::wstring::npos);
  EXPECT_NE(text.find(L"quoted"), 0u);  // the torn field's result is plain text now
  EXPECT_NE(text.find(L"Second"), std::wstring::npos);
  EXPECT_NE(text.find(L"runs on"), std::wstring::npos);
  EXPECT_NE(text.find(L"end of section one"), std::wstring::npos);
}

TEST_F(DocserverCut, BoundaryInsideATableSplitsIt) {
  CutPages(app_, source_, folder_ / L"3-4.docx", 3, 4, 4);
  EXPECT_EQ(Problems(folder_ / L"3-4.docx"), std::vector<std::string>{});
  auto piece = Open(app_, folder_ / L"3-4.docx");
  std::wstring text = WholeText(piece);
  EXPECT_EQ(text.find(L"x\r\a"), std::wstring::npos);
  EXPECT_NE(text.find(L"y\r\a\r\az\r\a\r\a"), std::wstring::npos);
  EXPECT_NE(text.find(L"Omega"), std::wstring::npos);
  auto tables = Obj(Obj(piece, 41), 50);
  ASSERT_EQ(Int(tables, 2), 1);
  EXPECT_EQ(Text(Obj(Call(tables, 0, {Variant::I4(1)}).object, 0)).substr(0, 1), L"y");
  Package pkg(platform::ToPath(folder_ / L"3-4.docx"));
  EXPECT_FALSE(pkg.Has("word/media/page2.png"));
  EXPECT_TRUE(pkg.Has("word/media/page4.png"));
  EXPECT_TRUE(pkg.Has("word/header1.xml"));
}

TEST_F(DocserverCut, FirstPageKeepsTheLastSectionsSetup) {
  CutPages(app_, source_, folder_ / L"1-1.docx", 1, 1, 4);
  EXPECT_EQ(Problems(folder_ / L"1-1.docx"), std::vector<std::string>{});
  auto piece = Open(app_, folder_ / L"1-1.docx");
  EXPECT_EQ(PageCount(piece), 1);
  EXPECT_EQ(WholeText(piece).find(L"Second"), std::wstring::npos);
}

}  // namespace
}  // namespace docserver::test

namespace docserver::test {
namespace {

TEST_F(DocserverCut, RangesFollowEdits) {
  auto doc = Open(app_, source_, false);
  auto paras = Obj(Obj(doc, 41), 59);
  int count = Int(paras, 2);
  auto last = Obj(Call(paras, 0, {Variant::I4(count)}).object, 0);
  auto first = Obj(Call(paras, 0, {Variant::I4(1)}).object, 0);
  ASSERT_EQ(Text(last), L"Omega.\r");
  int lastStart = Int(last, 3);
  auto sel = Obj(app_, 5);
  GoToPage(sel, 2);
  int cut = Int(sel, 3);
  Call(sel, 100, {Variant::I4(0), Variant::I4(cut)});
  Call(sel, 127, {I(1), I(1)});
  EXPECT_EQ(Text(last), L"Omega.\r");
  EXPECT_EQ(Int(last, 3), lastStart - cut);
  EXPECT_EQ(Int(first, 3), 0);
  EXPECT_EQ(Int(first, 4), 0);
  EXPECT_EQ(Int(sel, 3), 0);
  EXPECT_EQ(Int(sel, 4), 0);
  // A break inserted before a range moves it on by one.
  Call(sel, 122, {Omitted()});
  EXPECT_EQ(Int(last, 3), lastStart - cut + 1);
  EXPECT_EQ(Int(sel, 3), 1);
}

}  // namespace
}  // namespace docserver::test

namespace docserver::test {
namespace {

TEST(DocserverCutEnd, BreakInsideAContentControlLeavesNoBlankPage) {
  testsupport::TempFolder folder;
  Builder()
      .Body(P("one") + "<w:sdt><w:sdtContent>" + Para(PageBreak() + TextRun("two")) + P("more") +
            "</w:sdtContent></w:sdt>" + P("three"))
      .Pages(2)
      .Save(folder / L"d.docx");
  auto app = CreateApplication();
  CutPages(app, folder / L"d.docx", folder / L"1.docx", 1, 1, 2);
  EXPECT_EQ(Problems(folder / L"1.docx"), std::vector<std::string>{});
  auto piece = Open(app, folder / L"1.docx");
  EXPECT_EQ(PageCount(piece), 1);
  EXPECT_EQ(WholeText(piece).substr(0, 4), L"one\r");
}

}  // namespace
}  // namespace docserver::test

namespace docserver::test {
namespace {

// The last page starts inside the last paragraph: the page before keeps that paragraph's
// text before the page start.
TEST(DocserverCutEnd, CutInsideTheLastParagraphKeepsItsHead) {
  testsupport::TempFolder folder;
  Builder()
      .Body(P("one") + Para(TextRun("two ") + RenderedBreak() + TextRun("three")))
      .Pages(2)
      .Save(folder / L"d.docx");
  auto app = CreateApplication();
  CutPages(app, folder / L"d.docx", folder / L"1.docx", 1, 1, 2);
  CutPages(app, folder / L"d.docx", folder / L"2.docx", 2, 2, 2);
  EXPECT_EQ(Problems(folder / L"1.docx"), std::vector<std::string>{});
  EXPECT_EQ(WholeText(Open(app, folder / L"1.docx")), L"one\rtwo \r");
  EXPECT_EQ(WholeText(Open(app, folder / L"2.docx")), L"three\r");
}

TEST(DocserverCutEnd, SectionsCutAwayLeaveTheirHeadersToTheNext) {
  testsupport::TempFolder folder;
  // The second section has no header of its own and shows the first one's.
  Builder()
      .Header("head", false)
      .Body(SectionEnd(TextRun("one"), "", HeaderReference()) + P("two"))
      .Pages(2)
      .Save(folder / L"d.docx");
  auto app = CreateApplication();
  CutPages(app, folder / L"d.docx", folder / L"2.docx", 2, 2, 2);
  EXPECT_EQ(Problems(folder / L"2.docx"), std::vector<std::string>{});
  Package pkg(platform::ToPath(folder / L"2.docx"));
  EXPECT_TRUE(pkg.Has("word/header1.xml"));
  auto sect = pkg.Xml("word/document.xml").child("w:document").child("w:body").child("w:sectPr");
  EXPECT_TRUE(sect.child("w:headerReference"));
  EXPECT_EQ(WholeText(Open(app, folder / L"2.docx")), L"two\r");
}

}  // namespace
}  // namespace docserver::test
