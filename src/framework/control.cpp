#include "framework/control.h"

#include <algorithm>

#include "framework/list.h"
#include "framework/paint_manager.h"

namespace framework {

namespace {

unsigned ParseAlign(std::wstring_view value, unsigned style) {
  style &= ~(kAlignCenter | kAlignRight);
  if (value == L"left")
    return style | kAlignLeft;
  if (value == L"center")
    return style | kAlignCenter;
  if (value == L"right")
    return style | kAlignRight;
  throw AttributeError("align must be left, center or right");
}

unsigned ParseValign(std::wstring_view value, unsigned style) {
  style &= ~(kAlignVCenter | kAlignBottom);
  if (value == L"top")
    return style | kAlignTop;
  if (value == L"vcenter" || value == L"center")
    return style | kAlignVCenter;
  if (value == L"bottom")
    return style | kAlignBottom;
  throw AttributeError("valign must be top, vcenter or bottom");
}

}  // namespace

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  manager_ = manager;
  parent_ = parent;
}

void CControlUI::SetText(std::wstring text) {
  if (text_ == text)
    return;
  text_ = std::move(text);
  Invalidate();
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible)
    return;
  visible_ = visible;
  NeedUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
  if (internVisible_ == visible)
    return;
  internVisible_ = visible;
  NeedUpdate();
}

bool CControlUI::IsShown() const {
  for (const CControlUI* c = this; c != nullptr; c = c->parent_) {
    if (!c->IsVisible())
      return false;
  }
  return true;
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled_ == enabled)
    return;
  enabled_ = enabled;
  NeedUpdate();  // native children follow
}

bool CControlUI::IsEffectivelyEnabled() const {
  for (const CControlUI* c = this; c != nullptr; c = c->parent_) {
    if (!c->enabled_)
      return false;
  }
  return true;
}

void CControlUI::SetPos(const wxRect& rect) {
  pos_ = rect;
  Invalidate();
}

void CControlUI::SetFixedWidth(int width) {
  fixedWidth_ = width;
  NeedUpdate();
}

void CControlUI::SetFixedHeight(int height) {
  fixedHeight_ = height;
  NeedUpdate();
}

wxSize CControlUI::EstimateSize(wxSize available) {
  (void)available;
  return {fixedWidth_, fixedHeight_};
}

void CControlUI::SetFont(int index) {
  font_ = index;
  Invalidate();
}

void CControlUI::SetTextStyle(unsigned style) {
  textStyle_ = style;
  Invalidate();
}

void CControlUI::SetBkColor(wxColour color) {
  bkColor_ = color;
  Invalidate();
}

bool CControlUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"name") {
    name_ = std::wstring(value);
  } else if (name == L"text") {
    text_ = std::wstring(value);
  } else if (name == L"tooltip") {
    tooltip_ = std::wstring(value);
  } else if (name == L"userdata") {
    userdata_ = std::wstring(value);
  } else if (name == L"tag") {
    tag_ = ParseInt(value);
  } else if (name == L"pos") {
    floatPos_ = ParseEdges(value);
    fixedWidth_ = floatPos_.right - floatPos_.left;
    fixedHeight_ = floatPos_.bottom - floatPos_.top;
  } else if (name == L"float") {
    float_ = ParseBool(value);
  } else if (name == L"width") {
    fixedWidth_ = ParseInt(value);
  } else if (name == L"height") {
    fixedHeight_ = ParseInt(value);
  } else if (name == L"minwidth") {
    minWidth_ = ParseInt(value);
  } else if (name == L"minheight") {
    minHeight_ = ParseInt(value);
  } else if (name == L"maxwidth") {
    maxWidth_ = ParseInt(value);
  } else if (name == L"maxheight") {
    maxHeight_ = ParseInt(value);
  } else if (name == L"padding") {
    padding_ = ParseEdges(value);
  } else if (name == L"textpadding") {
    textPadding_ = ParseEdges(value);
  } else if (name == L"visible") {
    SetVisible(ParseBool(value));
  } else if (name == L"enabled") {
    enabled_ = ParseBool(value);
    NeedUpdate();
  } else if (name == L"mouse") {
    mouse_ = ParseBool(value);
  } else if (name == L"font") {
    font_ = ParseInt(value);
  } else if (name == L"align") {
    textStyle_ = ParseAlign(value, textStyle_);
  } else if (name == L"valign") {
    textStyle_ = ParseValign(value, textStyle_);
  } else if (name == L"endellipsis") {
    textStyle_ = ParseBool(value) ? (textStyle_ | kEndEllipsis) : (textStyle_ & ~kEndEllipsis);
  } else if (name == L"multiline" || name == L"wordwrap") {
    textStyle_ = ParseBool(value) ? (textStyle_ | kWordWrap) : (textStyle_ & ~kWordWrap);
  } else if (name == L"textcolor") {
    textColor_ = ParseColor(value);
  } else if (name == L"disabledtextcolor") {
    disabledTextColor_ = ParseColor(value);
  } else if (name == L"bkcolor") {
    bkColor_ = ParseColor(value);
    bkAlpha_ = ParseRawAlpha(value);
  } else if (name == L"bkcolor2") {
    bkColor2_ = ParseColor(value);
    gradientAlpha_ = ParseRawAlpha(value);
  } else if (name == L"bordercolor") {
    borderColor_ = ParseColor(value);
  } else if (name == L"focusbordercolor") {
    focusBorderColor_ = ParseColor(value);
  } else if (name == L"bordersize") {
    borderSize_ = ParseInt(value);
  } else if (name == L"bkimage") {
    bkImage_ = ParseImageSpec(value);
  } else {
    return false;
  }
  Invalidate();
  return true;
}

void CControlUI::ApplyAttributeList(std::wstring_view list) {
  for (const auto& [key, value] : SplitAttributeList(list)) {
    if (!SetAttribute(key, value))
      throw AttributeError("unknown attribute '" + ToUtf8(key) + "'");
  }
}

void CControlUI::DoPaint(wxDC& dc, const wxRect& clip) {
  if (!pos_.Intersects(clip))
    return;
  PaintBkColor(dc);
  PaintBkImage(dc);
  PaintStatusImage(dc);
  PaintText(dc);
  PaintBorder(dc);
}

void CControlUI::PaintBkColor(wxDC& dc) {
  if (!bkColor_)
    return;
  if (bkColor2_) {
    // A gradient is as opaque as the mean of its two colours' alpha bytes, so a second colour
    // with alpha 0 lets the parent show through.
    auto alpha = static_cast<unsigned char>((bkAlpha_ + gradientAlpha_) / 2);
    wxColour from(bkColor_->Red(), bkColor_->Green(), bkColor_->Blue(), alpha);
    wxColour to(bkColor2_->Red(), bkColor2_->Green(), bkColor2_->Blue(), alpha);
    if (alpha == 255) {
      dc.GradientFillLinear(pos_, from, to, wxDOWN);
      return;
    }
    dc.SetPen(*wxTRANSPARENT_PEN);
    for (int y = 0; y < pos_.height; ++y) {
      double t = pos_.height > 1 ? static_cast<double>(y) / (pos_.height - 1) : 0.0;
      auto mix = [t](unsigned char a, unsigned char b) {
        return static_cast<unsigned char>(a + (b - a) * t);
      };
      dc.SetBrush(wxBrush(wxColour(mix(from.Red(), to.Red()), mix(from.Green(), to.Green()),
                                   mix(from.Blue(), to.Blue()), alpha)));
      dc.DrawRectangle(pos_.x, pos_.y + y, pos_.width, 1);
    }
  } else {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(*bkColor_));
    dc.DrawRectangle(pos_);
  }
}

void CControlUI::PaintBkImage(wxDC& dc) {
  DrawImage(dc, bkImage_);
}

void CControlUI::DrawImage(wxDC& dc, const ImageSpec& image) {
  if (image.empty() || manager_ == nullptr)
    return;
  manager_->Images().Draw(dc, pos_, image);
}

std::optional<wxColour> CControlUI::ItemTextColor() const {
  return parent_ != nullptr ? parent_->ItemTextColor() : std::nullopt;
}

wxColour CControlUI::CurrentTextColor() const {
  if (!IsEffectivelyEnabled() && disabledTextColor_)
    return *disabledTextColor_;
  if (auto item = ItemTextColor()) {
    // A row that is disabled, hot or selected decides; otherwise the control's own colour.
    if (!IsEffectivelyEnabled() || !textColor_)
      return *item;
  }
  return textColor_.value_or(*wxBLACK);
}

void CControlUI::PaintText(wxDC& dc) {
  if (text_.empty() || manager_ == nullptr)
    return;
  wxRect rect(pos_.x + textPadding_.left, pos_.y + textPadding_.top,
              pos_.width - textPadding_.left - textPadding_.right,
              pos_.height - textPadding_.top - textPadding_.bottom);
  DrawTextIn(dc, rect, text_, manager_->GetFont(font_), CurrentTextColor(), textStyle_);
}

void CControlUI::PaintBorder(wxDC& dc) {
  if (borderSize_ <= 0 || !borderColor_)
    return;
  bool focused = focusBorderColor_ && manager_ != nullptr && manager_->GetFocus() == this;
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  dc.SetPen(wxPen(focused ? *focusBorderColor_ : *borderColor_, 1));
  for (int i = 0; i < borderSize_; ++i) {
    dc.DrawRectangle(pos_.x + i, pos_.y + i, pos_.width - 2 * i, pos_.height - 2 * i);
  }
}

bool CControlUI::DoEvent(UIEvent& event) {
  (void)event;
  return false;
}

CControlUI* CControlUI::FindControlAt(wxPoint point) {
  if (!IsVisible() || !mouse_ || !pos_.Contains(point))
    return nullptr;
  return this;
}

void CControlUI::ForEach(const std::function<void(CControlUI*)>& f) {
  f(this);
}

void CControlUI::Invalidate() {
  if (manager_ != nullptr)
    manager_->Invalidate();
}

void CControlUI::NeedUpdate() {
  if (manager_ != nullptr)
    manager_->NeedUpdate();
}

void CControlUI::Notify(const wchar_t* type, std::intptr_t wParam, std::intptr_t lParam) {
  if (manager_ != nullptr)
    manager_->SendNotify(this, type, wParam, lParam);
}

}  // namespace framework
