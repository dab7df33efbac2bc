#pragma once
// Buttons (normal, hot, pushed and disabled pictures) and options: radio groups and check
// boxes that raise "selectchanged".

#include "framework/label.h"

namespace framework {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI() { textStyle_ = kAlignCenter | kAlignVCenter; }
  std::wstring_view GetClass() const override { return L"Button"; }
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  bool DoEvent(UIEvent& event) override;
  bool IsCaptionTransparent() const override { return false; }
  bool IsHot() const { return hot_; }
  bool IsPushed() const { return pushed_; }
  // What a click does; options change their selection here.
  virtual void Activate();

 protected:
  void PaintStatusImage(wxDC& dc) override;
  void PaintText(wxDC& dc) override;

  ImageSpec normal_, hotImage_, pushedImage_, disabled_, focused_, fore_, hotFore_;
  std::optional<wxColour> hotTextColor_, pushedTextColor_, hotBkColor_;
  bool hot_ = false;
  bool pushed_ = false;
};

class COptionUI : public CButtonUI {
 public:
  ~COptionUI() override;
  std::wstring_view GetClass() const override { return L"Option"; }
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  const std::wstring& GetGroup() const { return group_; }
  bool IsSelected() const { return selected_; }
  // Changes the state; with notify, a change raises "selectchanged". In a group, selecting
  // deselects the others; a grouped option cannot be deselected by the user.
  void Selected(bool selected, bool notify = true);
  void Activate() override;

 protected:
  void PaintStatusImage(wxDC& dc) override;
  void PaintText(wxDC& dc) override;

  std::wstring group_;
  bool selected_ = false;
  ImageSpec selectedImage_, selectedHot_, selectedDisabled_, foreSelected_;
  std::optional<wxColour> selectedTextColor_, selectedBkColor_;
};

// A check box: an option without a group.
class CCheckBoxUI : public COptionUI {
 public:
  std::wstring_view GetClass() const override { return L"CheckBox"; }
  bool IsChecked() const { return IsSelected(); }
  void SetCheck(bool check, bool notify = true) { Selected(check, notify); }
};

}  // namespace framework
