#include "cli/runner.h"

#include <gtest/gtest.h>

#include <sstream>

#include "batch/fake_engine.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "support/temp_folder.h"
#include "util/message_box.h"

namespace {

using testsupport::TempFolder;

class CliRunner : public ::testing::Test {
 protected:
  CliRunner() {
    previous =
        util::SetMessagePresenter([this](std::wstring_view text, void*) { console.Message(text); });
  }
  ~CliRunner() override {
    util::SetMessagePresenter(previous);
    for (const wchar_t* key : {L"EP", L"EM", L"AUTO"})
      settings::CIni::Override(L"SETTING", key, L"");
    settings::CIni::Override(L"BASE", L"ALIGN", L"");
  }

  std::wstring Doc(const std::wstring& name) {
    std::wstring path = docs / name;
    testsupport::WriteFile(path, std::string(name.begin(), name.end()));
    return path;
  }

  int Run(const std::vector<std::wstring>& arguments) {
    output.str("");
    return cli::Run(cli::ParseOptions(arguments), output, console,
                    testsupport::FakeEngines(script));
  }

  TempFolder program;
  testsupport::ProgramFolderScope scope{program};
  TempFolder docs;
  TempFolder out;
  testsupport::EngineScript script;
  cli::Console console;
  std::ostringstream output;
  util::MessagePresenter previous;
};

TEST_F(CliRunner, InfoPrintsOneLinePerDocument) {
  script.pageCounts = {{L"a.docx", 12}, {L"b.doc", -2}};
  script.times = {{L"a.docx", L"03/05/2014 14:07"}};
  std::wstring a = Doc(L"a.docx");
  std::wstring b = Doc(L"b.doc");
  EXPECT_EQ(Run({L"info", a, b}), 1);
  std::string pa = platform::ToUtf8(a), pb = platform::ToUtf8(b);
  EXPECT_EQ(output.str(), "Ready\t12\t03/05/2014 14:07\t0.01KB\t" + pa +
                              "\nProtected\t-2\t\t0.00KB\t" + pb + "\n");
  EXPECT_EQ(Run({L"info", a}), 0);
}

TEST_F(CliRunner, SplitUsesTheGivenOptionsWithoutWritingConfig) {
  script.pageCounts = {{L"r.docx", 10}};
  std::wstring r = Doc(L"r.docx");
  EXPECT_EQ(Run({L"split", L"--every", L"4", L"--naming", L"range", L"--align", L"paragraph",
                 L"--export", out.Path(), r}),
            0);
  EXPECT_EQ(output.str(),
            "Done\t" + platform::ToUtf8(out / L"r") + "\t" + platform::ToUtf8(r) + "\n");
  ASSERT_EQ(script.exports.size(), 3u);
  EXPECT_EQ(script.exports[1].target, testsupport::Native(out / L"r/[5]-[8].docx"));
  EXPECT_EQ(script.exports[1].align, 2);
  EXPECT_FALSE(testsupport::Exists(settings::SettingsPath()));
}

TEST_F(CliRunner, SplitNeedsAnExportFolder) {
  EXPECT_THROW(Run({L"split", L"--every", L"4", Doc(L"r.docx")}), cli::UsageError);
}

TEST_F(CliRunner, ChaptersAreListedAndCut) {
  script.chapters = {{.level = 1, .title = L"One", .key = L"_Toc1", .pageText = L"1"},
                     {.level = 2, .title = L"Two", .key = L"_Toc2", .pageText = L"3"},
                     {.level = 1, .title = L"Three", .key = L"_Toc3", .pageText = L"5"}};
  std::wstring book = Doc(L"book.docx");
  EXPECT_EQ(Run({L"chapters", book}), 0);
  EXPECT_EQ(output.str(), "1\t1\t1\tOne\n2\t2\t3\tTwo\n3\t1\t5\tThree\n");
  EXPECT_EQ(Run({L"split", L"--chapters", L"2", L"--export", out.Path(), book}), 0);
  ASSERT_EQ(script.exports.size(), 2u);
  EXPECT_EQ(script.exports[0].target, testsupport::Native(out / L"book/1.docx"));
  EXPECT_EQ(script.exports[1].endKey, L"KESTO_[DOC_END]");
}

}  // namespace
