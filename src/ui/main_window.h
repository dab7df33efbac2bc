#pragma once
// The main window object `ui`: builds skin.xml with its three tab pages and routes the window's
// events to the workbench (the document list, the workers and the plans) or to its own
// handlers: the settings panel, the chapter page, the menus and the about and feedback windows.
//
// Wiring points: controls by name through GetPaintManager().FindControl / Find<T> (rows:
// FindSubControlByName(row, name)); notifications in Notify (every one) and OnClick ("click");
// window and private messages in HandleMessage; system commands in OnSysCommand. Workers reach
// the window through Messages(): Send waits for the window's thread, Post does not, Invoke runs
// work there. Workers never touch a control themselves.

#include <memory>

#include "batch/word_engine.h"
#include "batch/workbench.h"
#include "framework/window_impl_base.h"
#include "ui/message_target.h"
#include "ui/window_view.h"

namespace framework {
class COptionUI;
}

namespace ui {

class ui : public framework::WindowImplBase {
 public:
  // The real engine unless the caller brings its own.
  explicit ui(batch::WordEngineFactory engines = batch::MakeWordEngine);
  ~ui() override;

  batch::WindowThread& Messages() { return messages_; }
  batch::Workbench& Bench() { return *bench_; }
  WindowView& View() { return view_; }

  std::unique_ptr<framework::CControlUI> CreateControl(std::wstring_view name) override;
  void Notify(framework::TNotifyUI& msg) override;

  // The settings panel and config.ini.
  void LoadSettings();
  void LoadAlignment();
  void SaveSettings();
  void SaveAlignment();
  void ChooseExportFolder();

  // The chapter page.
  void ShowSelectedChapters();
  void ShowChapters(int index);

 protected:
  std::wstring GetWindowClassName() const override { return L"WORDUI"; }
  std::wstring GetSkinFile() override { return L"skin.xml"; }
  void InitWindow() override;
  void OnClick(framework::TNotifyUI& msg) override;
  std::intptr_t HandleMessage(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam,
                              bool& handled) override;
  void OnSysCommand(std::uint32_t command, bool& handled) override;

 private:
  // Shows the restore button while maximised and the maximise button otherwise.
  void SwapZoomButtons();
  // A worker runs (or is still ending): commands that change the list or start work wait.
  bool IsBusy() const;
  void AddFilesFromDialog();
  // The list menu for a document row (the selected one when the click was not on a row).
  void OpenListMenu(batch::RowId row);
  void OnOptionChanged(framework::COptionUI* option);

  bool IsSelected(std::wstring_view option) const;
  void SelectOption(std::wstring_view option, bool selected);
  void RestoreCompressionMode(const std::wstring& mode);

  WindowMessageTarget messages_;
  WindowView view_;
  std::unique_ptr<batch::Workbench> bench_;
  framework::CControlUI* btnAdd_ = nullptr;
  framework::CControlUI* closebtn_ = nullptr;
  // While the panel is restored from config.ini its change notifications write nothing; a
  // change noted meanwhile is saved once everything has been read.
  bool restoring_ = false;
  bool restoreChanged_ = false;
  // The document row the list menu was opened for; its commands act on it.
  batch::RowId menuRow_ = 0;
};

}  // namespace ui
