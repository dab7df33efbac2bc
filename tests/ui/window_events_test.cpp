// What the later event handling builds on: file drops, list row notifications, messages from
// workers, and the busy animation.

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include <wx/frame.h>

#include "framework/builder.h"
#include "framework/gif_anim.h"
#include "framework/list.h"
#include "support/temp_folder.h"
#include "ui/gui_support.h"
#include "ui/main_window.h"
#include "util/window_messages.h"

namespace ui {
namespace {

class EventWindow : public ui {
 public:
  std::vector<std::uint32_t> messages;
  std::vector<std::wstring> dropped;

 protected:
  std::intptr_t HandleMessage(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam,
                              bool& handled) override {
    if (message == framework::kWmDropFiles) {
      dropped = *reinterpret_cast<const std::vector<std::wstring>*>(wParam);
      EXPECT_EQ(lParam, static_cast<std::intptr_t>(dropped.size()));
      // Only the delivery is checked here; the intake of dropped files has its own tests.
      handled = true;
      return 0;
    } else if (message >= 0x0900) {
      messages.push_back(message);
    }
    return ui::HandleMessage(message, wParam, lParam, handled);
  }
};

// Records every notification of a window.
struct Recorder : framework::INotifyUI {
  std::vector<std::pair<std::wstring, std::wstring>> seen;  // type, sender name
  void Notify(framework::TNotifyUI& msg) override {
    seen.emplace_back(msg.sType, msg.pSender != nullptr ? msg.pSender->GetName() : L"");
  }
};

class WindowEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<EventWindow>();
    window_->Create(nullptr, L"VARNIK", wxPoint(0, 0), wxSize(1277, 900));
    window_->AcceptFiles(true);
    window_->CenterWindow();
    window_->ShowWindow(true);
    uitest::PumpUntil([&] { return window_->GetHWND()->IsShownOnScreen(); });
    window_->GetPaintManager().UpdateLayout();
  }

  testsupport::TempFolder folder_;
  testsupport::ProgramFolderScope scope_{folder_};
  std::unique_ptr<EventWindow> window_;
};

TEST_F(WindowEventsTest, DroppedFilesReachTheWindowWithTheirPaths) {
  wxWindow* canvas = window_->GetHWND()->GetChildren().front();
  EXPECT_TRUE(
      uitest::DropFiles(canvas, {L"/home/user/季度报告/report one.docx", L"/home/user/folder"}))
      << "the window accepts file drops";
  EXPECT_EQ(window_->dropped, (std::vector<std::wstring>{L"/home/user/季度报告/report one.docx",
                                                         L"/home/user/folder"}));
}

TEST_F(WindowEventsTest, ListRowsRaiseTheirNotificationsUnlessDisabled) {
  auto& pm = window_->GetPaintManager();
  auto* list = pm.Find<framework::CListUI>(L"ListFile");
  framework::CDialogBuilder rows;
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(
        list->Add(i == 0 ? rows.Create(L"filelistitem.xml", pm.GetArchive()) : rows.Create()));
  }
  Recorder recorder;
  pm.AddNotifier(&recorder);
  pm.UpdateLayout();
  auto at = [&](int row) {
    wxRect r = pm.FindSubControlByName(list->GetItemAt(row), L"LBName")->GetPos();
    return r.GetPosition() + r.GetSize() / 2;
  };
  using framework::UIEventType;
  pm.HandleMouse({UIEventType::MouseMove, at(1)});
  pm.HandleMouse({UIEventType::ButtonDown, at(1)});
  pm.HandleMouse({UIEventType::ButtonUp, at(1)});
  pm.HandleMouse({UIEventType::DblClick, at(1)});
  pm.HandleMouse({UIEventType::ButtonUp, at(1)});
  pm.HandleMouse({UIEventType::MouseMove, at(0)});
  pm.HandleMouse({UIEventType::RButtonDown, at(0)});
  std::vector<std::pair<std::wstring, std::wstring>> expected = {{L"itemclick", L""},
                                                                 {L"itemselect", L"ListFile"},
                                                                 {L"itemdbclick", L""},
                                                                 {L"itemrclick", L""},
                                                                 {L"itemselect", L"ListFile"}};
  EXPECT_EQ(recorder.seen, expected);
  EXPECT_EQ(list->GetCurSel(), 0);
  EXPECT_EQ(pm.GetFocus(), list) << "a press in the list focuses it (its border turns blue)";

  // The delete button of a row clicks by itself and knows its row as parent's parent.
  recorder.seen.clear();
  auto* del = pm.FindSubControlByName(list->GetItemAt(1), L"btnDel");
  wxPoint middle = del->GetPos().GetPosition() + del->GetPos().GetSize() / 2;
  pm.HandleMouse({UIEventType::MouseMove, middle});
  pm.HandleMouse({UIEventType::ButtonDown, middle});
  pm.HandleMouse({UIEventType::ButtonUp, middle});
  ASSERT_FALSE(recorder.seen.empty());
  EXPECT_EQ(recorder.seen.back(), (std::pair<std::wstring, std::wstring>{L"click", L"btnDel"}));
  EXPECT_EQ(del->GetParent()->GetParent(), list->GetItemAt(1));

  // A disabled list sends nothing from its rows.
  recorder.seen.clear();
  list->SetEnabled(false);
  pm.HandleMouse({UIEventType::ButtonDown, at(1)});
  pm.HandleMouse({UIEventType::ButtonUp, at(1)});
  pm.HandleMouse({UIEventType::RButtonDown, at(1)});
  pm.HandleMouse({UIEventType::ButtonDown, middle});
  pm.HandleMouse({UIEventType::ButtonUp, middle});
  EXPECT_TRUE(recorder.seen.empty());
  EXPECT_EQ(list->GetCurSel(), 0);
  pm.RemoveNotifier(&recorder);
}

TEST_F(WindowEventsTest, LongListsScrollWithTheWheel) {
  auto& pm = window_->GetPaintManager();
  auto* list = pm.Find<framework::CListUI>(L"ListFile");
  framework::CDialogBuilder rows;
  for (int i = 0; i < 30; ++i) {
    auto row = i == 0 ? rows.Create(L"filelistitem.xml", pm.GetArchive()) : rows.Create();
    pm.FindSubControlByName(row.get(), L"LBName")->SetText(L"document " + std::to_wstring(i + 1));
    ASSERT_TRUE(list->Add(std::move(row)));
  }
  pm.UpdateLayout();
  framework::CListBodyUI* body = list->GetList();
  EXPECT_EQ(body->GetScrollPos(), 0);
  int firstTop = list->GetItemAt(0)->GetPos().y;
  framework::UIEvent wheel{framework::UIEventType::Wheel,
                           list->GetItemAt(1)->GetPos().GetPosition() + wxPoint(50, 5)};
  wheel.wheelDelta = -120;
  pm.HandleMouse(wheel);
  pm.UpdateLayout();
  EXPECT_GT(body->GetScrollPos(), 0);
  EXPECT_EQ(list->GetItemAt(0)->GetPos().y, firstTop - body->GetScrollPos());
  for (int i = 0; i < 20; ++i)
    pm.HandleMouse(wheel);
  pm.UpdateLayout();
  // The last row ends at the bottom of the list's view.
  EXPECT_EQ(list->GetItemAt(29)->GetPos().GetBottom(), body->GetPos().GetBottom());
  uitest::PumpFor(150);
  uitest::Screenshot("list_scrolled");
}

TEST_F(WindowEventsTest, WorkerMessagesArriveInOrderAndSendWaits) {
  std::atomic<bool> sent{false};
  std::thread worker([&] {
    window_->Messages().Post(util::UM_PROGRESS, 10, 0);
    window_->Messages().Send(util::UM_BUSY_ON, 0, 0);
    sent = true;
  });
  EXPECT_TRUE(uitest::PumpUntil([&] { return sent.load(); }));
  worker.join();
  EXPECT_EQ(window_->messages, (std::vector<std::uint32_t>{util::UM_PROGRESS, util::UM_BUSY_ON}));
}

TEST_F(WindowEventsTest, SendFromAWorkerIsReleasedWhenTheWindowCloses) {
  std::atomic<bool> returned{false};
  bool result = true;
  EventWindow* window = window_.get();  // the worker must not read window_ while it is reset
  std::thread worker([&] {
    result = window->Send(util::UM_BUSY_OFF, 0, 0);
    returned = true;
  });
  // The window's thread handles nothing meanwhile, so the worker stays inside Send.
  while (window->WaitingSenders() == 0)
    std::this_thread::yield();
  EXPECT_FALSE(returned);
  window_.reset();  // the window goes before it ever handles the message
  worker.join();    // hangs here if the worker were left waiting
  EXPECT_TRUE(returned);
  EXPECT_FALSE(result);
  uitest::PumpFor(50);
}

TEST_F(WindowEventsTest, BusyAnimationRunsOnlyWhilePlaying) {
  auto& pm = window_->GetPaintManager();
  auto* gif = pm.Find<framework::CGifAnimUI>(L"loadgif");
  ASSERT_NE(gif, nullptr);
  EXPECT_FALSE(gif->IsPlaying());
  EXPECT_GT(gif->GetFrameCount(), 1u);
  gif->PlayGif();
  EXPECT_TRUE(uitest::PumpUntil([&] { return gif->GetCurrentFrame() >= 2; }));
  uitest::Screenshot("busy_animation");
  gif->StopGif();
  EXPECT_EQ(gif->GetCurrentFrame(), 0u);
  uitest::PumpFor(200);
  EXPECT_EQ(gif->GetCurrentFrame(), 0u);
}

}  // namespace
}  // namespace ui
