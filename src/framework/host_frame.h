#pragma once
// The native side of a skinned window: a borderless frame with one canvas that the paint
// manager draws on. It turns native input into the framework's events, moves the window from
// the caption area and resizes it from the sizing border.

#include <wx/frame.h>
#include <wx/panel.h>

namespace framework {

class WindowImplBase;

class HostFrame : public wxFrame {
 public:
  HostFrame(WindowImplBase* owner, wxWindow* parent, const wxString& title, wxPoint pos,
            wxSize size, long style);
  wxPanel* Canvas() const { return canvas_; }
  // The window object is going away; native events are no longer passed on.
  void Detach() { owner_ = nullptr; }
  WindowImplBase* GetOwnerWindow() const { return owner_; }
  void AcceptFiles(bool accept);
  // Queues a call of the message queue's drain on this window's thread; any thread.
  void Wake();

 private:
  enum class Drag { None, Move, Resize, Controls };

  void OnPaint(wxPaintEvent& event);
  void OnMouse(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnKey(wxKeyEvent& event);
  void OnCharHook(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnActivate(wxActivateEvent& event);
  void OnSize(wxSizeEvent& event);
  int EdgeAt(wxPoint point) const;
  bool InCaption(wxPoint point) const;
  void Release();

  WindowImplBase* owner_;
  wxPanel* canvas_;
  Drag drag_ = Drag::None;
  int edges_ = 0;
  wxPoint dragStart_;
  wxRect startRect_;
};

}  // namespace framework
