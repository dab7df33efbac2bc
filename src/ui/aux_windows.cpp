#include "ui/aux_windows.h"

#include "framework/web_browser.h"
#include "platform/text.h"
#include "version/version.h"

namespace ui {

namespace {
framework::WindowImplBase* active = nullptr;

// What the feedback window shows when the feedback page cannot be reached.
constexpr wchar_t kFeedbackOffline[] =
    L"<html><body style=\"font-family:sans-serif;color:#2c2c2c;margin:24px\">"
    L"<h3 style=\"color:#2b569a\">Feedback</h3>"
    L"<p>The feedback page cannot be reached just now.</p>"
    L"<p>Please write to <b>varnik-support@example.org</b> with what you did, what you "
    L"expected and what happened.</p>"
    L"<p>Thank you for helping to make Varnik better.</p></body></html>";

template <typename Window>
void OpenModal(framework::WindowImplBase* owner, const wchar_t* title) {
  Window window;
  if (owner != nullptr && !owner->IsWindow())
    owner = nullptr;
  window.Create(owner, title, wxDefaultPosition, wxDefaultSize,
                framework::WindowStyle{false, false});
  window.CenterWindow();
  framework::WindowImplBase* outer = active;
  active = &window;
  window.ShowModal();
  active = outer;
}
}  // namespace

framework::WindowImplBase* ActiveAuxWindow() {
  return active;
}

void UIABOUT::Show(framework::WindowImplBase* owner) {
  OpenModal<UIABOUT>(owner, L"ABOUT");
}

std::wstring UIABOUT::VersionLine() {
  return L"Version " + platform::FromUtf8(version::Text());
}

void UIABOUT::Notify(framework::TNotifyUI& msg) {
  if (msg.sType == framework::kNotifyWindowInit) {
    if (auto* label = m_pm.FindControl(L"lbVersion"))
      label->SetText(VersionLine());
  } else if (msg.sType == framework::kNotifyClick && msg.pSender != nullptr &&
             msg.pSender->GetName() == L"btnOK") {
    Close();
  }
}

void UIFB::Show(framework::WindowImplBase* owner) {
  OpenModal<UIFB>(owner, L"FB");
}

void UIFB::Notify(framework::TNotifyUI& msg) {
  if (msg.sType == framework::kNotifyWindowInit) {
    browser_ = m_pm.Find<framework::CWebBrowserUI>(L"oneclick_browser");
    if (browser_ != nullptr) {
      browser_->EnableContextMenu(false);
      browser_->EnableScrollBars(false);
      browser_->SetErrorPage(kFeedbackOffline);
      browser_->Navigate(kFeedbackPage);
      browser_->SetAttribute(L"mouse", L"true");
    }
  } else if (msg.sType == framework::kNotifyClick && msg.pSender != nullptr &&
             msg.pSender->GetName() == L"closebtn") {
    Close();
  }
}

}  // namespace ui
