#include "framework/tree.h"

#include <algorithm>

namespace framework {

namespace {
constexpr int kIndentStep = 16;
}

CTreeNodeUI::CTreeNodeUI() {
  fixedHeight_ = 22;
  auto indent = std::make_unique<CControlUI>();
  indent->SetFixedWidth(1);
  indent_ = indent.get();
  auto folder = std::make_unique<CCheckBoxUI>();
  folder->SetFixedWidth(16);
  folder_ = folder.get();
  auto check = std::make_unique<CCheckBoxUI>();
  check->SetTextStyle(kAlignLeft | kAlignVCenter | kEndEllipsis);
  check_ = check.get();
  auto item = std::make_unique<CLabelUI>();
  item->SetFixedWidth(35);
  item->SetTextStyle(kAlignCenter | kAlignVCenter);
  item_ = item.get();
  CContainerUI::Add(std::move(indent));
  CContainerUI::Add(std::move(folder));
  CContainerUI::Add(std::move(check));
  CContainerUI::Add(std::move(item));
  folder_->OnNotify += [this](TNotifyUI& msg) {
    if (msg.sType == kNotifySelectChanged)
      SetExpanded(folder_->IsSelected());
    return true;
  };
}

int CTreeNodeUI::GetDepth() const {
  int depth = 0;
  for (CTreeNodeUI* p = parentNode_; p != nullptr; p = p->parentNode_)
    ++depth;
  return depth;
}

CTreeViewUI* CTreeNodeUI::GetTreeView() const {
  return dynamic_cast<CTreeViewUI*>(GetOwner());
}

CTreeNodeUI* CTreeNodeUI::LastDescendant() {
  CTreeNodeUI* last = this;
  while (!last->children_.empty())
    last = last->children_.back();
  return last;
}

bool CTreeNodeUI::Add(std::unique_ptr<CControlUI> control) {
  auto* raw = dynamic_cast<CTreeNodeUI*>(control.get());
  if (raw == nullptr)
    return false;
  std::unique_ptr<CTreeNodeUI> node(static_cast<CTreeNodeUI*>(control.release()));
  CTreeViewUI* tree = GetTreeView();
  node->parentNode_ = this;
  if (tree == nullptr) {
    children_.push_back(raw);
    pending_.push_back(std::move(node));
    return true;
  }
  int index = tree->GetItemIndex(LastDescendant()) + 1;
  children_.push_back(raw);
  if (!tree->InsertNode(std::move(node), index)) {
    children_.pop_back();
    return false;
  }
  UpdateState();
  return true;
}

void CTreeNodeUI::SetItemText(std::wstring text) {
  check_->SetToolTip(text);
  check_->SetText(std::move(text));
}

bool CTreeNodeUI::IsExpanded() const {
  return folder_->IsSelected();
}

void CTreeNodeUI::SetExpanded(bool expanded) {
  folder_->Selected(expanded, false);
  // A child row is shown only while every ancestor node is expanded.
  std::function<void(CTreeNodeUI*, bool)> show = [&](CTreeNodeUI* node, bool visible) {
    for (CTreeNodeUI* child : node->children_) {
      child->SetVisible(visible);
      show(child, visible && child->IsExpanded());
    }
  };
  show(this, expanded && IsShown());
  NeedUpdate();
}

void CTreeNodeUI::SetVisibleFolderBtn(bool visible) {
  folder_->SetVisible(visible);
}
void CTreeNodeUI::SetVisibleCheckBtn(bool visible) {
  check_->SetVisible(visible);
}

void CTreeNodeUI::UpdateState() {
  indent_->SetFixedWidth(1 + kIndentStep * GetDepth());
  folder_->SetEnabled(!children_.empty());
}

bool CTreeNodeUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"folderattr") {
    folder_->ApplyAttributeList(value);
  } else if (name == L"checkboxattr") {
    check_->ApplyAttributeList(value);
  } else if (name == L"itemattr") {
    item_->ApplyAttributeList(value);
  } else if (name == L"itemtext") {
    SetItemText(std::wstring(value));
  } else {
    return CListContainerElementUI::SetAttribute(name, value);
  }
  return true;
}

bool CTreeViewUI::InsertNode(std::unique_ptr<CTreeNodeUI> node, int index) {
  CTreeNodeUI* raw = node.get();
  auto pending = std::move(raw->pending_);
  raw->pending_.clear();
  if (!CListUI::AddAt(std::move(node), index))
    return false;
  if (visibleCheck_)
    raw->SetVisibleCheckBtn(true);
  raw->SetVisibleFolderBtn(visibleFolder_);
  raw->UpdateState();
  int next = index + 1;
  for (auto& child : pending) {
    CTreeNodeUI* c = child.get();
    InsertNode(std::move(child), next);
    next = GetItemIndex(c->LastDescendant()) + 1;
  }
  return true;
}

bool CTreeViewUI::Add(std::unique_ptr<CControlUI> control) {
  auto* raw = dynamic_cast<CTreeNodeUI*>(control.get());
  if (raw == nullptr)
    return CListUI::Add(std::move(control));
  std::unique_ptr<CTreeNodeUI> node(static_cast<CTreeNodeUI*>(control.release()));
  return InsertNode(std::move(node), GetCount());
}

bool CTreeViewUI::Remove(CControlUI* control) {
  auto* node = dynamic_cast<CTreeNodeUI*>(control);
  if (node == nullptr)
    return CListUI::Remove(control);
  while (!node->children_.empty())
    Remove(node->children_.back());
  if (node->parentNode_ != nullptr) {
    auto& siblings = node->parentNode_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    node->parentNode_->UpdateState();
  }
  return CListUI::Remove(control);
}

void CTreeViewUI::RemoveAll() {
  CListUI::RemoveAll();
}

void CTreeViewUI::ExpandAll() {
  for (int i = 0; i < GetCount(); ++i) {
    if (auto* node = dynamic_cast<CTreeNodeUI*>(GetItemAt(i)))
      node->SetExpanded(true);
  }
}

bool CTreeViewUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"visiblefolderbtn") {
    visibleFolder_ = ParseBool(value);
  } else if (name == L"visiblecheckbtn") {
    visibleCheck_ = ParseBool(value);
  } else {
    return CListUI::SetAttribute(name, value);
  }
  return true;
}

}  // namespace framework
