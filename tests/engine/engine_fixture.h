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
