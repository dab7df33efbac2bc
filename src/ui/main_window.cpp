#include "ui/main_window.h"

#include "framework/application.h"
#include "framework/button.h"
#include "framework/list.h"
#include "ui/pages.h"
#include "util/work_folder.h"

namespace ui {

namespace {
constexpr int kClientWidth = 876;
constexpr int kClientHeight = 522;
}  // namespace

ui::ui() : messages_(*this) {}

ui::~ui() = default;

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
  // The settings are restored into the panel here once the settings layer is wired in.
  if (auto* panel = m_pm.FindControl(L"VLSETTING"))
    panel->SetAttribute(L"visible", L"false");
  if (auto* progress = m_pm.FindControl(L"prgarea"))
    progress->SetAttribute(L"visible", L"false");
  planMode_ = 0;
  ResizeClient(kClientWidth, kClientHeight);
}

void ui::Notify(framework::TNotifyUI& msg) {
  WindowImplBase::Notify(msg);
}

void ui::OnClick(framework::TNotifyUI& msg) {
  if (msg.pSender == closebtn_) {
    framework::PostQuitMessage(0);
  } else if (msg.pSender != nullptr && msg.pSender->GetName() == L"btnSet") {
    if (auto* panel = m_pm.FindControl(L"VLSETTING")) {
      panel->SetAttribute(L"visible", panel->IsVisible() ? L"false" : L"true");
    }
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
      util::ClearWorkFolder();
      framework::PostQuitMessage(0);
      break;
    default:
      break;
  }
  return WindowImplBase::HandleMessage(message, wParam, lParam, handled);
}

void ui::OnSysCommand(std::uint32_t command, bool& handled) {
  if (command == framework::kScClose) {
    // The loop ends and the shutdown follows; the window is not closed first.
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
