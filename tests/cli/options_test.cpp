#include "cli/options.h"

#include <gtest/gtest.h>

namespace {

using cli::Command;
using cli::ParseOptions;

TEST(CliOptions, ReadsEachCommand) {
  auto info = ParseOptions({L"info", L"/a b/报告.docx", L"/folder"});
  EXPECT_EQ(info.command, Command::Info);
  EXPECT_EQ(info.paths, (std::vector<std::wstring>{L"/a b/报告.docx", L"/folder"}));

  auto split = ParseOptions({L"split", L"--pages", L"1,5,10", L"--align", L"both", L"--naming",
                             L"number", L"--export", L"/out", L"/doc.docx"});
  EXPECT_EQ(split.command, Command::Split);
  EXPECT_EQ(split.pages, L"1,5,10");
  EXPECT_EQ(split.align, L"3");
  EXPECT_EQ(split.naming, L"2");
  EXPECT_EQ(split.exportFolder, L"/out");

  auto chapters = ParseOptions({L"split", L"--chapters", L"3,5", L"/doc.docx"});
  EXPECT_EQ(chapters.chapters, (std::vector<int>{3, 5}));
  EXPECT_EQ(ParseOptions({L"--help"}).command, Command::Help);
  EXPECT_EQ(ParseOptions({L"split", L"--help"}).command, Command::Help);
  EXPECT_EQ(ParseOptions({L"--version"}).command, Command::Version);
}

TEST(CliOptions, RefusesWrongUsage) {
  const std::vector<std::vector<std::wstring>> wrong = {
      {},
      {L"cut", L"a.docx"},
      {L"info"},
      {L"chapters", L"a.docx", L"b.docx"},
      {L"pages", L"a.docx", L"b.docx"},
      {L"pages", L"--every", L"2", L"a.docx"},
      {L"split", L"a.docx"},
      {L"split", L"--every", L"2", L"--pages", L"1,2", L"a.docx"},
      {L"split", L"--every"},
      {L"split", L"--every", L"2", L"--align", L"words", L"a.docx"},
      {L"split", L"--every", L"2", L"--naming", L"title", L"a.docx"},
      {L"split", L"--chapters", L"0,2", L"a.docx"},
      {L"info", L"--every", L"2", L"a.docx"},
  };
  for (const auto& arguments : wrong) {
    EXPECT_THROW(ParseOptions(arguments), cli::UsageError) << arguments.size();
  }
}

}  // namespace
