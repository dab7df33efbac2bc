#pragma once
// The pop-up menu: a window built from a menu layout whose entries are list rows. Pressing an
// enabled entry posts the entry's tag as a message to the owner window and closes the menu;
// Escape or losing the focus closes it too; a right click does nothing. The menu deletes
// itself when closed.

#include "framework/window_impl_base.h"

namespace framework {

class CMenuWnd : public WindowImplBase {
 public:
  // Opens the menu with its top-left corner at the screen point.
  static CMenuWnd* Open(WindowImplBase* owner, std::wstring layout, wxPoint point);
  void Notify(TNotifyUI& msg) override;

 protected:
  std::wstring GetWindowClassName() const override { return L"MenuWnd"; }
  std::wstring GetSkinFile() override { return layout_; }
  void OnFinalMessage() override { delete this; }
  bool OnKillFocus() override;
  bool OnKeyDown(int keyCode) override;
  // The right button chooses nothing (it would select an entry and close the menu unchosen).
  bool OnRightButtonDown() override { return true; }

 private:
  CMenuWnd() = default;
  std::wstring layout_;
};

}  // namespace framework
