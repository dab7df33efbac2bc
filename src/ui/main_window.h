#pragma once
// The main window object `ui`: builds skin.xml with its three tab pages and wires the window's
// events. It stays a thin wiring class; what the controls do lives in the logic it calls.
//
// Wiring points: controls by name through GetPaintManager().FindControl / Find<T> (rows:
// FindSubControlByName(row, name)); notifications in Notify (every one) and OnClick ("click");
// window and private messages in HandleMessage; system commands in OnSysCommand. Workers reach
// the window through Messages() (util::MessageTarget): Send waits for the window's thread,
// Post does not.

#include <memory>

#include "framework/window_impl_base.h"
#include "ui/message_target.h"

namespace framework {
class CButtonUI;
}

namespace ui {

class ui : public framework::WindowImplBase {
 public:
  ui();
  ~ui() override;

  // Send/Post of the private messages, for logic below the window.
  util::MessageTarget& Messages() { return messages_; }

  std::unique_ptr<framework::CControlUI> CreateControl(std::wstring_view name) override;
  void Notify(framework::TNotifyUI& msg) override;

 protected:
  std::wstring GetWindowClassName() const override { return L"WORDUI"; }
  std::wstring GetSkinFile() override { return L"skin.xml"; }
  void InitWindow() override;
  void OnClick(framework::TNotifyUI& msg) override;
  std::intptr_t HandleMessage(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam,
                              bool& handled) override;
  void OnSysCommand(std::uint32_t command, bool& handled) override;

 private:
  // Shows the restore button while maximised and the maximise button otherwise.
  void SwapZoomButtons();

  WindowMessageTarget messages_;
  framework::CControlUI* btnAdd_ = nullptr;
  framework::CControlUI* closebtn_ = nullptr;
  int planMode_ = 0;
};

}  // namespace ui
