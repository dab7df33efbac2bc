#include <gtest/gtest.h>

#include <set>

#include "engine/word_members.h"
#include "engine_fixture.h"

namespace {

using automation::InvokeKind;
using automation::Variant;
using automation::VarType;
using engine::Member;
using engine::ParamType;
using enginetest::EngineTest;

const engine::MemberRow* RowOf(const fake::Call& call) {
  return engine::FindRow(call.object, call.dispid, call.kind);
}

bool ShapeFits(ParamType type, const Variant& arg) {
  switch (type) {
    case ParamType::I4:
      return arg.type == VarType::I4 && !arg.byRef;
    case ParamType::Bool:
      return arg.type == VarType::Bool && !arg.byRef;
    case ParamType::Value:
      return !arg.byRef;
    case ParamType::ValueRef:
      return arg.byRef;
  }
  return false;
}

bool IsInt(const Variant& v, int value, VarType type = VarType::I4) {
  return v.type == type && v.integer == value && v.byRef;
}

using Open = std::pair<Variant, Variant>;  // confirm conversions, read only

TEST_F(EngineTest, StartHidesWordAndQuitEndsItWithoutSaving) {
  ASSERT_TRUE(ctrl->StartWord());
  ASSERT_EQ(state().calls.size(), 1u);
  ASSERT_EQ(state().visible, std::vector<bool>{false});
  EXPECT_EQ(state().calls[0].args[0].type, VarType::Bool);  // a boolean, not an integer

  state().calls.clear();
  EXPECT_TRUE(ctrl->QuitWord());
  EXPECT_TRUE(state().quit);
  const fake::Call& quit = state().calls.back();
  ASSERT_EQ(RowOf(quit)->id, Member::ApplicationQuit);
  EXPECT_TRUE(IsInt(quit.args[0], 0, VarType::I2));
  EXPECT_TRUE(quit.args[1].IsOmitted());
  EXPECT_TRUE(quit.args[2].IsOmitted());
  EXPECT_TRUE(messages.empty());
}

TEST_F(EngineTest, QuitLeavesWordRunningWhileDocumentsAreOpen) {
  Start();
  state().userDocuments = 1;
  EXPECT_TRUE(ctrl->QuitWord());
  EXPECT_FALSE(state().quit);
  for (const auto& call : state().calls)
    EXPECT_NE(RowOf(call)->id, Member::ApplicationQuit);
  state().calls.clear();
  ctrl.reset();  // letting go of Word asks it for nothing
  EXPECT_TRUE(state().calls.empty());
}

TEST_F(EngineTest, QuitReportsAnErrorWhileAskingForTheDocuments) {
  Start();
  FailAt(2, fake::Failure::Call);  // the documents' count
  EXPECT_FALSE(ctrl->QuitWord());
  EXPECT_FALSE(state().quit);
}

TEST_F(EngineTest, StartWithoutWordSaysSoOnceAndQuitIsHarmless) {
  automation::ScopedObjectFactory none(L"Word.Application", {});
  EXPECT_FALSE(ctrl->StartWord());
  EXPECT_EQ(messages,
            std::vector<std::wstring>{
                L"MS Word initialization failed. Ensure that you have already installed"});
  EXPECT_TRUE(ctrl->QuitWord());
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(EngineTest, StartFailingToHideWordGivesFalseWithoutMessage) {
  state().failAt = 1;
  EXPECT_FALSE(ctrl->StartWord());
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(ctrl->QuitWord());  // nothing held: nothing asked
  EXPECT_EQ(state().calls.size(), 1u);
}

// Every operation, on documents that take every path: each call matches a row of the member
// table with the argument shapes it declares, every row is used, and opens and closes pass
// what each caller must.
TEST_F(EngineTest, EveryCallMatchesTheMemberTable) {
  state().files[L"pages"] = enginetest::PagesModel();
  state().files[L"links"] = enginetest::LinkedTocModel();
  state().files[L"fields"] = enginetest::FieldTocModel();
  state().files[L"table"] = enginetest::TableModel();
  state().files[L"field-in"] = enginetest::FieldModel(1);
  state().files[L"field-at"] = enginetest::FieldModel(0);

  std::vector<std::pair<std::string, std::size_t>> marks;  // caller, first call index
  auto mark = [&](std::string caller) { marks.emplace_back(caller, state().calls.size()); };
  ASSERT_TRUE(ctrl->StartWord());
  std::wstring time;
  mark("count");
  EXPECT_EQ(ctrl->ReadPageCount(L"pages", time, &window, 0, 10), 4);
  std::vector<engine::ChapterEntry> chapters;
  mark("chapters");
  EXPECT_EQ(ctrl->ReadChapters(L"links", chapters, &window), 1);
  chapters.clear();
  mark("chapters");
  EXPECT_EQ(ctrl->ReadChapters(L"fields", chapters, &window), 1);
  struct Export {
    const wchar_t* path;
    int first, last, pages, align;
  };
  const Export exports[] = {{L"pages", 1, 2, 4, 1},    {L"pages", 3, 4, 4, 1},
                            {L"pages", 2, 3, 4, 2},    {L"table", 1, 1, 3, 0},
                            {L"table", 2, 3, 3, 0},    {L"field-in", 2, 3, 3, 0},
                            {L"field-at", 1, 1, 3, 0}, {L"pages", 1, 1, 1, 0}};
  for (const auto& e : exports) {
    mark("page export");
    EXPECT_EQ(ctrl->ExportPageRange(e.path, L"out", e.first, e.last, e.pages, e.align), 1);
  }
  mark("chapter export");
  EXPECT_EQ(ctrl->ExportChapterRange(L"links", L"out", L"_Toc2", L"_Toc3"), 1);
  // Word has no piece check: the piece is not checked, and nothing is shown.
  mark("piece check");
  std::wstring difference;
  EXPECT_EQ(ctrl->VerifyPiece(L"out", difference), 0);
  mark("quit");
  EXPECT_TRUE(ctrl->QuitWord());
  EXPECT_TRUE(messages.empty());

  std::set<Member> used;
  for (const auto& call : state().calls) {
    const engine::MemberRow* row = RowOf(call);
    ASSERT_NE(row, nullptr) << static_cast<int>(call.object) << " " << call.dispid;
    used.insert(row->id);
    auto params = row->params.Span();
    ASSERT_EQ(call.args.size(), params.size()) << static_cast<int>(row->id);
    for (std::size_t i = 0; i < params.size(); ++i)
      EXPECT_TRUE(ShapeFits(params[i], call.args[i]))
          << "row " << static_cast<int>(row->id) << " argument " << i;
  }
  EXPECT_EQ(used.size(), engine::MemberTable().size());
  for (const auto& row : engine::MemberTable())
    EXPECT_TRUE(used.count(row.id)) << "row never used: " << static_cast<int>(row.id);

  // Opens and closes per caller.
  std::size_t next = 0;
  for (std::size_t i = 0; i < state().calls.size(); ++i) {
    while (next < marks.size() && marks[next].second <= i)
      ++next;
    const std::string& caller = marks[next - 1].first;
    const fake::Call& call = state().calls[i];
    Member id = RowOf(call)->id;
    if (id == Member::DocumentsOpen) {
      EXPECT_EQ(call.args[0].type, VarType::String) << caller;
      const Variant& confirm = call.args[1];
      const Variant& readOnly = call.args[2];
      if (caller == "count") {
        EXPECT_TRUE(confirm.IsOmitted() && IsInt(readOnly, 1, VarType::I2)) << caller;
      } else if (caller == "chapters") {
        EXPECT_TRUE(confirm.IsOmitted() && readOnly.IsOmitted()) << caller;
      } else if (caller == "page export") {
        EXPECT_TRUE(IsInt(confirm, 0, VarType::I2) && IsInt(readOnly, 1, VarType::I2)) << caller;
      } else {
        EXPECT_TRUE(confirm.IsOmitted() && IsInt(readOnly, 1, VarType::I2)) << caller;
      }
      for (std::size_t a = 3; a < 16; ++a)
        EXPECT_TRUE(call.args[a].IsOmitted()) << caller << " " << a;
      // The application's active window is set to view type 3 before anything else.
      ASSERT_LT(i + 3, state().calls.size());
      EXPECT_EQ(RowOf(state().calls[i + 1])->id, Member::ApplicationActiveWindow);
      EXPECT_EQ(RowOf(state().calls[i + 3])->id, Member::ViewType);
      EXPECT_EQ(state().calls[i + 3].args[0].integer, 3);
    }
    if (id == Member::DocumentClose) {
      if (caller == "count" || caller == "chapters") {
        EXPECT_TRUE(IsInt(call.args[0], 0) && IsInt(call.args[1], 1) && call.args[2].IsOmitted())
            << caller;
      } else {
        for (const auto& arg : call.args)
          EXPECT_TRUE(arg.IsOmitted()) << caller;
        EXPECT_EQ(RowOf(state().calls[i - 1])->id, Member::DocumentSaveAs) << caller;
      }
    }
    if (id == Member::DocumentSaveAs) {
      EXPECT_EQ(call.args[0].text, L"out");
      EXPECT_TRUE(IsInt(call.args[1], 16));  // the document's own format
      for (std::size_t a = 2; a < 16; ++a)
        EXPECT_TRUE(call.args[a].IsOmitted());
    }
    if (id == Member::DocumentStatistics) {
      EXPECT_EQ(call.args[0].integer, 2);
      EXPECT_TRUE(IsInt(call.args[1], 0, VarType::I2));
    }
  }
}

}  // namespace
