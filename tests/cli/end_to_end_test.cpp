// varnik-cli's commands over the real engine and the built-in document server, on generated
// documents.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "batch/word_engine.h"
#include "cli/runner.h"
#include "docserver/server.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"
#include "util/message_box.h"

namespace {

namespace docx = testsupport::docx;
namespace fs = std::filesystem;
using testsupport::TempFolder;

std::string Pages(int pages) {
  return docx::PagedBody(pages);
}

class EndToEnd : public ::testing::Test {
 protected:
  EndToEnd() {
    docserver::RegisterBuiltInServer();
    previous = util::SetMessagePresenter(
        [this](std::wstring_view text, void*) { messages.emplace_back(text); });
  }
  ~EndToEnd() override {
    util::SetMessagePresenter(previous);
    for (const wchar_t* key : {L"EP", L"EM", L"AUTO"})
      settings::CIni::Override(L"SETTING", key, L"");
    settings::CIni::Override(L"BASE", L"ALIGN", L"");
  }

  std::wstring Doc(const std::wstring& name, const std::string& body) {
    std::wstring path = docs / name;
    docx::Builder().Body(body).Save(path);
    return path;
  }

  int Run(std::vector<std::wstring> arguments) {
    output.str("");
    return cli::Run(cli::ParseOptions(arguments), output, console, batch::MakeWordEngine);
  }

  std::set<std::wstring> Files(const std::wstring& folder) {
    std::set<std::wstring> names;
    for (const auto& e : fs::directory_iterator(platform::ToPath(folder))) {
      names.insert(platform::FromPath(e.path().filename()));
    }
    return names;
  }

  TempFolder program;
  testsupport::ProgramFolderScope scope{program};
  TempFolder docs;
  TempFolder out;
  cli::Console console;
  std::ostringstream output;
  std::vector<std::wstring> messages;
  util::MessagePresenter previous;
};

TEST_F(EndToEnd, ManualListsGiveTheirPieces) {
  std::wstring doc = Doc(L"报告 thirty.docx", Pages(30));
  const std::pair<const wchar_t*, std::set<std::wstring>> table[] = {
      {L"1,5,10,20", {L"[1]-[4].docx", L"[5]-[9].docx", L"[10]-[19].docx", L"[20]-[30].docx"}},
      {L"5,10", {L"[0]-[4].docx", L"[5]-[9].docx", L"[10]-[30].docx"}},
      {L"", {L"[0]-[30].docx"}},
      // Ranges whose last page lies before the first leave no file.
      {L"10,5", {L"[0]-[9].docx", L"[5]-[30].docx"}},
      {L"1,20,40", {L"[1]-[19].docx", L"[20]-[39].docx"}},
  };
  for (const auto& [list, expected] : table) {
    ASSERT_EQ(
        Run({L"split", L"--pages", list, L"--naming", L"range", L"--export", out.Path(), doc}), 0)
        << list;
    EXPECT_EQ(Files(out / L"报告 thirty"), expected) << list;
  }
  // The last piece of "1,20,40" asked past the end of the document: it keeps the last page.
  ASSERT_EQ(Run({L"info", out / L"报告 thirty/[20]-[39].docx"}), 0);
  EXPECT_TRUE(output.str().starts_with("Ready\t11\t")) << output.str();
}

TEST_F(EndToEnd, EveryNPagesByNumberAndAgainAfterAChange) {
  std::wstring doc = Doc(L"ten.docx", Pages(10));
  ASSERT_EQ(Run({L"split", L"--every", L"3", L"--naming", L"number", L"--export", out.Path(), doc}),
            0);
  EXPECT_EQ(Files(out / L"ten"),
            (std::set<std::wstring>{L"1.docx", L"2.docx", L"3.docx", L"4.docx"}));
  ASSERT_EQ(Run({L"info", out / L"ten"}), 0);
  EXPECT_EQ(output.str().substr(0, 8), "Ready\t3\t");
  // The second run starts by emptying the folder.
  ASSERT_EQ(Run({L"split", L"--every", L"5", L"--naming", L"number", L"--export", out.Path(), doc}),
            0);
  EXPECT_EQ(Files(out / L"ten"), (std::set<std::wstring>{L"1.docx", L"2.docx"}));
}

TEST_F(EndToEnd, BadDocumentsFailAndTheOthersAreCut) {
  std::wstring good = Doc(L"good.docx", Pages(4));
  std::wstring locked = docs / L"locked.docx";
  docx::Builder().Body(Pages(2)).Protection("readOnly").Save(locked);
  std::wstring damaged = docs / L"damaged.docx";
  testsupport::WriteFile(damaged, "PK\x03\x04 not really a document");
  std::wstring longName = Doc(std::wstring(230, L'n') + L".docx", Pages(2));
  EXPECT_EQ(
      Run({L"split", L"--every", L"2", L"--export", out.Path(), damaged, locked, longName, good}),
      1);
  std::istringstream lines(output.str());
  std::string line;
  std::vector<std::string> statuses;
  while (std::getline(lines, line))
    statuses.push_back(line.substr(0, line.find('\t')));
  EXPECT_EQ(statuses, (std::vector<std::string>{"Failed", "Protected", "Failed", "Done"}));
  EXPECT_EQ(Files(out / L"good"), (std::set<std::wstring>{L"1.docx", L"2.docx"}));
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(),
            L"'" + std::wstring(230, L'n') +
                L"' Total path and file name length must not exceed 255 characters.");
}

TEST_F(EndToEnd, ChapterRunCutsAtMarkedChapters) {
  std::wstring doc = Doc(L"book.docx", docx::ChapterBook(4, "_Toc10", "Title"));
  ASSERT_EQ(Run({L"chapters", doc}), 0);
  EXPECT_EQ(output.str(),
            "1\t1\t2\tChapter 1\n2\t1\t3\tChapter 2\n3\t1\t4\tChapter 3\n4\t1\t5\tChapter 4\n");
  ASSERT_EQ(
      Run({L"split", L"--chapters", L"3", L"--naming", L"range", L"--export", out.Path(), doc}), 0);
  EXPECT_EQ(Files(out / L"book"), (std::set<std::wstring>{L"[Chapter 1]-[Chapter 2].docx",
                                                          L"[Chapter 3]-[Chapter 4].docx"}));
  EXPECT_EQ(messages,
            (std::vector<std::wstring>{L"Finished. Double-Click a list item to view result. "}));
}

TEST_F(EndToEnd, SameNamedDocumentsFromTwoFolders) {
  std::wstring a = Doc(L"一/report.docx", Pages(2));
  std::wstring b = Doc(L"two words/report.docx", Pages(3));
  ASSERT_EQ(
      Run({L"split", L"--every", L"1", L"--naming", L"number", L"--export", out.Path(), a, b}), 0);
  EXPECT_EQ(Files(out / L"report").size(), 2u);
  EXPECT_EQ(Files(out / L"report (2)").size(), 3u);
}

}  // namespace
