#include "framework/container.h"

#include <algorithm>

#include "framework/paint_manager.h"

namespace framework {

namespace {
constexpr int kWheelStep = 24 * 3;
}  // namespace

CContainerUI::~CContainerUI() {
  if (manager_ != nullptr) {
    for (auto& item : items_)
      item->ForEach([this](CControlUI* c) { manager_->ReapControl(c); });
  }
}

bool CContainerUI::Add(std::unique_ptr<CControlUI> control) {
  return CContainerUI::AddAt(std::move(control), static_cast<int>(items_.size()));
}

bool CContainerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  if (!control || index < 0 || index > static_cast<int>(items_.size()))
    return false;
  control->SetManager(manager_, this);
  if (!IsVisible())
    control->SetInternVisible(false);
  items_.insert(items_.begin() + index, std::move(control));
  NeedUpdate();
  return true;
}

bool CContainerUI::Remove(CControlUI* control) {
  auto it =
      std::find_if(items_.begin(), items_.end(), [control](auto& p) { return p.get() == control; });
  if (it == items_.end())
    return false;
  std::unique_ptr<CControlUI> removed = std::move(*it);
  items_.erase(it);
  if (manager_ != nullptr)
    removed->ForEach([this](CControlUI* c) { manager_->ReapControl(c); });
  removed.reset();
  NeedUpdate();
  return true;
}

void CContainerUI::RemoveAll() {
  auto removed = std::move(items_);
  items_.clear();
  if (manager_ != nullptr) {
    for (auto& item : removed)
      item->ForEach([this](CControlUI* c) { manager_->ReapControl(c); });
  }
  removed.clear();
  scrollY_ = 0;
  NeedUpdate();
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  return index >= 0 && index < static_cast<int>(items_.size())
             ? items_[static_cast<size_t>(index)].get()
             : nullptr;
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == control)
      return static_cast<int>(i);
  }
  return -1;
}

void CContainerUI::SetScrollPos(int y) {
  y = std::clamp(y, 0, scrollRange_);
  if (y == scrollY_)
    return;
  scrollY_ = y;
  NeedUpdate();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI::SetManager(manager, parent);
  for (auto& item : items_)
    item->SetManager(manager, this);
}

bool CContainerUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"inset") {
    inset_ = ParseEdges(value);
  } else if (name == L"childpadding") {
    childPadding_ = ParseInt(value);
  } else if (name == L"vscrollbar") {
    vscroll_ = ParseBool(value);
  } else if (name == L"hscrollbar") {
    // Columns and rows shrink to the width they are given; the bar is accepted, never needed.
    hscroll_ = ParseBool(value);
  } else {
    return CControlUI::SetAttribute(name, value);
  }
  NeedUpdate();
  return true;
}

wxRect CContainerUI::InnerRect() const {
  return wxRect(pos_.x + inset_.left, pos_.y + inset_.top, pos_.width - inset_.left - inset_.right,
                pos_.height - inset_.top - inset_.bottom);
}

void CContainerUI::SetPos(const wxRect& rect) {
  CControlUI::SetPos(rect);
  wxRect inner = InnerRect();
  for (auto& item : items_) {
    if (item->IsVisible() && item->IsFloat())
      PlaceFloat(item.get(), inner);
  }
  LayoutChildren(inner);
}

void CContainerUI::PlaceFloat(CControlUI* child, const wxRect& inner) {
  const Edges& p = child->GetFloatPos();
  child->SetPos(
      wxRect(inner.x + p.left, inner.y + p.top, child->GetFixedWidth(), child->GetFixedHeight()));
}

void CContainerUI::LayoutChildren(const wxRect& inner) {
  for (auto& item : items_) {
    if (!item->IsVisible() || item->IsFloat())
      continue;
    const Edges& pad = item->GetPadding();
    wxRect r(inner.x + pad.left, inner.y + pad.top, inner.width - pad.left - pad.right,
             inner.height - pad.top - pad.bottom);
    if (item->GetFixedWidth() > 0)
      r.width = item->GetFixedWidth();
    if (item->GetFixedHeight() > 0)
      r.height = item->GetFixedHeight();
    item->SetPos(r);
  }
}

void CContainerUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  for (auto& item : items_)
    item->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  for (auto& item : items_)
    item->SetInternVisible(IsVisible());
}

void CContainerUI::UpdateScroll(int contentHeight, int viewHeight) {
  scrollRange_ = vscroll_ ? std::max(0, contentHeight - viewHeight) : 0;
  scrollY_ = std::clamp(scrollY_, 0, scrollRange_);
}

wxRect CContainerUI::ScrollBarRect() const {
  wxRect inner = InnerRect();
  return wxRect(inner.GetRight() + 1 - kScrollBarWidth, inner.y, kScrollBarWidth, inner.height);
}

void CContainerUI::PaintScrollBar(wxDC& dc) {
  if (scrollRange_ <= 0)
    return;
  wxRect bar = ScrollBarRect();
  int view = bar.height;
  int thumb = std::max(20, view * view / (view + scrollRange_));
  int top = bar.y + (view - thumb) * scrollY_ / scrollRange_;
  const std::wstring* defaults =
      manager_ ? manager_->GetDefaultAttributeList(L"VScrollBar") : nullptr;
  if (defaults != nullptr) {
    // The window's default scroll bar pictures: track and thumb.
    ImageSpec track, thumbImage;
    for (const auto& [key, value] : SplitAttributeList(*defaults)) {
      if (key == L"bknormalimage")
        track = ParseImageSpec(value);
      if (key == L"thumbnormalimage")
        thumbImage = ParseImageSpec(value);
    }
    if (!track.empty() && !thumbImage.empty()) {
      manager_->Images().Draw(dc, bar, track);
      manager_->Images().Draw(dc, wxRect(bar.x, top, bar.width, thumb), thumbImage);
      return;
    }
  }
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(wxColour(0xF0, 0xF0, 0xF0)));
  dc.DrawRectangle(bar);
  dc.SetBrush(wxBrush(wxColour(0xB8, 0xC4, 0xD6)));
  dc.DrawRoundedRectangle(bar.x + 1, top, bar.width - 2, thumb, 3);
}

void CContainerUI::DoPaint(wxDC& dc, const wxRect& clip) {
  if (!pos_.Intersects(clip))
    return;
  PaintBkColor(dc);
  PaintBkImage(dc);
  PaintStatusImage(dc);
  PaintText(dc);
  wxRect inner = InnerRect();
  wxRect childClip = clip;
  childClip.Intersect(inner);
  if (!childClip.IsEmpty()) {
    wxDCClipper clipper(dc, childClip);
    for (auto& item : items_) {
      if (!item->IsVisible() || !item->GetPos().Intersects(childClip))
        continue;
      item->DoPaint(dc, childClip);
    }
  }
  PaintScrollBar(dc);
  // Last, so children that fill the container do not cover its frame.
  PaintBorder(dc);
}

bool CContainerUI::DoEvent(UIEvent& event) {
  if (scrollRange_ > 0) {
    wxRect bar = ScrollBarRect();
    if (event.type == UIEventType::Wheel) {
      SetScrollPos(scrollY_ - (event.wheelDelta > 0 ? kWheelStep : -kWheelStep));
      return true;
    }
    if (event.type == UIEventType::ButtonDown && bar.Contains(event.point)) {
      draggingThumb_ = true;
      dragStartY_ = event.point.y;
      dragStartScroll_ = scrollY_;
      return true;
    }
    if (draggingThumb_ && event.type == UIEventType::MouseMove) {
      int view = bar.height;
      int thumb = std::max(20, view * view / (view + scrollRange_));
      if (view > thumb)
        SetScrollPos(dragStartScroll_ +
                     (event.point.y - dragStartY_) * scrollRange_ / (view - thumb));
      return true;
    }
    if (draggingThumb_ && event.type == UIEventType::ButtonUp) {
      draggingThumb_ = false;
      return true;
    }
  }
  return false;
}

CControlUI* CContainerUI::FindControlAt(wxPoint point) {
  if (!IsVisible() || !pos_.Contains(point))
    return nullptr;
  if (scrollRange_ > 0 && ScrollBarRect().Contains(point))
    return this;
  if (InnerRect().Contains(point)) {
    // Later children lie on top, floating ones first of all.
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
      if ((*it)->IsFloat()) {
        if (CControlUI* hit = (*it)->FindControlAt(point))
          return hit;
      }
    }
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
      if (!(*it)->IsFloat()) {
        if (CControlUI* hit = (*it)->FindControlAt(point))
          return hit;
      }
    }
  }
  return mouse_ ? this : nullptr;
}

void CContainerUI::ForEach(const std::function<void(CControlUI*)>& f) {
  f(this);
  for (auto& item : items_)
    item->ForEach(f);
}

}  // namespace framework
