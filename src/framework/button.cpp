#include "framework/button.h"

#include "framework/paint_manager.h"

namespace framework {

bool CButtonUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"normalimage") {
    normal_ = ParseImageSpec(value);
  } else if (name == L"hotimage") {
    hotImage_ = ParseImageSpec(value);
  } else if (name == L"pushedimage") {
    pushedImage_ = ParseImageSpec(value);
  } else if (name == L"disabledimage") {
    disabled_ = ParseImageSpec(value);
  } else if (name == L"focusedimage") {
    focused_ = ParseImageSpec(value);
  } else if (name == L"foreimage") {
    fore_ = ParseImageSpec(value);
  } else if (name == L"hotforeimage") {
    hotFore_ = ParseImageSpec(value);
  } else if (name == L"hottextcolor") {
    hotTextColor_ = ParseColor(value);
  } else if (name == L"pushedtextcolor") {
    pushedTextColor_ = ParseColor(value);
  } else if (name == L"hotbkcolor") {
    hotBkColor_ = ParseColor(value);
  } else {
    return CLabelUI::SetAttribute(name, value);
  }
  Invalidate();
  return true;
}

bool CButtonUI::DoEvent(UIEvent& event) {
  switch (event.type) {
    case UIEventType::MouseEnter:
      hot_ = true;
      Invalidate();
      return true;
    case UIEventType::MouseLeave:
      hot_ = false;
      Invalidate();
      return true;
    case UIEventType::ButtonDown:
    case UIEventType::DblClick:
      pushed_ = true;
      Invalidate();
      return true;
    case UIEventType::MouseMove:
      return true;
    case UIEventType::ButtonUp: {
      bool wasPushed = pushed_;
      pushed_ = false;
      Invalidate();
      if (wasPushed && pos_.Contains(event.point))
        Activate();
      return true;
    }
    default:
      return false;
  }
}

void CButtonUI::Activate() {
  Notify(kNotifyClick);
}

void CButtonUI::PaintStatusImage(wxDC& dc) {
  if (!IsEffectivelyEnabled()) {
    DrawImage(dc, disabled_.empty() ? normal_ : disabled_);
  } else if (pushed_ && hot_ && !pushedImage_.empty()) {
    DrawImage(dc, pushedImage_);
  } else if (hot_ && !hotImage_.empty()) {
    if (hotBkColor_) {
      dc.SetPen(*wxTRANSPARENT_PEN);
      dc.SetBrush(wxBrush(*hotBkColor_));
      dc.DrawRectangle(pos_);
    }
    DrawImage(dc, hotImage_);
  } else {
    DrawImage(dc, normal_);
  }
  // A disabled picture stands for the whole face, fore picture included.
  if (!IsEffectivelyEnabled() && !disabled_.empty())
    return;
  if (hot_ && !hotFore_.empty()) {
    DrawImage(dc, hotFore_);
  } else {
    DrawImage(dc, fore_);
  }
}

void CButtonUI::PaintText(wxDC& dc) {
  std::optional<wxColour> saved = textColor_;
  if (IsEffectivelyEnabled()) {
    if (pushed_ && hot_ && pushedTextColor_) {
      textColor_ = pushedTextColor_;
    } else if (hot_ && hotTextColor_) {
      textColor_ = hotTextColor_;
    }
  }
  CLabelUI::PaintText(dc);
  textColor_ = saved;
}

COptionUI::~COptionUI() {
  if (manager_ != nullptr && !group_.empty())
    manager_->RemoveOptionGroup(group_, this);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  if (manager_ != nullptr && !group_.empty())
    manager_->RemoveOptionGroup(group_, this);
  CButtonUI::SetManager(manager, parent);
  if (manager_ != nullptr && !group_.empty()) {
    manager_->AddOptionGroup(group_, this);
    if (selected_)
      Selected(true, false);
  }
}

bool COptionUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"group") {
    group_ = std::wstring(value);
  } else if (name == L"selected") {
    selected_ = ParseBool(value);
  } else if (name == L"selectedimage") {
    selectedImage_ = ParseImageSpec(value);
  } else if (name == L"selectedhotimage") {
    selectedHot_ = ParseImageSpec(value);
  } else if (name == L"selecteddisabledimage") {
    selectedDisabled_ = ParseImageSpec(value);
  } else if (name == L"foreselectedimage") {
    foreSelected_ = ParseImageSpec(value);
  } else if (name == L"selectedtextcolor") {
    selectedTextColor_ = ParseColor(value);
  } else if (name == L"selectedbkcolor") {
    selectedBkColor_ = ParseColor(value);
  } else {
    return CButtonUI::SetAttribute(name, value);
  }
  Invalidate();
  return true;
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected_ == selected)
    return;
  selected_ = selected;
  if (selected_ && manager_ != nullptr && !group_.empty()) {
    for (COptionUI* other : manager_->GetOptionGroup(group_)) {
      if (other != this)
        other->Selected(false, notify);
    }
  }
  Invalidate();
  if (notify)
    Notify(kNotifySelectChanged);
}

void COptionUI::Activate() {
  if (group_.empty()) {
    Selected(!selected_);
  } else {
    Selected(true);
  }
  CButtonUI::Activate();
}

void COptionUI::PaintStatusImage(wxDC& dc) {
  // Without a picture of its own for "selected and disabled", a disabled option looks disabled.
  bool disabledLook = !IsEffectivelyEnabled() && selectedDisabled_.empty() && !disabled_.empty();
  if (selected_ && !disabledLook) {
    if (selectedBkColor_) {
      dc.SetPen(*wxTRANSPARENT_PEN);
      dc.SetBrush(wxBrush(*selectedBkColor_));
      dc.DrawRectangle(pos_);
    }
    if (!IsEffectivelyEnabled() && !selectedDisabled_.empty()) {
      DrawImage(dc, selectedDisabled_);
    } else if (hot_ && !selectedHot_.empty()) {
      DrawImage(dc, selectedHot_);
    } else if (!selectedImage_.empty()) {
      DrawImage(dc, selectedImage_);
    } else {
      CButtonUI::PaintStatusImage(dc);
    }
    DrawImage(dc, foreSelected_);
    return;
  }
  CButtonUI::PaintStatusImage(dc);
}

void COptionUI::PaintText(wxDC& dc) {
  std::optional<wxColour> saved = textColor_;
  if (selected_ && selectedTextColor_)
    textColor_ = selectedTextColor_;
  CButtonUI::PaintText(dc);
  textColor_ = saved;
}

}  // namespace framework
