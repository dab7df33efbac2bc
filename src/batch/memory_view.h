#pragma once
// The document list and the Base tab kept in memory, for the command line and the tests. It
// records what a window would show.

#include <map>
#include <vector>

#include "batch/view.h"

namespace batch {

class MemoryView : public View {
 public:
  struct Row {
    std::wstring name, folder, time, pages, size;
    DocumentStatus status = DocumentStatus::New;
    std::wstring reason;
    std::wstring pagesNote;  // the Page cell's tooltip
  };

  RowId CreateRow(const DocumentEntry& entry) override;
  void RemoveRow(RowId row) override;
  void ShowStatus(RowId row, DocumentStatus status) override;
  void ShowReason(RowId row, const std::wstring& reason) override;
  std::optional<RowId> SelectedRow() const override { return selected; }
  void EnableFileList(bool enabled) override { listEnabled = enabled; }
  BaseTabValues ReadBaseTab() const override { return baseTab; }
  void ShowBusy(bool shown) override { busy = shown; }
  void ShowProgress(int value) override { progress.push_back(value); }
  void Flash() override { ++flashes; }
  void ShowChapterPlan(const std::vector<planning::PageRange>& plan) override { shownPlan = plan; }

  std::map<RowId, Row> rows;
  std::vector<RowId> rowOrder;
  std::optional<RowId> selected;
  BaseTabValues baseTab;
  bool listEnabled = true;
  bool busy = false;
  std::vector<int> progress;
  int flashes = 0;
  std::vector<planning::PageRange> shownPlan;

 private:
  RowId nextRow_ = 1;
};

}  // namespace batch
