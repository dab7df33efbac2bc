#pragma once
// Containers: a plain container (children fill it or float in it), vertical and horizontal
// layouts, and the tab layout that shows one child at a time.

#include <memory>
#include <vector>

#include "framework/control.h"

namespace framework {

class CContainerUI : public CControlUI {
 public:
  ~CContainerUI() override;
  std::wstring_view GetClass() const override { return L"Container"; }

  // Takes ownership; returns false (and destroys nothing) for a null control.
  virtual bool Add(std::unique_ptr<CControlUI> control);
  virtual bool AddAt(std::unique_ptr<CControlUI> control, int index);
  // Removes and destroys the child.
  virtual bool Remove(CControlUI* control);
  virtual void RemoveAll();
  virtual int GetCount() const { return static_cast<int>(items_.size()); }
  virtual CControlUI* GetItemAt(int index) const;
  virtual int GetItemIndex(const CControlUI* control) const;

  const Edges& GetInset() const { return inset_; }
  void SetInset(Edges inset) {
    inset_ = inset;
    NeedUpdate();
  }
  int GetScrollPos() const { return scrollY_; }
  void SetScrollPos(int y);

  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  void SetPos(const wxRect& rect) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible) override;
  void DoPaint(wxDC& dc, const wxRect& clip) override;
  bool DoEvent(UIEvent& event) override;
  CControlUI* FindControlAt(wxPoint point) override;
  void ForEach(const std::function<void(CControlUI*)>& f) override;

 protected:
  static constexpr int kScrollBarWidth = 12;
  wxRect InnerRect() const;
  // Places the floating children; the others are placed by LayoutChildren.
  void PlaceFloat(CControlUI* child, const wxRect& inner);
  virtual void LayoutChildren(const wxRect& inner);
  // Scrolling: the height the children need and the room they have.
  void UpdateScroll(int contentHeight, int viewHeight);
  void PaintScrollBar(wxDC& dc);
  wxRect ScrollBarRect() const;

  std::vector<std::unique_ptr<CControlUI>> items_;
  Edges inset_;
  int childPadding_ = 0;
  bool vscroll_ = false;
  bool hscroll_ = false;
  int scrollY_ = 0;
  int scrollRange_ = 0;  // content height beyond the view; 0 when everything fits
  bool draggingThumb_ = false;
  int dragStartY_ = 0;
  int dragStartScroll_ = 0;
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  std::wstring_view GetClass() const override { return L"VerticalLayout"; }
  wxSize EstimateSize(wxSize available) override;

 protected:
  void LayoutChildren(const wxRect& inner) override;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  std::wstring_view GetClass() const override { return L"HorizontalLayout"; }

 protected:
  void LayoutChildren(const wxRect& inner) override;
};

class CTabLayoutUI : public CContainerUI {
 public:
  std::wstring_view GetClass() const override { return L"TabLayout"; }
  int GetCurSel() const { return current_; }
  bool SelectItem(int index);
  bool Add(std::unique_ptr<CControlUI> control) override;
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible) override;

 protected:
  void LayoutChildren(const wxRect& inner) override;

 private:
  // Only the current page is visible, and only while the tab layout is.
  void ShowCurrentPage();
  int current_ = 0;
};

}  // namespace framework
