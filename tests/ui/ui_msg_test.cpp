// The TIPS box: shown from a worker or the windows' thread, with and without owner.

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/frame.h>

#include "framework/label.h"
#include "framework/text_render.h"
#include "support/temp_folder.h"
#include "ui/gui_support.h"
#include "ui/main_window.h"
#include "ui/ui_msg.h"
#include "util/message_box.h"

namespace ui {
namespace {

const wchar_t kLongMessage[] =
    L"The document C:\\Users\\Public\\Documents\\季度报告 2026\\annual report with a very long "
    L"name.docx could not be split because Word reported that the file is locked by another "
    L"user. Close it there and try again.";

void ClickOk(UIMsg& box) {
  auto& pm = box.GetPaintManager();
  pm.UpdateLayout();
  auto* ok = pm.FindControl(L"btnOK");
  wxPoint middle = ok->GetPos().GetPosition() + ok->GetPos().GetSize() / 2;
  pm.HandleMouse({framework::UIEventType::MouseMove, middle});
  pm.HandleMouse({framework::UIEventType::ButtonDown, middle});
  pm.HandleMouse({framework::UIEventType::ButtonUp, middle});
}

class UIMsgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = util::SetMessagePresenter(nullptr);
    InstallMessagePresenter();
  }
  void TearDown() override { util::SetMessagePresenter(previous_); }
  util::MessagePresenter previous_;
  testsupport::TempFolder folder_;
  testsupport::ProgramFolderScope scope_{folder_};
};

TEST_F(UIMsgTest, WorkerWaitsWhileTheBoxDisablesItsOwner) {
  ui window;
  window.Create(nullptr, L"VARNIK", wxPoint(0, 0), wxSize(1277, 900));
  window.CenterWindow();
  window.ShowWindow(true);
  uitest::PumpUntil([&] { return window.GetHWND()->IsShownOnScreen(); });

  std::atomic<bool> workerDone{false};
  bool checked = false;
  uitest::RunAfter(400, [&] {
    UIMsg* box = UIMsg::Active();
    ASSERT_NE(box, nullptr);
    checked = true;
    EXPECT_FALSE(workerDone) << "the worker waits until OK";
    EXPECT_FALSE(window.GetHWND()->IsEnabled()) << "the owner is disabled";
    wxFrame* frame = box->GetHWND();
    EXPECT_EQ(frame->GetClientSize(), wxSize(400, 189));
    wxPoint boxCentre = frame->GetRect().GetPosition() + frame->GetSize() / 2;
    wxPoint ownerCentre =
        window.GetHWND()->GetRect().GetPosition() + window.GetHWND()->GetSize() / 2;
    EXPECT_NEAR(boxCentre.x, ownerCentre.x, 1);
    EXPECT_NEAR(boxCentre.y, ownerCentre.y, 1);
    auto& pm = box->GetPaintManager();
    pm.UpdateLayout();
    auto* tip = pm.Find<framework::CLabelUI>(L"tip");
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->GetText(), kLongMessage);
    EXPECT_TRUE(tip->IsMultiLine());
    EXPECT_EQ(tip->GetPos(), wxRect(18, 22 + 24, 364, 95));
    // Enter raises "return", which the box ignores.
    pm.SendNotify(tip, framework::kNotifyReturn);
    EXPECT_TRUE(box->IsWindow());
    uitest::Screenshot("tips_box_long_message");
    ClickOk(*box);
  });
  std::thread worker([&] {
    util::ShowMessageBox(kLongMessage, &window);
    workerDone = true;
  });
  EXPECT_TRUE(uitest::PumpUntil([&] { return workerDone.load(); }, 10000));
  worker.join();
  EXPECT_TRUE(checked);
  EXPECT_TRUE(window.GetHWND()->IsEnabled());
  EXPECT_EQ(UIMsg::Active(), nullptr);
}

TEST_F(UIMsgTest, BoxWithoutOwnerIsCentredOnTheScreenAndLeavesWindowsEnabled) {
  ui window;
  window.Create(nullptr, L"VARNIK", wxPoint(0, 0), wxSize(1277, 900));
  window.ShowWindow(true);
  uitest::PumpUntil([&] { return window.GetHWND()->IsShownOnScreen(); });
  bool checked = false;
  uitest::RunAfter(300, [&] {
    UIMsg* box = UIMsg::Active();
    ASSERT_NE(box, nullptr);
    checked = true;
    EXPECT_TRUE(window.GetHWND()->IsEnabled());
    wxRect area = wxDisplay(0u).GetClientArea();
    wxRect rect = box->GetHWND()->GetRect();
    EXPECT_NEAR(rect.x + rect.width / 2, area.x + area.width / 2, 1);
    EXPECT_NEAR(rect.y + rect.height / 2, area.y + area.height / 2, 1);
    ClickOk(*box);
  });
  // On the windows' thread the call itself runs the box's loop.
  util::ShowMessageBox(L"", nullptr);
  EXPECT_TRUE(checked);
  EXPECT_EQ(UIMsg::Active(), nullptr);
}

TEST_F(UIMsgTest, LongMessagesWrapIntoTheLabelsWidth) {
  ui window;
  window.Create(nullptr, L"VARNIK");
  wxBitmap bitmap(400, 200);
  wxMemoryDC dc(bitmap);
  dc.SetFont(window.GetPaintManager().GetFont(0));
  struct Case {
    std::wstring text;
    size_t minLines;
  };
  const Case cases[] = {
      {kLongMessage, 3},
      {L"first line\nsecond line", 2},
      {std::wstring(120, L'x'), 2},  // one word wider than the label
      {L"一个没有空格的很长的中文句子会在字与字之间换行因为中文不用空格分词所以必须在字之间断开",
       2},
  };
  for (const Case& c : cases) {
    auto lines = framework::WrapText(dc, wxString(c.text), 364);
    EXPECT_GE(lines.size(), c.minLines) << wxString(c.text);
    wxString joined;
    for (const wxString& line : lines) {
      EXPECT_LE(dc.GetTextExtent(line).x, 364) << line;
      EXPECT_FALSE(line.empty());
      joined += line;
    }
    wxString expected(c.text);
    expected.Replace(" ", "");
    expected.Replace("\n", "");
    joined.Replace(" ", "");
    EXPECT_EQ(joined, expected) << "no letter is lost";
  }
  // The sample message fits the label's 95 pixels.
  EXPECT_LE(
      static_cast<int>(framework::WrapText(dc, kLongMessage, 364).size()) * dc.GetCharHeight(), 95);
}

}  // namespace
}  // namespace ui
