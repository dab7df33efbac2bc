#include "planning/output_naming.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "planning/output_folders.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "support/temp_folder.h"

namespace {

using planning::MakeResultPath;
using planning::PageRange;
using planning::PrepareFailure;
using planning::PrepareResultFile;
using settings::CIni;
using testsupport::Exists;
using testsupport::TempFolder;
using testsupport::WriteFile;

class OutputNaming : public ::testing::Test {
 protected:
  TempFolder program;
  testsupport::ProgramFolderScope scope{program};
  TempFolder out;

  void SetUp() override { Use(out.Path(), L"1"); }
  void Use(const std::wstring& exportFolder, const std::wstring& mode) {
    CIni::WriteString(L"SETTING", L"EP", exportFolder);
    CIni::WriteString(L"SETTING", L"EM", mode);
  }
};

TEST_F(OutputNaming, PagePlanNames) {
  const std::wstring base = out.Path() + testsupport::Native(L"report/");
  EXPECT_EQ(MakeResultPath(L"report", L".docx", PageRange{.firstPage = 1, .lastPage = 4}, 1, false),
            base + L"[1]-[4].docx");
  EXPECT_EQ(MakeResultPath(L"report", L".docx", PageRange{.firstPage = 0, .lastPage = 4}, 1, false),
            base + L"[0]-[4].docx");
  EXPECT_EQ(
      MakeResultPath(L"report", L".docx", PageRange{.firstPage = 5, .lastPage = -1}, 2, false),
      base + L"[5]-[-1].docx");
  Use(out.Path(), L"2");
  EXPECT_EQ(MakeResultPath(L"report", L".docx", PageRange{.firstPage = 9, .lastPage = 9}, 3, false),
            base + L"3.docx");
  EXPECT_EQ(MakeResultPath(L"report", L".doc", PageRange{.beginText = L"A"}, 3, true),
            base + L"3.doc");
}

TEST_F(OutputNaming, ChapterTitlesAreShortenedAndCleaned) {
  EXPECT_EQ(planning::CleanChapterTitle(L"Results: part 1/2"), L"Results  part 1 2");
  std::wstring sixty(60, L'x');
  EXPECT_EQ(planning::CleanChapterTitle(sixty), std::wstring(47, L'x') + L"...");
  std::wstring fifty(50, L'y');
  EXPECT_EQ(planning::CleanChapterTitle(fifty), fifty);
  PageRange range{.beginText = L"Intro\r\nduction", .endText = L"A <b>?"};
  EXPECT_EQ(MakeResultPath(L"re\nport", L".docx", range, 1, true),
            out.Path() + testsupport::Native(L"report/[Introduction]-[A  b  ].docx"));
}

TEST_F(OutputNaming, OtherModesGiveTheExportFolderItself) {
  for (const wchar_t* mode : {L"", L"3", L"01", L"x"}) {
    Use(out.Path(), mode);
    EXPECT_EQ(
        MakeResultPath(L"report", L".docx", PageRange{.firstPage = 1, .lastPage = 2}, 1, false),
        out.Path())
        << mode;
    // Being a folder, it cannot be replaced by a piece.
    EXPECT_EQ(
        PrepareResultFile(L"report", out.Path(), false),
        (PrepareFailure{PrepareFailure::Kind::InUse,
                        L"report   Result file can not be saved. Destintion file may be in use."}));
  }
}

TEST_F(OutputNaming, EmptyExportFolderMeansTheProgramFolder) {
  Use(L"", L"2");
  EXPECT_EQ(planning::ExportFolder(), program.Path());
  EXPECT_EQ(MakeResultPath(L"report", L".docx", PageRange{}, 1, false),
            program.Path() + testsupport::Native(L"report/1.docx"));
}

TEST_F(OutputNaming, PathLengthLimit) {
  const std::wstring folder = out.Path() + L"d/";
  auto pathOf = [&](std::size_t length) {
    return folder + std::wstring(length - folder.size() - 5, L'n') + L".docx";
  };
  EXPECT_EQ(PrepareResultFile(L"report", pathOf(255), false), std::nullopt);
  EXPECT_TRUE(Exists(folder));
  EXPECT_EQ(PrepareResultFile(L"report", pathOf(256), false),
            (PrepareFailure{
                PrepareFailure::Kind::TooLong,
                L"'report' Total path and file name length must not exceed 255 characters."}));
  EXPECT_EQ(PrepareResultFile(L"report", pathOf(256), true)->message,
            L"'report'  Total path and file name length must not exceed 255 characters.");
}

TEST_F(OutputNaming, OldResultIsReplacedButAFolderIsNot) {
  std::wstring file = out / L"报告 report/[1]-[4].docx";
  WriteFile(file, "old");
  EXPECT_EQ(PrepareResultFile(L"报告 report", file, false), std::nullopt);
  EXPECT_FALSE(Exists(file));

  WriteFile(file + L"/inside.txt", "a folder stands where the piece goes");
  EXPECT_EQ(PrepareResultFile(L"报告 report", file, true)->message,
            L"报告 report   Result file can not be saved. Destintion file may be in use.");
  EXPECT_TRUE(Exists(file + L"/inside.txt"));
}

TEST_F(OutputNaming, LongTitlesFitTheFileSystemsLimit) {
  // 45 Chinese letters are 135 bytes of UTF-8: two of them do not fit one name.
  std::wstring first(45, L'章'), second(44, L'章');
  second += L'节';
  Use(out.Path(), L"1");
  const std::wstring ext = L".docx";
  std::wstring a = MakeResultPath(L"r", ext, {.beginText = first, .endText = first}, 1, true);
  std::wstring b = MakeResultPath(L"r", ext, {.beginText = first, .endText = second}, 2, true);
  std::wstring copy = MakeResultPath(L"r", ext, {.beginText = first, .endText = first}, 1, true, 2);
  for (const auto& path : {a, b, copy}) {
    std::wstring name = platform::FromPath(platform::ToPath(path).filename());
    EXPECT_LE(platform::NameLength(name + L".part~.XXXXXX"), 255u) << path;
    EXPECT_TRUE(name.ends_with(L"].docx") || name.ends_with(L"] (2).docx")) << path;
  }
  EXPECT_NE(a, copy);
  EXPECT_TRUE(copy.ends_with(L"] (2).docx"));
  // Short titles keep their form; a manual line break (code 11) and a tab become spaces.
  EXPECT_EQ(MakeResultPath(L"r", ext, {.beginText = L"One\vline", .endText = L"a\tb"}, 1, true),
            out.Path() + testsupport::Native(L"r/[One line]-[a b].docx"));
}

TEST_F(OutputNaming, ClearingStaysInsideTheExportFolder) {
  ASSERT_TRUE(planning::ClaimOutputFolder(L"report"));
  WriteFile(out / L"report/[1]-[4].docx", "piece");
  WriteFile(out / L"report/sub/user file.txt", "x");
  WriteFile(out / L"other/keep.docx", "keep");
  EXPECT_TRUE(planning::ClearOutputFolder(L"report"));
  EXPECT_FALSE(Exists(out / L"report"));
  for (const wchar_t* unsafe : {L"", L".", L"..", L"../other", L"a/b"}) {
    EXPECT_FALSE(planning::ClearOutputFolder(unsafe)) << unsafe;
  }
  // A folder the program did not make is never emptied.
  EXPECT_FALSE(planning::ClearOutputFolder(L"other"));
  EXPECT_TRUE(Exists(out / L"other/keep.docx"));
  EXPECT_TRUE(Exists(out.Path()));
}

TEST_F(OutputNaming, OutputFoldersGoBesideFoldersThatAreNotOurs) {
  // The user's own folder, holding the source and a note of theirs.
  WriteFile(out / L"report/report.docx", "source");
  WriteFile(out / L"report/notes.txt", "notes");
  // A folder of ours from an earlier run, and one of ours that now holds a document.
  ASSERT_TRUE(planning::ClaimOutputFolder(L"old"));
  ASSERT_TRUE(planning::ClaimOutputFolder(L"held"));
  WriteFile(out / L"held/sub/held.docx", "source");
  WriteFile(out / L"file", "a file, not a folder");

  planning::OutputFolderChooser chooser({out / L"report/report.docx", out / L"held/sub/held.docx"});
  EXPECT_EQ(chooser.Choose(L"report"), L"report (2)");
  EXPECT_EQ(chooser.Choose(L"old"), L"old");
  EXPECT_EQ(chooser.Choose(L"held"), L"held (2)");
  EXPECT_EQ(chooser.Choose(L"file"), L"file (2)");
  EXPECT_EQ(chooser.Choose(L".."), L".. (2)");
}

}  // namespace
