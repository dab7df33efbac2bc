#pragma once
// The real engine over the built-in document server, with the message box recorded, and short
// ways to read back what it wrote.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "docserver/calls.h"
#include "docserver/piece_check.h"
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

namespace enginetest {

// Where each page of a document starts, as the server's go-to-page puts it, plus its end.
inline std::vector<int> PageBounds(const automation::DispatchPtr& app, const std::wstring& path) {
  using namespace docserver::test;
  auto doc = Open(app, path);
  int pages = PageCount(doc);
  auto sel = Obj(app, 5);
  std::vector<int> out;
  for (int p = 1; p <= pages; ++p) {
    Call(sel, 173, {Variant::I4(1), Variant::I4(1), Variant::I4(p), Variant::String(L"")});
    out.push_back(Int(sel, 3));
  }
  auto story = Obj(doc, 41);
  Call(story, 128);
  out.push_back(Int(story, 4));
  Call(doc, 1105, {Variant::I4(0).ByRef(), Omitted(), Omitted()});
  return out;
}

// The text of [start, end) of a document's main text, marks included.
inline std::wstring RangeText(const automation::DispatchPtr& app, const std::wstring& path,
                              int start, int end) {
  using namespace docserver::test;
  auto doc = Open(app, path);
  auto range = Obj(doc, 41);
  Call(range, 100, {Variant::I4(start), Variant::I4(end)});
  std::wstring text = Text(range);
  Call(doc, 1105, {Variant::I4(0).ByRef(), Omitted(), Omitted()});
  return text;
}

inline int PiecePages(const automation::DispatchPtr& app, const std::wstring& path) {
  using namespace docserver::test;
  auto doc = Open(app, path);
  int pages = PageCount(doc);
  Call(doc, 1105, {Variant::I4(0).ByRef(), Omitted(), Omitted()});
  return pages;
}

// Marks shown readably, for messages.
inline std::string Shown(const std::wstring& text) {
  return platform::ToUtf8(docserver::ShownMarks(text));
}

// Empty when a piece's whole text is its range's source text as a cut keeps it: the program's
// own rule, with where it differs shown.
inline std::string TextDifference(const std::wstring& piece, const std::wstring& range) {
  auto differs = docserver::TextDifference(piece, range);
  return differs ? platform::ToUtf8(*differs) : std::string();
}

}  // namespace enginetest
