#pragma once
// The embedded web browser: a native web view laid over the control. It opens its home page
// by itself once it is created.

#include "framework/control.h"

class wxWebView;

namespace framework {

class CWebBrowserUI : public CControlUI {
 public:
  ~CWebBrowserUI() override;
  std::wstring_view GetClass() const override { return L"WebBrowser"; }
  void Navigate(const std::wstring& url);
  const std::wstring& GetHomePage() const { return homePage_; }
  wxWebView* GetNative() const { return native_; }
  // The browser's own context menu is off unless enabled.
  void EnableContextMenu(bool enable);
  // Pages are shown without scroll bars unless enabled.
  void EnableScrollBars(bool enable);
  bool HasScrollBars() const { return scrollBars_; }
  bool HasContextMenu() const { return contextMenu_; }
  // Shown in place of a page that cannot be loaded (no network, unknown host).
  void SetErrorPage(std::wstring html) { errorPage_ = std::move(html); }
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  void SyncNative() override;

 private:
  void HideScrollBars();

 public:
  bool IsCaptionTransparent() const override { return false; }

 private:
  wxWebView* native_ = nullptr;
  std::wstring homePage_;
  bool autoNavigate_ = false;
  bool contextMenu_ = false;
  bool scrollBars_ = true;
  std::wstring errorPage_;
  bool showErrorPage_ = false;
};

}  // namespace framework
