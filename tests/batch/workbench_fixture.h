#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/fake_engine.h"
#include "batch/memory_view.h"
#include "batch/message_loop.h"
#include "batch/workbench.h"
#include "platform/shell.h"
#include "settings/ini.h"
#include "support/temp_folder.h"
#include "util/message_box.h"
#include "util/paths.h"

namespace testsupport {

// A workbench with an in-memory view, this thread as the window's thread, a scripted engine,
// recorded messages and shell calls, and its own program, document and export folders.
class WorkbenchTest : public ::testing::Test {
 protected:
  WorkbenchTest() {
    loop.SetHandler([this](std::uint32_t m, std::intptr_t w, std::intptr_t l) {
      bench.HandleMessage(m, w, l);
    });
    previousPresenter = util::SetMessagePresenter([this](std::wstring_view text, void*) {
      std::lock_guard guard(script.lock);
      messages.emplace_back(text);
    });
    previousShell = platform::SetShellHandler([this](platform::ShellAction a, std::wstring_view t) {
      shellCalls.emplace_back(a, std::wstring(t));
    });
    settings::CIni::WriteString(L"SETTING", L"EP", out.Path());
    settings::CIni::WriteString(L"SETTING", L"EM", L"1");
  }
  ~WorkbenchTest() override {
    bench.JoinWorker();
    util::SetMessagePresenter(previousPresenter);
    platform::SetShellHandler(previousShell);
  }

  // A document whose content is its own name, which the fake engine scripts by.
  std::wstring Document(const std::wstring& relative) {
    std::wstring path = docs / relative;
    std::wstring name = util::SplitPath(path).name + util::SplitPath(path).ext;
    WriteFile(path, std::string(name.begin(), name.end()));
    return path;
  }

  void Wait() {
    loop.RunUntil([this] { return !bench.WorkerActive(); });
  }

  // Adds documents and runs the intake to its end.
  void Add(const std::vector<std::wstring>& paths) {
    bench.AddFiles(paths);
    Wait();
  }

  void Process(bool all) {
    bench.processAllFlag = all ? 1 : 0;
    bench.StartProcessing();
    Wait();
  }

  std::vector<int> ProgressSince(std::size_t from) const {
    return {view.progress.begin() + static_cast<std::ptrdiff_t>(from), view.progress.end()};
  }

  TempFolder program;
  ProgramFolderScope scope{program};
  TempFolder docs;
  TempFolder out;
  EngineScript script;
  batch::MemoryView view;
  batch::MessageLoop loop;
  batch::Workbench bench{view, loop, FakeEngines(script)};
  std::vector<std::wstring> messages;
  std::vector<std::pair<platform::ShellAction, std::wstring>> shellCalls;
  util::MessagePresenter previousPresenter;
  platform::ShellHandler previousShell;
};

}  // namespace testsupport
