#include "ui/main_window.h"

#include <chrono>
#include <thread>

#include <wx/utils.h>

#include "framework/application.h"
#include "framework/button.h"
#include "framework/container.h"
#include "framework/list.h"
#include "framework/menu_wnd.h"
#include "framework/tree.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "settings/ini.h"
#include "ui/aux_windows.h"
#include "ui/dialogs.h"
#include "ui/pages.h"
#include "util/folder_picker.h"
#include "util/work_folder.h"

namespace ui {

namespace {
constexpr int kClientWidth = 876;
constexpr int kClientHeight = 522;
// A row's delete button asks for its row to go once the click is over: the button is part of
// the row it removes.
constexpr std::uint32_t kUmRemoveRow = 0x0BE1;

constexpr wchar_t kSetting[] = L"SETTING";

// The hidden export-mode choices and the letters config.ini keeps for them. CM is empty while
// "Export Compression processing" is off, and names the chosen mode while it is on, so that a
// saved state restores to itself.
struct ModeChoice {
  const wchar_t* option;
  const wchar_t* letter;
};
constexpr ModeChoice kModeChoices[] = {{L"optsd", L"S"}, {L"optp", L"P"}, {L"optmd", L"M"}};
}  // namespace

ui::ui(batch::WordEngineFactory engines) : messages_(*this), view_(*this) {
  bench_ = std::make_unique<batch::Workbench>(view_, messages_, std::move(engines));
  view_.onChaptersRead = [this](int index) {
    if (index >= 0 && index < static_cast<int>(bench_->documents.size()))
      ShowChapters(index);
  };
  view_.onChapterChecked = [this](const std::wstring& key, bool marked) {
    bench_->MarkChapter(key, marked);
  };
}

ui::~ui() {
  // A worker still running may wait on this window's thread; it ends before its list goes.
  while (bench_->WorkerActive()) {
    framework::PumpPendingEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  bench_.reset();
  // However the window went (close button, system close, the window manager), the working
  // copies go with it.
  util::ClearWorkFolder();
}

std::unique_ptr<framework::CControlUI> ui::CreateControl(std::wstring_view name) {
  if (name == L"BaseUI")
    return std::make_unique<CBaseUI>(m_pm.GetArchive());
  if (name == L"ChapterUI")
    return std::make_unique<CChapterUI>(m_pm);
  if (name == L"AnyWhereUI")
    return std::make_unique<CAnyWhereUI>(m_pm.GetArchive());
  return nullptr;
}

void ui::InitWindow() {
  btnAdd_ = m_pm.FindControl(L"btnAdd");
  closebtn_ = m_pm.FindControl(L"closebtn");
  if (auto* edit = m_pm.FindControl(L"edtBaseManu"))
    edit->SetEnabled(false);
  if (auto* plans = m_pm.Find<framework::CListUI>(L"listPlanLeft")) {
    plans->SetItemLineColor(framework::ColorFromArgb(0xFFE5DED4));
  }
  LoadSettings();
  if (auto* panel = m_pm.FindControl(L"VLSETTING"))
    panel->SetAttribute(L"visible", L"false");
  if (auto* progress = m_pm.FindControl(L"prgarea"))
    progress->SetAttribute(L"visible", L"false");
  bench_->planMode = 0;
  LoadAlignment();
  ResizeClient(kClientWidth, kClientHeight);
}

bool ui::IsBusy() const {
  // A worker that has left the busy state may still be handing its last work to this thread;
  // starting another one before it ended would wait for it forever.
  return bench_->busyFlag != 0 || bench_->WorkerActive();
}

bool ui::IsSelected(std::wstring_view option) const {
  auto* control = m_pm.Find<framework::COptionUI>(option);
  return control != nullptr && control->IsSelected();
}

void ui::SelectOption(std::wstring_view option, bool selected) {
  if (auto* control = m_pm.Find<framework::COptionUI>(option))
    control->Selected(selected);
}

// ---- settings panel -------------------------------------------------------------------------

void ui::LoadSettings() {
  // Every key is read before anything is written back: a save raised by restoring one control
  // must not overwrite a key that is still to be restored.
  const std::wstring exportPath = settings::CIni::ReadExportPath();
  const std::wstring exportMode = settings::Strip(settings::CIni::ReadExportMode());
  const std::wstring compression = settings::Strip(settings::CIni::ReadCompressionMode());
  const bool autoOpen = settings::CIni::ReadAutoOpen();

  restoring_ = true;
  restoreChanged_ = false;
  if (auto* edit = m_pm.FindControl(L"edtExport"))
    edit->SetText(exportPath);
  SelectOption(exportMode == L"1" ? L"optExport" : L"optExport2", true);
  RestoreCompressionMode(compression);
  // Shown as stored, so the box tells what the end of a run will do.
  if (auto* option = m_pm.Find<framework::COptionUI>(L"optAuto"))
    option->Selected(autoOpen, false);
  restoring_ = false;
  if (restoreChanged_)
    SaveSettings();
}

void ui::RestoreCompressionMode(const std::wstring& mode) {
  const ModeChoice* chosen = nullptr;
  for (const ModeChoice& choice : kModeChoices) {
    if (mode == choice.letter)
      chosen = &choice;
  }
  if (chosen != nullptr)
    SelectOption(chosen->option, true);
  // optComp's change notification enables or disables the choices; set them anyway for the
  // case where it does not change.
  SelectOption(L"optComp", chosen != nullptr);
  for (const ModeChoice& choice : kModeChoices) {
    if (auto* option = m_pm.FindControl(choice.option))
      option->SetEnabled(chosen != nullptr);
  }
}

void ui::LoadAlignment() {
  const int alignment = settings::CIni::ReadAlignment();
  restoring_ = true;
  SelectOption(L"optParag", false);
  SelectOption(L"optSen", false);
  if ((alignment & 1) != 0)
    SelectOption(L"optSen", true);
  if ((alignment & 2) != 0)
    SelectOption(L"optParag", true);
  restoring_ = false;
}

void ui::SaveSettings() {
  auto* edit = m_pm.FindControl(L"edtExport");
  settings::CIni::WriteString(kSetting, L"EP", edit != nullptr ? edit->GetText() : L"");
  settings::CIni::WriteString(kSetting, L"EM", IsSelected(L"optExport") ? L"1" : L"2");
  if (!IsSelected(L"optComp")) {
    settings::CIni::WriteCompressionMode(L"");
  } else {
    for (const ModeChoice& choice : kModeChoices) {
      if (IsSelected(choice.option)) {
        settings::CIni::WriteCompressionMode(choice.letter);
        break;
      }
    }
  }
  settings::CIni::WriteString(kSetting, L"AUTO", IsSelected(L"optAuto") ? L"1" : L"0");
}

void ui::SaveAlignment() {
  int alignment = (IsSelected(L"optSen") ? 1 : 0) | (IsSelected(L"optParag") ? 2 : 0);
  settings::CIni::WriteAlignment(std::to_wstring(alignment));
}

void ui::ChooseExportFolder() {
  if (IsBusy())
    return;
  std::wstring folder;
  util::ChooseFolder(folder);
  if (folder.empty())
    return;
  // Exactly one separator at the end, also for a root such as "/" or "C:\".
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
    folder.pop_back();
  folder += platform::kPathSeparator;
  if (auto* edit = m_pm.FindControl(L"edtExport"))
    edit->SetText(folder);
  SaveSettings();
}

// ---- chapter page ---------------------------------------------------------------------------

void ui::ShowSelectedChapters() {
  if (int index = bench_->SelectedIndex(); index >= 0)
    ShowChapters(index);
}

void ui::ShowChapters(int index) {
  batch::Workbench& bench = *bench_;
  // While a worker runs the list is disabled by the busy state and stays so.
  const bool busy = IsBusy();
  if (!busy)
    view_.EnableFileList(false);
  bench.chapterDocIndex = index;
  if (index < 0 || index >= static_cast<int>(bench.documents.size())) {
    view_.FillChapterView(nullptr, nullptr);
  } else {
    batch::DocumentEntry& entry = bench.documents[static_cast<std::size_t>(index)];
    if (!entry.chaptersLoaded) {
      // One worker at a time: the read is left for the next visit while another one runs.
      if (!busy && bench.StartChapterReading(index))
        return;
      view_.ClearChapterView();
    } else {
      // Also after a run on the Base tab: the tree must show this document, or its check
      // boxes would mark chapters of another one.
      view_.FillChapterView(&entry.plan.chapterPlan, &entry.plan.chapters);
    }
  }
  if (!busy)
    view_.EnableFileList(true);
}

// ---- events ---------------------------------------------------------------------------------

void ui::Notify(framework::TNotifyUI& msg) {
  framework::CControlUI* sender = msg.pSender;
  if (sender != nullptr) {
    if (msg.sType == framework::kNotifyItemRClick) {
      OpenListMenu(view_.RowOf(sender));
    } else if (msg.sType == framework::kNotifyItemDbClick) {
      if (batch::RowId row = view_.RowOf(sender); row != 0)
        bench_->RevealInExplorer(row);
    } else if (msg.sType == framework::kNotifyItemSelect) {
      auto* tabs = m_pm.Find<framework::CTabLayoutUI>(L"switch");
      if (sender->GetName() == L"ListFile" && tabs != nullptr && tabs->GetCurSel() == 1)
        ShowSelectedChapters();
    } else if (msg.sType == framework::kNotifySelectChanged) {
      if (auto* option = dynamic_cast<framework::COptionUI*>(sender))
        OnOptionChanged(option);
    }
  }
  WindowImplBase::Notify(msg);
}

void ui::OnOptionChanged(framework::COptionUI* option) {
  const std::wstring& name = option->GetName();
  const bool selected = option->IsSelected();
  // A group raises the change for the option that lost the selection too; the tab and page
  // options act on the one that gained it.
  if (name == L"optBase") {
    if (selected) {
      if (auto* tabs = m_pm.Find<framework::CTabLayoutUI>(L"switch"))
        tabs->SelectItem(0);
      if (auto* all = m_pm.FindControl(L"btnProcessAll"))
        all->SetEnabled(true);
      bench_->planMode = 0;
    }
  } else if (name == L"optChapter") {
    if (selected) {
      if (auto* tabs = m_pm.Find<framework::CTabLayoutUI>(L"switch"))
        tabs->SelectItem(1);
      ShowSelectedChapters();
      if (auto* all = m_pm.FindControl(L"btnProcessAll"))
        all->SetEnabled(false);
      bench_->planMode = 1;
    }
  } else if (name == L"optAnyWhere") {
  } else if (name == L"optEvery" || name == L"optManu") {
    if (selected) {
      const bool every = name == L"optEvery";
      if (auto* edit = m_pm.FindControl(L"edtEvery"))
        edit->SetEnabled(every);
      if (auto* edit = m_pm.FindControl(L"edtBaseManu"))
        edit->SetEnabled(!every);
    }
  } else if (name == L"optSen" || name == L"optParag") {
    if (!restoring_)
      SaveAlignment();
  } else if (name == L"optAuto") {
    if (!restoring_)
      settings::CIni::WriteString(kSetting, L"AUTO", selected ? L"1" : L"0");
  } else {
    // A chapter node's folder button only opens and closes the node.
    if (auto* node = dynamic_cast<framework::CTreeNodeUI*>(option->GetParent());
        node != nullptr && node->GetFolderButton() == option) {
      return;
    }
    if (restoring_) {
      restoreChanged_ = true;
    } else {
      SaveSettings();
    }
    if (name == L"optComp") {
      for (const ModeChoice& choice : kModeChoices) {
        if (auto* mode = m_pm.FindControl(choice.option))
          mode->SetEnabled(selected);
      }
    }
  }
}

void ui::OpenListMenu(batch::RowId row) {
  // The document rows are disabled while a worker runs; the tree and the plan list are not,
  // and the menu's commands read what the worker writes.
  if (IsBusy())
    return;
  if (row == 0)
    row = view_.SelectedRow().value_or(0);
  auto* menu = framework::CMenuWnd::Open(this, L"listmenu.xml", wxGetMousePosition());
  if (menu == nullptr)
    return;
  menuRow_ = row;
  const int index = bench_->IndexOfRow(row);
  if (index >= 0 &&
      bench_->documents[static_cast<std::size_t>(index)].status != batch::DocumentStatus::Done) {
    if (auto* entry = menu->GetPaintManager().FindControl(L"menutar"))
      entry->SetEnabled(false);
  }
}

void ui::AddFilesFromDialog() {
  if (auto paths = ChooseFiles())
    bench_->AddFiles(*paths);
  if (auto* list = m_pm.FindControl(L"ListFile"))
    list->Invalidate();
}

void ui::OnClick(framework::TNotifyUI& msg) {
  framework::CControlUI* sender = msg.pSender;
  if (sender == nullptr) {
    WindowImplBase::OnClick(msg);
    return;
  }
  const std::wstring& name = sender->GetName();
  // Refused clicks do nothing at all, not even the default handling.
  const bool busy = IsBusy();
  if (sender == closebtn_) {
    if (busy)
      return;
    framework::PostQuitMessage(0);
  } else if (sender == btnAdd_) {
    if (busy)
      return;
    AddFilesFromDialog();
  } else if (name == L"btnDel") {
    if (busy)
      return;
    framework::CControlUI* cell = sender->GetParent();
    framework::CControlUI* row = cell != nullptr ? cell->GetParent() : nullptr;
    if (batch::RowId id = view_.RowOf(row); id != 0)
      Post(kUmRemoveRow, static_cast<std::intptr_t>(id));
  } else if (name == L"btnSet") {
    if (auto* panel = m_pm.FindControl(L"VLSETTING"))
      panel->SetAttribute(L"visible", panel->IsVisible() ? L"false" : L"true");
  } else if (name == L"btnProcess" || name == L"btnProcessAll") {
    if (busy)
      return;
    bench_->processAllFlag = name == L"btnProcessAll" ? 1 : 0;
    bench_->StartProcessing();
  } else if (name == L"btnExport") {
    if (busy)
      return;
    ChooseExportFolder();
  } else if (name == L"btnAbout") {
    wxWindow* canvas = m_pm.GetPaintWindow();
    const wxRect& pos = sender->GetPos();
    wxPoint corner(pos.GetLeft() - 5, pos.GetBottom() + 1);
    if (canvas != nullptr)
      corner = canvas->ClientToScreen(corner);
    framework::CMenuWnd::Open(this, L"menu.xml", corner);
  }
  WindowImplBase::OnClick(msg);
}

std::intptr_t ui::HandleMessage(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam,
                                bool& handled) {
  switch (message) {
    case framework::kWmCreate:
      // What an earlier run left behind goes before this run makes working copies.
      util::ClearWorkFolder();
      break;
    case framework::kWmDestroy:
      // While a worker runs it still reads its working copies; they go once it has ended
      // (the destructor).
      if (!IsBusy())
        util::ClearWorkFolder();
      framework::PostQuitMessage(0);
      break;
    case framework::kWmHelp:
      platform::ShowThroughShell(platform::ShellAction::Open, kHelpPage);
      handled = true;
      return 0;
    case framework::kWmDropFiles:
      if (IsBusy()) {
        handled = true;  // swallowed
        return 0;
      }
      bench_->AcceptDrop(*reinterpret_cast<const std::vector<std::wstring>*>(wParam));
      break;
    case util::UM_ABOUT:
      UIABOUT::Show(this);
      handled = true;
      return 0;
    case util::UM_FEEDBACK:
      UIFB::Show(this);
      handled = true;
      return 0;
    case util::UM_VIEW_SOURCE:
      bench_->ViewSource(menuRow_);
      handled = true;
      return 0;
    case util::UM_VIEW_RESULT:
      bench_->ViewResult(menuRow_);
      handled = true;
      return 0;
    case util::UM_DELETE_SELECTED:
      if (!IsBusy())
        bench_->RemoveSelected();
      handled = true;
      return 0;
    case kUmRemoveRow:
      if (!IsBusy())
        bench_->RemoveEntry(static_cast<batch::RowId>(wParam));
      handled = true;
      return 0;
    case util::UM_BUSY_ON:
    case util::UM_BUSY_OFF:
    case util::UM_PROGRESS:
      bench_->HandleMessage(message, wParam, lParam);
      handled = true;
      return 0;
    case kUmInvoke:
      (*reinterpret_cast<std::function<void()>*>(wParam))();
      handled = true;
      return 0;
    default:
      break;
  }
  return WindowImplBase::HandleMessage(message, wParam, lParam, handled);
}

void ui::OnSysCommand(std::uint32_t command, bool& handled) {
  if (command == framework::kScClose) {
    // Refused while a worker runs; otherwise the loop ends and the shutdown follows, the
    // window is not closed first.
    if (!IsBusy())
      framework::PostQuitMessage(0);
    handled = true;
    return;
  }
  bool wasZoomed = IsZoomed();
  WindowImplBase::OnSysCommand(command, handled);
  if (IsZoomed() != wasZoomed)
    SwapZoomButtons();
}

void ui::SwapZoomButtons() {
  bool zoomed = IsZoomed();
  if (auto* max = m_pm.FindControl(L"maxbtn"))
    max->SetVisible(!zoomed);
  if (auto* restore = m_pm.FindControl(L"restorebtn"))
    restore->SetVisible(zoomed);
}

}  // namespace ui
