#include "batch/memory_view.h"

#include <algorithm>

namespace batch {

RowId MemoryView::CreateRow(const DocumentEntry& entry) {
  RowId id = nextRow_++;
  rows[id] = Row{entry.name,   entry.folder, entry.timeText, entry.pageCountText, entry.sizeText,
                 entry.status, L"",          entry.pagesNote};
  rowOrder.push_back(id);
  return id;
}

void MemoryView::RemoveRow(RowId row) {
  rows.erase(row);
  std::erase(rowOrder, row);
  if (selected == row)
    selected.reset();
}

void MemoryView::ShowStatus(RowId row, DocumentStatus status) {
  if (auto it = rows.find(row); it != rows.end())
    it->second.status = status;
}

void MemoryView::ShowReason(RowId row, const std::wstring& reason) {
  if (auto it = rows.find(row); it != rows.end())
    it->second.reason = reason;
}

}  // namespace batch
