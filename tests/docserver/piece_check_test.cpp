// The check of a written piece: small pieces, each whole but one rule, against the record of
// what their cut kept. The first difference is named, for the user.
#include <gtest/gtest.h>
#include <zip.h>

#include <functional>

#include "automation/errors.h"
#include "automation/own_members.h"
#include "docserver/calls.h"
#include "docserver/piece_check.h"
#include "docserver/server.h"
#include "platform/text.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace docserver::test {
namespace {

using namespace testsupport::docx;

void RemovePart(const std::wstring& path, const char* part) {
  int error = 0;
  zip_t* zip = zip_open(platform::ToPath(path).c_str(), 0, &error);
  ASSERT_NE(zip, nullptr);
  zip_int64_t index = zip_name_locate(zip, part, 0);
  ASSERT_GE(index, 0);
  zip_delete(zip, static_cast<zip_uint64_t>(index));
  ASSERT_EQ(zip_close(zip), 0);
}

TEST(PieceCheck, EachRuleNamesWhatDiffers) {
  struct Case {
    const char* what;
    std::string body;
    std::wstring text;  // what the cut kept of the source
    int pages;
    int saved;             // the page count the piece's properties give
    const wchar_t* found;  // nullptr: the piece passes
    std::function<void(const std::wstring&)> damage;
  };
  const std::string good = P("One") + P("Two");
  const Case cases[] = {
      {"exactly its range", good, L"One\rTwo\r", 1, 1, nullptr, {}},
      {"its range ended inside a paragraph", good, L"One\rTwo", 1, 1, nullptr, {}},
      {"its range ended with a page break", good, L"One\rTwo\f", 1, 1, nullptr, {}},
      {"a torn field made whole", good, L"One\r\x13 TOC \x14Two\r", 1, 1, nullptr, {}},
      {"an empty paragraph more than the closing one",
       P("One") + P("Two") + P("") + P(""),
       L"One\rTwo\r",
       1,
       1,
       L"its text differs from the source at character 9 (\"¶¶\" instead of its end)",
       {}},
      {"a paragraph lost",
       good,
       L"One\rTwo\rThree\r",
       1,
       1,
       L"its text differs from the source at character 9 (its end instead of \"Three¶\")",
       {}},
      {"a break doubled",
       P("One") + Para(PageBreak() + TextRun("Two")),
       L"One\rTwo\r",
       0,
       2,
       L"its text differs from the source at character 5 (\"<page break>Two¶\" instead of "
       L"\"Two¶\")",
       {}},
      {"a page too many",
       P("One") + Para(RenderedBreak() + TextRun("Two")),
       L"One\rTwo\r",
       1,
       2,
       L"it has 2 pages, cut for 1",
       {}},
      {"a bookmark without its end",
       Para("<w:bookmarkStart w:id=\"7\" w:name=\"a\"/>" + TextRun("One")),
       L"One\r",
       1,
       1,
       L"its parts are not whole (bookmark 7 is not paired)",
       {}},
      {"a bookmark id twice",
       Para("<w:bookmarkStart w:id=\"7\" w:name=\"a\"/><w:bookmarkEnd w:id=\"7\"/>"
            "<w:bookmarkStart w:id=\"7\" w:name=\"b\"/><w:bookmarkEnd w:id=\"7\"/>" +
            TextRun("One")),
       L"One\r",
       1,
       1,
       L"its parts are not whole (bookmark id 7 used twice)",
       {}},
      {"a field never closed",
       Para("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>PAGE</w:instrText>"
            "</w:r>" +
            TextRun("One")),
       L"\x13PAGEOne\r",
       0,
       1,
       L"its parts are not whole (a field begins and never ends)",
       {}},
      {"a table without rows",
       P("One") + "<w:tbl><w:tblPr/><w:tblGrid/></w:tbl>" + P("Two"),
       L"One\rTwo\r",
       1,
       1,
       L"its parts are not whole (a table has no rows)",
       {}},
  };
  testsupport::TempFolder folder;
  auto office = std::make_shared<OfficeHost>();
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::wstring path = folder / (L"piece " + std::to_wstring(n++) + L".docx");
    Builder().Body(c.body).Pages(c.saved).Save(path);
    if (c.damage)
      c.damage(path);
    PieceRecord record{.text = c.text, .pages = c.pages};
    auto found = CheckPiece(platform::ToPath(path), record, office);
    if (c.found == nullptr)
      EXPECT_FALSE(found) << platform::ToUtf8(*found);
    else
      EXPECT_EQ(found.value_or(L"passed"), c.found);
  }
}

// The ends of a piece may differ from its range only as a cut makes them differ.
TEST(PieceCheck, TextDiffersOnlyWhereACutMakesIt) {
  struct Case {
    const char* what;
    std::wstring piece, range;
    bool passes;
  };
  const Case cases[] = {
      {"the same", L"One\rTwo\r", L"One\rTwo\r", true},
      {"ended inside a paragraph", L"One\rTw", L"One\rTw", true},
      {"a paragraph closed", L"One\rTwo\r", L"One\rTwo", true},
      {"the document's closing paragraph", L"One\rTwo\r\r", L"One\rTwo\r", true},
      {"a cell and row closed", L"A\r\aB\r\a\r\a", L"A\r\aB", true},
      {"a cell closed after one of its paragraphs", L"A\aB\a\a\r", L"A\aB\r", true},
      {"a page break at the end dropped", L"One\r", L"One\r\f", true},
      {"a line break at the end dropped", L"One\r", L"One\v\r", true},
      {"empty cells before a head cut in a row", L"\r\a\r\aB\r", L"B\r", true},
      {"a piece of empty cells", L"\r\a\r\a\r\a", L"\r\a", true},
      {"a paragraph more at the end", L"One\rTwo\r\r\r", L"One\rTwo\r", false},
      {"a paragraph more at the start", L"\rOne\r", L"One\r", false},
      {"a page break added at the end", L"One\r\f", L"One\r", false},
      {"a break inside the text lost", L"One\rTwo\r", L"One\r\fTwo\r", false},
      {"a letter lost", L"One\rTw\r", L"One\rTwo\r", false},
      {"a mark lost at the end", L"A\r\aB", L"A\r\aB\r\a", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(!TextDifference(c.piece, c.range), c.passes);
  }
  EXPECT_EQ(
      TextDifference(L"One\rTwo\r", L"One\rTwo\rThree\r").value_or(L""),
      L"its text differs from the source at character 9 (its end instead of \"Three\u00b6\")");
}

TEST(PieceCheck, ADamagedPackageDoesNotPass) {
  testsupport::TempFolder folder;
  auto office = std::make_shared<OfficeHost>();
  PieceRecord record{.text = L"\x01\r", .pages = 0};

  std::wstring missing = folder / L"missing picture.docx";
  Builder builder;
  std::string picture = builder.Image("a.png");
  builder.Body(Para(picture)).Save(missing);
  EXPECT_FALSE(CheckPiece(platform::ToPath(missing), record, office));
  RemovePart(missing, "word/media/a.png");
  auto found = CheckPiece(platform::ToPath(missing), record, office);
  ASSERT_TRUE(found);
  EXPECT_TRUE(found->starts_with(L"its parts are not whole (relationship ")) << *found;
  EXPECT_NE(found->find(L"media/a.png, which is missing"), std::wstring::npos) << *found;

  std::wstring garbage = folder / L"garbage.docx";
  testsupport::WriteFile(garbage, "not a document at all");
  found = CheckPiece(platform::ToPath(garbage), record, office);
  ASSERT_TRUE(found);
  EXPECT_TRUE(found->starts_with(L"it does not open again")) << *found;
}

// Through the server: what a save kept is what the check compares, once per piece.
TEST(PieceCheck, TheServerChecksWhatItsSaveKept) {
  testsupport::TempFolder folder;
  std::wstring source = folder / L"source.docx";
  Builder()
      .Body(P("First.") + Para(TextRun("Second ") + RenderedBreak() + TextRun("page.")) +
            P("Last."))
      .Pages(2)
      .Save(source);
  auto app = CreateApplication();
  auto verify = [&](const std::wstring& piece) {
    return Call(app, automation::kVerifyPieceDispid, {Variant::String(piece)}).text;
  };
  auto doc = Open(app, source, true);
  auto range = Obj(doc, 41);
  Call(range, 100, {Variant::I4(0), Variant::I4(7)});  // "First.\r"
  Call(range, 127, {Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
  std::wstring piece = folder / L"piece.docx";
  SaveAs(doc, piece, 12);
  Call(doc, 1105, {Variant::I4(0).ByRef(), Omitted(), Omitted()});
  EXPECT_EQ(verify(piece), L"");
  // The record goes with the check.
  EXPECT_THROW(verify(piece), automation::ServerException);

  // The same piece, written again and changed behind the server's back.
  doc = Open(app, source, true);
  range = Obj(doc, 41);
  Call(range, 100, {Variant::I4(0), Variant::I4(7)});
  Call(range, 127, {Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
  SaveAs(doc, piece, 12);
  Call(doc, 1105, {Variant::I4(0).ByRef(), Omitted(), Omitted()});
  Builder()
      .Body(Para(TextRun("Second ") + RenderedBreak() + TextRun("page.")))
      .Pages(2)
      .Save(piece);
  EXPECT_EQ(verify(piece),
            L"its text differs from the source at character 14 (its end instead of \"Last.¶\")");
}

// A field's code may run over paragraphs (an IF field's texts); a cut there tears the field,
// whose piece keeps only the result: a reader's text, as the range's is.
TEST(PieceCheck, ACutInsideAFieldsCodeChecksTheReadersText) {
  testsupport::TempFolder folder;
  std::wstring source = folder / L"source.docx";
  const std::string head = " IF 1 = 1 \"first line";
  auto r = [](const std::string& inner) { return "<w:r>" + inner + "</w:r>"; };
  auto code = [&](const std::string& text) {
    return r("<w:instrText xml:space=\"preserve\">" + text + "</w:instrText>");
  };
  Builder()
      .Body(P("Intro") + Para(r("<w:fldChar w:fldCharType=\"begin\"/>") + code(head)) +
            Para(code("second line")) +
            Para(code("third line\" \"no\" ") + r("<w:fldChar w:fldCharType=\"separate\"/>") +
                 TextRun("first line")) +
            Para(TextRun("second line") + r("<w:fldChar w:fldCharType=\"end\"/>")) + P("Outro"))
      .Save(source);
  // "Intro\r", the begin mark and the code's first two lines, each with its paragraph mark:
  // the paragraphs that held only code go with the torn field.
  const int lastCodeLine = 6 + 1 + static_cast<int>(head.size()) + 1 + 11 + 1;
  auto app = CreateApplication();
  for (bool keepStart : {true, false}) {
    SCOPED_TRACE(keepStart ? "the piece ends inside the code" : "the piece starts inside the code");
    auto doc = Open(app, source, true);
    auto range = Obj(doc, 41);
    int length = Int(range, 4);
    if (keepStart)
      Call(range, 100, {Variant::I4(lastCodeLine), Variant::I4(length)});
    else
      Call(range, 100, {Variant::I4(0), Variant::I4(lastCodeLine)});
    Call(range, 127, {Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
    std::wstring piece = folder / (keepStart ? L"start.docx" : L"end.docx");
    SaveAs(doc, piece, 12);
    Call(doc, 1105, {Variant::I4(0).ByRef(), Omitted(), Omitted()});
    EXPECT_EQ(Call(app, automation::kVerifyPieceDispid, {Variant::String(piece)}).text, L"");
  }
}

}  // namespace
}  // namespace docserver::test
