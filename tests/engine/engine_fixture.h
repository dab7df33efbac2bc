#pragma once
// A started wordctrl on the fake server, with the message box and the progress messages
// recorded.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "automation/create_object.h"
#include "engine/wordctrl.h"
#include "fake_word.h"
#include "util/message_box.h"
#include "util/window_messages.h"

namespace enginetest {

class RecordingWindow : public util::MessageTarget {
 public:
  std::vector<std::intptr_t> progress;
  int sent = 0;
  void Send(std::uint32_t, std::intptr_t, std::intptr_t) override { ++sent; }
  void Post(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) override {
    EXPECT_EQ(message, util::UM_PROGRESS);
    EXPECT_EQ(lParam, 0);
    progress.push_back(wParam);
  }
};

class EngineTest : public ::testing::Test {
 protected:
  EngineTest()
      : factory_(L"Word.Application", [this](std::wstring_view) { return word.Application(); }) {
    previous_ = util::SetMessagePresenter(
        [this](std::wstring_view text, util::WindowHandle) { messages.emplace_back(text); });
  }
  ~EngineTest() override { util::SetMessagePresenter(std::move(previous_)); }

  // Starts Word and forgets the calls of the start.
  void Start() {
    ASSERT_TRUE(ctrl->StartWord());
    word.state().calls.clear();
  }
  fake::State& state() { return word.state(); }
  void FailAt(int call, fake::Failure failure) {
    state().calls.clear();
    state().failAt = call;
    state().failure = failure;
  }

  fake::FakeWord word;
  std::vector<std::wstring> messages;
  RecordingWindow window;
  std::unique_ptr<engine::wordctrl> ctrl = std::make_unique<engine::wordctrl>();

 private:
  automation::ScopedObjectFactory factory_;
  util::MessagePresenter previous_;
};

inline constexpr fake::Failure kFailures[] = {fake::Failure::Server, fake::Failure::Call,
                                              fake::Failure::Other};

// Four pages; the sentence "Four runs on. " and the second paragraph cross from page 2 to 3.
inline fake::Model PagesModel() {
  fake::Model m;
  m.text = L"One. Two.\rThree. Four runs on. Five.\rSix.\r";
  m.pageStarts = {0, 10, 26, 37};
  return m;
}

}  // namespace enginetest

namespace enginetest {

// A table of contents whose lines link to the headings' bookmarks.
inline fake::Model LinkedTocModel() {
  fake::Model m;
  struct Line {
    const wchar_t* text;
    std::vector<const wchar_t*> targets;
  };
  const Line lines[] = {
      {L"Intro\t1", {L"_Toc1"}},
      {L"Long heading\t", {L"_TocX", L"_Toc2"}},  // two links: the second names the heading
      {L"continued\t2", {L"_Toc2"}},              // same heading: joined to the line before
      {L"Empty target\t3", {L""}},                // skipped, the run goes on
      {L"more\t4", {L"_Toc2"}},
      {L"No link\t5", {}},  // ends the run
      {L"Back\t6", {L"_Toc2"}},
      {L"Three links\t7", {L"_Toc3", L"_TocX", L"_TocY"}},  // three links: the first counts
  };
  int tocStart = m.Length();
  for (const auto& line : lines) {
    fake::Span span = m.Paragraph(line.text);
    for (const wchar_t* target : line.targets)
      m.links.push_back({{span.start, span.end - 1}, target});
  }
  m.tocs.push_back({tocStart, m.Length()});
  m.NewPage();
  m.bookmarks[L"_Toc1"] = m.Paragraph(L"Intro", 1);
  m.bookmarks[L"_Toc2"] = m.Paragraph(L"Long heading continued", 2);
  m.Paragraph(L"Body text.");
  m.bookmarks[L"_Toc3"] = m.Paragraph(L"Three links");  // body text: level 1
  return m;
}

// A table of contents without links: a TOC field around page-reference fields.
inline fake::Model FieldTocModel() {
  fake::Model m;
  fake::Span alpha = m.Paragraph(L"Alpha\t3");
  fake::Span beta = m.Paragraph(L"Beta\t5");
  m.fields.push_back({{alpha.start, beta.end}, L" TOC \\o \"1-3\" \\u "});
  m.fields.push_back({{alpha.end - 2, alpha.end - 1}, L" PAGEREF _Toc10 \\h "});
  m.fields.push_back({{beta.end - 2, beta.end - 1}, L" PAGEREF _TOC11 \\h "});
  m.tocs.push_back({alpha.start, beta.end});
  m.NewPage();
  m.bookmarks[L"_Toc10"] = m.Paragraph(L"Alpha", 3);
  m.bookmarks[L"_TOC11"] = m.Paragraph(L"Beta", 10);
  return m;
}

// Three pages; a table runs from page 1 into page 2.
inline fake::Model TableModel() {
  fake::Model m;
  m.text = L"Intro.\rRow one\rRow two\rRow three\rAfter.\r";
  m.tables = {{7, 33}};
  m.pageStarts = {0, 15, 33};
  return m;
}

// Three pages; page 2 starts at fieldStart + offset where a field of 6 characters begins at
// fieldStart.
inline fake::Model FieldModel(int offset) {
  fake::Model m;
  m.text = L"Start.\rSee PAGE 2 end.\rLast.\r";
  m.fields = {{{11, 17}, L" PAGE "}};
  m.pageStarts = {0, 11 + offset, 23};
  return m;
}

}  // namespace enginetest
