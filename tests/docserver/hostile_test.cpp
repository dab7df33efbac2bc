// Damaged and hostile files: the open fails with a description, never a crash or a hang.
#include <gtest/gtest.h>
#include <zip.h>

#include "automation/errors.h"
#include "docserver/calls.h"
#include "platform/text.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace docserver::test {
namespace {

using namespace testsupport::docx;

// A ZIP holding the given parts.
void WriteZip(const std::wstring& path,
              const std::vector<std::pair<std::string, std::string>>& parts) {
  std::string native = platform::ToUtf8(path);
  int error = 0;
  zip_t* zip = zip_open(native.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, bytes] : parts)
    zip_file_add(zip, name.c_str(), zip_source_buffer(zip, bytes.data(), bytes.size(), 0), 0);
  ASSERT_EQ(zip_close(zip), 0);
}

const std::string kTypes =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
    "PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-"
    "officedocument.wordprocessingml.document.main+xml\"/></Types>";
const std::string kRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"r\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";

TEST(DocserverHostile, OpenFailsWithADescription) {
  testsupport::TempFolder folder;
  std::string good = Builder().Body(P("hello")).Bytes();
  testsupport::WriteFile(folder / L"truncated.docx", good.substr(0, good.size() / 2));
  testsupport::WriteFile(folder / L"text.docx", "just some text, not a zip");
  testsupport::WriteFile(folder / L"empty.docx", "");
  WriteZip(folder / L"not word.docx", {{"readme.txt", "hello"}});
  WriteZip(folder / L"no main part.docx",
           {{"[Content_Types].xml", kTypes}, {"_rels/.rels", kRels}});
  std::string deep =
      "<w:document "
      "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
  for (int i = 0; i < 100000; ++i)
    deep += "<w:sdt><w:sdtContent>";
  for (int i = 0; i < 100000; ++i)
    deep += "</w:sdtContent></w:sdt>";
  deep += "</w:body></w:document>";
  WriteZip(folder / L"deep.docx",
           {{"[Content_Types].xml", kTypes}, {"_rels/.rels", kRels}, {"word/document.xml", deep}});
  WriteZip(folder / L"broken xml.docx", {{"[Content_Types].xml", kTypes},
                                         {"_rels/.rels", kRels},
                                         {"word/document.xml", "<w:document><w:body>"}});
  // 300 MiB of blanks deflate to well under a megabyte.
  WriteZip(folder / L"bomb.docx", {{"[Content_Types].xml", kTypes},
                                   {"_rels/.rels", kRels},
                                   {"word/document.xml", std::string(300u << 20, ' ')}});

  auto app = CreateApplication();
  for (const wchar_t* name :
       {L"missing.docx", L"truncated.docx", L"text.docx", L"empty.docx", L"not word.docx",
        L"no main part.docx", L"deep.docx", L"broken xml.docx", L"bomb.docx"}) {
    try {
      Open(app, folder / name);
      ADD_FAILURE() << "opened " << platform::ToUtf8(name);
    } catch (const automation::ServerException& e) {
      EXPECT_FALSE(e.Description().empty());
    }
  }
  EXPECT_EQ(Int(Obj(app, 6), 2), 0);
}

// Odd but well-formed bodies: every member that edits keeps working and the result reopens.
TEST(DocserverHostile, OddStructuresSurviveEditsAndSave) {
  const std::string end = "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
  const std::string begin = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>";
  const std::vector<std::string> bodies = {
      "",
      Para(""),
      Para(end + TextRun("a") + end) + Para(begin + TextRun("b")),
      "<w:bookmarkEnd w:id=\"1\"/>" + P("a") + "<w:bookmarkStart w:id=\"2\" w:name=\"x\"/>",
      "<w:tbl></w:tbl>" + P("a"),
      "<w:tbl><w:tr><w:tc></w:tc></w:tr></w:tbl>",
      Table({{Table({{P("in"), P("ner")}}) + P("x"), P("y")}}) + P("after"),
      Para(RenderedBreak() + RenderedBreak() + PageBreak() + PageBreak()),
      "<w:sdt><w:sdtContent>" + Para(SimpleField("TOC", "t")) + "</w:sdtContent></w:sdt>",
      Para("<w:hyperlink>" + ComplexField("HYPERLINK \\l", TextRun("z")) + "</w:hyperlink>"),
      Para(TextRun("\xF0\x9F\x98\x80 emoji. Next sentence."), "<w:sectPr/>") + P("b"),
  };
  testsupport::TempFolder folder;
  auto app = CreateApplication();
  int n = 0;
  for (const auto& body : bodies) {
    SCOPED_TRACE(n);
    std::wstring path = folder / (L"odd" + std::to_wstring(n++) + L".docx");
    Builder().Body(body).Save(path);
    auto doc = Open(app, path, false);
    EXPECT_GE(PageCount(doc), 1);
    auto story = Obj(doc, 41);
    Call(story, 128);
    int length = Int(story, 4);
    auto sel = Obj(app, 5);
    for (int at = 0; at <= length; at += 2) {
      Call(sel, 100, {Variant::I4(at), Variant::I4(at)});
      Call(sel, 122, {Omitted()});
      auto sentences = Obj(Obj(sel, 400), 52);
      if (Int(sentences, 2) > 0)
        Text(Call(sentences, 0, {Variant::I4(1)}).object);
    }
    Call(story, 128);
    length = Int(story, 4);
    Call(sel, 100, {Variant::I4(1), Variant::I4(std::max(1, length - 1))});
    Call(sel, 127, {Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
    std::wstring saved = folder / (L"saved" + std::to_wstring(n) + L".docx");
    SaveAs(doc, saved, 12);
    EXPECT_GE(PageCount(Open(app, saved)), 1) << n;
  }
}

}  // namespace
}  // namespace docserver::test
