// The layouts: children stacked vertically or side by side (fixed sizes first, the rest shared
// evenly), and the tab layout that shows one page.

#include <algorithm>

#include "framework/container.h"

namespace framework {

wxSize CVerticalLayoutUI::EstimateSize(wxSize available) {
  if (fixedHeight_ > 0)
    return {fixedWidth_, fixedHeight_};
  int height = inset_.top + inset_.bottom;
  for (auto& item : items_) {
    if (!item->IsVisible() || item->IsFloat())
      continue;
    height += item->EstimateSize(available).y + item->GetPadding().top + item->GetPadding().bottom +
              childPadding_;
  }
  return {fixedWidth_, height};
}

void CVerticalLayoutUI::LayoutChildren(const wxRect& inner) {
  int fixedTotal = 0, elastic = 0, count = 0;
  for (auto& item : items_) {
    if (!item->IsVisible() || item->IsFloat())
      continue;
    int h = item->GetFixedHeight();
    if (h == 0) {
      ++elastic;
      fixedTotal += item->GetMinHeight();
    } else {
      fixedTotal += h;
    }
    fixedTotal += item->GetPadding().top + item->GetPadding().bottom;
    ++count;
  }
  if (count > 1)
    fixedTotal += childPadding_ * (count - 1);
  UpdateScroll(fixedTotal, inner.height);
  int extra = std::max(0, inner.height - fixedTotal);
  int share = elastic > 0 ? extra / elastic : 0;
  int left = elastic > 0 ? extra - share * elastic : 0;
  int barWidth = scrollRange_ > 0 ? kScrollBarWidth : 0;
  int y = inner.y - scrollY_;
  for (auto& item : items_) {
    if (!item->IsVisible() || item->IsFloat())
      continue;
    const Edges& pad = item->GetPadding();
    int h = item->GetFixedHeight();
    if (h == 0) {
      h = item->GetMinHeight() + share;
      if (--elastic == 0)
        h += left;
    }
    int w = item->GetFixedWidth() > 0 ? item->GetFixedWidth()
                                      : inner.width - barWidth - pad.left - pad.right;
    y += pad.top;
    item->SetPos(wxRect(inner.x + pad.left, y, w, h));
    y += h + pad.bottom + childPadding_;
  }
}

void CHorizontalLayoutUI::LayoutChildren(const wxRect& inner) {
  int fixedTotal = 0, elastic = 0, count = 0;
  for (auto& item : items_) {
    if (!item->IsVisible() || item->IsFloat())
      continue;
    int w = item->GetFixedWidth();
    if (w == 0) {
      ++elastic;
      fixedTotal += item->GetMinWidth();
    } else {
      fixedTotal += w;
    }
    fixedTotal += item->GetPadding().left + item->GetPadding().right;
    ++count;
  }
  if (count > 1)
    fixedTotal += childPadding_ * (count - 1);
  int extra = std::max(0, inner.width - fixedTotal);
  int share = elastic > 0 ? extra / elastic : 0;
  int left = elastic > 0 ? extra - share * elastic : 0;
  int x = inner.x;
  for (auto& item : items_) {
    if (!item->IsVisible() || item->IsFloat())
      continue;
    const Edges& pad = item->GetPadding();
    int w = item->GetFixedWidth();
    if (w == 0) {
      w = item->GetMinWidth() + share;
      if (--elastic == 0)
        w += left;
    }
    int h =
        item->GetFixedHeight() > 0 ? item->GetFixedHeight() : inner.height - pad.top - pad.bottom;
    x += pad.left;
    item->SetPos(wxRect(x, inner.y + pad.top, w, h));
    x += w + pad.right + childPadding_;
  }
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount())
    return false;
  current_ = index;
  ShowCurrentPage();
  NeedUpdate();
  return true;
}

void CTabLayoutUI::ShowCurrentPage() {
  for (int i = 0; i < GetCount(); ++i)
    items_[static_cast<size_t>(i)]->SetInternVisible(i == current_ && IsVisible());
}

void CTabLayoutUI::SetVisible(bool visible) {
  CContainerUI::SetVisible(visible);
  ShowCurrentPage();
}

void CTabLayoutUI::SetInternVisible(bool visible) {
  CContainerUI::SetInternVisible(visible);
  ShowCurrentPage();
}

bool CTabLayoutUI::Add(std::unique_ptr<CControlUI> control) {
  CControlUI* added = control.get();
  if (!CContainerUI::Add(std::move(control)))
    return false;
  added->SetInternVisible(GetCount() - 1 == current_ && IsVisible());
  return true;
}

bool CTabLayoutUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"selectedid") {
    current_ = ParseInt(value);
    return true;
  }
  return CContainerUI::SetAttribute(name, value);
}

void CTabLayoutUI::LayoutChildren(const wxRect& inner) {
  CControlUI* page = GetItemAt(current_);
  if (page == nullptr || page->IsFloat())
    return;
  const Edges& pad = page->GetPadding();
  page->SetPos(wxRect(inner.x + pad.left, inner.y + pad.top, inner.width - pad.left - pad.right,
                      inner.height - pad.top - pad.bottom));
}

}  // namespace framework
