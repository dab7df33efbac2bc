// The chapter page and the pop-up menus as the framework draws and runs them; the program's
// handling of them comes later and only needs what is checked here.

#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/toplevel.h>

#include "framework/builder.h"
#include "framework/container.h"
#include "framework/list.h"
#include "framework/menu_wnd.h"
#include "framework/tree.h"
#include "support/temp_folder.h"
#include "ui/gui_support.h"
#include "ui/main_window.h"
#include "util/window_messages.h"

namespace ui {
namespace {

// The main window, recording the private messages it receives.
class RecordingWindow : public ui {
 public:
  std::vector<std::uint32_t> messages;

 protected:
  std::intptr_t HandleMessage(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam,
                              bool& handled) override {
    if (message >= 0x0900)
      messages.push_back(message);
    return ui::HandleMessage(message, wParam, lParam, handled);
  }
};

class ChapterAndMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.Create(nullptr, L"VARNIK", wxPoint(0, 0), wxSize(1277, 900));
    window_.CenterWindow();
    window_.ShowWindow(true);
    uitest::PumpUntil([&] { return window_.GetHWND()->IsShownOnScreen(); });
  }

  void Press(framework::CPaintManagerUI& pm, framework::CControlUI* control) {
    pm.UpdateLayout();
    wxPoint middle = control->GetPos().GetPosition() + control->GetPos().GetSize() / 2;
    pm.HandleMouse({framework::UIEventType::MouseMove, middle});
    pm.HandleMouse({framework::UIEventType::ButtonDown, middle});
    pm.HandleMouse({framework::UIEventType::ButtonUp, middle});
  }

  testsupport::TempFolder folder_;
  testsupport::ProgramFolderScope scope_{folder_};
  RecordingWindow window_;
};

TEST_F(ChapterAndMenuTest, ChapterPageHoldsACheckableTreeAndThePlanList) {
  auto& pm = window_.GetPaintManager();
  dynamic_cast<framework::CTabLayoutUI*>(pm.FindControl(L"switch"))->SelectItem(1);
  auto* tree = pm.Find<framework::CTreeViewUI>(L"TreeMenu");
  ASSERT_NE(tree, nullptr);
  EXPECT_TRUE(tree->IsVisibleCheckBtn());
  EXPECT_TRUE(tree->IsVisibleFolderBtn());

  const std::pair<int, const wchar_t*> headings[] = {{1, L"1 Introduction"},
                                                     {2, L"1.1 Scope"},
                                                     {2, L"1.2 Terms"},
                                                     {1, L"2 Methods"},
                                                     {1, L"3 第三章 结果"}};
  framework::CTreeNodeUI* top = nullptr;
  int changes = 0;
  for (const auto& [level, title] : headings) {
    auto node = std::make_unique<framework::CTreeNodeUI>();
    node->SetItemText(title);
    node->GetCheckBox()->ApplyAttributeList(
        LR"(font="1" textpadding="4,2,1,0" hotimage="file='menu_hor.png' corner='3,3,3,3' " normalimage="file='menu_normal.png' corner='3,3,3,3' " selectedimage="file='menu_prs.png' corner='3,3,3,3' " endellipsis="true")");
    node->GetItemButton()->SetText(L"P12");
    node->GetItemButton()->ApplyAttributeList(
        LR"(bkimage="file='menu_normal.png' corner='3,3,3,3' ")");
    node->SetAttribute(
        L"folderattr",
        LR"(padding="0,1,0,0" width="16" height="16" normalimage="file='treeview_b.png' source='0,0,16,16' " hotimage="file='treeview_b.png' source='16,0,32,16'" selectedimage="file='treeview_a.png' source='0,0,16,16' " selectedhotimage="file='treeview_a.png' source='16,0,32,16' " disabledimage="file='tab.png' source='1,1,17,17'  fade= '0' ")");
    node->GetCheckBox()->OnNotify += [&changes](framework::TNotifyUI& msg) {
      if (msg.sType == framework::kNotifySelectChanged)
        ++changes;
      return true;
    };
    framework::CTreeNodeUI* raw = node.get();
    if (level == 1) {
      tree->Add(std::move(node));
      top = raw;
    } else {
      top->Add(std::move(node));
    }
  }
  tree->ExpandAll();
  EXPECT_EQ(tree->GetCount(), 5);

  auto* plan = pm.Find<framework::CListUI>(L"listPlanLeft");
  ASSERT_NE(plan, nullptr);
  framework::CDialogBuilder rows;
  for (int i = 0; i < 2; ++i) {
    auto row = i == 0 ? rows.Create(L"planItem.xml", pm.GetArchive()) : rows.Create();
    pm.FindSubControlByName(row.get(), L"LbBegin")
        ->SetText(i == 0 ? L"1 Introduction" : L"2 Methods");
    pm.FindSubControlByName(row.get(), L"LBEnd")->SetText(i == 0 ? L"1.2 Terms" : L"3 第三章 结果");
    pm.FindSubControlByName(row.get(), L"LBPages")->SetText(i == 0 ? L"11" : L"-");
    row->SetFixedHeight(20);
    ASSERT_TRUE(plan->Add(std::move(row)));
  }

  // A click on a check box checks it and tells its handlers.
  auto* second = dynamic_cast<framework::CTreeNodeUI*>(tree->GetItemAt(3));
  ASSERT_NE(second, nullptr);
  Press(pm, second->GetCheckBox());
  EXPECT_TRUE(second->GetCheckBox()->IsChecked());
  EXPECT_EQ(changes, 1);
  uitest::PumpFor(200);
  uitest::Screenshot("chapter_page");
}

TEST_F(ChapterAndMenuTest, ListMenuPostsTheChosenEntryAndCloses) {
  size_t windows = wxTopLevelWindows.size();
  wxPoint at = window_.GetHWND()->GetPosition() + wxPoint(300, 200);
  framework::CMenuWnd* menu = framework::CMenuWnd::Open(&window_, L"listmenu.xml", at);
  uitest::PumpFor(150);
  EXPECT_EQ(menu->GetLayoutError(), "");
  EXPECT_EQ(menu->GetHWND()->GetPosition(), at);
  EXPECT_EQ(menu->GetHWND()->GetClientSize(), wxSize(135, 2 + 2 + 3 + 3 * 24 + 3));
  auto& pm = menu->GetPaintManager();
  pm.FindControl(L"menutar")->SetEnabled(false);
  uitest::PumpFor(100);
  uitest::Screenshot("list_menu");

  Press(pm, pm.FindControl(L"labeltar"));
  uitest::PumpFor(50);
  EXPECT_TRUE(window_.messages.empty()) << "a disabled entry does nothing";
  EXPECT_TRUE(menu->IsWindow());

  Press(pm, pm.FindControl(L"labelsrc"));
  uitest::PumpUntil([&] { return !window_.messages.empty(); });
  EXPECT_EQ(window_.messages, (std::vector<std::uint32_t>{util::UM_VIEW_SOURCE}));
  uitest::PumpUntil([&] { return wxTopLevelWindows.size() == windows; });
  EXPECT_EQ(wxTopLevelWindows.size(), windows) << "the menu closed itself";
}

TEST_F(ChapterAndMenuTest, ARightClickInAMenuDoesNothing) {
  size_t windows = wxTopLevelWindows.size();
  wxPoint at = window_.GetHWND()->GetPosition() + wxPoint(300, 200);
  framework::CMenuWnd* menu = framework::CMenuWnd::Open(&window_, L"listmenu.xml", at);
  uitest::PumpFor(150);
  auto& pm = menu->GetPaintManager();
  pm.UpdateLayout();
  framework::CControlUI* label = pm.FindControl(L"labelsrc");
  // The right button as the native window reports it.
  wxMouseEvent right(wxEVT_RIGHT_DOWN);
  right.SetPosition(label->GetPos().GetPosition() + label->GetPos().GetSize() / 2);
  wxWindow* canvas = menu->GetHWND()->GetChildren().front();
  right.SetEventObject(canvas);
  canvas->ProcessWindowEvent(right);
  uitest::PumpFor(100);
  ASSERT_EQ(wxTopLevelWindows.size(), windows + 1) << "the menu stays open";
  EXPECT_TRUE(window_.messages.empty());
  auto* entry = dynamic_cast<framework::CListContainerElementUI*>(pm.FindControl(L"menusrc"));
  ASSERT_NE(entry, nullptr);
  framework::CListUI* list = entry->GetOwner();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetCurSel(), -1) << "no entry chosen";

  // The left button still chooses.
  Press(pm, label);
  uitest::PumpUntil([&] { return !window_.messages.empty(); });
  EXPECT_EQ(window_.messages, (std::vector<std::uint32_t>{util::UM_VIEW_SOURCE}));
}

TEST_F(ChapterAndMenuTest, EscapeClosesTheAboutMenuWithoutPosting) {
  size_t windows = wxTopLevelWindows.size();
  framework::CMenuWnd* menu = framework::CMenuWnd::Open(
      &window_, L"menu.xml", window_.GetHWND()->GetPosition() + wxPoint(700, 25));
  uitest::PumpFor(100);
  EXPECT_EQ(menu->GetHWND()->GetClientSize().x, 100);
  uitest::Screenshot("about_menu");
  wxKeyEvent escape(wxEVT_KEY_DOWN);
  escape.m_keyCode = WXK_ESCAPE;
  wxWindow* canvas = menu->GetHWND()->GetChildren().front();
  escape.SetEventObject(canvas);
  canvas->ProcessWindowEvent(escape);
  uitest::PumpUntil([&] { return wxTopLevelWindows.size() == windows; });
  EXPECT_EQ(wxTopLevelWindows.size(), windows);
  EXPECT_TRUE(window_.messages.empty());
}

}  // namespace
}  // namespace ui
