#include "ui/window_view.h"

#include <array>
#include <cstdio>

#include "framework/button.h"
#include "framework/gif_anim.h"
#include "framework/list.h"
#include "framework/progress.h"
#include "framework/tree.h"
#include "util/number.h"

namespace ui {

namespace {

using batch::DocumentStatus;
using batch::RowId;

// The status pictures of listico.png; New keeps the row layout's own picture.
const wchar_t* StatusImage(DocumentStatus status) {
  switch (status) {
    case DocumentStatus::New:
      return nullptr;
    case DocumentStatus::Ready:
    case DocumentStatus::Planned:
      return L"file='listico.png' dest='0,0,16,16' source='16,0,32,16'";
    case DocumentStatus::Processing:
      return L"file='listico.png' dest='0,0,16,16' source='32,0,48,16'";
    case DocumentStatus::Done:
      return L"file='listico.png' dest='0,0,16,16' source='48,0,64,16'";
    case DocumentStatus::Failed:
    case DocumentStatus::Protected:
      return L"file='listico.png' dest='0,0,16,16' source='80,0,96,16'";
  }
  return nullptr;
}

constexpr wchar_t kFolderAttr[] =
    L"padding=\"0,1,0,0\" width=\"16\" height=\"16\" "
    L"normalimage=\"file='treeview_b.png' source='0,0,16,16' \" "
    L"hotimage=\"file='treeview_b.png' source='16,0,32,16'\" "
    L"selectedimage=\"file='treeview_a.png' source='0,0,16,16' \" "
    L"selectedhotimage=\"file='treeview_a.png' source='16,0,32,16' \" "
    L"disabledimage=\"file='tab.png' source='1,1,17,17'  fade= '0' \"";

// Slots of the open nodes by level; slot 0 stays empty.
constexpr int kLevelSlots = 12;

std::unique_ptr<framework::CControlUI> Build(framework::CDialogBuilder& builder, bool& parsed,
                                             std::wstring_view file,
                                             framework::CPaintManagerUI& manager) {
  try {
    if (!parsed) {
      parsed = true;
      return builder.Create(file, manager.GetArchive(), nullptr, &manager);
    }
    return builder.Create(nullptr, &manager);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return nullptr;
  }
}

void SetLabel(framework::CPaintManagerUI& pm, framework::CControlUI* row, std::wstring_view name,
              const std::wstring& text, bool tooltip = true) {
  if (auto* label = pm.FindSubControlByName(row, name)) {
    label->SetText(text);
    if (tooltip)
      label->SetToolTip(text);
  }
}

}  // namespace

WindowView::WindowView(framework::WindowImplBase& window) : window_(window) {}

framework::CListUI* WindowView::FileList() const {
  return pm().Find<framework::CListUI>(L"ListFile");
}

RowId WindowView::CreateRow(const batch::DocumentEntry& entry) {
  auto* list = FileList();
  if (list == nullptr)
    return 0;
  auto row = Build(rowBuilder_, rowParsed_, L"filelistitem.xml", pm());
  if (!row)
    return 0;
  framework::CControlUI* raw = row.get();
  SetLabel(pm(), raw, L"LBName", entry.name);
  SetLabel(pm(), raw, L"LBPATH", entry.folder);
  SetLabel(pm(), raw, L"LBTIME", entry.timeText);
  SetLabel(pm(), raw, L"LBPage", entry.pageCountText, entry.pagesNote.empty());
  if (!entry.pagesNote.empty())
    if (auto* label = pm().FindSubControlByName(raw, L"LBPage"))
      label->SetToolTip(entry.pagesNote);
  SetLabel(pm(), raw, L"LbSize", entry.sizeText);
  raw->SetFixedHeight(24);
  if (!list->Add(std::move(row)))
    return 0;  // the list destroyed the row it refused
  RowId id = nextRow_++;
  rows_[id] = raw;
  ShowStatus(id, entry.status);
  return id;
}

void WindowView::RemoveRow(RowId row) {
  auto it = rows_.find(row);
  if (it == rows_.end())
    return;
  if (auto* list = FileList())
    list->Remove(it->second);
  rows_.erase(it);
}

void WindowView::ShowStatus(RowId row, DocumentStatus status) {
  auto* control = RowControl(row);
  if (control == nullptr)
    return;
  if (auto* label = pm().FindSubControlByName(control, L"LbStatus")) {
    if (const wchar_t* image = StatusImage(status))
      label->SetAttribute(L"bkimage", image);
    label->SetTag(static_cast<std::intptr_t>(status));
    label->Invalidate();
  }
}

void WindowView::ShowReason(RowId row, const std::wstring& reason) {
  auto* control = RowControl(row);
  if (control == nullptr)
    return;
  // The whole row and its status picture tell why; the text labels keep their own tooltips.
  control->SetToolTip(reason);
  if (auto* label = pm().FindSubControlByName(control, L"LbStatus"))
    label->SetToolTip(reason);
}

std::optional<RowId> WindowView::SelectedRow() const {
  auto* list = FileList();
  if (list == nullptr || list->GetCurSel() < 0)
    return std::nullopt;
  RowId id = RowOf(list->GetItemAt(list->GetCurSel()));
  return id != 0 ? std::optional<RowId>(id) : std::nullopt;
}

void WindowView::EnableFileList(bool enabled) {
  auto* list = FileList();
  if (list == nullptr)
    return;
  list->SetEnabled(enabled);
  for (int i = 0; i < list->GetCount(); ++i)
    list->GetItemAt(i)->SetEnabled(enabled);
  list->Invalidate();
}

batch::BaseTabValues WindowView::ReadBaseTab() const {
  batch::BaseTabValues values;
  if (auto* every = pm().Find<framework::COptionUI>(L"optEvery"))
    values.everyN = every->IsSelected();
  if (auto* edit = pm().FindControl(L"edtEvery"))
    values.everyText = edit->GetText();
  if (auto* edit = pm().FindControl(L"edtBaseManu"))
    values.manualText = edit->GetText();
  return values;
}

void WindowView::ShowBusy(bool busy) {
  if (auto* area = pm().FindControl(L"prgarea"))
    area->SetAttribute(L"visible", busy ? L"true" : L"false");
  if (busy) {
    if (auto* bar = pm().Find<framework::CProgressUI>(L"prg")) {
      bar->SetMaxValue(300);
      bar->SetValue(0);
    }
  }
  // A worker may be reading the marks and the plan: the check boxes wait with the list.
  if (auto* tree = pm().Find<framework::CTreeViewUI>(L"TreeMenu"))
    tree->SetEnabled(!busy);
  if (auto* gif = pm().Find<framework::CGifAnimUI>(L"loadgif")) {
    if (busy) {
      gif->PlayGif();
    } else {
      gif->StopGif();
    }
  }
  pm().NeedUpdate();
}

void WindowView::ShowProgress(int value) {
  if (auto* bar = pm().Find<framework::CProgressUI>(L"prg"))
    bar->SetValue(value);
}

void WindowView::Flash() {
  window_.Flash();
}

void WindowView::ChaptersRead(int index) {
  if (onChaptersRead)
    onChaptersRead(index);
}

void WindowView::ShowChapterPlan(const std::vector<planning::PageRange>& plan) {
  FillPlanList(&plan);
}

RowId WindowView::RowOf(const framework::CControlUI* control) const {
  if (control == nullptr)
    return 0;
  for (const auto& [id, row] : rows_) {
    if (row == control)
      return id;
  }
  return 0;
}

framework::CControlUI* WindowView::RowControl(RowId row) const {
  auto it = rows_.find(row);
  return it == rows_.end() ? nullptr : it->second;
}

void WindowView::FillPlanList(const std::vector<planning::PageRange>* plan) {
  auto* list = pm().Find<framework::CListUI>(L"listPlanLeft");
  if (list == nullptr)
    return;
  list->RemoveAll();
  if (plan == nullptr)
    return;
  for (const planning::PageRange& range : *plan) {
    auto row = Build(planBuilder_, planParsed_, L"planItem.xml", pm());
    if (!row)
      continue;
    framework::CControlUI* raw = row.get();
    raw->SetFixedHeight(20);
    if (!list->Add(std::move(row)))
      continue;
    if (auto* begin = pm().FindSubControlByName(raw, L"LbBegin")) {
      begin->SetText(range.beginText);
      begin->SetToolTip(range.beginText);
      begin->SetFont(1);
    }
    if (auto* end = pm().FindSubControlByName(raw, L"LBEnd")) {
      end->SetText(range.endText);
      end->SetToolTip(range.endText);
      end->SetFont(1);
    }
    if (auto* pages = pm().FindSubControlByName(raw, L"LBPages")) {
      pages->SetFont(1);
      pages->SetText(range.pageCount == 0 ? L"-" : std::to_wstring(range.pageCount));
    }
  }
  list->NeedUpdate();
}

void WindowView::ClearChapterView() {
  FillPlanList(nullptr);
  if (auto* tree = pm().Find<framework::CTreeViewUI>(L"TreeMenu")) {
    tree->RemoveAll();
    tree->SetVisible(true);
  }
  if (auto* notFound = pm().FindControl(L"notitle"))
    notFound->SetVisible(false);
}

void WindowView::FillChapterView(const std::vector<planning::PageRange>* plan,
                                 const std::vector<engine::ChapterEntry>* chapters) {
  FillPlanList(plan);
  auto* tree = pm().Find<framework::CTreeViewUI>(L"TreeMenu");
  auto* notFound = pm().FindControl(L"notitle");
  if (tree == nullptr)
    return;
  if (tree->GetHeader() != nullptr)
    tree->GetHeader()->SetVisible(false);
  tree->RemoveAll();
  if (chapters == nullptr || chapters->empty()) {
    if (notFound != nullptr)
      notFound->SetVisible(true);
    tree->SetVisible(false);
    return;
  }
  if (notFound != nullptr)
    notFound->SetVisible(false);
  tree->SetVisible(true);

  std::array<framework::CTreeNodeUI*, kLevelSlots> open{};
  for (const engine::ChapterEntry& chapter : *chapters) {
    const int level = chapter.level;
    if (level < 1)
      continue;  // no node; the heading still counts for the plan
    auto node = std::make_unique<framework::CTreeNodeUI>();
    framework::CTreeNodeUI* raw = node.get();
    node->SetItemText(chapter.title);
    framework::CCheckBoxUI* check = node->GetCheckBox();
    check->SetVisible(false);  // the tree shows it again as it takes the node
    check->SetFont(1);
    check->SetAttribute(L"textpadding", L"4,2,1,0");
    check->SetAttribute(L"hotimage", L"file='menu_hor.png' corner='3,3,3,3' ");
    check->SetAttribute(L"normalimage", L"file='menu_normal.png' corner='3,3,3,3' ");
    check->SetAttribute(L"selectedimage", L"file='menu_prs.png' corner='3,3,3,3' ");
    check->SetAttribute(L"endellipsis", L"true");
    framework::CLabelUI* page = node->GetItemButton();
    page->SetText(L"P" + chapter.pageText);
    page->SetAttribute(L"bkimage", L"file='menu_normal.png' corner='3,3,3,3' ");
    node->SetAttribute(L"folderattr", kFolderAttr);
    node->SetName(chapter.key);
    check->OnNotify += [this, raw, check](framework::TNotifyUI& msg) {
      if (msg.sType == framework::kNotifySelectChanged && onChapterChecked)
        onChapterChecked(raw->GetName(), check->IsSelected());
      return true;
    };
    if (chapter.marked)
      check->Selected(true, false);

    // A level deeper than the table hangs under the deepest open node and keeps no slot.
    const int slot = std::min(level, kLevelSlots - 1);
    bool added = false;
    if (level == 1) {
      added = tree->Add(std::move(node));
      if (added) {
        open[1] = raw;
        open[2] = nullptr;  // only slot 2: a deeper slot may still receive children
      }
    } else {
      framework::CTreeNodeUI* parent = nullptr;
      for (int s = std::min(level - 1, kLevelSlots - 1); s >= 1 && parent == nullptr; --s)
        parent = open[static_cast<std::size_t>(s)];
      added = parent != nullptr ? parent->Add(std::move(node)) : tree->Add(std::move(node));
      if (added && level < kLevelSlots) {
        open[static_cast<std::size_t>(slot)] = raw;
        for (int s = slot + 1; s < kLevelSlots; ++s)
          open[static_cast<std::size_t>(s)] = nullptr;
      }
    }
  }
  tree->ExpandAll();
  tree->NeedUpdate();
}

}  // namespace ui
