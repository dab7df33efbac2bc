// The main window at work: the real program's window over the real engine and the built-in
// document server, driven through its controls on generated documents.

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>

#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "batch/word_engine.h"
#include "docserver/server.h"
#include "framework/button.h"
#include "framework/container.h"
#include "framework/edit.h"
#include "framework/host_frame.h"
#include "framework/list.h"
#include "framework/menu_wnd.h"
#include "framework/tree.h"
#include "framework/web_browser.h"
#include "planning/output_folders.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"
#include "ui/aux_windows.h"
#include "ui/dialogs.h"
#include "ui/gui_support.h"
#include "ui/main_window.h"
#include "util/folder_picker.h"
#include "util/message_box.h"

namespace ui {
namespace {

namespace docx = testsupport::docx;
namespace fs = std::filesystem;
using batch::DocumentStatus;

// Holds every worker at the start of its engine until opened, so a run can be caught midway.
class Gate {
 public:
  void Close() {
    std::lock_guard guard(lock_);
    open_ = false;
  }
  void Open() {
    {
      std::lock_guard guard(lock_);
      open_ = true;
    }
    wake_.notify_all();
  }
  void Wait() {
    std::unique_lock guard(lock_);
    wake_.wait(guard, [this] { return open_; });
  }

 private:
  std::mutex lock_;
  std::condition_variable wake_;
  bool open_ = true;
};

class GatedEngine : public batch::WordEngine {
 public:
  explicit GatedEngine(Gate& gate) : gate_(gate), real_(batch::MakeWordEngine()) {}
  bool StartWord() override {
    gate_.Wait();
    return real_->StartWord();
  }
  bool QuitWord() override { return real_->QuitWord(); }
  std::int32_t ReadPageCount(std::wstring_view path, std::wstring& timeText,
                             util::MessageTarget* window, std::int32_t base,
                             std::int32_t step) override {
    return real_->ReadPageCount(path, timeText, window, base, step);
  }
  std::int32_t ReadChapters(std::wstring_view path, std::vector<engine::ChapterEntry>& chapters,
                            util::MessageTarget* window) override {
    return real_->ReadChapters(path, chapters, window);
  }
  std::int32_t ExportPageRange(std::wstring_view source, std::wstring_view target,
                               std::int32_t first, std::int32_t last, std::int32_t pages,
                               std::int32_t align) override {
    return real_->ExportPageRange(source, target, first, last, pages, align);
  }
  std::int32_t ExportChapterRange(std::wstring_view source, std::wstring_view target,
                                  std::wstring_view begin, std::wstring_view end) override {
    return real_->ExportChapterRange(source, target, begin, end);
  }
  batch::PieceCheck VerifyPiece(std::wstring_view piece, std::wstring& difference) override {
    return real_->VerifyPiece(piece, difference);
  }

 private:
  Gate& gate_;
  std::unique_ptr<batch::WordEngine> real_;
};

std::string Pages(int pages) {
  return docx::PagedBody(pages);
}

// A table of contents over four chapters, each on its own page (pages 2 to 5).
std::string Book() {
  return docx::ChapterBook(4, "_Toc20", "Contents");
}

std::set<std::wstring> Files(const std::wstring& folder) {
  std::set<std::wstring> names;
  std::error_code error;
  for (const auto& item : fs::directory_iterator(platform::ToPath(folder), error)) {
    std::wstring name = platform::FromPath(item.path().filename());
    if (name != planning::kOutputFolderMarker)
      names.insert(name);
  }
  return names;
}

class WindowAtWork : public ::testing::Test {
 protected:
  void SetUp() override {
    docserver::RegisterBuiltInServer();
    previousPresenter_ = util::SetMessagePresenter([this](std::wstring_view text, void*) {
      std::lock_guard guard(lock_);
      messages_.emplace_back(text);
    });
    previousShell_ = platform::SetShellHandler([this](platform::ShellAction, std::wstring_view t) {
      std::lock_guard guard(lock_);
      shell_.emplace_back(t);
    });
    SetFilePicker([this]() -> std::optional<std::vector<std::wstring>> {
      ++fileDialogs_;
      return std::nullopt;
    });
    util::SetFolderPicker([this](const std::wstring&) -> std::optional<std::wstring> {
      ++folderDialogs_;
      return pickedFolder_;
    });
    OpenWindow();
  }

  void TearDown() override {
    gate_.Open();
    window_.reset();
    util::SetMessagePresenter(previousPresenter_);
    platform::SetShellHandler(previousShell_);
    SetFilePicker(nullptr);
    util::SetFolderPicker(nullptr);
  }

  void OpenWindow() {
    window_ = std::make_unique<ui>([this] { return std::make_unique<GatedEngine>(gate_); });
    window_->Create(nullptr, L"VARNIK", wxPoint(0, 0), wxSize(1277, 900));
    window_->AcceptFiles(true);
    window_->CenterWindow();
    window_->ShowWindow(true);
    uitest::PumpUntil([&] { return window_->GetHWND()->IsShownOnScreen(); });
    pm().UpdateLayout();
  }

  framework::CPaintManagerUI& pm() { return window_->GetPaintManager(); }
  batch::Workbench& bench() { return window_->Bench(); }
  framework::CListUI* fileList() { return pm().Find<framework::CListUI>(L"ListFile"); }
  template <typename T = framework::CControlUI>
  T* Find(std::wstring_view name) {
    auto* control = pm().Find<T>(name);
    EXPECT_NE(control, nullptr) << platform::ToUtf8(name);
    return control;
  }

  static wxPoint Middle(framework::CControlUI* control) {
    return control->GetPos().GetPosition() + control->GetPos().GetSize() / 2;
  }
  void Press(framework::CPaintManagerUI& manager, framework::CControlUI* control) {
    ASSERT_NE(control, nullptr);
    manager.UpdateLayout();
    wxPoint middle = Middle(control);
    manager.HandleMouse({framework::UIEventType::MouseMove, middle});
    manager.HandleMouse({framework::UIEventType::ButtonDown, middle});
    manager.HandleMouse({framework::UIEventType::ButtonUp, middle});
  }
  void Press(std::wstring_view name) { Press(pm(), Find(name)); }

  void Drop(const std::vector<std::wstring>& paths) {
    wxWindow* canvas = window_->GetHWND()->GetChildren().front();
    ASSERT_TRUE(uitest::DropFiles(canvas, paths)) << "the window accepts file drops";
  }

  bool Idle() { return bench().busyFlag == 0 && !bench().WorkerActive(); }
  void WaitIdle() {
    ASSERT_TRUE(uitest::PumpUntil([&] { return Idle(); }, 60000)) << "the worker ended";
    uitest::PumpFor(50);
    pm().UpdateLayout();
  }
  void Shot(const std::string& name) {
    pm().UpdateLayout();
    uitest::PumpFor(150);
    uitest::Screenshot("window_" + name);
  }

  // Picks the export folder through the settings panel, as a user would.
  void PickExportFolder(const std::wstring& folder) {
    Press(L"btnSet");
    pickedFolder_ = folder;
    Press(L"btnExport");
    Press(L"btnSet");
  }

  // Two documents of two pages; the first is cut every page.
  void CutTheFirstOfTwoDocuments() {
    Drop({Doc(L"a.docx", Pages(2)), Doc(L"b.docx", Pages(2))});
    WaitIdle();
    PickExportFolder(out_.Path());
    Find(L"edtEvery")->SetText(L"1");
    fileList()->SelectItem(0);
    Press(L"btnProcess");
    WaitIdle();
  }

  std::wstring Doc(const std::wstring& name, const std::string& body) {
    std::wstring path = docs_ / name;
    docx::Builder().Body(body).Save(path);
    return path;
  }

  std::intptr_t StatusTag(int row) {
    return pm().FindSubControlByName(fileList()->GetItemAt(row), L"LbStatus")->GetTag();
  }
  std::vector<std::wstring> Messages() {
    std::lock_guard guard(lock_);
    return messages_;
  }

  // The list menu open now, if any.
  static framework::CMenuWnd* OpenMenu() {
    for (wxWindow* window : wxTopLevelWindows) {
      auto* frame = dynamic_cast<framework::HostFrame*>(window);
      if (frame != nullptr && window->GetName() == "MenuWnd" && window->IsShown())
        return dynamic_cast<framework::CMenuWnd*>(frame->GetOwnerWindow());
    }
    return nullptr;
  }

  testsupport::TempFolder folder_;
  testsupport::ProgramFolderScope scope_{folder_};
  testsupport::TempFolder docs_;
  testsupport::TempFolder out_;
  Gate gate_;
  std::unique_ptr<ui> window_;
  std::mutex lock_;
  std::vector<std::wstring> messages_;
  std::vector<std::wstring> shell_;
  util::MessagePresenter previousPresenter_;
  platform::ShellHandler previousShell_;
  int fileDialogs_ = 0;
  int folderDialogs_ = 0;
  std::optional<std::wstring> pickedFolder_;
};

TEST_F(WindowAtWork, DroppedDocumentsAreCutEveryThreePagesWhileCommandsWaitForTheRun) {
  std::wstring one = Doc(L"report one.docx", Pages(6));
  Doc(L"季度/二.docx", Pages(7));
  Drop({one, docs_ / L"季度"});
  WaitIdle();
  ASSERT_EQ(fileList()->GetCount(), 2);
  EXPECT_EQ(StatusTag(0), static_cast<std::intptr_t>(DocumentStatus::Ready));
  EXPECT_EQ(pm().FindSubControlByName(fileList()->GetItemAt(1), L"LBName")->GetText(), L"二");
  EXPECT_EQ(pm().FindSubControlByName(fileList()->GetItemAt(1), L"LBPage")->GetText(), L"7");
  EXPECT_TRUE(fileList()->IsEnabled());
  EXPECT_FALSE(Find(L"prgarea")->IsVisible());
  Shot("01_documents_added");

  // The export folder, picked with a separator too many.
  Press(L"btnSet");
  EXPECT_TRUE(Find(L"VLSETTING")->IsVisible());
  pickedFolder_ = out_.Path() + L"//";
  Press(L"btnExport");
  EXPECT_EQ(Find(L"edtExport")->GetText(), out_.Path());
  EXPECT_EQ(settings::CIni::ReadExportPath(), out_.Path());
  Press(L"optExport");
  Find(L"edtEvery")->SetText(L"3");
  Shot("02_settings_and_every_three_pages");

  // A run held at its start: everything that would change the list or start work waits.
  gate_.Close();
  Press(L"btnProcessAll");
  ASSERT_EQ(bench().busyFlag, 1);
  EXPECT_FALSE(fileList()->IsEnabled());
  EXPECT_TRUE(Find(L"prgarea")->IsVisible());
  Press(L"btnAdd");
  Press(L"btnExport");
  Press(L"btnProcess");
  Press(pm(), pm().FindSubControlByName(fileList()->GetItemAt(0), L"btnDel"));
  Drop({Doc(L"late.docx", Pages(1))});
  Press(L"closebtn");
  window_->SysCommand(framework::kScClose);
  uitest::PumpFor(100);
  EXPECT_EQ(fileDialogs_, 0);
  EXPECT_EQ(folderDialogs_, 1);
  EXPECT_EQ(bench().documents.size(), 2u);
  EXPECT_TRUE(window_->IsWindow());
  EXPECT_TRUE(window_->GetHWND()->IsShown());
  // Still available: the settings panel, the tabs and F1.
  Press(L"btnSet");
  EXPECT_FALSE(Find(L"VLSETTING")->IsVisible());
  Press(L"btnSet");
  Shot("03_busy_refusing_commands");

  gate_.Open();
  WaitIdle();
  EXPECT_EQ(StatusTag(0), static_cast<std::intptr_t>(DocumentStatus::Done));
  EXPECT_EQ(StatusTag(1), static_cast<std::intptr_t>(DocumentStatus::Done));
  EXPECT_EQ(Files(out_ / L"report one"),
            (std::set<std::wstring>{L"[1]-[3].docx", L"[4]-[6].docx"}));
  EXPECT_EQ(Files(out_ / L"二"),
            (std::set<std::wstring>{L"[1]-[3].docx", L"[4]-[6].docx", L"[7]-[7].docx"}));
  EXPECT_TRUE(fileList()->IsEnabled());
  EXPECT_FALSE(Find(L"prgarea")->IsVisible());
  Shot("04_documents_done");

  // A double click shows the result folder of a finished document.
  fileList()->SelectItem(0);
  auto* row = fileList()->GetItemAt(0);
  pm().HandleMouse({framework::UIEventType::DblClick, Middle(row)});
  uitest::PumpFor(50);
  ASSERT_FALSE(shell_.empty());
  EXPECT_NE(shell_.back().find(L"report one"), std::wstring::npos);
}

TEST_F(WindowAtWork, AFailedRowTellsWhyInItsTooltip) {
  std::wstring damaged = docs_ / L"damaged.docx";
  testsupport::WriteFile(damaged, "PK\x03\x04 not really a document");
  Drop({damaged});
  WaitIdle();
  ASSERT_EQ(StatusTag(0), static_cast<std::intptr_t>(DocumentStatus::Failed));
  EXPECT_EQ(pm().FindSubControlByName(fileList()->GetItemAt(0), L"LbStatus")->GetToolTip(),
            L"The document could not be opened or read as a Word document.");
}

TEST_F(WindowAtWork, ListMenuOffersViewResultOnlyForAFinishedDocument) {
  CutTheFirstOfTwoDocuments();
  ASSERT_EQ(StatusTag(0), static_cast<std::intptr_t>(DocumentStatus::Done));

  const std::pair<int, bool> cases[] = {{1, false}, {0, true}};
  for (const auto& [index, enabled] : cases) {
    fileList()->SelectItem(index);
    auto* row = fileList()->GetItemAt(index);
    pm().HandleMouse({framework::UIEventType::MouseMove, Middle(row)});
    pm().HandleMouse({framework::UIEventType::RButtonDown, Middle(row)});
    // The menu opens at once; pumping first could let a focus change close it.
    ASSERT_NE(OpenMenu(), nullptr);
    framework::CMenuWnd* menu = OpenMenu();
    EXPECT_EQ(menu->GetPaintManager().FindControl(L"menutar")->IsEnabled(), enabled) << index;
    if (!enabled) {
      uitest::PumpFor(200);
      uitest::Screenshot("window_05_list_menu_view_result_disabled");
      if (OpenMenu() == nullptr) {  // the virtual display moved the focus away
        pm().HandleMouse({framework::UIEventType::RButtonDown, Middle(row)});
        ASSERT_NE(OpenMenu(), nullptr);
      }
      menu = OpenMenu();
    }
    // "View result" of a finished document opens its result folder.
    auto& menuPm = menu->GetPaintManager();
    Press(menuPm, menuPm.FindControl(enabled ? L"labeltar" : L"labelsrc"));
    ASSERT_TRUE(uitest::PumpUntil([] { return OpenMenu() == nullptr; }));
    uitest::PumpFor(50);
    ASSERT_FALSE(shell_.empty());
    EXPECT_EQ(shell_.back(),
              enabled ? bench().documents[0].resultFolder : bench().documents[1].path);
    uitest::PumpFor(300);
  }

  // "Delete selected" removes the selected document and its row.
  fileList()->SelectItem(1);
  window_->Post(util::UM_DELETE_SELECTED);
  uitest::PumpUntil([&] { return bench().documents.size() == 1; });
  EXPECT_EQ(fileList()->GetCount(), 1);
  EXPECT_EQ(bench().documents[0].name, L"a");
}

TEST_F(WindowAtWork, ChapterTabReadsTheContentsAndCutsAtTheCheckedChapters) {
  Drop({Doc(L"book.docx", Book()), Doc(L"plain.docx", Pages(2))});
  WaitIdle();
  PickExportFolder(out_.Path());
  Press(L"btnSet");
  Press(L"optExport");  // pieces named by their first and last chapter
  Press(L"btnSet");
  fileList()->SelectItem(0);
  Press(L"optChapter");
  EXPECT_EQ(Find<framework::CTabLayoutUI>(L"switch")->GetCurSel(), 1);
  EXPECT_FALSE(Find(L"btnProcessAll")->IsEnabled());
  WaitIdle();
  auto* tree = Find<framework::CTreeViewUI>(L"TreeMenu");
  ASSERT_EQ(tree->GetCount(), 4);
  auto node = [&](int i) { return dynamic_cast<framework::CTreeNodeUI*>(tree->GetItemAt(i)); };
  EXPECT_EQ(node(0)->GetCheckBox()->GetText(), L"Chapter 1");
  EXPECT_EQ(node(0)->GetItemButton()->GetText(), L"P2");
  EXPECT_EQ(node(0)->GetName(), L"_Toc201");
  EXPECT_FALSE(Find(L"notitle")->IsVisible());

  Press(pm(), node(1)->GetCheckBox());
  Press(pm(), node(2)->GetCheckBox());
  auto* plan = Find<framework::CListUI>(L"listPlanLeft");
  ASSERT_EQ(plan->GetCount(), 3);
  auto cell = [&](int row, const wchar_t* name) {
    return pm().FindSubControlByName(plan->GetItemAt(row), name)->GetText();
  };
  EXPECT_EQ(cell(0, L"LbBegin"), L"Chapter 1");
  EXPECT_EQ(cell(0, L"LBEnd"), L"Chapter 1");
  EXPECT_EQ(cell(0, L"LBPages"), L"1");
  EXPECT_EQ(cell(2, L"LbBegin"), L"Chapter 3");
  EXPECT_EQ(cell(2, L"LBEnd"), L"Chapter 4");
  EXPECT_EQ(pm().FindSubControlByName(plan->GetItemAt(2), L"LBEnd")->GetToolTip(), L"Chapter 4");
  Shot("06_chapters_checked");

  // A document without contents shows "Not found"; coming back shows the marks again.
  fileList()->SelectItem(1);
  WaitIdle();
  EXPECT_TRUE(Find(L"notitle")->IsVisible());
  EXPECT_FALSE(tree->IsVisible());
  EXPECT_EQ(plan->GetCount(), 0);
  Shot("07_chapters_not_found");
  Press(L"optBase");
  EXPECT_TRUE(Find(L"btnProcessAll")->IsEnabled());
  fileList()->SelectItem(0);
  Press(L"optChapter");
  ASSERT_EQ(tree->GetCount(), 4);
  EXPECT_FALSE(node(0)->GetCheckBox()->IsChecked());
  EXPECT_TRUE(node(1)->GetCheckBox()->IsChecked());
  EXPECT_TRUE(node(2)->GetCheckBox()->IsChecked());
  EXPECT_EQ(plan->GetCount(), 3);

  Press(L"btnProcess");
  WaitIdle();
  EXPECT_EQ(Messages(),
            (std::vector<std::wstring>{L"Finished. Double-Click a list item to view result. "}));
  EXPECT_EQ(Files(out_ / L"book"), (std::set<std::wstring>{L"[Chapter 1]-[Chapter 1].docx",
                                                           L"[Chapter 2]-[Chapter 2].docx",
                                                           L"[Chapter 3]-[Chapter 4].docx"}));
  EXPECT_EQ(StatusTag(0), static_cast<std::intptr_t>(DocumentStatus::Done));
  Shot("08_chapters_done");
}

TEST_F(WindowAtWork, AChapterReadRefusedDuringARunIsTriedAgainOnTheNextVisit) {
  Drop({Doc(L"book.docx", Book()), Doc(L"plain.docx", Pages(2))});
  WaitIdle();
  PickExportFolder(out_.Path());
  Find(L"edtEvery")->SetText(L"1");
  fileList()->SelectItem(1);
  gate_.Close();
  Press(L"btnProcess");
  ASSERT_EQ(bench().busyFlag, 1);
  fileList()->SelectItem(0);  // as the program would not allow: the list is disabled
  Press(L"optChapter");
  EXPECT_FALSE(bench().documents[0].chaptersLoaded);
  EXPECT_EQ(Find<framework::CTreeViewUI>(L"TreeMenu")->GetCount(), 0);
  EXPECT_FALSE(Find(L"notitle")->IsVisible()) << "nothing is known yet";
  EXPECT_FALSE(fileList()->IsEnabled());
  gate_.Open();
  WaitIdle();
  EXPECT_TRUE(fileList()->IsEnabled());

  Press(L"optBase");
  Press(L"optChapter");
  WaitIdle();
  EXPECT_TRUE(bench().documents[0].chaptersLoaded);
  EXPECT_EQ(Find<framework::CTreeViewUI>(L"TreeMenu")->GetCount(), 4);
  EXPECT_TRUE(fileList()->IsEnabled());
}

TEST_F(WindowAtWork, AfterABaseRunTheDocumentIsStillShownOnTheChapterTab) {
  Drop({Doc(L"plain.docx", Pages(2)), Doc(L"book.docx", Book())});
  WaitIdle();
  PickExportFolder(out_.Path());
  // The chapter page shows the other document first ("Not found").
  fileList()->SelectItem(0);
  Press(L"optChapter");
  WaitIdle();
  EXPECT_TRUE(Find(L"notitle")->IsVisible());
  Press(L"optBase");
  Find(L"edtEvery")->SetText(L"2");
  fileList()->SelectItem(1);
  Press(L"btnProcess");
  WaitIdle();
  ASSERT_EQ(StatusTag(1), static_cast<std::intptr_t>(DocumentStatus::Done));

  Press(L"optChapter");
  WaitIdle();
  auto* tree = Find<framework::CTreeViewUI>(L"TreeMenu");
  ASSERT_EQ(tree->GetCount(), 4);
  EXPECT_TRUE(tree->IsVisible());
  EXPECT_FALSE(Find(L"notitle")->IsVisible());
  EXPECT_EQ(tree->GetItemAt(0)->GetName(), L"_Toc201");
  Press(pm(), dynamic_cast<framework::CTreeNodeUI*>(tree->GetItemAt(2))->GetCheckBox());
  EXPECT_EQ(Find<framework::CListUI>(L"listPlanLeft")->GetCount(), 2);
  Shot("12_chapters_after_a_base_run");
}

TEST_F(WindowAtWork, DuringARunTheChapterCheckBoxesWaitAndTheRunCutsByThePlanItTook) {
  Drop({Doc(L"book.docx", Book())});
  WaitIdle();
  PickExportFolder(out_.Path());
  fileList()->SelectItem(0);
  Press(L"optChapter");
  WaitIdle();
  auto* tree = Find<framework::CTreeViewUI>(L"TreeMenu");
  ASSERT_EQ(tree->GetCount(), 4);
  auto check = [&](int i) {
    return dynamic_cast<framework::CTreeNodeUI*>(tree->GetItemAt(i))->GetCheckBox();
  };
  auto* plan = Find<framework::CListUI>(L"listPlanLeft");
  Press(pm(), check(2));
  ASSERT_EQ(plan->GetCount(), 2);

  gate_.Close();
  Press(L"btnProcess");
  ASSERT_EQ(bench().busyFlag, 1);
  EXPECT_FALSE(check(1)->IsEffectivelyEnabled());
  Press(pm(), check(1));
  Press(pm(), check(2));
  EXPECT_FALSE(check(1)->IsChecked());
  EXPECT_TRUE(check(2)->IsChecked());
  EXPECT_EQ(plan->GetCount(), 2);
  // The tabs still work; coming back shows the same plan, still waiting.
  Press(L"optBase");
  Press(L"optChapter");
  ASSERT_EQ(tree->GetCount(), 4);
  EXPECT_FALSE(check(0)->IsEffectivelyEnabled());
  // The tree's rows open no list menu while the run goes on.
  pm().HandleMouse({framework::UIEventType::RButtonDown, Middle(check(0))});
  EXPECT_EQ(OpenMenu(), nullptr);
  Shot("13_chapter_boxes_wait_during_a_run");

  gate_.Open();
  WaitIdle();
  EXPECT_TRUE(check(1)->IsEffectivelyEnabled());
  EXPECT_EQ(Files(out_ / L"book"), (std::set<std::wstring>{L"1.docx", L"2.docx"}));
  EXPECT_EQ(StatusTag(0), static_cast<std::intptr_t>(DocumentStatus::Done));
}

TEST_F(WindowAtWork, ListMenuActsOnTheRowThatWasRightClicked) {
  CutTheFirstOfTwoDocuments();
  ASSERT_EQ(StatusTag(0), static_cast<std::intptr_t>(DocumentStatus::Done));

  // {selected row, right-clicked row, entry chosen, "View result" enabled, shell target}
  struct Case {
    int selected, clicked;
    const wchar_t* entry;
    bool resultEnabled;
    std::wstring expected;
  };
  const Case cases[] = {
      {0, 1, L"labelsrc", false, bench().documents[1].path},
      {1, 0, L"labeltar", true, bench().documents[0].resultFolder},
  };
  for (const Case& c : cases) {
    fileList()->SelectItem(c.selected);
    auto* row = fileList()->GetItemAt(c.clicked);
    pm().HandleMouse({framework::UIEventType::MouseMove, Middle(row)});
    pm().HandleMouse({framework::UIEventType::RButtonDown, Middle(row)});
    framework::CMenuWnd* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    auto& menuPm = menu->GetPaintManager();
    EXPECT_EQ(menuPm.FindControl(L"menutar")->IsEnabled(), c.resultEnabled) << c.clicked;
    // The command acts on the right-clicked row even where the selection moved meanwhile.
    fileList()->SelectItem(c.selected);
    Press(menuPm, menuPm.FindControl(c.entry));
    ASSERT_TRUE(uitest::PumpUntil([] { return OpenMenu() == nullptr; }));
    uitest::PumpFor(50);
    ASSERT_FALSE(shell_.empty());
    EXPECT_EQ(shell_.back(), c.expected) << c.clicked;
  }
}

TEST_F(WindowAtWork, F1OpensTheHelpPageWhileAnEditBoxHasTheFocus) {
  auto* edit = Find<framework::CEditUI>(L"edtEvery");
  wxTextCtrl* native = edit->GetNative();
  ASSERT_NE(native, nullptr);
  ASSERT_TRUE(native->IsShown());
  // Real keys through the display: the pointer over the box gives it the keyboard where no
  // window manager runs.
  wxUIActionSimulator keys;
  keys.MouseMove(native->ClientToScreen(wxPoint(5, 5)));
  uitest::PumpFor(50);
  keys.MouseClick();
  native->SetFocus();
  uitest::PumpFor(100);
  keys.Char('9');
  ASSERT_TRUE(uitest::PumpUntil([&] { return native->GetValue().Contains("9"); }, 2000))
      << "the edit box has the keyboard";
  keys.Char(WXK_F1);
  ASSERT_TRUE(uitest::PumpUntil([&] { return !shell_.empty(); }, 2000));
  EXPECT_EQ(shell_, (std::vector<std::wstring>{kHelpPage}));
  uitest::Screenshot("window_14_help_from_an_edit_box");
}

TEST_F(WindowAtWork, ChapterTreePlacesHeadingsByLevel) {
  auto chapter = [](int level, std::wstring title) {
    engine::ChapterEntry entry;
    entry.level = level;
    entry.title = title;
    entry.key = L"_" + title;
    entry.pageText = L"3";
    return entry;
  };
  std::vector<engine::ChapterEntry> chapters = {
      chapter(2, L"A"), chapter(1, L"B"), chapter(3, L"C"), chapter(1, L"D"),
      chapter(4, L"E"), chapter(0, L"F"), chapter(2, L"G")};
  chapters[4].marked = true;
  window_->View().FillChapterView(nullptr, &chapters);
  auto* tree = Find<framework::CTreeViewUI>(L"TreeMenu");
  ASSERT_EQ(tree->GetCount(), 6) << "a heading below level 1 has no node";
  auto parent = [&](const wchar_t* key) {
    auto* node = dynamic_cast<framework::CTreeNodeUI*>(pm().FindControl(key));
    EXPECT_NE(node, nullptr) << platform::ToUtf8(key);
    auto* up = node != nullptr ? node->GetParentNode() : nullptr;
    return up != nullptr ? up->GetName() : std::wstring();
  };
  EXPECT_EQ(parent(L"_A"), L"") << "no open ancestor: top level";
  EXPECT_EQ(parent(L"_C"), L"_B");
  EXPECT_EQ(parent(L"_D"), L"");
  EXPECT_EQ(parent(L"_E"), L"_C") << "a level-1 node clears only slot 2";
  EXPECT_EQ(parent(L"_G"), L"_D");
  auto* e = dynamic_cast<framework::CTreeNodeUI*>(pm().FindControl(L"_E"));
  EXPECT_TRUE(e->GetCheckBox()->IsChecked());
  EXPECT_FALSE(e->GetFolderButton()->IsEnabled()) << "no children";
  EXPECT_TRUE(dynamic_cast<framework::CTreeNodeUI*>(pm().FindControl(L"_B"))->IsExpanded());
}

TEST_F(WindowAtWork, SettingsSurviveARestartWithoutLosingAKeyNotYetRestored) {
  // First start: the defaults are written once.
  const std::wstring ini = folder_ / L"config.ini";
  EXPECT_EQ(settings::CIni::ReadString(L"SETTING", L"EM"), L"2");
  EXPECT_EQ(settings::CIni::ReadString(L"SETTING", L"AUTO"), L"0");
  EXPECT_EQ(settings::CIni::ReadString(L"SETTING", L"EP"), L"");
  EXPECT_TRUE(testsupport::Exists(ini));
  EXPECT_EQ(settings::CIni::ReadString(L"BASE", L"ALIGN"), L"");
  EXPECT_TRUE(Find<framework::COptionUI>(L"optExport2")->IsSelected());

  Press(L"btnSet");
  Press(L"optAuto");
  EXPECT_EQ(settings::CIni::ReadString(L"SETTING", L"AUTO"), L"1");
  Press(L"optSen");
  Press(L"optParag");
  EXPECT_EQ(settings::CIni::ReadString(L"BASE", L"ALIGN"), L"3");
  Press(L"optParag");
  EXPECT_EQ(settings::CIni::ReadString(L"BASE", L"ALIGN"), L"1");
  pickedFolder_ = out_.Path();
  Press(L"btnExport");
  pickedFolder_.reset();
  Press(L"btnExport");  // cancelled
  EXPECT_EQ(settings::CIni::ReadExportPath(), out_.Path());
  // The hidden export mode, as another copy of the program left it.
  settings::CIni::WriteCompressionMode(L"P");

  window_.reset();
  OpenWindow();
  EXPECT_EQ(Find(L"edtExport")->GetText(), out_.Path());
  EXPECT_TRUE(Find<framework::COptionUI>(L"optExport2")->IsSelected());
  EXPECT_TRUE(Find<framework::COptionUI>(L"optAuto")->IsSelected());
  EXPECT_TRUE(Find<framework::COptionUI>(L"optSen")->IsSelected());
  EXPECT_FALSE(Find<framework::COptionUI>(L"optParag")->IsSelected());
  EXPECT_TRUE(Find<framework::COptionUI>(L"optComp")->IsSelected());
  EXPECT_TRUE(Find<framework::COptionUI>(L"optp")->IsSelected());
  EXPECT_TRUE(Find(L"optmd")->IsEnabled());
  EXPECT_EQ(settings::CIni::ReadCompressionMode(), L"P");
  EXPECT_EQ(settings::CIni::ReadString(L"SETTING", L"AUTO"), L"1");
  Press(L"btnSet");
  Shot("09_settings_after_restart");

  // The open-folder box writes its own key alone; a naming option writes every SETTING key
  // from the controls.
  settings::CIni::WriteString(L"SETTING", L"EM", L"kept");
  Press(L"optAuto");
  EXPECT_EQ(settings::CIni::ReadString(L"SETTING", L"AUTO"), L"0");
  EXPECT_EQ(settings::CIni::ReadString(L"SETTING", L"EM"), L"kept");
  Press(L"optExport");
  EXPECT_EQ(settings::CIni::ReadString(L"SETTING", L"EM"), L"1");
  EXPECT_EQ(settings::CIni::ReadCompressionMode(), L"P");
  EXPECT_EQ(settings::CIni::ReadString(L"SETTING", L"AUTO"), L"0");

  // Alignment as stored, spaces and all; anything else aligns nothing.
  const std::tuple<const wchar_t*, bool, bool> alignments[] = {
      {L" 3 ", true, true}, {L"2", false, true}, {L"7", false, false}, {L"x", false, false}};
  for (const auto& [stored, sentence, paragraph] : alignments) {
    settings::CIni::WriteAlignment(stored);
    window_->LoadAlignment();
    EXPECT_EQ(Find<framework::COptionUI>(L"optSen")->IsSelected(), sentence) << stored;
    EXPECT_EQ(Find<framework::COptionUI>(L"optParag")->IsSelected(), paragraph) << stored;
    EXPECT_EQ(settings::CIni::ReadString(L"BASE", L"ALIGN"), settings::Strip(stored))
        << "restoring writes nothing";
  }
}

TEST_F(WindowAtWork, WindowCommandsHelpZoomAndTheAboutAndFeedbackWindows) {
  wxKeyEvent f1(wxEVT_KEY_DOWN);
  f1.m_keyCode = WXK_F1;
  wxWindow* canvas = window_->GetHWND()->GetChildren().front();
  f1.SetEventObject(canvas);
  canvas->ProcessWindowEvent(f1);
  ASSERT_EQ(shell_.size(), 1u);
  EXPECT_EQ(shell_[0], kHelpPage);

  Press(L"maxbtn");
  EXPECT_TRUE(window_->IsZoomed());
  EXPECT_FALSE(Find(L"maxbtn")->IsVisible());
  EXPECT_TRUE(Find(L"restorebtn")->IsVisible());
  Press(L"restorebtn");
  EXPECT_FALSE(window_->IsZoomed());
  EXPECT_TRUE(Find(L"maxbtn")->IsVisible());
  EXPECT_FALSE(Find(L"restorebtn")->IsVisible());

  // The about menu hangs below its button, 5 pixels to the left.
  Press(L"btnAbout");
  framework::CMenuWnd* aboutMenu = OpenMenu();
  ASSERT_NE(aboutMenu, nullptr);
  EXPECT_NE(aboutMenu->GetPaintManager().FindControl(L"menuAbout"), nullptr);
  framework::CControlUI* button = Find(L"btnAbout");
  wxPoint corner = window_->GetHWND()->GetChildren().front()->ClientToScreen(
      wxPoint(button->GetPos().GetLeft() - 5, button->GetPos().GetBottom() + 1));
  EXPECT_EQ(aboutMenu->GetHWND()->GetPosition(), corner);
  aboutMenu->Close();
  uitest::PumpUntil([] { return OpenMenu() == nullptr; });

  std::wstring seenClass, versionShown;
  bool noContextMenu = false, noScrollBars = false;
  uitest::RunAfter(300, [&] {
    if (auto* about = ActiveAuxWindow()) {
      seenClass = about->GetHWND()->GetName().ToStdWstring();
      uitest::Screenshot("window_10_about_box");
      auto& aboutPm = about->GetPaintManager();
      if (auto* version = aboutPm.FindControl(L"lbVersion"))
        versionShown = version->GetText();
      Press(aboutPm, aboutPm.FindControl(L"btnOK"));
    }
  });
  window_->Post(util::UM_ABOUT);
  uitest::PumpUntil([&] { return !seenClass.empty() && ActiveAuxWindow() == nullptr; });
  EXPECT_EQ(seenClass, L"CUIABOUT");
  // The project's version, as varnik-cli --version prints it.
  EXPECT_TRUE(versionShown.starts_with(L"Version " VARNIK_TEST_VERSION)) << versionShown;
  EXPECT_EQ(versionShown, UIABOUT::VersionLine());

  seenClass.clear();
  uitest::RunAfter(2000, [&] {
    if (auto* feedback = dynamic_cast<UIFB*>(ActiveAuxWindow())) {
      seenClass = feedback->GetHWND()->GetName().ToStdWstring();
      noContextMenu = !feedback->Browser()->HasContextMenu();
      noScrollBars = !feedback->Browser()->HasScrollBars();
      uitest::Screenshot("window_11_feedback");
      auto& fbPm = feedback->GetPaintManager();
      Press(fbPm, fbPm.FindControl(L"closebtn"));
    }
  });
  window_->Post(util::UM_FEEDBACK);
  uitest::PumpUntil([&] { return !seenClass.empty() && ActiveAuxWindow() == nullptr; });
  EXPECT_EQ(seenClass, L"UIFB");
  EXPECT_TRUE(noContextMenu);
  EXPECT_TRUE(noScrollBars);
}

}  // namespace
}  // namespace ui
