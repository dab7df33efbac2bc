#include <gtest/gtest.h>

#include "automation/errors.h"
#include "engine/word_members.h"
#include "engine_fixture.h"

namespace {

using engine::Member;
using enginetest::EngineTest;

bool Called(const std::vector<fake::Call>& calls, Member id) {
  for (const auto& call : calls)
    if (engine::FindRow(call.object, call.dispid, call.kind)->id == id)
      return true;
  return false;
}

std::size_t IndexOf(const std::vector<fake::Call>& calls, Member id) {
  for (std::size_t i = 0; i < calls.size(); ++i)
    if (engine::FindRow(calls[i].object, calls[i].dispid, calls[i].kind)->id == id)
      return i;
  return calls.size();
}

std::wstring TextOf(fake::Failure failure, const wchar_t* unknown) {
  switch (failure) {
    case fake::Failure::Server:
      return fake::kServerText;
    case fake::Failure::Call:
      return automation::SystemMessage(automation::codes::kServerDied);
    case fake::Failure::Other:
      break;
  }
  return unknown;
}

class ExportTest : public EngineTest {
 protected:
  // Exports one range of a model and returns the saved text ("(none)" when nothing was saved).
  std::wstring Export(const fake::Model& model, int first, int last, int pages, int align,
                      int expected = 1) {
    state().files[L"源 a.docx"] = model;
    state().saved.clear();
    state().open.clear();
    FailAt(0, fake::Failure::Server);
    EXPECT_EQ(ctrl->ExportPageRange(L"源 a.docx", L"out 1.docx", first, last, pages, align),
              expected);
    EXPECT_TRUE(state().open.empty());
    if (state().saved.empty())
      return L"(none)";
    EXPECT_EQ(state().saved.back().path, L"out 1.docx");
    EXPECT_EQ(state().saved.back().format, model.format);
    return state().saved.back().text;
  }
};

TEST_F(ExportTest, CutsThePagesOfTheRangeWithTheChosenAlignment) {
  Start();
  struct Case {
    int first, last, pages, align;
    const wchar_t* text;
  };
  const Case cases[] = {
      {1, 2, 4, 0, L"One. Two.\rThree. Four runs"},
      {1, 2, 4, 1, L"One. Two.\rThree. Four runs on. "},         // sentence goes with page 2
      {1, 2, 4, 2, L"One. Two.\rThree. Four runs on. Five.\r"},  // paragraph goes with page 2
      {1, 2, 4, 3, L"One. Two.\rThree. Four runs on. Five.\r"},  // 3 is paragraph alignment
      {3, 4, 4, 0, L" on. Five.\rSix.\r"},
      {3, 4, 4, 1, L"Five.\rSix.\r"},
      {3, 4, 4, 2, L"Six.\r"},
      {2, 3, 4, 0, L"Three. Four runs on. Five.\r"},
      {1, 4, 4, 0, L"One. Two.\rThree. Four runs on. Five.\rSix.\r"},  // nothing cut
      {2, 5, 4, 0, L"Three. Four runs on. Five.\rSix.\r"},             // beyond the end: to the end
      {0, 2, 4, 0, L"One. Two.\rThree. Four runs"},                    // page 0: from the start
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << "-" << c.last << " align " << c.align);
    EXPECT_EQ(Export(enginetest::PagesModel(), c.first, c.last, c.pages, c.align), c.text);
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(ExportTest, OnePageDocumentIsSavedWholeInItsOwnFormatAndReportedDone) {
  Start();
  fake::Model model = enginetest::PagesModel();
  model.format = 0;  // a .doc
  EXPECT_EQ(Export(model, 1, 1, 1, 1), model.text);
  EXPECT_FALSE(Called(state().calls, Member::SelectionGoTo));
}

TEST_F(ExportTest, RefusesArgumentsBeforeTouchingWord) {
  state().files[L"a.docx"] = enginetest::PagesModel();
  Start();
  EXPECT_EQ(ctrl->ExportPageRange(L"a.docx", L"out", 3, 2, 4, 0), -1);
  EXPECT_EQ(ctrl->ExportPageRange(L"", L"out", 1, 2, 4, 0), -1);
  EXPECT_EQ(ctrl->ExportPageRange(L"a.docx", L"", 1, 2, 4, 0), -1);
  EXPECT_EQ(ctrl->ExportChapterRange(L"", L"out", L"_Toc1", L"_Toc2"), -1);
  EXPECT_EQ(ctrl->ExportChapterRange(L"a.docx", L"", L"_Toc1", L"_Toc2"), -1);
  EXPECT_TRUE(state().calls.empty());
  EXPECT_TRUE(messages.empty());
}

TEST_F(ExportTest, KeepsFieldsAndTablesAtTheBoundaryWhole) {
  Start();
  // A table going on past the end of the piece is split there.
  EXPECT_EQ(Export(enginetest::TableModel(), 1, 1, 3, 0), L"Intro.\rRow one\r");
  EXPECT_TRUE(Called(state().calls, Member::RangeInsertBreak));
  // At the start, the break goes with the head.
  EXPECT_EQ(Export(enginetest::TableModel(), 2, 3, 3, 0), L"Row two\rRow three\rAfter.\r");
  // A field at the boundary character.
  Export(enginetest::FieldModel(0), 1, 1, 3, 0);
  EXPECT_TRUE(Called(state().calls, Member::SelectionInsertBreak));
  // A field in the boundary's paragraph, unless the paragraphs' format flag is set for all.
  Export(enginetest::FieldModel(1), 2, 3, 3, 0);
  EXPECT_TRUE(Called(state().calls, Member::RangeInsertBreak));
  fake::Model flagged = enginetest::FieldModel(1);
  flagged.paragraphFormatFlag = -1;
  Export(flagged, 2, 3, 3, 0);
  EXPECT_FALSE(Called(state().calls, Member::RangeInsertBreak));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ExportTest, SentenceAlignmentAtTheLastSentenceKeepsItWhole) {
  Start();
  fake::Model model;
  model.text = L"Start. Last sentence ends here.\r";
  model.pageStarts = {0, 20};
  // No sentence follows: the next-sentence handle is empty and the cut moves to its end.
  EXPECT_EQ(Export(model, 1, 1, 2, 1), model.text);
  EXPECT_TRUE(messages.empty());
}

TEST_F(ExportTest, TableSplitFailureIsShownAndTheExportGoesOn) {
  Start();
  Export(enginetest::TableModel(), 1, 1, 3, 0);
  const std::size_t tables = IndexOf(state().calls, Member::TablesCount);
  for (fake::Failure failure : enginetest::kFailures) {
    messages.clear();
    state().files[L"源 a.docx"] = enginetest::TableModel();
    FailAt(static_cast<int>(tables) + 1, failure);
    EXPECT_EQ(ctrl->ExportPageRange(L"源 a.docx", L"out", 1, 1, 3, 0), 1);
    EXPECT_EQ(messages, std::vector<std::wstring>{TextOf(failure, L"Unknow error.")});
    state().open.clear();
  }
}

// Fails each call in turn: either a helper absorbed it and the piece is saved without a
// message, or the export stops with the failure's text, leaving the document open.
TEST_F(ExportTest, PageExportFailureAtEveryCall) {
  Start();
  for (int align : {1, 2}) {
    Export(enginetest::PagesModel(), 2, 3, 4, align);
    const std::size_t calls = state().calls.size();
    const std::size_t close = IndexOf(state().calls, Member::DocumentClose);
    const std::size_t open = IndexOf(state().calls, Member::DocumentsOpen);
    int stopped = 0;
    for (fake::Failure failure : enginetest::kFailures) {
      for (std::size_t n = 0; n < calls; ++n) {
        SCOPED_TRACE(testing::Message() << "align " << align << " call " << n << " failure "
                                        << static_cast<int>(failure));
        messages.clear();
        state().open.clear();
        state().saved.clear();
        FailAt(static_cast<int>(n) + 1, failure);
        int result = ctrl->ExportPageRange(L"源 a.docx", L"out", 2, 3, 4, align);
        if (result == 1) {
          EXPECT_TRUE(messages.empty());
          EXPECT_EQ(state().saved.size(), 1u);
          continue;
        }
        ++stopped;
        EXPECT_EQ(result, -1);
        EXPECT_EQ(messages, std::vector<std::wstring>{TextOf(failure, L"Unknow error.")});
        EXPECT_EQ(state().open.size(), n > open ? 1u : 0u);
        EXPECT_EQ(state().saved.size(), n == close ? 1u : 0u);
      }
    }
    EXPECT_GT(stopped, 0);
  }
}

TEST_F(ExportTest, CutsTheTextBetweenTwoBookmarks) {
  Start();
  fake::Model model = enginetest::LinkedTocModel();
  model.bookmarks[L"_Toc0"] = {0, 5};
  state().files[L"a.docx"] = model;
  struct Case {
    const wchar_t* begin;
    const wchar_t* end;
    const wchar_t* text;
  };
  const Case cases[] = {
      {L"_Toc2", L"_Toc3", L"Long heading continued\rBody text.\r"},
      {L"_Toc1", L"KESTO_[DOC_END]", L"Intro\rLong heading continued\rBody text.\rThree links\r"},
      {L"_Toc0", L"_Toc1", nullptr},  // begins at 0: no head cut
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.begin);
    state().saved.clear();
    state().calls.clear();
    EXPECT_EQ(ctrl->ExportChapterRange(L"a.docx", L"out", c.begin, c.end), 1);
    ASSERT_EQ(state().saved.size(), 1u);
    if (c.text != nullptr)
      EXPECT_EQ(state().saved[0].text, c.text);
    else
      EXPECT_FALSE(Called(state().calls, Member::RangeSetRange));
    EXPECT_EQ(state().saved[0].format, 16);
    EXPECT_TRUE(state().open.empty());
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(ExportTest, ChapterExportOfAMissingBookmarkShowsWordsTextAndLeavesTheDocumentOpen) {
  state().files[L"a.docx"] = enginetest::LinkedTocModel();
  Start();
  // The marker is exact: in other letter case it is an ordinary (missing) bookmark name.
  EXPECT_EQ(ctrl->ExportChapterRange(L"a.docx", L"out", L"_Toc1", L"kesto_[doc_end]"), -1);
  EXPECT_EQ(messages, std::vector<std::wstring>{L"No such item in the collection."});
  EXPECT_EQ(state().open.size(), 1u);
  EXPECT_TRUE(state().saved.empty());
}

TEST_F(ExportTest, ChapterExportFailureAtEveryCall) {
  state().files[L"a.docx"] = enginetest::LinkedTocModel();
  Start();
  ASSERT_EQ(ctrl->ExportChapterRange(L"a.docx", L"out", L"_Toc2", L"_Toc3"), 1);
  const std::size_t calls = state().calls.size();
  const std::size_t close = IndexOf(state().calls, Member::DocumentClose);
  for (fake::Failure failure : enginetest::kFailures) {
    for (std::size_t n = 0; n < calls; ++n) {
      SCOPED_TRACE(testing::Message() << "call " << n << " failure " << static_cast<int>(failure));
      messages.clear();
      state().saved.clear();
      FailAt(static_cast<int>(n) + 1, failure);
      EXPECT_EQ(ctrl->ExportChapterRange(L"a.docx", L"out", L"_Toc2", L"_Toc3"), -1);
      EXPECT_EQ(messages, std::vector<std::wstring>{TextOf(failure, L"Split Doc Unknow error.")});
      EXPECT_EQ(state().saved.size(), n == close ? 1u : 0u);
    }
  }
}

}  // namespace
