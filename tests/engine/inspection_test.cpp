#include <gtest/gtest.h>

#include "engine/chapter_reader.h"
#include "engine/word_members.h"
#include "engine_fixture.h"

namespace {

using engine::ChapterEntry;
using engine::Member;
using enginetest::EngineTest;

constexpr const wchar_t* kUnchanged = L"unchanged";

std::size_t IndexOf(const std::vector<fake::Call>& calls, Member id, std::size_t from = 0) {
  for (std::size_t i = from; i < calls.size(); ++i)
    if (engine::FindRow(calls[i].object, calls[i].dispid, calls[i].kind)->id == id)
      return i;
  return calls.size();
}

bool SameEntries(const std::vector<ChapterEntry>& a, const std::vector<ChapterEntry>& b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].level != b[i].level || a[i].marked != b[i].marked || a[i].title != b[i].title ||
        a[i].key != b[i].key || a[i].pageText != b[i].pageText)
      return false;
  return true;
}

template <typename T>
bool IsPrefix(const std::vector<T>& part, const std::vector<T>& whole) {
  return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST_F(EngineTest, PageCountGivesPagesOrProtectedWithTheLastSaveTime) {
  Start();
  for (int protection : {-1, 0, 2}) {
    fake::Model model = enginetest::PagesModel();
    model.protection = protection;
    state().files[L"文档 a.docx"] = model;
    std::wstring time = kUnchanged;
    window.progress.clear();
    EXPECT_EQ(ctrl->ReadPageCount(L"文档 a.docx", time, &window, 100, 5),
              protection == -1 ? 4 : -2);
    EXPECT_EQ(time, L"03/05/2014 14:07");
    EXPECT_EQ(window.progress, std::vector<std::intptr_t>{105});
    EXPECT_TRUE(state().open.empty());
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(EngineTest, PageCountOfAFileThatCannotBeOpenedIsSilent) {
  Start();
  std::wstring time = kUnchanged;
  EXPECT_EQ(ctrl->ReadPageCount(L"missing.doc", time, &window, 0, 10), -1);
  EXPECT_EQ(time, kUnchanged);
  EXPECT_TRUE(window.progress.empty());
  EXPECT_TRUE(messages.empty());
}

// Fails each call of the reader in turn, with each kind of failure.
TEST_F(EngineTest, PageCountFailureAtEveryCall) {
  state().files[L"a.doc"] = enginetest::PagesModel();
  Start();
  std::wstring time;
  ASSERT_EQ(ctrl->ReadPageCount(L"a.doc", time, &window, 0, 10), 4);
  const std::vector<fake::Call> clean = state().calls;
  const std::size_t open = IndexOf(clean, Member::DocumentsOpen);
  const std::size_t view = IndexOf(clean, Member::ViewType);
  const std::size_t value = IndexOf(clean, Member::PropertyValue);
  const std::size_t close = IndexOf(clean, Member::DocumentClose);
  ASSERT_EQ(close, clean.size() - 1);

  for (fake::Failure failure : enginetest::kFailures) {
    for (std::size_t n = 0; n < clean.size(); ++n) {
      SCOPED_TRACE(testing::Message() << "call " << n << " failure " << static_cast<int>(failure));
      state().open.clear();
      window.progress.clear();
      messages.clear();
      FailAt(static_cast<int>(n) + 1, failure);
      time = kUnchanged;
      EXPECT_EQ(ctrl->ReadPageCount(L"a.doc", time, &window, 0, 10), -1);
      EXPECT_EQ(time, n == close ? L"03/05/2014 14:07" : kUnchanged);
      bool posted = n > view;
      EXPECT_EQ(window.progress,
                posted ? std::vector<std::intptr_t>{10} : std::vector<std::intptr_t>{});
      bool leftOpen = n > open && (n <= view || n == close);
      EXPECT_EQ(state().open.size(), leftOpen ? 1u : 0u);
      if (n == value && failure == fake::Failure::Server)
        EXPECT_EQ(messages, std::vector<std::wstring>{L"a.doc\r\n Property Invoke Exception."});
      else
        EXPECT_TRUE(messages.empty());
    }
  }
}

TEST_F(EngineTest, ChaptersFromLinkedTableOfContents) {
  state().files[L"a.docx"] = enginetest::LinkedTocModel();
  Start();
  std::vector<ChapterEntry> chapters;
  EXPECT_EQ(ctrl->ReadChapters(L"a.docx", chapters, &window), 1);
  const std::vector<ChapterEntry> expected = {
      {1, false, L"Intro", L"_Toc1", L"1"},
      {2, false, L"Long headingcontinuedmore", L"_Toc2", L"4"},
      {2, false, L"Back", L"_Toc2", L"6"},
      {1, false, L"Three links", L"_Toc3", L"7"},
  };
  EXPECT_TRUE(SameEntries(chapters, expected));
  EXPECT_EQ(window.progress,
            (std::vector<std::intptr_t>{40, 57, 75, 92, 110, 127, 145, 162, 180, 300}));
  EXPECT_TRUE(state().open.empty());
  EXPECT_EQ(IndexOf(state().calls, Member::DocumentFinishReading), state().calls.size() - 2);
  EXPECT_EQ(IndexOf(state().calls, Member::PropertiesItem), state().calls.size());
}

TEST_F(EngineTest, ChaptersFromPageReferenceFieldsWhenNoLineLinks) {
  state().files[L"a.docx"] = enginetest::FieldTocModel();
  Start();
  std::vector<ChapterEntry> chapters;
  EXPECT_EQ(ctrl->ReadChapters(L"a.docx", chapters, &window), 1);
  const std::vector<ChapterEntry> expected = {
      {3, false, L"Alpha", L"_Toc10", L"3"},
      {1, false, L"Beta", L"_TOC11", L"5"},
  };
  EXPECT_TRUE(SameEntries(chapters, expected));
  EXPECT_EQ(window.progress, (std::vector<std::intptr_t>{40, 110, 180, 190, 260, 300}));
  EXPECT_TRUE(state().open.empty());
}

TEST_F(EngineTest, ChaptersOfADocumentWithoutTableOfContents) {
  state().files[L"a.docx"] = enginetest::PagesModel();
  Start();
  std::vector<ChapterEntry> chapters;
  EXPECT_EQ(ctrl->ReadChapters(L"a.docx", chapters, &window), -1);
  EXPECT_TRUE(chapters.empty());
  EXPECT_EQ(window.progress, (std::vector<std::intptr_t>{40, 190, 300}));
  EXPECT_TRUE(state().open.empty());
  EXPECT_EQ(ctrl->ReadChapters(L"missing.docx", chapters, &window), -1);
  EXPECT_TRUE(messages.empty());
}

TEST_F(EngineTest, ChaptersStopAtAKeyThatNamesNoBookmark) {
  fake::Model model = enginetest::FieldTocModel();
  model.fields[2].code = L" PAGEREF Other \\h ";  // no "_toc": the empty key
  state().files[L"a.docx"] = model;
  Start();
  std::vector<ChapterEntry> chapters;
  EXPECT_EQ(ctrl->ReadChapters(L"a.docx", chapters, &window), -1);
  ASSERT_EQ(chapters.size(), 1u);  // what was read before stays
  EXPECT_EQ(chapters[0].key, L"_Toc10");
  EXPECT_EQ(state().open.size(), 1u);
  EXPECT_NE(window.progress.back(), 300);
  EXPECT_TRUE(messages.empty());
}

TEST_F(EngineTest, ChaptersFailureAtEveryCall) {
  state().files[L"a.docx"] = enginetest::LinkedTocModel();
  Start();
  std::vector<ChapterEntry> clean;
  ASSERT_EQ(ctrl->ReadChapters(L"a.docx", clean, &window), 1);
  const std::vector<fake::Call> calls = state().calls;
  const std::vector<std::intptr_t> progress = window.progress;
  const std::size_t open = IndexOf(calls, Member::DocumentsOpen);
  const std::size_t finish = IndexOf(calls, Member::DocumentFinishReading);  // after 300
  for (fake::Failure failure : enginetest::kFailures) {
    for (std::size_t n = 0; n < calls.size(); ++n) {
      SCOPED_TRACE(testing::Message() << "call " << n << " failure " << static_cast<int>(failure));
      state().open.clear();
      window.progress.clear();
      FailAt(static_cast<int>(n) + 1, failure);
      std::vector<ChapterEntry> chapters;
      EXPECT_EQ(ctrl->ReadChapters(L"a.docx", chapters, &window), -1);
      EXPECT_LT(chapters.size(), n > open ? clean.size() + 1 : 1u);
      // What was read stays; a heading may miss the lines that were still to be joined.
      for (std::size_t i = 0; i < chapters.size(); ++i) {
        EXPECT_EQ(chapters[i].key, clean[i].key);
        EXPECT_EQ(clean[i].title.rfind(chapters[i].title, 0), 0u);
      }
      EXPECT_TRUE(IsPrefix(window.progress, progress));
      EXPECT_EQ(window.progress.size() == progress.size(), n >= finish);
      EXPECT_EQ(state().open.size(), n > open ? 1u : 0u);
    }
  }
  EXPECT_TRUE(messages.empty());
}

TEST(BookmarkNameFromCode, TakesTheNameFromTocToTheFirstOtherCharacter) {
  struct Case {
    const wchar_t* code;
    const wchar_t* name;
  };
  const Case cases[] = {
      {L" PAGEREF _Toc123456 \\h ", L"_Toc123456"},
      {L" HYPERLINK \\l \"_Toc98\" ", L"_Toc98"},
      {L" PAGEREF _TOC_a1\\h", L"_TOC_a1"},
      {L"PAGEREF x_tOc7-9", L"_tOc7"},
      {L" PAGEREF Other \\h ", L""},
      {L"", L""},
      {L"_toc", L"_toc"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(engine::BookmarkNameFromCode(c.code), c.name) << c.code;
}

}  // namespace
