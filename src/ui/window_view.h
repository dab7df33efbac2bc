#pragma once
// The workbench's view drawn with the main window's controls: the document rows of ListFile,
// the Base tab's values, the busy display and the chapter page (tree and plan list). Every
// call comes on the window's thread.

#include <functional>
#include <map>
#include <vector>

#include "batch/view.h"
#include "engine/chapter_entry.h"
#include "framework/builder.h"
#include "framework/window_impl_base.h"

namespace framework {
class CListUI;
class CTreeViewUI;
}  // namespace framework

namespace ui {

class WindowView : public batch::View {
 public:
  explicit WindowView(framework::WindowImplBase& window);

  batch::RowId CreateRow(const batch::DocumentEntry& entry) override;
  void RemoveRow(batch::RowId row) override;
  void ShowStatus(batch::RowId row, batch::DocumentStatus status) override;
  void ShowReason(batch::RowId row, const std::wstring& reason) override;
  std::optional<batch::RowId> SelectedRow() const override;
  void EnableFileList(bool enabled) override;
  batch::BaseTabValues ReadBaseTab() const override;
  void ShowBusy(bool busy) override;
  void ShowProgress(int value) override;
  void Flash() override;
  void ChaptersRead(int index) override;
  void ShowChapterPlan(const std::vector<planning::PageRange>& plan) override;
  util::WindowHandle Handle() const override { return &window_; }

  // The document row a control of the list is, or 0.
  batch::RowId RowOf(const framework::CControlUI* control) const;
  framework::CControlUI* RowControl(batch::RowId row) const;

  // Rebuilds the chapter page: the plan list, and the tree of headings (or "Not found" when
  // there are none). Either may be absent.
  void FillChapterView(const std::vector<planning::PageRange>* plan,
                       const std::vector<engine::ChapterEntry>* chapters);
  void FillPlanList(const std::vector<planning::PageRange>* plan);
  // An empty tree and plan list, without "Not found": nothing is known about the document yet.
  void ClearChapterView();

  // Set by the window: what a finished chapter read and a changed check box lead to.
  std::function<void(int index)> onChaptersRead;
  std::function<void(const std::wstring& key, bool marked)> onChapterChecked;

 private:
  framework::CPaintManagerUI& pm() const { return window_.GetPaintManager(); }
  framework::CListUI* FileList() const;

  framework::WindowImplBase& window_;
  framework::CDialogBuilder rowBuilder_;
  framework::CDialogBuilder planBuilder_;
  bool rowParsed_ = false;
  bool planParsed_ = false;
  std::map<batch::RowId, framework::CControlUI*> rows_;
  batch::RowId nextRow_ = 1;
};

}  // namespace ui
