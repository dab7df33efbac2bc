#pragma once
// The paint manager of one window: owns the control tree, its fonts, pictures and defaults,
// finds controls by name, lays them out, paints them, routes the mouse and delivers
// notifications.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <wx/font.h>
#include <wx/window.h>

#include "framework/control.h"
#include "framework/image.h"
#include "framework/notify.h"
#include "framework/text_render.h"

namespace framework {

class COptionUI;
class ResourceArchive;

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // The window the controls are drawn on (the window's canvas).
  void Init(wxWindow* canvas, const ResourceArchive* archive);
  wxWindow* GetPaintWindow() const { return canvas_; }
  const ResourceArchive* GetArchive() const { return archive_; }
  ImageCache& Images() { return *images_; }

  void AttachDialog(std::unique_ptr<CControlUI> root);
  CControlUI* GetRoot() const { return root_.get(); }

  // Controls by name, regardless of letter case.
  CControlUI* FindControl(std::wstring_view name) const;
  CControlUI* FindSubControlByName(CControlUI* parent, std::wstring_view name) const;
  template <typename T>
  T* Find(std::wstring_view name) const {
    return dynamic_cast<T*>(FindControl(name));
  }

  // Fonts by index; size in pixels.
  void AddFont(int index, std::wstring_view face, int size, bool bold, bool italic, bool underline);
  wxFont GetFont(int index) const;
  bool HasFont(int index) const { return fonts_.count(index) != 0; }
  void SetDefaultFontIndex(int index) { defaultFont_ = index; }
  // Copies fonts and defaults from another manager (pages built with the main window's).
  void ShareResourcesWith(const CPaintManagerUI& other);

  // Default attribute lists by control class ("VScrollBar", ...).
  void AddDefaultAttributeList(std::wstring name, std::wstring list) {
    defaults_[std::move(name)] = std::move(list);
  }
  const std::wstring* GetDefaultAttributeList(std::wstring_view name) const;

  void AddNotifier(INotifyUI* notifier);
  void RemoveNotifier(INotifyUI* notifier);
  void SendNotify(CControlUI* sender, const std::wstring& type, std::intptr_t wParam = 0,
                  std::intptr_t lParam = 0);

  // Radio groups: selecting an option deselects the others of its group in this window.
  void AddOptionGroup(const std::wstring& group, COptionUI* option);
  void RemoveOptionGroup(const std::wstring& group, COptionUI* option);
  const std::vector<COptionUI*>& GetOptionGroup(const std::wstring& group);

  void Invalidate();
  void NeedUpdate();
  // Lays the controls out now if anything changed since the last layout.
  void UpdateLayout();
  void Paint(wxDC& dc, const wxRect& clip);
  // Mouse input from the canvas, in canvas coordinates.
  void HandleMouse(UIEvent event);
  // A control going away must not stay hot or captured.
  void ReapControl(CControlUI* control);
  CControlUI* GetHot() const { return hot_; }
  CControlUI* GetFocus() const { return focus_; }
  void SetFocus(CControlUI* control);

 private:
  void SetHot(CControlUI* control, wxPoint point);

  wxWindow* canvas_ = nullptr;
  const ResourceArchive* archive_ = nullptr;
  std::unique_ptr<ImageCache> images_;
  std::unique_ptr<CControlUI> root_;
  std::map<int, wxFont> fonts_;
  int defaultFont_ = -1;
  std::map<std::wstring, std::wstring, std::less<>> defaults_;
  std::vector<INotifyUI*> notifiers_;
  std::map<std::wstring, std::vector<COptionUI*>> groups_;
  CControlUI* hot_ = nullptr;
  CControlUI* captured_ = nullptr;
  CControlUI* focus_ = nullptr;
  bool needUpdate_ = true;
};

}  // namespace framework
