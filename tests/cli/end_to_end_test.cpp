// varnik-cli's commands over the real engine and the built-in document server, on generated
// documents.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "batch/word_engine.h"
#include "cli/runner.h"
#include "docserver/server.h"
#include "planning/output_folders.h"
#include "planning/output_naming.h"
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
      std::wstring name = platform::FromPath(e.path().filename());
      if (name != planning::kOutputFolderMarker)
        names.insert(name);
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
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(
      Run({L"split", L"--every", L"2", L"--export", out.Path(), damaged, locked, longName, good}),
      1);
  std::string errors = ::testing::internal::GetCapturedStderr();
  // One line each for the three that did not end Done: the path and why.
  std::string longPath = platform::ToUtf8(longName);
  for (const std::string& line :
       {platform::ToUtf8(damaged) +
            ": The document could not be opened or read as a Word document.\n",
        platform::ToUtf8(locked) +
            ": The document is protected against changes; remove the protection to cut it.\n",
        longPath + ": '" + std::string(230, 'n') +
            "' Total path and file name length must not exceed 255 characters.\n"}) {
    EXPECT_NE(errors.find(line), std::string::npos) << line << "\nin:\n" << errors;
  }
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
  // Marking the last chapter gives it a piece of its own.
  ASSERT_EQ(
      Run({L"split", L"--chapters", L"3,4", L"--naming", L"range", L"--export", out.Path(), doc}),
      0);
  EXPECT_EQ(Files(out / L"book"), (std::set<std::wstring>{L"[Chapter 1]-[Chapter 2].docx",
                                                          L"[Chapter 3]-[Chapter 3].docx",
                                                          L"[Chapter 4]-[Chapter 4].docx"}));
  ASSERT_EQ(Run({L"info", out / L"book/[Chapter 4]-[Chapter 4].docx"}), 0);
  EXPECT_TRUE(output.str().starts_with("Ready\t1\t")) << output.str();
}

TEST_F(EndToEnd, ChapterTitlesBecomeNamesTheFileSystemTakes) {
  // Two titles of 45 Chinese letters that differ only in their last letter, and one with a
  // manual line break.
  std::string same;
  for (int i = 0; i < 44; ++i)
    same += "章";
  std::wstring doc =
      Doc(L"长.docx",
          docx::ChapterBook({same + "一", same + "二", "Part one\vand two"}, "_Toc", "Title"));
  ASSERT_EQ(
      Run({L"split", L"--chapters", L"2,3", L"--naming", L"range", L"--export", out.Path(), doc}),
      0)
      << output.str();
  auto names = Files(out / L"长");
  ASSERT_EQ(names.size(), 3u);
  EXPECT_TRUE(names.contains(L"[Part one and two]-[Part one and two].docx"));
  for (const auto& name : names) {
    EXPECT_LE(platform::NameLength(name), planning::kMaxResultNameLength) << platform::ToUtf8(name);
    ASSERT_EQ(Run({L"info", out / L"长" + L"/" + name}), 0) << platform::ToUtf8(name);
  }
}

// The case: the export folder holds the document in a folder of its name, beside the
// user's own file.
TEST_F(EndToEnd, TheUsersFolderOfTheSameNameIsLeftAlone) {
  std::wstring source = out / L"report/report.docx";
  docx::Builder().Body(Pages(3)).Save(source);
  testsupport::WriteFile(out / L"report/notes.txt", "mine");
  ASSERT_EQ(
      Run({L"split", L"--every", L"2", L"--naming", L"number", L"--export", out.Path(), source}),
      0);
  EXPECT_EQ(Files(out / L"report"), (std::set<std::wstring>{L"report.docx", L"notes.txt"}));
  EXPECT_EQ(testsupport::ReadFile(out / L"report/notes.txt"), "mine");
  EXPECT_EQ(Files(out / L"report (2)"), (std::set<std::wstring>{L"1.docx", L"2.docx"}));
  EXPECT_EQ(output.str(), "Done\t" + platform::ToUtf8(out / L"report (2)") + "\t" +
                              platform::ToUtf8(source) + "\n");
}

TEST_F(EndToEnd, PagesPastTheEndMakeNoPiece) {
  std::wstring doc = Doc(L"two.docx", Pages(2));
  ASSERT_EQ(
      Run({L"split", L"--pages", L"1,3,5", L"--naming", L"range", L"--export", out.Path(), doc}),
      0);
  EXPECT_EQ(Files(out / L"two"), (std::set<std::wstring>{L"[1]-[2].docx"}));
  EXPECT_EQ(
      messages,
      (std::vector<std::wstring>{L"'two' has 2 pages; no piece was made for [3]-[4], [5]-[2]."}));
}

TEST_F(EndToEnd, SameNamedDocumentsFromTwoFolders) {
  std::wstring a = Doc(L"一/report.docx", Pages(2));
  std::wstring b = Doc(L"two words/report.docx", Pages(3));
  ASSERT_EQ(
      Run({L"split", L"--every", L"1", L"--naming", L"number", L"--export", out.Path(), a, b}), 0);
  EXPECT_EQ(Files(out / L"report").size(), 2u);
  EXPECT_EQ(Files(out / L"report (2)").size(), 3u);
}

TEST_F(EndToEnd, PagesTellWhatPutEachStartThere) {
  // Word's mark where an explicit break also is: the break is what put the start there.
  const std::string body = docx::P("Cover page.") +
                           docx::Para(docx::RenderedBreak() + docx::TextRun("Word's own page.")) +
                           docx::Para(docx::TextRun("Before the break.") + docx::PageBreak()) +
                           docx::Para(docx::RenderedBreak() + docx::TextRun("After the break.")) +
                           docx::SectionEnd(docx::TextRun("Section ends."), "nextPage") +
                           docx::P("A new section.") +
                           docx::Styled("Breaking", docx::TextRun("By its style.")) +
                           docx::Para(docx::TextRun("By its own setting."), "<w:pageBreakBefore/>");
  const std::string lines =
      "1\t1\tstart\tCover page.\n"
      "2\t2\tword-mark\tWord's own page. Before the break.\n"
      "3\t4\tpage-break\tAfter the break. Section ends.\n"
      "4\t6\tsection-break\tA new section.\n"
      "5\t7\tbreak-before\tBy its style.\n"
      "6\t8\tbreak-before\tBy its own setting.\n";
  const struct {
    int saved;
    const char* first;
  } table[] = {{6, "6 pages; Word saved 6: agrees\n"}, {0, "6 pages; Word saved no page count\n"}};
  for (const auto& c : table) {
    std::wstring doc = docs / (L"sources " + std::to_wstring(c.saved) + L".docx");
    docx::Builder().Body(body).Pages(c.saved).Save(doc);
    EXPECT_EQ(Run({L"pages", doc}), 0);
    EXPECT_EQ(output.str(), c.first + lines) << c.saved;
  }
  // A document that cannot be read prints no pages.
  EXPECT_EQ(Run({L"pages", docs / L"missing.docx"}), 1);
  EXPECT_EQ(output.str(), "");
}

}  // namespace
