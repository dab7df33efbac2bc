// What the page-count reader asks of an opened document, and the two kinds of failure.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "automation/errors.h"
#include "docserver/calls.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace docserver::test {
namespace {

using namespace testsupport::docx;

TEST(DocserverDocument, AnswersThePageCountReader) {
  testsupport::TempFolder folder;
  Builder()
      .Body(P("a") + Para(PageBreak()) + P("b"))
      .Pages(2)
      .Modified("2023-07-14T10:20:30Z")
      .Save(folder / L"plain.docx");
  Builder().Body(P("a")).Protection("readOnly").Save(folder / L"protected.docx");
  Builder().Body(P("a")).Protection("comments").Save(folder / L"comments.docx");

  setenv("TZ", "UTC", 1);
  tzset();
  auto app = CreateApplication();
  Put(app, 23, Variant::Bool(false));
  auto doc = Open(app, folder / L"plain.docx");
  Put(Obj(Obj(app, 4), 14), 0, Variant::I4(3));
  Put(Obj(Obj(doc, 42), 14), 0, Variant::I4(7));
  EXPECT_EQ(PageCount(doc), 2);
  EXPECT_EQ(Int(doc, 59), 12);
  EXPECT_EQ(Int(doc, 60), -1);
  auto property = Call(Obj(doc, 1000), 0, {Variant::I4(12)}, InvokeKind::MethodOrGet).object;
  Variant saved = Call(property, 0, {}, InvokeKind::MethodOrGet);
  ASSERT_EQ(saved.type, automation::VarType::Date);
  // 2023-07-14 is day 45121 after 1899-12-30.
  EXPECT_NEAR(saved.real, 45121 + (10 * 3600 + 20 * 60 + 30) / 86400.0, 1e-6);
  EXPECT_THROW(Call(Obj(doc, 1000), 0, {Variant::I4(99)}, InvokeKind::MethodOrGet),
               automation::ServerException);
  Call(doc, 1105, {Variant::I4(0).ByRef(), Variant::I4(1).ByRef(), Omitted()});

  EXPECT_EQ(Int(Open(app, folder / L"protected.docx"), 60), 3);
  EXPECT_EQ(Int(Open(app, folder / L"comments.docx"), 60), 1);
  EXPECT_EQ(Int(Obj(app, 6), 2), 2);
  Call(app, 1105, {Variant::I2(0).ByRef(), Omitted(), Omitted()});
  EXPECT_EQ(Int(Obj(app, 6), 2), 0);
}

// A save time out of its ranges is damage: no time, rather than an overflow or a made-up date.
TEST(DocserverDocument, ADamagedSaveTimeGivesNone) {
  testsupport::TempFolder folder;
  auto app = CreateApplication();
  const char* damaged[] = {"2024-03-05T999999999:09:10Z", "2024-13-05T10:00:00Z",
                           "2024-03-00T10:00:00Z", "2024-03-05T10:99:00Z",
                           "-2147483648-01-01T00:00:00Z"};
  int n = 0;
  for (const char* modified : damaged) {
    std::wstring path = folder / (std::to_wstring(++n) + L".docx");
    Builder().Body(P("a")).Modified(modified).Save(path);
    auto property =
        Call(Obj(Open(app, path), 1000), 0, {Variant::I4(12)}, InvokeKind::MethodOrGet).object;
    EXPECT_EQ(Call(property, 0, {}, InvokeKind::MethodOrGet).type, automation::VarType::Empty)
        << modified;
  }
}

TEST(DocserverDocument, FailuresAreServerExceptionsOrMissingMembers) {
  testsupport::TempFolder folder;
  Builder().Body(Heading(1, "Intro", "_Toc1") + P("text")).Pages(1).Save(folder / L"d.docx");
  auto app = CreateApplication();
  auto doc = Open(app, folder / L"d.docx");
  try {
    Call(Obj(doc, 4), 0, {Variant::String(L"_Toc404").ByRef()});
    ADD_FAILURE() << "missing bookmark found";
  } catch (const automation::ServerException& e) {
    EXPECT_NE(e.Description().find(L"_Toc404"), std::wstring::npos);
  }
  EXPECT_EQ(Text(Obj(Call(Obj(doc, 4), 0, {Variant::String(L"_toc1").ByRef()}).object, 1)),
            L"Intro");
  try {
    Call(doc, 9999);
    ADD_FAILURE() << "unknown member answered";
  } catch (const automation::CallFailure& e) {
    EXPECT_EQ(e.Code(), automation::codes::kMemberNotFound);
  }
  // Read-only: never saved over its source.
  EXPECT_THROW(SaveAs(doc, folder / L"d.docx", 12), automation::ServerException);
  EXPECT_THROW(SaveAs(doc, folder / L"no such folder/x.docx", 12), automation::ServerException);
  SaveAs(doc, folder / L"copy.docx", 12);
  EXPECT_EQ(PageCount(Open(app, folder / L"copy.docx")), 1);
}

}  // namespace
}  // namespace docserver::test

namespace docserver::test {
namespace {

// The server keeps the parse of the source it opened last; a source changed since is read anew,
// and edits of one opening never reach the next.
TEST(DocserverDocument, ReopenedSourcesAreReadAsTheyAreNow) {
  testsupport::TempFolder folder;
  testsupport::docx::Builder().Body(testsupport::docx::P("first")).Save(folder / L"d.docx");
  auto app = CreateApplication();
  auto whole = [&](const DispatchPtr& doc) {
    auto r = Obj(doc, 41);
    Call(r, 128);
    return Text(r);
  };
  auto doc = Open(app, folder / L"d.docx", false);
  EXPECT_EQ(whole(doc), L"first\r");
  auto sel = Obj(app, 5);
  Call(sel, 100, {Variant::I4(0), Variant::I4(3)});
  Call(sel, 127, {Variant::I4(1).ByRef(), Variant::I4(1).ByRef()});
  EXPECT_EQ(whole(doc), L"st\r");
  EXPECT_EQ(whole(Open(app, folder / L"d.docx")), L"first\r");
  testsupport::docx::Builder().Body(testsupport::docx::P("again")).Save(folder / L"d.docx");
  EXPECT_EQ(whole(Open(app, folder / L"d.docx")), L"again\r");
}

}  // namespace
}  // namespace docserver::test
