// What the chapter reader and the boundary alignment read: tables of contents, their lines,
// hyperlinks and page-reference fields, outline levels, sentences and paragraphs.
#include <gtest/gtest.h>

#include "automation/errors.h"
#include "docserver/calls.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace docserver::test {
namespace {

using namespace testsupport::docx;

DispatchPtr Item(const DispatchPtr& collection, int n) {
  return Call(collection, 0, {Variant::I4(n)}).object;
}

std::string Body(bool hyperlinked, bool inContentControl) {
  return P("Contents") +
         Toc({{"Intro", "_Toc1", "1"}, {"Part two", "_Toc2", "2"}, {"Detail", "_Toc3", "2"}},
             hyperlinked, inContentControl) +
         Heading(1, "Intro", "_Toc1") + P("First sentence. Second one? Third!") +
         Para(PageBreak()) + Styled("Chapter", Bookmark("_Toc2", TextRun("Part two"))) +
         Heading(3, "Detail", "_Toc3") + Para(Bookmark("plain", TextRun("Body text")));
}

TEST(DocserverReading, TableOfContentsWithHyperlinks) {
  testsupport::TempFolder folder;
  for (bool inContentControl : {false, true}) {
    Builder().Body(Body(true, inContentControl)).Save(folder / L"toc.docx");
    auto app = CreateApplication();
    auto doc = Open(app, folder / L"toc.docx");
    auto tocs = Obj(doc, 31);
    ASSERT_EQ(Int(tocs, 1), 1);
    auto toc = Item(tocs, 1);
    Put(toc, 4, Variant::I4(9));
    Put(toc, 8, Variant::Bool(true));
    Put(toc, 7, Variant::Bool(true));
    auto paras = Obj(Obj(toc, 9), 59);
    ASSERT_EQ(Int(paras, 2), 3);
    auto para = Item(paras, 1);
    std::vector<std::wstring> keys, lines;
    std::vector<int> levels;
    for (int i = 0; i < 3; ++i, para = Call(para, 324, {Variant::I4(1).ByRef()}).object) {
      ASSERT_TRUE(para);
      auto range = Obj(para, 0);
      auto links = Obj(range, 156);
      if (Int(links, 1) == 0)
        continue;
      std::wstring key = Get(Call(links, 0, {Variant::I4(1).ByRef()}).object, 1101).text;
      auto bookmark = Call(Obj(doc, 4), 0, {Variant::String(key).ByRef()}).object;
      auto heading = Item(Obj(Obj(bookmark, 1), 59), 1);
      keys.push_back(key);
      lines.push_back(Text(range));
      levels.push_back(Int(heading, 202));
    }
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"_Toc1", L"_Toc2", L"_Toc3"}));
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"Intro\t1\r", L"Part two\t2\r", L"Detail\t2\r"}));
    // "Chapter" has no level of its own and takes Heading1's.
    EXPECT_EQ(levels, (std::vector<int>{1, 1, 3}));
    auto plain = Call(Obj(doc, 4), 0, {Variant::String(L"plain").ByRef()}).object;
    EXPECT_EQ(Int(Item(Obj(Obj(plain, 1), 59), 1), 202), 10);
    Call(doc, 108);
  }
}

TEST(DocserverReading, FieldsOfTheFirstTableOfContentsLine) {
  testsupport::TempFolder folder;
  Builder().Body(Body(false, false)).Save(folder / L"toc.docx");
  auto app = CreateApplication();
  auto doc = Open(app, folder / L"toc.docx");
  auto toc = Item(Obj(doc, 31), 1);
  auto first = Item(Obj(Obj(toc, 9), 59), 1);
  EXPECT_EQ(Int(Obj(Obj(first, 0), 156), 1), 0);
  // The TOC field starts in the first line, so every field nested in it belongs to that line.
  auto fields = Obj(Obj(first, 0), 64);
  ASSERT_EQ(Int(fields, 1), 4);
  std::vector<std::wstring> codes, results;
  for (int j = 1; j <= 4; ++j) {
    codes.push_back(Text(Obj(Item(fields, j), 0)));
    results.push_back(
        Text(Item(Obj(Obj(Item(fields, j), 4), 59), 1) ? Obj(Item(fields, j), 4) : nullptr));
  }
  EXPECT_EQ(codes[0], L" TOC \\o \"1-3\" \\h \\z \\u ");
  EXPECT_EQ(codes[1], L" PAGEREF _Toc1 \\h ");
  EXPECT_EQ(codes[3], L" PAGEREF _Toc3 \\h ");
  EXPECT_EQ(results[2], L"2");
  auto line = Obj(Item(Obj(Obj(Item(fields, 3), 4), 59), 1), 0);
  EXPECT_EQ(Text(line), L"Part two\t2\r");
}

TEST(DocserverReading, SentencesAndNextUnits) {
  testsupport::TempFolder folder;
  Builder().Body(Body(true, false)).Pages(2).Save(folder / L"toc.docx");
  auto app = CreateApplication();
  auto doc = Open(app, folder / L"toc.docx");
  auto para = Obj(doc, 41);
  auto bookmark = Call(Obj(doc, 4), 0, {Variant::String(L"_Toc1").ByRef()}).object;
  auto heading = Obj(bookmark, 1);
  auto body = Call(heading, 105, {Variant::I4(4).ByRef(), Variant::I4(1).ByRef()}).object;
  ASSERT_TRUE(body);
  EXPECT_EQ(Text(body), L"First sentence. Second one? Third!\r");
  auto sentences = Obj(body, 52);
  ASSERT_EQ(Int(sentences, 2), 3);
  auto s2 = Item(sentences, 2);
  EXPECT_EQ(Text(s2), L"Second one? ");
  auto s3 = Call(s2, 105, {Variant::I4(3).ByRef(), Variant::I4(1).ByRef()}).object;
  EXPECT_EQ(Text(s3), L"Third!\r");
  // One character of a sentence: the sentences of the range are the whole sentence.
  int start = Int(s2, 3);
  Call(para, 100, {Variant::I4(start + 3), Variant::I4(start + 4)});
  EXPECT_EQ(Text(Item(Obj(para, 52), 1)), L"Second one? ");
  EXPECT_EQ(Call(s2, 178, {Variant::I4(2)}).integer, 1);
  // The last paragraph has no next one.
  auto end = Obj(doc, 41);
  Call(end, 128);
  Put(end, 3, Variant::I4(Int(end, 4) - 1));
  EXPECT_EQ(Call(end, 105, {Variant::I4(4).ByRef(), Variant::I4(1).ByRef()}).object, nullptr);
  EXPECT_EQ(Call(end, 105, {Variant::I4(3).ByRef(), Variant::I4(1).ByRef()}).object, nullptr);
}

TEST(DocserverReading, HyperlinkTargetsFromElementsAndFields) {
  testsupport::TempFolder folder;
  Builder()
      .Body(Para(Hyperlink("_Toc7", TextRun("element")) + TextRun(" and ") +
                 ComplexField(" HYPERLINK \\l \"_Toc9\" \\o \"tip\" ", TextRun("field")) +
                 ComplexField(" HYPERLINK \"http://example.invalid/\" ", TextRun("outside"))))
      .Save(folder / L"links.docx");
  auto app = CreateApplication();
  auto doc = Open(app, folder / L"links.docx");
  auto story = Obj(doc, 41);
  Call(story, 128);
  auto links = Obj(story, 156);
  ASSERT_EQ(Int(links, 1), 3);
  std::vector<std::wstring> targets;
  for (int i = 1; i <= 3; ++i)
    targets.push_back(Get(Call(links, 0, {Variant::I4(i).ByRef()}).object, 1101).text);
  EXPECT_EQ(targets, (std::vector<std::wstring>{L"_Toc7", L"_Toc9", L""}));
  EXPECT_EQ(Text(story), L"element and fieldoutside\r");
}

}  // namespace
}  // namespace docserver::test
