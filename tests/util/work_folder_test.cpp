#include "util/work_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_lock.h"
#include "platform/text.h"
#include "support/temp_folder.h"
#include "util/program_folders.h"

namespace {

using testsupport::Exists;
using testsupport::ReadFile;
using testsupport::TempFolder;
using testsupport::WriteFile;

TEST(WorkFolder, CopiesGetCounterNamesAndNeverOverwrite) {
  TempFolder program;
  testsupport::ProgramFolderScope scope(program);
  TempFolder sources;
  WriteFile(sources / L"报告 one.docx", "first");
  WriteFile(sources / L"two.doc", "second");

  std::wstring first = util::CopyToWorkFolder(sources / L"报告 one.docx");
  std::wstring second = util::CopyToWorkFolder(sources / L"two.doc");
  ASSERT_EQ(first.substr(0, util::WorkFolder().size()), util::WorkFolder());
  EXPECT_EQ(util::WorkFolder(), program.Path() + testsupport::Native(L"t/") +
                                    std::to_wstring(platform::CurrentProcessId()) +
                                    testsupport::Native(L"/"));
  // Consecutive counter names, without extension.
  std::wstring a = first.substr(util::WorkFolder().size());
  std::wstring b = second.substr(util::WorkFolder().size());
  EXPECT_EQ(std::stoi(b), std::stoi(a) + 1);
  EXPECT_EQ(ReadFile(first), "first");
  EXPECT_EQ(ReadFile(second), "second");

  // A copy whose source is gone still names its (absent) work file.
  std::wstring missing = util::CopyToWorkFolder(sources / L"absent.docx");
  EXPECT_FALSE(missing.empty());
  EXPECT_FALSE(Exists(missing));

  util::ClearWorkFolder();
  EXPECT_FALSE(Exists(util::WorkFolder()));
  EXPECT_TRUE(Exists(sources / L"报告 one.docx"));
}

// Another copy of the program is simulated by holding its lock file: the hold is the system's,
// so it counts against this process's own attempts as it would against another's.
TEST(WorkFolder, ClearingLeavesTheFoldersOfRunningCopiesAndRemovesThoseOfEndedOnes) {
  TempFolder program;
  testsupport::ProgramFolderScope scope(program);
  const std::wstring root = util::WorkFolderRoot();
  const std::wstring own = std::to_wstring(platform::CurrentProcessId());
  WriteFile(root + testsupport::Native(L"running/0"), "a copy of a running program");
  auto running = platform::FileLock::TryAcquire(root + L"running.lock");
  ASSERT_TRUE(running);
  // A crashed copy with this process's number, one that ended holding nothing, a folder
  // without its lock file and a file of the time when all copies shared one folder.
  WriteFile(root + own + testsupport::Native(L"/99"), "left by a crashed copy");
  WriteFile(root + own + L".lock", "");
  WriteFile(root + testsupport::Native(L"ended/3"), "left");
  WriteFile(root + L"ended.lock", "");
  WriteFile(root + testsupport::Native(L"bare/1"), "left");
  WriteFile(root + L"7", "left by an older version");

  TempFolder sources;
  WriteFile(sources / L"a.docx", "document");
  std::wstring copy = util::CopyToWorkFolder(sources / L"a.docx");
  ASSERT_EQ(copy.substr(0, util::WorkFolder().size()), util::WorkFolder());
  EXPECT_EQ(util::WorkFolder(), root + own + testsupport::Native(L"/"));
  EXPECT_FALSE(Exists(root + own + testsupport::Native(L"/99")))
      << "the crashed copy's files went when the number was claimed again";
  EXPECT_FALSE(platform::FileLock::TryAcquire(root + own + L".lock")) << "held while running";

  util::ClearWorkFolder();
  EXPECT_FALSE(Exists(copy));
  EXPECT_FALSE(Exists(root + own));
  EXPECT_FALSE(Exists(root + own + L".lock"));
  EXPECT_EQ(ReadFile(root + testsupport::Native(L"running/0")), "a copy of a running program");
  EXPECT_TRUE(Exists(root + L"running.lock"));
  for (const wchar_t* gone : {L"ended", L"ended.lock", L"bare", L"7"})
    EXPECT_FALSE(Exists(root + gone)) << platform::ToUtf8(gone);

  // Once the other copy has ended, the next clearing removes its folder too.
  running.reset();
  util::ClearWorkFolder();
  EXPECT_FALSE(Exists(root + L"running"));
  EXPECT_FALSE(Exists(root + L"running.lock"));
}

TEST(WorkFolder, ANumberHeldByAnotherCopyIsNotShared) {
  TempFolder program;
  testsupport::ProgramFolderScope scope(program);
  const std::wstring root = util::WorkFolderRoot();
  const std::wstring own = std::to_wstring(platform::CurrentProcessId());
  std::filesystem::create_directories(platform::ToPath(root));
  auto other = platform::FileLock::TryAcquire(root + own + L".lock");
  ASSERT_TRUE(other);
  WriteFile(root + own + testsupport::Native(L"/0"), "the other copy's");

  TempFolder sources;
  WriteFile(sources / L"a.docx", "mine");
  std::wstring copy = util::CopyToWorkFolder(sources / L"a.docx");
  EXPECT_EQ(util::WorkFolder(), root + own + testsupport::Native(L"-2/"));
  EXPECT_EQ(ReadFile(copy), "mine");
  EXPECT_EQ(ReadFile(root + own + testsupport::Native(L"/0")), "the other copy's");
  util::ClearWorkFolder();
  EXPECT_TRUE(Exists(root + own + testsupport::Native(L"/0")));
}

TEST(WorkFolder, EmptyPathWhenTheFolderCannotBeMade) {
  TempFolder program;
  WriteFile(program / L"t", "a file where the folder should be");
  testsupport::ProgramFolderScope scope(program);
  EXPECT_EQ(util::CopyToWorkFolder(program / L"t"), L"");
}

}  // namespace
