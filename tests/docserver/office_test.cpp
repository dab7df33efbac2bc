// Word's older formats go through the office program: opened as .docx, saved back as they were.
#include <gtest/gtest.h>

#include <cstdlib>

#include "docserver/calls.h"
#include "support/temp_folder.h"

namespace docserver::test {
namespace {

TEST(DocserverOffice, RtfOpensAndSavesInItsOwnFormat) {
  if (std::system("command -v soffice > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "the office program is not installed";
  testsupport::TempFolder folder;
  // A working copy has no extension: the kind comes from the content.
  testsupport::WriteFile(folder / L"0", "{\\rtf1\\ansi First page.\\par\\page Second page.\\par}");
  auto app = CreateApplication();
  auto doc = Open(app, folder / L"0", false);
  EXPECT_EQ(Int(doc, 59), 6);
  EXPECT_EQ(PageCount(doc), 2);
  auto sel = Obj(app, 5);
  Call(sel, 173,
       {Variant::I4(1).ByRef(), Variant::I4(1).ByRef(), Variant::I4(2).ByRef(),
        Variant::String(L"").ByRef()});
  Call(sel, 100, {Variant::I4(0), Variant::I4(Int(sel, 3))});
  Call(sel, 127, {Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
  SaveAs(doc, folder / L"piece.rtf", Int(doc, 59));
  EXPECT_EQ(testsupport::ReadFile(folder / L"piece.rtf").substr(0, 5), "{\\rtf");
  // Unchanged, in its own format: the source's bytes, not another round through the converter.
  auto again = Open(app, folder / L"0");
  SaveAs(again, folder / L"same.rtf", 6);
  EXPECT_EQ(testsupport::ReadFile(folder / L"same.rtf"), testsupport::ReadFile(folder / L"0"));
  auto piece = Open(app, folder / L"piece.rtf");
  EXPECT_EQ(PageCount(piece), 1);
  auto story = Obj(piece, 41);
  Call(story, 128);
  EXPECT_EQ(Text(story).find(L"First"), std::wstring::npos);
  EXPECT_NE(Text(story).find(L"Second page."), std::wstring::npos);
}

}  // namespace
}  // namespace docserver::test
