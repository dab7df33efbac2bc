#pragma once
// The TIPS box: the program's only way of showing a message. Modal, centred over its owner or
// the screen, the message word-wrapped and centred; only "OK" closes it.

#include <string>
#include <string_view>

#include "framework/window_impl_base.h"

namespace ui {

class UIMsg : public framework::WindowImplBase {
 public:
  explicit UIMsg(std::wstring text) : text_(std::move(text)) {}
  ~UIMsg() override;

  // Shows the box on the windows' thread and returns when it is closed.
  static void ShowMessageBox(std::wstring_view text, framework::WindowImplBase* owner);
  // The box on screen, if any (tests).
  static UIMsg* Active();

  void Notify(framework::TNotifyUI& msg) override;

 protected:
  std::wstring GetWindowClassName() const override { return L"UIMSG"; }
  std::wstring GetSkinFile() override { return L"UIMsg.xml"; }
  // The object belongs to the code that opened it.
  void OnFinalMessage() override {}
  bool OnKillFocus() override { return true; }

 private:
  std::wstring text_;
};

// Makes util::ShowMessageBox show the TIPS box: directly on the windows' thread, and from any
// other thread by handing the box to the windows' thread and waiting until it is closed. The
// owner given to util::ShowMessageBox is a framework::WindowImplBase* or nullptr.
void InstallMessagePresenter();

}  // namespace ui
