#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/debug_output.h"
#include "platform/files.h"
#include "platform/module_path.h"
#include "support/temp_folder.h"
#include "util/names.h"
#include "util/paths.h"

namespace {

using testsupport::TempFolder;
using testsupport::WriteFile;

TEST(WindowsFiles, HiddenMeansTheHiddenAttribute) {
  TempFolder temp;
  const std::wstring plain = temp / L"报告 plain.docx";
  const std::wstring hidden = temp / L"报告 hidden.docx";
  WriteFile(plain, "x");
  WriteFile(hidden, "x");
  ASSERT_TRUE(SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_FALSE(platform::IsHiddenFile(plain));
  EXPECT_TRUE(platform::IsHiddenFile(hidden));
  EXPECT_FALSE(platform::IsHiddenFile(temp / L"missing.docx"));
  EXPECT_TRUE(util::IsLockOrHiddenFile(hidden, L"报告 hidden.docx"));
  EXPECT_TRUE(util::IsLockOrHiddenFile(plain, L"~$报告 plain.docx"));
  EXPECT_FALSE(util::IsLockOrHiddenFile(plain, L"报告 plain.docx"));
}

TEST(WindowsModule, ExecutablePathIsThisProgram) {
  const std::wstring path = platform::ExecutablePath();
  ASSERT_TRUE(path.ends_with(L"\\windows_tests.exe")) << path;
  EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  const std::wstring folder = util::GetModuleDirectory();
  EXPECT_EQ(folder, path.substr(0, path.size() - std::wstring(L"windows_tests.exe").size()));
  platform::DebugOutput(L"50\r\n");  // goes to a debugger; with none attached, nowhere
}

}  // namespace
