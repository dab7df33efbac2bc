#include "settings/ini.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace {

using settings::CIni;
using testsupport::TempFolder;
using testsupport::WriteFile;

class IniTest : public ::testing::Test {
 protected:
  TempFolder temp;
  testsupport::ProgramFolderScope scope{temp};
  void Store(const std::string& content) { WriteFile(settings::SettingsPath(), content); }
};

TEST_F(IniTest, MissingFileReadsEmpty) {
  EXPECT_EQ(CIni::ReadExportPath(), L"");
  EXPECT_EQ(CIni::ReadExportMode(), L"");
  EXPECT_EQ(CIni::ReadAlignment(), 0);
  EXPECT_FALSE(CIni::ReadAutoOpen());
  EXPECT_EQ(CIni::ReadString(L"", L"EP"), L"");
  EXPECT_EQ(CIni::ReadString(L"SETTING", L""), L"");
}

TEST_F(IniTest, AlignmentReadsZeroToThreeAndNothingElse) {
  const std::pair<const char*, int> cases[] = {
      {"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {" 3 ", 3}, {"7", 0}, {"x", 0}, {"12", 0}, {"", 0},
  };
  for (const auto& [text, expected] : cases) {
    Store(std::string("[BASE]\nALIGN=") + text + "\n");
    EXPECT_EQ(CIni::ReadAlignment(), expected) << text;
  }
}

TEST_F(IniTest, AutoOpensOnlyForOne) {
  const std::pair<const char*, bool> cases[] = {
      {"1", true}, {" 1 ", true}, {"0", false}, {"yes", false}, {"11", false}};
  for (const auto& [text, expected] : cases) {
    Store(std::string("[SETTING]\nAUTO=") + text + "\n");
    EXPECT_EQ(CIni::ReadAutoOpen(), expected) << text;
  }
}

TEST_F(IniTest, ExportModeIsKeptAsStored) {
  Store("[SETTING]\nEM=1\nEP=/out/\n");
  EXPECT_EQ(CIni::ReadExportMode(), L"1");
  EXPECT_EQ(CIni::ReadExportPath(), L"/out/");
}

TEST_F(IniTest, LongValuesAreReadWhole) {
  for (std::size_t length : {510u, 511u, 512u, 1023u, 5000u}) {
    std::wstring value(length, L'д');
    ASSERT_TRUE(CIni::WriteString(L"SETTING", L"EP", value));
    EXPECT_EQ(CIni::ReadExportPath(), value) << length;
  }
}

TEST_F(IniTest, WritesGoToTheirSections) {
  CIni::WriteAlignment(L"3");
  CIni::WriteCompressionMode(L"S");
  EXPECT_EQ(CIni::ReadAlignment(), 3);
  EXPECT_EQ(CIni::ReadCompressionMode(), L"S");
  EXPECT_EQ(CIni::ReadString(L"SETTING", L"ALIGN"), L"");
}

}  // namespace

namespace {

TEST_F(IniTest, OverridesReadInPlaceOfTheFileWithoutWritingIt) {
  Store("[SETTING]\nEP=/stored/\n");
  CIni::Override(L"setting", L"ep", L"/given/");
  EXPECT_EQ(CIni::ReadExportPath(), L"/given/");
  EXPECT_EQ(testsupport::ReadFile(settings::SettingsPath()), "[SETTING]\nEP=/stored/\n");
  CIni::Override(L"SETTING", L"EP", L"");
  EXPECT_EQ(CIni::ReadExportPath(), L"/stored/");
}

}  // namespace
