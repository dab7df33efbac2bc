// The main window as the program builds it: initial state, geometry when resized, the window
// buttons and the shutdown through the close button.

#include <gtest/gtest.h>

#include <functional>

#include <wx/display.h>
#include <wx/frame.h>

#include "framework/application.h"
#include "framework/builder.h"
#include "framework/button.h"
#include "framework/container.h"
#include "framework/list.h"
#include "settings/ini.h"
#include "support/temp_folder.h"
#include "ui/gui_support.h"
#include "ui/main_window.h"
#include "util/program_folders.h"
#include "util/work_folder.h"

namespace ui {
namespace {

using framework::CControlUI;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings::SetSettingsPath(util::SettingsFilePath());
    testsupport::WriteFile(util::WorkFolderRoot() + testsupport::Native(L"1234/0"),
                           "left by an earlier run");
    testsupport::WriteFile(util::WorkFolderRoot() + L"1234.lock", "");
  }

  // A working copy, as the intake makes them.
  std::wstring WorkingCopy() {
    testsupport::WriteFile(folder_ / L"a.docx", "a document");
    std::wstring copy = util::CopyToWorkFolder(folder_ / L"a.docx");
    EXPECT_TRUE(testsupport::Exists(copy));
    return copy;
  }

  // Opens the window the way the program does.
  std::unique_ptr<ui> Open() {
    auto window = std::make_unique<ui>();
    window->Create(nullptr, L"VARNIK", wxPoint(0, 0), wxSize(1277, 900));
    window->AcceptFiles(true);
    window->CenterWindow();
    window->ShowWindow(true);
    uitest::PumpUntil([&] { return window->GetHWND()->IsShownOnScreen(); });
    uitest::PumpFor(200);
    window->GetPaintManager().UpdateLayout();
    return window;
  }

  static CControlUI* Find(ui& window, const wchar_t* name) {
    CControlUI* control = window.GetPaintManager().FindControl(name);
    EXPECT_NE(control, nullptr) << "no control named " << wxString(name);
    return control;
  }

  // A real press and release of the left button in the middle of the control.
  static void Click(ui& window, const wchar_t* name) {
    auto& pm = window.GetPaintManager();
    pm.UpdateLayout();
    wxPoint middle =
        Find(window, name)->GetPos().GetPosition() + Find(window, name)->GetPos().GetSize() / 2;
    pm.HandleMouse({framework::UIEventType::MouseMove, middle});
    pm.HandleMouse({framework::UIEventType::ButtonDown, middle});
    pm.HandleMouse({framework::UIEventType::ButtonUp, middle});
  }

  testsupport::TempFolder folder_;
  testsupport::ProgramFolderScope scope_{folder_};
};

TEST_F(MainWindowTest, StartsCentredWithTheLayoutsSizeAndInitialState) {
  auto window = Open();
  EXPECT_EQ(window->GetLayoutError(), "");
  EXPECT_FALSE(testsupport::Exists(util::WorkFolderRoot() + L"1234"))
      << "the work folder of an earlier run is gone";
  wxFrame* frame = window->GetHWND();
  EXPECT_EQ(frame->GetClientSize(), wxSize(876, 522));
  EXPECT_EQ(frame->GetSize(), wxSize(876, 522)) << "no system caption or frame";
  wxRect area = wxDisplay(0u).GetClientArea();
  wxPoint centre = frame->GetRect().GetPosition() + frame->GetSize() / 2;
  EXPECT_NEAR(centre.x, area.x + area.width / 2, 1);
  EXPECT_NEAR(centre.y, area.y + area.height / 2, 1);

  EXPECT_FALSE(Find(*window, L"VLSETTING")->IsVisible());
  EXPECT_FALSE(Find(*window, L"prgarea")->IsVisible());
  EXPECT_TRUE(dynamic_cast<framework::COptionUI*>(Find(*window, L"optBase"))->IsSelected());
  EXPECT_FALSE(dynamic_cast<framework::COptionUI*>(Find(*window, L"optChapter"))->IsSelected());
  EXPECT_EQ(dynamic_cast<framework::CTabLayoutUI*>(Find(*window, L"switch"))->GetCurSel(), 0);
  EXPECT_TRUE(Find(*window, L"Base")->IsShown());
  EXPECT_FALSE(Find(*window, L"ChapterUI")->IsShown());
  EXPECT_FALSE(Find(*window, L"edtBaseManu")->IsEnabled());
  EXPECT_TRUE(Find(*window, L"edtEvery")->IsEnabled());
  EXPECT_FALSE(Find(*window, L"restorebtn")->IsVisible());
  EXPECT_TRUE(Find(*window, L"maxbtn")->IsShown());
  EXPECT_FALSE(Find(*window, L"optAnyWhere")->IsVisible());
  EXPECT_TRUE(dynamic_cast<framework::COptionUI*>(Find(*window, L"optEvery"))->IsSelected());
  // A first start, without config.ini: numbered results.
  EXPECT_TRUE(dynamic_cast<framework::COptionUI*>(Find(*window, L"optExport2"))->IsSelected());
  EXPECT_FALSE(dynamic_cast<framework::COptionUI*>(Find(*window, L"optAuto"))->IsSelected());
  EXPECT_FALSE(Find(*window, L"optComp")->IsVisible());
  EXPECT_TRUE(Find(*window, L"btnProcessAll")->IsEnabled());
  EXPECT_EQ(Find(*window, L"btnAdd")->GetText(), L"Add File");
  EXPECT_FALSE(Find(*window, L"notitle")->IsVisible());
  // Title row: the window buttons sit at the right edge inside the 2-pixel border.
  EXPECT_EQ(Find(*window, L"closebtn")->GetPos().GetRight() + 1, 876 - 3);
  EXPECT_EQ(Find(*window, L"closebtn")->GetPos().y, 2 + 2);
  uitest::Screenshot("main_window");
}

TEST_F(MainWindowTest, ExtraWidthGoesToNameAndPathAndRowsFollowTheHeader) {
  auto window = Open();
  auto& pm = window->GetPaintManager();
  auto* list = dynamic_cast<framework::CListUI*>(Find(*window, L"ListFile"));
  ASSERT_NE(list, nullptr);
  framework::CDialogBuilder rows;
  for (int i = 0; i < 3; ++i) {
    auto row = i == 0 ? rows.Create(L"filelistitem.xml", pm.GetArchive()) : rows.Create();
    pm.FindSubControlByName(row.get(), L"LBName")->SetText(L"报告 " + std::to_wstring(i + 1));
    pm.FindSubControlByName(row.get(), L"LBPATH")->SetText(L"/home/user/Documents/季度报告/");
    pm.FindSubControlByName(row.get(), L"LBTIME")->SetText(L"2026-12-10 09:30:00");
    pm.FindSubControlByName(row.get(), L"LBPage")->SetText(L"12");
    pm.FindSubControlByName(row.get(), L"LbSize")->SetText(L"48.2 KB");
    ASSERT_TRUE(list->Add(std::move(row)));
  }
  list->SelectItem(1, false);
  pm.UpdateLayout();
  uitest::PumpFor(150);
  auto widths = [&] {
    std::vector<int> w;
    for (int i = 0; i < list->GetHeader()->GetCount(); ++i)
      w.push_back(list->GetHeader()->GetItemAt(i)->GetPos().width);
    return w;
  };
  std::vector<int> before = widths();
  ASSERT_EQ(before.size(), 7u);
  EXPECT_EQ(before[0], 24);
  EXPECT_EQ(before[3], 120);
  EXPECT_EQ(before[6], 44);
  uitest::Screenshot("main_window_rows");

  window->ResizeClient(1100, 640);
  window->CenterWindow();
  uitest::PumpUntil([&] { return window->GetHWND()->GetClientSize() == wxSize(1100, 640); });
  uitest::PumpFor(100);
  pm.UpdateLayout();
  std::vector<int> after = widths();
  EXPECT_EQ(after[1] + after[2] - before[1] - before[2], 1100 - 876);
  EXPECT_NEAR(after[1] - before[1], after[2] - before[2], 1);
  for (int column : {0, 3, 4, 5, 6})
    EXPECT_EQ(after[column], before[column]) << column;
  EXPECT_EQ(Find(*window, L"closebtn")->GetPos().GetRight() + 1, 1100 - 3);
  EXPECT_EQ(Find(*window, L"btnAdd")->GetPos().x, 2 + 150 + 4)
      << "the command buttons stay on the left";

  // Every cell of a row spans its column.
  CControlUI* row = list->GetItemAt(0);
  for (const auto& [cell, column] :
       {std::pair{L"LBName", 1}, {L"LBPATH", 2}, {L"LBTIME", 3}, {L"LBPage", 4}, {L"LbSize", 5}}) {
    wxRect head = list->GetHeader()->GetItemAt(column)->GetPos();
    wxRect pos = pm.FindSubControlByName(row, cell)->GetPos();
    EXPECT_EQ(pos.x, head.x) << wxString(cell);
    EXPECT_EQ(pos.width, head.width) << wxString(cell);
  }
  wxRect del = pm.FindSubControlByName(row, L"btnDel")->GetPos();
  EXPECT_EQ(del.x, list->GetHeader()->GetItemAt(6)->GetPos().x + 4);
  EXPECT_EQ(del.GetSize(), wxSize(16, 16));
  uitest::PumpFor(150);
  uitest::Screenshot("main_window_wide");
}

TEST_F(MainWindowTest, MaximiseAndRestoreSwapTheirButtons) {
  auto window = Open();
  Click(*window, L"maxbtn");
  EXPECT_TRUE(window->IsZoomed());
  EXPECT_FALSE(Find(*window, L"maxbtn")->IsVisible());
  EXPECT_TRUE(Find(*window, L"restorebtn")->IsVisible());
  uitest::PumpFor(100);
  window->GetPaintManager().UpdateLayout();
  wxRect area = wxDisplay(0u).GetClientArea();
  EXPECT_EQ(window->GetHWND()->GetRect(), area);
  Click(*window, L"restorebtn");
  EXPECT_FALSE(window->IsZoomed());
  EXPECT_TRUE(Find(*window, L"maxbtn")->IsVisible());
  EXPECT_FALSE(Find(*window, L"restorebtn")->IsVisible());
  uitest::PumpFor(100);
  EXPECT_EQ(window->GetHWND()->GetClientSize(), wxSize(876, 522));
}

TEST_F(MainWindowTest, SettingsButtonShowsAndHidesThePanel) {
  auto window = Open();
  Click(*window, L"btnSet");
  EXPECT_TRUE(Find(*window, L"VLSETTING")->IsVisible());
  window->GetPaintManager().UpdateLayout();
  EXPECT_EQ(Find(*window, L"VLSETTING")->GetPos().width, 264);
  EXPECT_EQ(Find(*window, L"edtExport")->GetPos(), wxRect(2 + 65, 2 + 52, 190, 20));
  uitest::PumpFor(200);
  uitest::Screenshot("settings_panel");
  Click(*window, L"btnSet");
  EXPECT_FALSE(Find(*window, L"VLSETTING")->IsVisible());
}

TEST_F(MainWindowTest, CloseButtonEndsTheLoopAndRemovesTheWorkingCopies) {
  auto window = Open();
  std::wstring copy = WorkingCopy();
  uitest::RunAfter(100, [&] { Click(*window, L"closebtn"); });
  framework::MessageLoop();
  uitest::PumpFor(50);
  EXPECT_FALSE(window->IsWindow());
  EXPECT_FALSE(testsupport::Exists(copy));
}

// Alt+F4 and the window manager's close reach the window as the system close command: the loop
// ends without the window being closed first, and the working copies go with the window.
TEST_F(MainWindowTest, SystemCloseEndsTheLoopAndTheWorkingCopiesGoWithTheWindow) {
  const std::pair<const char*, std::function<void(ui&)>> routes[] = {
      {"window manager", [](ui& window) { window.GetHWND()->Close(); }},
      {"Alt+F4", [](ui& window) { window.SysCommand(framework::kScClose); }},
  };
  for (const auto& [route, close] : routes) {
    auto window = Open();
    std::wstring copy = WorkingCopy();
    uitest::RunAfter(100, [&window, &close] { close(*window); });
    framework::MessageLoop();
    EXPECT_TRUE(window->IsWindow()) << route;
    window.reset();
    uitest::PumpFor(50);
    EXPECT_FALSE(testsupport::Exists(copy)) << route;
    EXPECT_FALSE(testsupport::Exists(util::WorkFolder())) << route;
  }
}

}  // namespace
}  // namespace ui
