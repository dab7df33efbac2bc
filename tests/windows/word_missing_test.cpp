// Where Word is not installed, the COM path reports it and the worker leaves the busy state.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/memory_view.h"
#include "batch/message_loop.h"
#include "batch/word_engine.h"
#include "batch/workbench.h"
#include "support/temp_folder.h"
#include "util/message_box.h"

namespace {

TEST(WordOverCom, MissingWordIsReportedAndTheBusyStateEnds) {
  testsupport::TempFolder program;
  testsupport::ProgramFolderScope scope(program);
  std::vector<std::wstring> messages;
  auto previous = util::SetMessagePresenter(
      [&messages](std::wstring_view text, util::WindowHandle) { messages.emplace_back(text); });

  batch::MemoryView view;
  batch::MessageLoop loop;
  batch::Workbench bench(view, loop, batch::MakeWordEngine);
  loop.SetHandler([&bench](std::uint32_t m, std::intptr_t w, std::intptr_t l) {
    bench.HandleMessage(m, w, l);
  });
  std::wstring document = program / L"报告 a.docx";
  testsupport::WriteFile(document, "x");
  bench.AddFiles({document});
  loop.RunUntil([&bench] { return !bench.WorkerActive(); });
  util::SetMessagePresenter(previous);

  EXPECT_EQ(messages,
            (std::vector<std::wstring>{
                L"MS Word initialization failed. Ensure that you have already installed"}));
  EXPECT_EQ(bench.busyFlag, 0);
  EXPECT_TRUE(view.listEnabled);
  ASSERT_EQ(bench.documents.size(), 1u);
  EXPECT_EQ(bench.documents[0].status, documents::DocumentStatus::New);
  EXPECT_EQ(bench.documents[0].row, 0u);
}

}  // namespace
