#pragma once
// The real engine over the built-in document server, with the message box recorded, and short
// ways to read back what it wrote.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "docserver/calls.h"
#include "docserver/server.h"
#include "engine/wordctrl.h"
#include "platform/text.h"
#include "util/message_box.h"

namespace enginetest {

class RealServerTest : public ::testing::Test {
 protected:
  RealServerTest() {
    docserver::RegisterBuiltInServer();
    previous_ = util::SetMessagePresenter(
        [this](std::wstring_view text, util::WindowHandle) { messages.emplace_back(text); });
  }
  ~RealServerTest() override {
    ctrl.reset();
    util::SetMessagePresenter(std::move(previous_));
  }
  void SetUp() override { ASSERT_TRUE(ctrl->StartWord()); }

  std::unique_ptr<engine::wordctrl> ctrl = std::make_unique<engine::wordctrl>();
  std::vector<std::wstring> messages;

 private:
  util::MessagePresenter previous_;
};

// The whole main text of a document as the server reads it.
inline std::wstring DocumentText(const automation::DispatchPtr& app, const std::wstring& path) {
  using namespace docserver::test;
  auto doc = Open(app, path);
  auto story = Obj(doc, 41);
  Call(story, 128);
  std::wstring text = Text(story);
  Call(doc, 1105, {Variant::I4(0).ByRef(), Omitted(), Omitted()});
  return text;
}

// Text without paragraph, cell and break marks: a cut ends its last paragraph with a mark of
// its own, and a page break at a cut goes with one side or the other.
inline std::wstring Letters(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text)
    if (c != L'\r' && c != L'\a' && c != L'\f' && c != L'\v' && c != L'\x01')
      out += c;
  return out;
}

}  // namespace enginetest
