// varnik-cli: the program's work without its window, for scripts, servers and headless use.

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "batch/pages_note.h"
#include "cli/console.h"
#include "cli/options.h"
#include "cli/runner.h"
#include "docserver/page_report.h"
#include "docserver/word_first.h"
#include "platform/command_line.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/user_folders.h"
#include "settings/ini.h"
#include "util/message_box.h"
#include "util/paths.h"
#include "util/program_folders.h"
#include "version/version.h"

namespace {

// Working copies of this run, apart from the window program's (which clears its own), in a
// folder of its own under the system's temporary folder.
class PrivateWorkFolder {
 public:
  PrivateWorkFolder() : folder_(platform::MakePrivateTempFolder(L"varnik-cli-")) {
    if (!folder_.empty())
      util::SetWorkFolder(folder_);
  }
  ~PrivateWorkFolder() {
    if (!folder_.empty())
      util::DeleteDirectoryTree(folder_);
  }
  PrivateWorkFolder(const PrivateWorkFolder&) = delete;
  PrivateWorkFolder& operator=(const PrivateWorkFolder&) = delete;

 private:
  std::wstring folder_;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::wstring> arguments = platform::CommandLineArguments(argc, argv);
  platform::PrepareConsole();

  cli::Console console;
  try {
    cli::Options options = cli::ParseOptions(arguments);
    if (options.command == cli::Command::Help) {
      std::fputs(cli::kUsage, stdout);
      return 0;
    }
    if (options.command == cli::Command::Version) {
      std::printf("varnik-cli %s\nEngine: %s\n", version::Text(),
                  platform::ToUtf8(docserver::EngineName()).c_str());
      return 0;
    }
    settings::SetSettingsPath(util::SettingsFilePath());
    PrivateWorkFolder work;
    util::SetMessagePresenter(
        [&console](std::wstring_view text, util::WindowHandle) { console.Message(text); });
    platform::SetShellHandler([](platform::ShellAction, std::wstring_view) {});
    docserver::RegisterWordFirst();
    batch::SetPagesNoteSource(docserver::PagesSentenceOf);
    return cli::Run(options, std::cout, console, batch::MakeWordEngine);
  } catch (const cli::UsageError& error) {
    std::string line = "varnik-cli: " + platform::ToUtf8(error.message) + "\n\n";
    std::fputs(line.c_str(), stderr);
    std::fputs(cli::kUsage, stderr);
    return 2;
  }
}
