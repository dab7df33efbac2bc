#include "framework/list.h"

#include <algorithm>

#include "framework/paint_manager.h"

namespace framework {

bool CListHeaderItemUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"sepimage") {
    sepImage_ = ParseImageSpec(value);
  } else if (name == L"sepwidth") {
    sepWidth_ = ParseInt(value);
  } else if (name == L"dragable") {
    ParseBool(value);  // columns are sized by the layout, never by dragging
  } else {
    return CButtonUI::SetAttribute(name, value);
  }
  return true;
}

bool CListHeaderItemUI::DoEvent(UIEvent& event) {
  if (event.type == UIEventType::ButtonUp) {
    pushed_ = false;
    Invalidate();
    return true;
  }
  return CButtonUI::DoEvent(event);
}

void CListHeaderItemUI::PaintStatusImage(wxDC& dc) {
  CButtonUI::PaintStatusImage(dc);
  if (sepWidth_ != 0 && !sepImage_.empty() && manager_ != nullptr) {
    int w = std::abs(sepWidth_);
    wxRect sep(sepWidth_ > 0 ? pos_.GetRight() + 1 - w : pos_.x, pos_.y, w, pos_.height);
    manager_->Images().Draw(dc, sep, sepImage_);
  }
}

CListUI* CListContainerElementUI::GetOwner() const {
  for (CControlUI* c = parent_; c != nullptr; c = c->GetParent()) {
    if (auto* list = dynamic_cast<CListUI*>(c))
      return list;
  }
  return nullptr;
}

int CListContainerElementUI::GetIndex() const {
  CListUI* owner = GetOwner();
  return owner != nullptr ? owner->GetItemIndex(this) : -1;
}

bool CListContainerElementUI::Select(bool select) {
  CListUI* owner = GetOwner();
  if (owner == nullptr)
    return false;
  return owner->SelectItem(select ? GetIndex() : -1);
}

void CListContainerElementUI::SetHotState(bool hot) {
  hot_ = hot;
  Invalidate();
}

void CListContainerElementUI::SetSelectedState(bool selected) {
  selected_ = selected;
  Invalidate();
}

bool CListContainerElementUI::DoEvent(UIEvent& event) {
  CListUI* owner = GetOwner();
  switch (event.type) {
    case UIEventType::MouseEnter:
      if (owner != nullptr)
        owner->SetHot(this);
      return true;
    case UIEventType::MouseLeave:
      if (owner != nullptr)
        owner->SetHot(nullptr);
      return true;
    case UIEventType::ButtonDown: {
      // The row may be removed by a handler; keep what is needed first.
      CPaintManagerUI* manager = manager_;
      int index = GetIndex();
      Notify(kNotifyItemClick);
      if (owner != nullptr && manager != nullptr && owner->GetItemAt(index) == this)
        owner->SelectItem(index);
      return true;
    }
    case UIEventType::DblClick:
      Notify(kNotifyItemDbClick);
      return true;
    case UIEventType::RButtonDown: {
      int index = GetIndex();
      Notify(kNotifyItemRClick);
      if (owner != nullptr && owner->GetItemAt(index) == this)
        owner->SelectItem(index);
      return true;
    }
    case UIEventType::ButtonUp:
    case UIEventType::MouseMove:
      return true;
    default:
      return false;
  }
}

std::optional<wxColour> CListContainerElementUI::ItemTextColor() const {
  CListUI* owner = GetOwner();
  if (owner == nullptr)
    return std::nullopt;
  const ListItemStyle& s = owner->GetItemStyle();
  if (!IsEffectivelyEnabled() && s.disabledTextColor)
    return s.disabledTextColor;
  if (selected_ && s.selectedTextColor)
    return s.selectedTextColor;
  if (hot_ && s.hotTextColor)
    return s.hotTextColor;
  return s.textColor;
}

void CListContainerElementUI::DoPaint(wxDC& dc, const wxRect& clip) {
  if (!pos_.Intersects(clip))
    return;
  CListUI* owner = GetOwner();
  if (owner != nullptr && manager_ != nullptr) {
    const ListItemStyle& s = owner->GetItemStyle();
    std::optional<wxColour> bk = s.bkColor;
    const ImageSpec* image = &s.image;
    if (!IsEffectivelyEnabled()) {
      if (s.disabledBkColor)
        bk = s.disabledBkColor;
      if (!s.disabledImage.empty())
        image = &s.disabledImage;
    } else if (selected_) {
      if (s.selectedBkColor)
        bk = s.selectedBkColor;
      if (!s.selectedImage.empty())
        image = &s.selectedImage;
    } else if (hot_) {
      if (s.hotBkColor)
        bk = s.hotBkColor;
      if (!s.hotImage.empty())
        image = &s.hotImage;
    }
    if (bk) {
      dc.SetPen(*wxTRANSPARENT_PEN);
      dc.SetBrush(wxBrush(*bk));
      dc.DrawRectangle(pos_);
    }
    if (!image->empty())
      manager_->Images().Draw(dc, pos_, *image);
    if (s.lineColor) {
      dc.SetPen(wxPen(*s.lineColor, 1));
      dc.DrawLine(pos_.x, pos_.GetBottom(), pos_.GetRight() + 1, pos_.GetBottom());
    }
  }
  CHorizontalLayoutUI::DoPaint(dc, clip);
}

void CListContainerElementUI::LayoutChildren(const wxRect& inner) {
  CListUI* owner = GetOwner();
  CListHeaderUI* header = owner != nullptr ? owner->GetHeader() : nullptr;
  if (header == nullptr || !header->IsVisible() || header->GetCount() == 0) {
    CHorizontalLayoutUI::LayoutChildren(inner);
    return;
  }
  int column = 0;
  for (auto& item : items_) {
    if (item->IsFloat())
      continue;
    CControlUI* cell = header->GetItemAt(column++);
    if (cell == nullptr) {
      item->SetPos(wxRect(inner.GetRight() + 1, inner.y, 0, 0));
      continue;
    }
    const Edges& pad = item->GetPadding();
    wxRect col(cell->GetPos().x, inner.y, cell->GetPos().width, inner.height);
    wxRect r(col.x + pad.left, col.y + pad.top, col.width - pad.left - pad.right,
             col.height - pad.top - pad.bottom);
    if (item->GetFixedWidth() > 0)
      r.width = std::min(item->GetFixedWidth(), r.width);
    if (item->GetFixedHeight() > 0)
      r.height = item->GetFixedHeight();
    item->SetPos(r);
  }
}

CListUI::CListUI() {
  auto header = std::make_unique<CListHeaderUI>();
  header_ = header.get();
  header_->SetFixedHeight(20);
  auto body = std::make_unique<CListBodyUI>();
  body_ = body.get();
  CContainerUI::AddAt(std::move(header), 0);
  CContainerUI::AddAt(std::move(body), 1);
}

bool CListUI::Add(std::unique_ptr<CControlUI> control) {
  if (!control)
    return false;
  if (dynamic_cast<CListHeaderUI*>(control.get()) != nullptr) {
    // The layout's header replaces the built-in one in place.
    CControlUI* old = header_;
    header_ = static_cast<CListHeaderUI*>(control.get());
    CContainerUI::AddAt(std::move(control), 0);
    CContainerUI::Remove(old);
    return true;
  }
  if (dynamic_cast<CListHeaderItemUI*>(control.get()) != nullptr)
    return header_->Add(std::move(control));
  return AddAt(std::move(control), GetCount());
}

bool CListUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
  if (!body_->AddAt(std::move(control), index))
    return false;
  if (current_ >= index)
    ++current_;
  return true;
}

bool CListUI::Remove(CControlUI* control) {
  int index = body_->GetItemIndex(control);
  if (index < 0)
    return false;
  SetHot(nullptr);
  if (index == current_) {
    current_ = -1;
  } else if (index < current_) {
    --current_;
  }
  return body_->Remove(control);
}

void CListUI::RemoveAll() {
  SetHot(nullptr);
  current_ = -1;
  body_->RemoveAll();
}

int CListUI::GetCount() const {
  return body_->GetCount();
}
CControlUI* CListUI::GetItemAt(int index) const {
  return body_->GetItemAt(index);
}
int CListUI::GetItemIndex(const CControlUI* control) const {
  return body_->GetItemIndex(control);
}

bool CListUI::SelectItem(int index, bool notify) {
  if (index < -1 || index >= GetCount())
    return false;
  if (index == current_)
    return true;
  int old = current_;
  if (auto* row = dynamic_cast<CListContainerElementUI*>(GetItemAt(old)))
    row->SetSelectedState(false);
  current_ = index;
  if (auto* row = dynamic_cast<CListContainerElementUI*>(GetItemAt(index)))
    row->SetSelectedState(true);
  if (notify)
    Notify(kNotifyItemSelect, index, old);
  return true;
}

void CListUI::SetHot(CListContainerElementUI* row) {
  for (int i = 0; i < GetCount(); ++i) {
    if (auto* r = dynamic_cast<CListContainerElementUI*>(GetItemAt(i))) {
      bool hot = r == row && r->IsEffectivelyEnabled();
      if (r->IsHot() != hot) {
        r->SetHotState(hot);
      }
    }
  }
}

bool CListUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  ListItemStyle& s = style_;
  if (name == L"header") {
    if (value != L"hidden" && value != L"true" && value != L"false") {
      throw AttributeError("header must be hidden");
    }
    header_->SetVisible(value != L"hidden" && value != L"false");
  } else if (name == L"itemfont") {
    s.font = ParseInt(value);
  } else if (name == L"itemtextpadding") {
    s.textPadding = ParseEdges(value);
  } else if (name == L"itemtextcolor") {
    s.textColor = ParseColor(value);
  } else if (name == L"itembkcolor") {
    s.bkColor = ParseColor(value);
  } else if (name == L"itemselectedtextcolor") {
    s.selectedTextColor = ParseColor(value);
  } else if (name == L"itemselectedbkcolor") {
    s.selectedBkColor = ParseColor(value);
  } else if (name == L"itemhottextcolor") {
    s.hotTextColor = ParseColor(value);
  } else if (name == L"itemhotbkcolor") {
    s.hotBkColor = ParseColor(value);
  } else if (name == L"itemdisabledtextcolor") {
    s.disabledTextColor = ParseColor(value);
  } else if (name == L"itemdisabledbkcolor") {
    s.disabledBkColor = ParseColor(value);
  } else if (name == L"itemlinecolor") {
    s.lineColor = ParseColor(value);
  } else if (name == L"itemimage") {
    s.image = ParseImageSpec(value);
  } else if (name == L"itemselectedimage") {
    s.selectedImage = ParseImageSpec(value);
  } else if (name == L"itemhotimage") {
    s.hotImage = ParseImageSpec(value);
  } else if (name == L"itemdisabledimage") {
    s.disabledImage = ParseImageSpec(value);
  } else if (name == L"vscrollbar" || name == L"hscrollbar") {
    return body_->SetAttribute(name, value);
  } else {
    return CVerticalLayoutUI::SetAttribute(name, value);
  }
  Invalidate();
  return true;
}

}  // namespace framework
