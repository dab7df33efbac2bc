#pragma once
// The list: a header whose columns the rows line up with, and a scrolling body of rows built
// from controls. One row is selected at a time; rows can be hot and disabled.
// Notifications: "itemclick", "itemdbclick", "itemrclick" from the row, "itemselect" from the
// list (wParam = new index, lParam = old index).

#include <memory>
#include <optional>

#include "framework/button.h"
#include "framework/container.h"

namespace framework {

class CListUI;

class CListHeaderItemUI : public CButtonUI {
 public:
  std::wstring_view GetClass() const override { return L"ListHeaderItem"; }
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  bool DoEvent(UIEvent& event) override;

 protected:
  void PaintStatusImage(wxDC& dc) override;
  ImageSpec sepImage_;
  int sepWidth_ = 0;
};

class CListHeaderUI : public CHorizontalLayoutUI {
 public:
  std::wstring_view GetClass() const override { return L"ListHeader"; }
};

class CListBodyUI : public CVerticalLayoutUI {
 public:
  std::wstring_view GetClass() const override { return L"ListBody"; }
};

// One row. Its children take the columns of the list's header, in order.
class CListContainerElementUI : public CHorizontalLayoutUI {
 public:
  std::wstring_view GetClass() const override { return L"ListContainerElement"; }
  CListUI* GetOwner() const;
  int GetIndex() const;
  bool IsSelected() const { return selected_; }
  bool IsHot() const { return hot_; }
  // Selects the row in its list.
  bool Select(bool select = true);
  void SetSelectedState(bool selected);
  void SetHotState(bool hot);
  bool DoEvent(UIEvent& event) override;
  void DoPaint(wxDC& dc, const wxRect& clip) override;
  std::optional<wxColour> ItemTextColor() const override;
  bool IsCaptionTransparent() const override { return false; }

 protected:
  void LayoutChildren(const wxRect& inner) override;
  bool selected_ = false;
  bool hot_ = false;
};

// Plain-label row element of the layouts; same behaviour as a container row.
class CListLabelElementUI : public CListContainerElementUI {
 public:
  std::wstring_view GetClass() const override { return L"ListLabelElement"; }
};

struct ListItemStyle {
  int font = -1;
  Edges textPadding;
  std::optional<wxColour> textColor, bkColor, selectedTextColor, selectedBkColor, hotTextColor,
      hotBkColor, disabledTextColor, disabledBkColor, lineColor;
  ImageSpec image, selectedImage, hotImage, disabledImage;
};

class CListUI : public CVerticalLayoutUI {
 public:
  CListUI();
  std::wstring_view GetClass() const override { return L"List"; }

  // Rows: these address the body, not the header.
  bool Add(std::unique_ptr<CControlUI> control) override;
  bool AddAt(std::unique_ptr<CControlUI> control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  int GetCount() const override;
  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(const CControlUI* control) const override;

  CListHeaderUI* GetHeader() const { return header_; }
  CListBodyUI* GetList() const { return body_; }
  int GetCurSel() const { return current_; }
  // Selects one row (-1 for none); raises "itemselect" when the selection changes.
  bool SelectItem(int index, bool notify = true);
  ListItemStyle& GetItemStyle() { return style_; }
  void SetItemLineColor(wxColour color) {
    style_.lineColor = color;
    Invalidate();
  }
  void SetHot(CListContainerElementUI* row);

  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  bool IsCaptionTransparent() const override { return false; }
  bool IsFocusable() const override { return true; }

 protected:
  CListHeaderUI* header_ = nullptr;
  CListBodyUI* body_ = nullptr;
  int current_ = -1;
  ListItemStyle style_;
};

}  // namespace framework
