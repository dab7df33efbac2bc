#include "framework/web_browser.h"

#include <wx/webview.h>

#include "framework/paint_manager.h"

namespace framework {

CWebBrowserUI::~CWebBrowserUI() {
  if (native_ != nullptr)
    native_->Destroy();
}

void CWebBrowserUI::Navigate(const std::wstring& url) {
  homePage_ = url;
  if (native_ != nullptr)
    native_->LoadURL(wxString(url));
}

void CWebBrowserUI::EnableContextMenu(bool enable) {
  contextMenu_ = enable;
  if (native_ != nullptr)
    native_->EnableContextMenu(enable);
}

void CWebBrowserUI::EnableScrollBars(bool enable) {
  scrollBars_ = enable;
  HideScrollBars();
}

void CWebBrowserUI::HideScrollBars() {
  // The web view has no switch of its own for this; every loaded page is told instead.
  if (native_ != nullptr && !scrollBars_)
    native_->RunScriptAsync("document.documentElement.style.overflow='hidden';");
}

bool CWebBrowserUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"homepage") {
    homePage_ = std::wstring(value);
  } else if (name == L"autonavi") {
    autoNavigate_ = ParseBool(value);
  } else if (name == L"clsid") {
    // The browser is the platform's own; the identifier is accepted for old layouts.
  } else {
    return CControlUI::SetAttribute(name, value);
  }
  return true;
}

void CWebBrowserUI::SyncNative() {
  bool shown = IsShown() && pos_.width > 0 && pos_.height > 0;
  // Created on first show: a web view is heavy and hidden windows never need one.
  if (native_ == nullptr && shown && manager_ != nullptr && manager_->GetPaintWindow() != nullptr) {
    native_ = wxWebView::New(manager_->GetPaintWindow(), wxID_ANY,
                             autoNavigate_ ? wxString(homePage_) : wxString(wxWebViewDefaultURLStr),
                             pos_.GetPosition(), pos_.GetSize());
    if (native_ != nullptr) {
      native_->EnableContextMenu(contextMenu_);
      native_->Bind(wxEVT_WEBVIEW_LOADED, [this](wxWebViewEvent& event) {
        // The engine's own error page arrives after the error; ours replaces it.
        if (showErrorPage_) {
          showErrorPage_ = false;
          native_->SetPage(wxString(errorPage_), wxString());
        }
        HideScrollBars();
        event.Skip();
      });
      native_->Bind(wxEVT_WEBVIEW_ERROR, [this](wxWebViewEvent& event) {
        if (!errorPage_.empty()) {
          showErrorPage_ = true;
          native_->CallAfter([this] {
            if (showErrorPage_) {
              showErrorPage_ = false;
              native_->SetPage(wxString(errorPage_), wxString());
            }
          });
        }
        event.Skip();
      });
    }
  }
  if (native_ == nullptr)
    return;
  if (shown)
    native_->SetSize(pos_);
  if (native_->IsShown() != shown)
    native_->Show(shown);
}

}  // namespace framework
