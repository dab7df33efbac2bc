#pragma once
// What the workbench needs of the screen. The window implements it with controls; the command
// line and the tests keep it in memory. Every call comes on the window's thread.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "documents/document_entry.h"
#include "planning/split_plan.h"
#include "util/message_box.h"

namespace batch {

using documents::DocumentEntry;
using documents::DocumentStatus;
using documents::RowId;

// The Base tab's page-plan controls as the user left them.
struct BaseTabValues {
  bool everyN = true;       // optEvery selected, else optManu
  std::wstring everyText;   // edtEvery
  std::wstring manualText;  // edtBaseManu
};

class View {
 public:
  virtual ~View() = default;

  // A new row at the end of the document list showing the entry's texts; 0 when refused.
  virtual RowId CreateRow(const DocumentEntry& entry) = 0;
  virtual void RemoveRow(RowId row) = 0;
  // The row's status picture and tag.
  virtual void ShowStatus(RowId row, DocumentStatus status) = 0;
  // Why the row's document failed or is protected (its tooltip); empty clears it.
  virtual void ShowReason(RowId row, const std::wstring& reason) = 0;
  // The selected row, if any (one at a time).
  virtual std::optional<RowId> SelectedRow() const = 0;
  virtual void EnableFileList(bool enabled) = 0;

  virtual BaseTabValues ReadBaseTab() const = 0;

  // The busy display: progress area with the bar (maximum 300) at 0, the animation, and the
  // chapter check boxes disabled.
  virtual void ShowBusy(bool busy) = 0;
  virtual void ShowProgress(int value) = 0;
  // Draws attention to the window after a worker ended.
  virtual void Flash() = 0;

  // The chapters of document `index` were read (or could not be).
  virtual void ChaptersRead(int index) { (void)index; }
  // The chapter plan of the selected document changed.
  virtual void ShowChapterPlan(const std::vector<planning::PageRange>& plan) { (void)plan; }

  // The owner window of message boxes.
  virtual util::WindowHandle Handle() const { return nullptr; }
};

}  // namespace batch
