#pragma once
// The about box and the feedback window: small modal windows over the main window, closed only
// by their own buttons. The objects belong to the code that opens them.

#include <string>

#include "framework/window_impl_base.h"

namespace framework {
class CWebBrowserUI;
}

namespace ui {

// The project's pages, opened by F1 and by the feedback window.
inline constexpr wchar_t kHelpPage[] = L"https://varnik.example.org/help";
inline constexpr wchar_t kFeedbackPage[] = L"https://varnik.example.org/feedback";

class UIABOUT : public framework::WindowImplBase {
 public:
  // Shows the box modally over the owner and returns when it is closed.
  static void Show(framework::WindowImplBase* owner);
  // What the box shows below its texts: the version varnik-cli --version prints too.
  static std::wstring VersionLine();
  void Notify(framework::TNotifyUI& msg) override;

 protected:
  std::wstring GetWindowClassName() const override { return L"CUIABOUT"; }
  std::wstring GetSkinFile() override { return L"UIAbout.xml"; }
  void OnFinalMessage() override {}
  bool OnKillFocus() override { return true; }
};

class UIFB : public framework::WindowImplBase {
 public:
  static void Show(framework::WindowImplBase* owner);
  void Notify(framework::TNotifyUI& msg) override;
  framework::CWebBrowserUI* Browser() const { return browser_; }

 protected:
  std::wstring GetWindowClassName() const override { return L"UIFB"; }
  std::wstring GetSkinFile() override { return L"UIFeedBack.xml"; }
  void OnFinalMessage() override {}
  bool OnKillFocus() override { return true; }

 private:
  framework::CWebBrowserUI* browser_ = nullptr;
};

// The modal window open now, if any (tests).
framework::WindowImplBase* ActiveAuxWindow();

}  // namespace ui
