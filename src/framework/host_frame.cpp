#include "framework/host_frame.h"

#include <wx/dcbuffer.h>
#include <wx/dnd.h>

#ifdef __WXMSW__
#include <windows.h>
#endif

#include "framework/window_impl_base.h"

namespace framework {

namespace {

enum Edge { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8 };

bool DeliverDrop(WindowImplBase* owner, const wxArrayString& names) {
  if (owner == nullptr)
    return false;
  std::vector<std::wstring> paths;
  for (const wxString& name : names)
    paths.push_back(name.ToStdWstring());
  owner->Send(kWmDropFiles, reinterpret_cast<std::intptr_t>(&paths),
              static_cast<std::intptr_t>(paths.size()));
  return true;
}

#ifdef __WXMSW__
// The program runs elevated and Explorer does not: the system drops messages from a less
// privileged process unless they are let in. OLE drag and drop cannot cross that line at all,
// so drops arrive as the shell's dropped-files message (0x0049 carries its data).
void LetDropsFromUnelevatedProcesses() {
  for (UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, UINT{0x0049}})
    ::ChangeWindowMessageFilter(message, MSGFLT_ADD);
}
#else
class DropTarget : public wxFileDropTarget {
 public:
  explicit DropTarget(WindowImplBase** owner) : owner_(owner) {}
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
    return DeliverDrop(*owner_, names);
  }

 private:
  WindowImplBase** owner_;
};
#endif

wxCursor CursorFor(int edges) {
  if (edges == (kLeft | kTop) || edges == (kRight | kBottom))
    return wxCursor(wxCURSOR_SIZENWSE);
  if (edges == (kRight | kTop) || edges == (kLeft | kBottom))
    return wxCursor(wxCURSOR_SIZENESW);
  if (edges & (kLeft | kRight))
    return wxCursor(wxCURSOR_SIZEWE);
  if (edges & (kTop | kBottom))
    return wxCursor(wxCURSOR_SIZENS);
  return wxNullCursor;
}

}  // namespace

HostFrame::HostFrame(WindowImplBase* owner, wxWindow* parent, const wxString& title, wxPoint pos,
                     wxSize size, long style)
    : wxFrame(parent, wxID_ANY, title, pos, size, style), owner_(owner) {
  canvas_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, GetClientSize(),
                        wxWANTS_CHARS | wxBORDER_NONE);
  canvas_->SetBackgroundStyle(wxBG_STYLE_PAINT);
  canvas_->Bind(wxEVT_PAINT, &HostFrame::OnPaint, this);
  for (auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_RIGHT_DOWN,
                    wxEVT_MOTION, wxEVT_LEAVE_WINDOW, wxEVT_MOUSEWHEEL}) {
    canvas_->Bind(type, &HostFrame::OnMouse, this);
  }
  canvas_->Bind(wxEVT_MOUSE_CAPTURE_LOST, &HostFrame::OnCaptureLost, this);
  canvas_->Bind(wxEVT_KEY_DOWN, &HostFrame::OnKey, this);
  // Seen before the focused native control (an edit box) takes the key.
  Bind(wxEVT_CHAR_HOOK, &HostFrame::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, &HostFrame::OnClose, this);
  Bind(wxEVT_ACTIVATE, &HostFrame::OnActivate, this);
  Bind(wxEVT_SIZE, &HostFrame::OnSize, this);
  canvas_->Bind(wxEVT_DROP_FILES, [this](wxDropFilesEvent& event) {
    wxArrayString names;
    for (int i = 0; i < event.GetNumberOfFiles(); ++i)
      names.Add(event.GetFiles()[i]);
    DeliverDrop(owner_, names);
  });
  Bind(wxEVT_THREAD, [this](wxThreadEvent&) {
    if (owner_ != nullptr && owner_->queue_)
      owner_->queue_->Drain();
  });
}

void HostFrame::AcceptFiles(bool accept) {
#ifdef __WXMSW__
  if (accept)
    LetDropsFromUnelevatedProcesses();
  canvas_->DragAcceptFiles(accept);
#else
  canvas_->SetDropTarget(accept ? new DropTarget(&owner_) : nullptr);
#endif
}

void HostFrame::Wake() {
  wxQueueEvent(this, new wxThreadEvent(wxEVT_THREAD));
}

void HostFrame::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(canvas_);
  if (owner_ == nullptr)
    return;
  wxRect clip = canvas_->GetUpdateRegion().GetBox();
  if (clip.IsEmpty())
    clip = wxRect(canvas_->GetClientSize());
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  owner_->m_pm.Paint(dc, wxRect(canvas_->GetClientSize()));
}

void HostFrame::OnSize(wxSizeEvent& event) {
  canvas_->SetSize(GetClientSize());
  if (owner_ != nullptr)
    owner_->m_pm.NeedUpdate();
  event.Skip();
}

int HostFrame::EdgeAt(wxPoint point) const {
  if (owner_ == nullptr || owner_->zoomed_ || !owner_->style_.resizable)
    return 0;
  const Edges& box = owner_->info_.sizeBox;
  wxSize size = canvas_->GetClientSize();
  int edges = 0;
  if (point.x < box.left)
    edges |= kLeft;
  if (point.x >= size.x - box.right)
    edges |= kRight;
  if (point.y < box.top)
    edges |= kTop;
  if (point.y >= size.y - box.bottom)
    edges |= kBottom;
  return edges;
}

bool HostFrame::InCaption(wxPoint point) const {
  if (owner_ == nullptr)
    return false;
  const Edges& caption = owner_->info_.caption;
  wxSize size = canvas_->GetClientSize();
  // caption="left,top,right,bottom": margins from the left, top and right; bottom is the height.
  wxRect area(caption.left, caption.top, size.x - caption.left - caption.right, caption.bottom);
  if (!area.Contains(point))
    return false;
  CControlUI* root = owner_->m_pm.GetRoot();
  CControlUI* hit = root != nullptr ? root->FindControlAt(point) : nullptr;
  return hit == nullptr || hit->IsCaptionTransparent();
}

void HostFrame::Release() {
  if (canvas_->HasCapture())
    canvas_->ReleaseMouse();
  drag_ = Drag::None;
}

void HostFrame::OnCaptureLost(wxMouseCaptureLostEvent&) {
  drag_ = Drag::None;
}

void HostFrame::OnMouse(wxMouseEvent& event) {
  if (owner_ == nullptr)
    return;
  WindowImplBase* owner = owner_;
  wxPoint point = event.GetPosition();
  wxEventType type = event.GetEventType();
  CPaintManagerUI& pm = owner->m_pm;

  if (type == wxEVT_MOTION) {
    if (drag_ == Drag::Move || drag_ == Drag::Resize) {
      wxPoint now = wxGetMousePosition();
      wxPoint delta = now - dragStart_;
      wxRect r = startRect_;
      if (drag_ == Drag::Move) {
        r.Offset(delta);
      } else {
        wxSize min = owner->info_.minSize;
        if (edges_ & kLeft) {
          r.x += delta.x;
          r.width -= delta.x;
        }
        if (edges_ & kRight)
          r.width += delta.x;
        if (edges_ & kTop) {
          r.y += delta.y;
          r.height -= delta.y;
        }
        if (edges_ & kBottom)
          r.height += delta.y;
        if (r.width < std::max(min.x, 100))
          return;
        if (r.height < std::max(min.y, 60))
          return;
      }
      SetSize(r);
      return;
    }
    int edges = EdgeAt(point);
    canvas_->SetCursor(edges != 0 ? CursorFor(edges) : wxNullCursor);
    pm.HandleMouse({UIEventType::MouseMove, point});
    return;
  }
  if (type == wxEVT_LEAVE_WINDOW) {
    if (drag_ == Drag::None)
      pm.HandleMouse({UIEventType::MouseLeave, point});
    return;
  }
  if (type == wxEVT_LEFT_DOWN) {
    canvas_->SetFocus();
    int edges = EdgeAt(point);
    if (edges != 0 || InCaption(point)) {
      drag_ = edges != 0 ? Drag::Resize : Drag::Move;
      edges_ = edges;
      dragStart_ = wxGetMousePosition();
      startRect_ = GetRect();
      if (!canvas_->HasCapture())
        canvas_->CaptureMouse();
      return;
    }
    drag_ = Drag::Controls;
    if (!canvas_->HasCapture())
      canvas_->CaptureMouse();
    pm.HandleMouse({UIEventType::ButtonDown, point});
    return;
  }
  if (type == wxEVT_LEFT_UP) {
    Drag was = drag_;
    Release();
    if (was == Drag::Controls)
      pm.HandleMouse({UIEventType::ButtonUp, point});
    return;
  }
  if (type == wxEVT_LEFT_DCLICK) {
    if (InCaption(point)) {
      owner->SysCommand(owner->IsZoomed() ? kScRestore : kScMaximize);
      return;
    }
    pm.HandleMouse({UIEventType::DblClick, point});
    return;
  }
  if (type == wxEVT_RIGHT_DOWN) {
    if (owner->OnRightButtonDown())
      return;
    pm.HandleMouse({UIEventType::RButtonDown, point});
    return;
  }
  if (type == wxEVT_MOUSEWHEEL) {
    UIEvent wheel{UIEventType::Wheel, point};
    wheel.wheelDelta = event.GetWheelRotation();
    pm.HandleMouse(wheel);
  }
}

void HostFrame::OnKey(wxKeyEvent& event) {
  if (owner_ == nullptr)
    return;
  if (event.GetKeyCode() == WXK_F1) {
    bool handled = false;
    owner_->HandleMessage(kWmHelp, 0, 0, handled);
    return;
  }
  if (!owner_->OnKeyDown(event.GetKeyCode()))
    event.Skip();
}

void HostFrame::OnCharHook(wxKeyEvent& event) {
  if (owner_ != nullptr && event.GetKeyCode() == WXK_F1) {
    bool handled = false;
    owner_->HandleMessage(kWmHelp, 0, 0, handled);
    return;
  }
  event.Skip();
}

void HostFrame::OnClose(wxCloseEvent& event) {
  // The window manager's close (Alt+F4, task bar) is a system command the window may refuse.
  if (owner_ == nullptr) {
    event.Skip();
    return;
  }
  if (!event.CanVeto()) {
    owner_->Teardown(true);
    return;
  }
  event.Veto();
  owner_->SysCommand(kScClose);
}

void HostFrame::OnActivate(wxActivateEvent& event) {
  if (owner_ != nullptr && !event.GetActive())
    owner_->OnKillFocus();
  event.Skip();
}

}  // namespace framework
