#include "framework/menu_wnd.h"

#include <wx/frame.h>

#include "framework/list.h"

namespace framework {

CMenuWnd* CMenuWnd::Open(WindowImplBase* owner, std::wstring layout, wxPoint point) {
  auto* menu = new CMenuWnd();
  menu->layout_ = std::move(layout);
  menu->Create(owner, L"", point, wxDefaultSize, WindowStyle{true, false});
  if (CControlUI* root = menu->m_pm.GetRoot()) {
    wxSize size = root->EstimateSize(wxSize(4096, 4096));
    if (size.x > 0 && size.y > 0)
      menu->ResizeClient(size.x, size.y);
  }
  // The corner stays at the point even when the menu then reaches past the screen's edge.
  menu->GetHWND()->SetPosition(point);
  menu->ShowWindow(true);
  return menu;
}

void CMenuWnd::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyItemClick && msg.pSender != nullptr) {
    if (GetOwner() != nullptr && msg.pSender->GetTag() != 0) {
      GetOwner()->Post(static_cast<std::uint32_t>(msg.pSender->GetTag()), 0, 0);
    }
  } else if (msg.sType == kNotifyItemSelect) {
    Close();
  }
}

bool CMenuWnd::OnKillFocus() {
  Close();
  return true;
}

bool CMenuWnd::OnKeyDown(int keyCode) {
  if (keyCode == WXK_ESCAPE) {
    Close();
    return true;
  }
  return false;
}

}  // namespace framework
