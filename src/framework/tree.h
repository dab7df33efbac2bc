#pragma once
// The tree: a list whose rows are nodes. Each node row holds an indent, a folder button that
// expands and collapses its children, a check box carrying the node's text, and an item label.

#include <vector>

#include "framework/label.h"
#include "framework/list.h"

namespace framework {

class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI {
 public:
  CTreeNodeUI();
  std::wstring_view GetClass() const override { return L"TreeNode"; }

  // Appends a child node (its row goes after this node's last descendant).
  bool Add(std::unique_ptr<CControlUI> control) override;
  CTreeNodeUI* GetParentNode() const { return parentNode_; }
  const std::vector<CTreeNodeUI*>& GetChildNodes() const { return children_; }
  int GetDepth() const;
  CTreeViewUI* GetTreeView() const;

  CCheckBoxUI* GetFolderButton() const { return folder_; }
  CCheckBoxUI* GetCheckBox() const { return check_; }
  CLabelUI* GetItemButton() const { return item_; }
  // Text and tooltip of the check box.
  void SetItemText(std::wstring text);
  bool IsExpanded() const;
  void SetExpanded(bool expanded);
  void SetVisibleFolderBtn(bool visible);
  void SetVisibleCheckBtn(bool visible);

  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;

 private:
  friend class CTreeViewUI;
  void UpdateState();
  CTreeNodeUI* LastDescendant();

  CControlUI* indent_ = nullptr;
  CCheckBoxUI* folder_ = nullptr;
  CCheckBoxUI* check_ = nullptr;
  CLabelUI* item_ = nullptr;
  CTreeNodeUI* parentNode_ = nullptr;
  std::vector<CTreeNodeUI*> children_;
  std::vector<std::unique_ptr<CTreeNodeUI>> pending_;  // children added before this node's tree
};

class CTreeViewUI : public CListUI {
 public:
  std::wstring_view GetClass() const override { return L"TreeView"; }
  // A top-level node at the end.
  bool Add(std::unique_ptr<CControlUI> control) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  void ExpandAll();
  bool IsVisibleFolderBtn() const { return visibleFolder_; }
  bool IsVisibleCheckBtn() const { return visibleCheck_; }
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;

 private:
  friend class CTreeNodeUI;
  bool InsertNode(std::unique_ptr<CTreeNodeUI> node, int index);
  bool visibleFolder_ = true;
  bool visibleCheck_ = false;
};

}  // namespace framework
