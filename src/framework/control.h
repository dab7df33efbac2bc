#pragma once
// The base of every skinned control: name, geometry, colours, images, text, state, attributes,
// painting and mouse handling.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/gdicmn.h>

#include "framework/attributes.h"
#include "framework/image.h"
#include "framework/notify.h"

namespace framework {

class CPaintManagerUI;

enum class UIEventType {
  MouseEnter,
  MouseLeave,
  MouseMove,
  ButtonDown,
  ButtonUp,
  DblClick,
  RButtonDown,
  Wheel
};

struct UIEvent {
  UIEventType type;
  wxPoint point;
  int wheelDelta = 0;  // positive scrolls up
};

// Text alignment flags.
enum : unsigned {
  kAlignLeft = 0,
  kAlignCenter = 1,
  kAlignRight = 2,
  kAlignTop = 0,
  kAlignVCenter = 4,
  kAlignBottom = 8,
  kEndEllipsis = 16,
  kWordWrap = 32,
};

class CControlUI {
 public:
  CControlUI() = default;
  virtual ~CControlUI() = default;
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  virtual std::wstring_view GetClass() const { return L"Control"; }

  const std::wstring& GetName() const { return name_; }
  void SetName(std::wstring name) { name_ = std::move(name); }

  CControlUI* GetParent() const { return parent_; }
  CPaintManagerUI* GetManager() const { return manager_; }
  // Attaches the control (and its children) to a window.
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);

  virtual const std::wstring& GetText() const { return text_; }
  virtual void SetText(std::wstring text);
  const std::wstring& GetToolTip() const { return tooltip_; }
  void SetToolTip(std::wstring tooltip) { tooltip_ = std::move(tooltip); }
  std::intptr_t GetTag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }
  const std::wstring& GetUserData() const { return userdata_; }

  // Own flag; a control is shown only when it and every ancestor are visible.
  bool IsVisible() const { return visible_ && internVisible_; }
  virtual void SetVisible(bool visible = true);
  // Visibility given by a container (a tab page that is not the current one).
  virtual void SetInternVisible(bool visible);
  bool IsShown() const;
  bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled = true);
  // Enabled, and every ancestor too.
  bool IsEffectivelyEnabled() const;
  bool IsFloat() const { return float_; }
  bool IsMouseEnabled() const { return mouse_; }

  const wxRect& GetPos() const { return pos_; }
  virtual void SetPos(const wxRect& rect);
  int GetFixedWidth() const { return fixedWidth_; }
  int GetFixedHeight() const { return fixedHeight_; }
  void SetFixedWidth(int width);
  void SetFixedHeight(int height);
  int GetMinWidth() const { return minWidth_; }
  int GetMinHeight() const { return minHeight_; }
  const Edges& GetPadding() const { return padding_; }
  // Position inside the parent for floating controls (left, top, right, bottom).
  const Edges& GetFloatPos() const { return floatPos_; }
  virtual wxSize EstimateSize(wxSize available);

  int GetFont() const { return font_; }
  void SetFont(int index);
  unsigned GetTextStyle() const { return textStyle_; }
  void SetTextStyle(unsigned style);
  const Edges& GetTextPadding() const { return textPadding_; }
  void SetTextColor(wxColour color) { textColor_ = color; }
  void SetBkColor(wxColour color);

  // Reads one layout attribute. Returns false for a name this control does not know; throws
  // AttributeError for a value it cannot read.
  virtual bool SetAttribute(std::wstring_view name, std::wstring_view value);
  // Reads a list written as name="value" name="value" (the layouts' attribute lists).
  void ApplyAttributeList(std::wstring_view list);

  virtual void DoPaint(wxDC& dc, const wxRect& clip);
  // Handles a mouse event; false passes it on to the parent.
  virtual bool DoEvent(UIEvent& event);
  // The deepest control at the point that takes the mouse, or nullptr.
  virtual CControlUI* FindControlAt(wxPoint point);
  // Calls f for this control and every descendant.
  virtual void ForEach(const std::function<void(CControlUI*)>& f);
  // Native windows placed over the control follow its position and visibility.
  virtual void SyncNative() {}
  // Whether a press on this control may start moving the window from the caption area.
  virtual bool IsCaptionTransparent() const { return true; }
  // Whether a press inside the control gives it the window's focus (lists).
  virtual bool IsFocusable() const { return false; }
  // Text colour given by the enclosing list row (hot, selected, disabled), if any.
  virtual std::optional<wxColour> ItemTextColor() const;

  void Invalidate();
  void NeedUpdate();

  // Handlers run before the window's receivers see a notification from this control.
  CEventSource OnNotify;

 protected:
  void PaintBkColor(wxDC& dc);
  void PaintBkImage(wxDC& dc);
  virtual void PaintStatusImage(wxDC& dc) { (void)dc; }
  virtual void PaintText(wxDC& dc);
  void PaintBorder(wxDC& dc);
  void DrawImage(wxDC& dc, const ImageSpec& image);
  wxColour CurrentTextColor() const;
  void Notify(const wchar_t* type, std::intptr_t wParam = 0, std::intptr_t lParam = 0);

  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  std::wstring name_;
  std::wstring text_;
  std::wstring tooltip_;
  std::wstring userdata_;
  std::intptr_t tag_ = 0;
  bool visible_ = true;
  bool internVisible_ = true;
  bool enabled_ = true;
  bool float_ = false;
  bool mouse_ = true;
  wxRect pos_;
  Edges floatPos_;
  int fixedWidth_ = 0;
  int fixedHeight_ = 0;
  int minWidth_ = 0;
  int minHeight_ = 0;
  int maxWidth_ = 9999;
  int maxHeight_ = 9999;
  Edges padding_;
  Edges textPadding_;
  int font_ = -1;
  unsigned textStyle_ = kAlignCenter | kAlignVCenter;
  std::optional<wxColour> textColor_;
  std::optional<wxColour> disabledTextColor_;
  std::optional<wxColour> bkColor_;
  std::optional<wxColour> bkColor2_;
  int bkAlpha_ = 255;
  int gradientAlpha_ = 255;
  std::optional<wxColour> borderColor_;
  std::optional<wxColour> focusBorderColor_;
  int borderSize_ = 0;
  ImageSpec bkImage_;
};

}  // namespace framework
