// Start-up and shutdown of the window program.

#include <cstdio>
#include <memory>

#include "batch/pages_note.h"
#include "docserver/page_report.h"
#include "docserver/word_first.h"
#include "framework/application.h"
#include "settings/ini.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"
#include "ui/skin_archive.h"
#include "ui/ui_msg.h"
#include "util/program_folders.h"

int main(int argc, char** argv) {
  // The toolkit, image decoders and the windows' thread.
  framework::CApplication application(argc, argv);
  if (!application.IsReady()) {
    std::fputs("varnik: cannot open the display\n", stderr);
    return 1;
  }
  ui::RegisterSkinArchive();
  ui::InstallMessagePresenter();
  ui::InstallFolderPicker();
  // The documents are cut by Word where it is installed (Windows), else by the built-in
  // document server.
  docserver::RegisterWordFirst();
  batch::SetPagesNoteSource(docserver::PagesSentenceOf);

  settings::SetSettingsPath(util::SettingsFilePath());

  // Creating the window removes the work folder, builds skin.xml and sizes the window from
  // the layout; the creation size is never seen.
  auto window = std::make_unique<ui::ui>();
  window->Create(nullptr, L"VARNIK", wxPoint(0, 0), wxSize(1277, 900));
  window->AcceptFiles(true);
  window->CenterWindow();
  window->SetIcons({L"varnik_16.png", L"varnik_32.png", L"varnik_48.png"});
  window->ShowWindow(true);

  framework::MessageLoop();

  window.reset();
  return 0;
}
