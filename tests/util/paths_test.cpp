#include "util/paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/text.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Exists;
using testsupport::TempFolder;
using testsupport::WriteFile;

TEST(SplitPath, GivesFolderNameAndExtensionWithItsDot) {
  auto parts = util::SplitPath(L"/home/user/My Docs/报告 final.DOCX");
  EXPECT_EQ(parts.dir, L"/home/user/My Docs/");
  EXPECT_EQ(parts.name, L"报告 final");
  EXPECT_EQ(parts.ext, L".DOCX");
  auto bare = util::SplitPath(L"/a.b/noext");
  EXPECT_EQ(bare.dir, L"/a.b/");
  EXPECT_EQ(bare.name, L"noext");
  EXPECT_EQ(bare.ext, L"");
}

TEST(GetModuleDirectory, IsTheTestProgramsFolder) {
  std::wstring folder = util::GetModuleDirectory();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), platform::kPathSeparator);
  EXPECT_TRUE(fs::is_directory(platform::ToPath(folder)));
}

TEST(CreateDirectoryChain, CreatesEveryFolderButNotTheFileName) {
  TempFolder temp;
  EXPECT_EQ(util::CreateDirectoryChain(L""), 0);
  // Mixed separators, as the program gets them from settings written on another system.
  std::wstring path = temp.Path() + L"out dir\\文档/1.docx";
  EXPECT_EQ(util::CreateDirectoryChain(path), 1);
  EXPECT_TRUE(fs::is_directory(temp.Native() / "out dir" / platform::ToPath(L"文档")));
  EXPECT_FALSE(Exists(temp / L"out dir/文档/1.docx"));
  EXPECT_EQ(util::CreateDirectoryChain(path), 1);  // existing folders are fine
}

TEST(DeleteDirectoryTree, RemovesNestedFoldersWithOrWithoutTrailingSeparator) {
  for (const wchar_t* suffix : {L"", L"/"}) {
    TempFolder temp;
    WriteFile(temp / L"w/a.txt", "a");
    WriteFile(temp / L"w/sub 1/子/b.txt", "b");
    WriteFile(temp / L"w/.hidden/c", "c");
    EXPECT_EQ(util::DeleteDirectoryTree(temp / L"w" + suffix), 1);
    EXPECT_FALSE(Exists(temp / L"w"));
  }
}

TEST(DeleteDirectoryTree, ReportsMissingFolders) {
  TempFolder temp;
  EXPECT_EQ(util::DeleteDirectoryTree(L""), 0);
  EXPECT_EQ(util::DeleteDirectoryTree(temp / L"absent"), 0);
}

TEST(DeleteDirectoryTree, RemovesLinksWithoutFollowingThem) {
  TempFolder temp;
  WriteFile(temp / L"keep/precious.docx", "x");
  WriteFile(temp / L"w/file", "y");
  fs::create_directory_symlink(temp.Native() / "keep", temp.Native() / "w" / "link");
  fs::create_symlink(temp.Native() / "keep" / "precious.docx", temp.Native() / "w" / "flink");
  EXPECT_EQ(util::DeleteDirectoryTree(temp / L"w"), 1);
  EXPECT_FALSE(Exists(temp / L"w"));
  EXPECT_TRUE(Exists(temp / L"keep/precious.docx"));

  // The folder given may itself be a link: the link goes, its target stays.
  fs::create_directory_symlink(temp.Native() / "keep", temp.Native() / "alias");
  EXPECT_EQ(util::DeleteDirectoryTree(temp / L"alias/"), 1);
  EXPECT_FALSE(Exists(temp / L"alias"));
  EXPECT_TRUE(Exists(temp / L"keep/precious.docx"));
}

TEST(JoinPath, PutsExactlyOneSeparatorBetween) {
  EXPECT_EQ(util::JoinPath(L"/a", L"b"), L"/a" + std::wstring(1, platform::kPathSeparator) + L"b");
  EXPECT_EQ(util::JoinPath(L"/a/", L"b"), L"/a/b");  // an existing separator is kept
  EXPECT_EQ(util::WithTrailingSeparator(L"/a//"), L"/a/");
  EXPECT_EQ(util::WithTrailingSeparator(L"/"), L"/");
}

}  // namespace
