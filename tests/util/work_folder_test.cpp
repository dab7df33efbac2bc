#include "util/work_folder.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(util::WorkFolder(), program.Path() + testsupport::Native(L"t/"));
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

TEST(WorkFolder, EmptyPathWhenTheFolderCannotBeMade) {
  TempFolder program;
  WriteFile(program / L"t", "a file where the folder should be");
  testsupport::ProgramFolderScope scope(program);
  EXPECT_EQ(util::CopyToWorkFolder(program / L"t"), L"");
}

}  // namespace
