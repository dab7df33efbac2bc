#include "framework/paint_manager.h"

#include <algorithm>
#include <cwctype>

#include <wx/fontenum.h>

#include "framework/button.h"

namespace framework {

namespace {

bool SameName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

// The layouts name a face this system may not have; a face that is missing makes the font
// invalid, so the nearest installed one stands in.
wxString ChooseFace(std::wstring_view wanted) {
  static const wchar_t* const kFallbacks[] = {L"Microsoft YaHei", L"WenQuanYi Micro Hei",
                                              L"Noto Sans CJK SC", L"DejaVu Sans"};
  wxString face(wanted.data(), wanted.size());
  if (!face.empty() && wxFontEnumerator::IsValidFacename(face))
    return face;
  for (const wchar_t* fallback : kFallbacks) {
    if (wxFontEnumerator::IsValidFacename(fallback))
      return fallback;
  }
  return wxString();
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() : images_(std::make_unique<ImageCache>(nullptr)) {}

CPaintManagerUI::~CPaintManagerUI() {
  hot_ = nullptr;
  focus_ = nullptr;
  captured_ = nullptr;
  root_.reset();
}

void CPaintManagerUI::Init(wxWindow* canvas, const ResourceArchive* archive) {
  canvas_ = canvas;
  archive_ = archive;
  images_ = std::make_unique<ImageCache>(archive);
}

void CPaintManagerUI::AttachDialog(std::unique_ptr<CControlUI> root) {
  root_ = std::move(root);
  if (root_)
    root_->SetManager(this, nullptr);
  NeedUpdate();
}

CControlUI* CPaintManagerUI::FindControl(std::wstring_view name) const {
  return root_ ? FindSubControlByName(root_.get(), name) : nullptr;
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent,
                                                  std::wstring_view name) const {
  if (parent == nullptr || name.empty())
    return nullptr;
  CControlUI* found = nullptr;
  parent->ForEach([&](CControlUI* control) {
    if (found == nullptr && SameName(control->GetName(), name))
      found = control;
  });
  return found;
}

void CPaintManagerUI::AddFont(int index, std::wstring_view face, int size, bool bold, bool italic,
                              bool underline) {
  wxFontInfo info(wxSize(0, size));
  info.FaceName(ChooseFace(face)).Bold(bold).Italic(italic).Underlined(underline);
  fonts_[index] = wxFont(info);
}

wxFont CPaintManagerUI::GetFont(int index) const {
  auto it = fonts_.find(index);
  if (it == fonts_.end())
    it = fonts_.find(defaultFont_);
  if (it == fonts_.end())
    it = fonts_.find(0);
  if (it != fonts_.end())
    return it->second;
  wxFontInfo info(wxSize(0, 13));
  info.FaceName(ChooseFace(L""));
  return wxFont(info);
}

void CPaintManagerUI::ShareResourcesWith(const CPaintManagerUI& other) {
  for (const auto& [index, font] : other.fonts_)
    fonts_.try_emplace(index, font);
  for (const auto& [name, list] : other.defaults_)
    defaults_.try_emplace(name, list);
  if (defaultFont_ < 0)
    defaultFont_ = other.defaultFont_;
}

const std::wstring* CPaintManagerUI::GetDefaultAttributeList(std::wstring_view name) const {
  auto it = defaults_.find(name);
  return it == defaults_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) {
    notifiers_.push_back(notifier);
  }
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  notifiers_.erase(std::remove(notifiers_.begin(), notifiers_.end(), notifier), notifiers_.end());
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const std::wstring& type, std::intptr_t wParam,
                                 std::intptr_t lParam) {
  TNotifyUI msg{type, sender, wParam, lParam};
  if (sender != nullptr && !sender->OnNotify(msg))
    return;
  auto receivers = notifiers_;
  for (INotifyUI* receiver : receivers)
    receiver->Notify(msg);
}

void CPaintManagerUI::AddOptionGroup(const std::wstring& group, COptionUI* option) {
  auto& members = groups_[group];
  if (std::find(members.begin(), members.end(), option) == members.end())
    members.push_back(option);
}

void CPaintManagerUI::RemoveOptionGroup(const std::wstring& group, COptionUI* option) {
  auto it = groups_.find(group);
  if (it == groups_.end())
    return;
  auto& members = it->second;
  members.erase(std::remove(members.begin(), members.end(), option), members.end());
}

const std::vector<COptionUI*>& CPaintManagerUI::GetOptionGroup(const std::wstring& group) {
  return groups_[group];
}

void CPaintManagerUI::Invalidate() {
  if (canvas_ != nullptr)
    canvas_->Refresh(false);
}

void CPaintManagerUI::NeedUpdate() {
  needUpdate_ = true;
  Invalidate();
}

void CPaintManagerUI::UpdateLayout() {
  if (!needUpdate_ || !root_ || canvas_ == nullptr)
    return;
  needUpdate_ = false;
  wxSize client = canvas_->GetClientSize();
  root_->SetPos(wxRect(0, 0, client.x, client.y));
  root_->ForEach([](CControlUI* control) { control->SyncNative(); });
}

void CPaintManagerUI::Paint(wxDC& dc, const wxRect& clip) {
  UpdateLayout();
  if (root_)
    root_->DoPaint(dc, clip);
}

void CPaintManagerUI::SetHot(CControlUI* control, wxPoint point) {
  if (control == hot_)
    return;
  if (hot_ != nullptr) {
    UIEvent leave{UIEventType::MouseLeave, point};
    hot_->DoEvent(leave);
  }
  hot_ = control;
  if (hot_ != nullptr) {
    UIEvent enter{UIEventType::MouseEnter, point};
    hot_->DoEvent(enter);
  }
  if (canvas_ != nullptr) {
    // The nearest tooltip up the tree, so a label inside a row still shows its own.
    std::wstring tip;
    for (CControlUI* c = hot_; c != nullptr && tip.empty(); c = c->GetParent())
      tip = c->GetToolTip();
    if (tip.empty()) {
      canvas_->UnsetToolTip();
    } else {
      canvas_->SetToolTip(wxString(tip));
    }
  }
}

void CPaintManagerUI::HandleMouse(UIEvent event) {
  if (!root_)
    return;
  UpdateLayout();
  CControlUI* target = captured_;
  if (target == nullptr)
    target = root_->FindControlAt(event.point);
  if (event.type == UIEventType::MouseLeave) {
    SetHot(nullptr, event.point);
    return;
  }
  if (event.type == UIEventType::MouseMove && captured_ == nullptr)
    SetHot(target, event.point);
  if (event.type == UIEventType::ButtonDown || event.type == UIEventType::RButtonDown) {
    CControlUI* focusable = target;
    while (focusable != nullptr && !focusable->IsFocusable())
      focusable = focusable->GetParent();
    SetFocus(focusable);
  }
  if (event.type == UIEventType::ButtonDown) {
    captured_ = target;
  } else if (event.type == UIEventType::ButtonUp) {
    captured_ = nullptr;
  }
  // Bubble: a control that does not take the event hands it to its parent. A control may be
  // destroyed by its own event (a row removed by its button), so the parent is read first.
  for (CControlUI* c = target; c != nullptr;) {
    CControlUI* parent = c->GetParent();
    if (c->IsEffectivelyEnabled() && c->DoEvent(event))
      break;
    if (!c->IsEffectivelyEnabled() && event.type != UIEventType::Wheel)
      break;
    c = parent;
  }
  if (event.type == UIEventType::ButtonUp && captured_ == nullptr) {
    SetHot(root_ ? root_->FindControlAt(event.point) : nullptr, event.point);
  }
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (focus_ == control)
    return;
  focus_ = control;
  Invalidate();
}

void CPaintManagerUI::ReapControl(CControlUI* control) {
  if (focus_ == control)
    focus_ = nullptr;
  if (hot_ == control)
    hot_ = nullptr;
  if (captured_ == control)
    captured_ = nullptr;
}

}  // namespace framework
