// varnik-cli.exe as users and scripts run it: a process of its own, started with a wide
// command line, on generated documents in folders with Chinese names.

#include <gtest/gtest.h>
#include <windows.h>
#include <zip.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/text.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace {

namespace docx = testsupport::docx;
namespace fs = std::filesystem;
using testsupport::TempFolder;

// The program sits beside this test in the build's bin folder.
std::wstring CliPath() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"varnik-cli.exe";
}

// Quoted as the C runtime splits command lines: backslashes before the closing quote doubled,
// or a folder's trailing separator would escape the quote.
std::wstring Quoted(const std::wstring& argument) {
  if (argument.find_first_of(L" \t") == std::wstring::npos)
    return argument;
  std::wstring quoted = L"\"" + argument;
  for (auto it = argument.rbegin(); it != argument.rend() && *it == L'\\'; ++it)
    quoted += L'\\';
  return quoted + L"\"";
}

struct Outcome {
  DWORD exitCode = 0;
  std::string output;  // standard output, as bytes
  std::string errors;
};

// Runs varnik-cli with its system temporary folder set to `temp`, output into files there.
Outcome RunCli(const std::vector<std::wstring>& arguments, const TempFolder& temp) {
  std::wstring line = Quoted(CliPath());
  for (const std::wstring& argument : arguments)
    line += L" " + Quoted(argument);

  // The child's environment: ours with TMP and TEMP pointing at the test's folder.
  std::wstring tempPath = temp.Path();
  tempPath.pop_back();
  std::wstring environment;
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
    std::wstring text(entry);
    if (_wcsnicmp(entry, L"TMP=", 4) != 0 && _wcsnicmp(entry, L"TEMP=", 5) != 0)
      environment += text + L'\0';
  }
  FreeEnvironmentStringsW(block);
  environment += L"TMP=" + tempPath + L'\0' + L"TEMP=" + tempPath + L'\0' + L'\0';

  // Each run writes its own files: a helper process Wine starts for the console may hold
  // the handles of an earlier run a while longer.
  static int runs = 0;
  fs::path logs =
      fs::temp_directory_path() /
      ("varnik-cli-logs-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(runs++));
  fs::create_directories(logs);
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  auto open = [&](const char* name) {
    return CreateFileW((logs / name).wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE out = open("out.txt");
  HANDLE err = open("err.txt");
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  Outcome outcome;
  outcome.exitCode = 999;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                     environment.data(), nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
  outcome.output = testsupport::ReadFile((logs / "out.txt").wstring());
  outcome.errors = testsupport::ReadFile((logs / "err.txt").wstring());
  std::error_code ignored;
  fs::remove_all(logs, ignored);
  return outcome;
}

// The numbers of the texts a piece holds that `pattern` matches ("Page 7." -> 7).
std::set<int> NumbersIn(const std::wstring& piece, const std::regex& pattern) {
  int error = 0;
  zip_t* archive = zip_open(platform::ToUtf8(piece).c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr)
    return {};
  std::string xml;
  if (zip_file_t* part = zip_fopen(archive, "word/document.xml", 0)) {
    char buffer[8192];
    for (zip_int64_t n; (n = zip_fread(part, buffer, sizeof buffer)) > 0;)
      xml.append(buffer, static_cast<std::size_t>(n));
    zip_fclose(part);
  }
  zip_close(archive);
  std::set<int> numbers;
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), pattern);
       it != std::sregex_iterator(); ++it) {
    numbers.insert(std::stoi((*it)[1].str()));
  }
  return numbers;
}

std::set<int> PagesIn(const std::wstring& piece) {
  static const std::regex page("Page ([0-9]+)\\.");
  return NumbersIn(piece, page);
}

std::set<int> Range(int first, int last) {
  std::set<int> pages;
  for (int p = first; p <= last; ++p)
    pages.insert(p);
  return pages;
}

std::set<std::wstring> Pieces(const std::wstring& folder) {
  std::set<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(platform::ToPath(folder))) {
    if (entry.path().extension() == ".docx")
      names.insert(entry.path().filename().wstring());
  }
  return names;
}

class CliProgram : public ::testing::Test {
 protected:
  std::wstring Doc(const std::wstring& name, const std::string& body) {
    std::wstring path = docs / name;
    docx::Builder().Body(body).Save(path);
    return path;
  }

  TempFolder docs;
  TempFolder out;
  TempFolder temp;
};

TEST_F(CliProgram, SplitsGiveEachPieceExactlyItsPages) {
  const std::wstring doc = Doc(L"报告 三十.docx", docx::PagedBody(30));
  const std::wstring folder = out / L"报告 三十";
  struct Case {
    std::vector<std::wstring> plan;
    std::map<std::wstring, std::pair<int, int>> pieces;
  };
  const Case cases[] = {
      {{L"--every", L"10", L"--naming", L"number"},
       {{L"1.docx", {1, 10}}, {L"2.docx", {11, 20}}, {L"3.docx", {21, 30}}}},
      {{L"--pages", L"1,5,10,20", L"--naming", L"range"},
       {{L"[1]-[4].docx", {1, 4}},
        {L"[5]-[9].docx", {5, 9}},
        {L"[10]-[19].docx", {10, 19}},
        {L"[20]-[30].docx", {20, 30}}}},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> arguments{L"split"};
    arguments.insert(arguments.end(), c.plan.begin(), c.plan.end());
    arguments.insert(arguments.end(), {L"--export", out.Path(), doc});
    Outcome run = RunCli(arguments, temp);
    ASSERT_EQ(run.exitCode, 0u) << run.errors;
    std::set<std::wstring> expected;
    for (const auto& [name, range] : c.pieces) {
      expected.insert(name);
      EXPECT_EQ(PagesIn(folder + L"\\" + name), Range(range.first, range.second)) << name;
    }
    EXPECT_EQ(Pieces(folder), expected);
    // The run's working copies lived under the system's temporary folder and are gone.
    EXPECT_TRUE(fs::is_empty(temp.Native())) << c.plan[0];
  }
}

TEST_F(CliProgram, ChapterRunCutsAtTheMarkedChapters) {
  const std::wstring doc = Doc(L"书 book.docx", docx::ChapterBook(4, "_Toc", "Title"));
  Outcome chapters = RunCli({L"chapters", doc}, temp);
  ASSERT_EQ(chapters.exitCode, 0u) << chapters.errors;
  EXPECT_EQ(
      chapters.output,
      "1\t1\t2\tChapter 1\r\n2\t1\t3\tChapter 2\r\n3\t1\t4\tChapter 3\r\n4\t1\t5\tChapter 4\r\n");

  Outcome split = RunCli(
      {L"split", L"--chapters", L"3", L"--naming", L"range", L"--export", out.Path(), doc}, temp);
  ASSERT_EQ(split.exitCode, 0u) << split.errors;
  const std::wstring folder = out / L"书 book";
  EXPECT_EQ(Pieces(folder), (std::set<std::wstring>{L"[Chapter 1]-[Chapter 2].docx",
                                                    L"[Chapter 3]-[Chapter 4].docx"}));
  static const std::regex chapterText("Text of chapter ([0-9]+)\\.");
  EXPECT_EQ(NumbersIn(folder + L"\\[Chapter 1]-[Chapter 2].docx", chapterText), Range(1, 2));
  EXPECT_EQ(NumbersIn(folder + L"\\[Chapter 3]-[Chapter 4].docx", chapterText), Range(3, 4));
}

TEST_F(CliProgram, DocumentsPastTheOldPathLimitAreRead) {
  // Three folders of 100 letters each: the document's path is well past 260 characters.
  const std::wstring level = std::wstring(20, L'长') + std::wstring(80, L'x');
  const std::wstring deep = docs / (level + L"\\" + level + L"\\" + level);
  fs::create_directories(platform::ToPath(deep));
  const std::wstring doc = deep + L"\\四页.docx";
  ASSERT_GT(doc.size(), 300u);
  docx::Builder().Body(docx::PagedBody(4)).Save(doc);
  // Results keep to 255 characters (the program says so when they would not): they go to a
  // short folder.
  const std::wstring exportFolder = out / L"short";

  Outcome run = RunCli(
      {L"split", L"--every", L"2", L"--naming", L"number", L"--export", exportFolder, doc}, temp);
  ASSERT_EQ(run.exitCode, 0u) << run.errors;
  EXPECT_EQ(PagesIn(exportFolder + L"\\四页\\1.docx"), Range(1, 2));
  EXPECT_EQ(PagesIn(exportFolder + L"\\四页\\2.docx"), Range(3, 4));
}

TEST_F(CliProgram, ChineseNamesArriveAndAreShownWhole) {
  const std::wstring doc = Doc(L"文档 四.docx", docx::PagedBody(4));
  Outcome info = RunCli({L"info", doc}, temp);
  ASSERT_EQ(info.exitCode, 0u) << info.errors;
  EXPECT_TRUE(info.output.starts_with("Ready\t4\t")) << info.output;
  // Written as UTF-8, which the program asks the console to show.
  EXPECT_NE(info.output.find(platform::ToUtf8(doc)), std::string::npos) << info.output;

  Outcome version = RunCli({L"--version"}, temp);
  ASSERT_EQ(version.exitCode, 0u);
  // No Word under Wine: the built-in server does the work.
  EXPECT_NE(version.output.find("Engine: built-in document server"), std::string::npos)
      << version.output;
}

}  // namespace
