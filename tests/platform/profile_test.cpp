#include "platform/profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"
#include "support/temp_folder.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempFolder;
using testsupport::WriteFile;

std::wstring Get(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                 const wchar_t* fallback = L"") {
  std::vector<wchar_t> buffer(512);
  std::size_t n =
      platform::GetProfileString(file, section, key, fallback, buffer.data(), buffer.size());
  return std::wstring(buffer.data(), n);
}

// A settings file as UTF-16LE with its byte-order mark (how the program creates it on Windows).
std::string Utf16(std::string_view utf8) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : platform::FromUtf8(utf8)) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

TEST(Profile, ReadsValuesByTheRulesOfTheWindowsCalls) {
  TempFolder temp;
  std::wstring file = temp / L"config.ini";
  const std::string text =
      "; a comment\r\n"
      "[SETTING]\r\n"
      "EP=/home/user/Out 文档/\r\n"
      "  EM =  2  \r\n"
      "QUOTED=\"  spaced  \"\r\n"
      "SINGLE='x'\r\n"
      "HALF=\"open\r\n"
      "EMPTY=\r\n"
      "[base]\n"
      "align=3\n";
  struct Case {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"SETTING", L"EP", L"/home/user/Out 文档/"},
      {L"SETTING", L"EM", L"2"},
      {L"setting", L"em", L"2"},               // names without regard to case
      {L"SETTING", L"QUOTED", L"  spaced  "},  // one pair of quotes removed, inside kept
      {L"SETTING", L"SINGLE", L"x"},
      {L"SETTING", L"HALF", L"\"open"},
      {L"SETTING", L"EMPTY", L""},
      {L"BASE", L"ALIGN", L"3"},           // LF-only lines too
      {L"SETTING", L"ALIGN", L"default"},  // key of another section
      {L"NOPE", L"EP", L"default"},
  };
  // Windows reads a file without a byte-order mark in the ANSI code page, so a hand-written
  // UTF-8 file loses its Chinese letters there; the program only ever makes UTF-16 files.
#ifdef _WIN32
  const std::string encodings[] = {Utf16(text)};
#else
  const std::string encodings[] = {text, Utf16(text)};
#endif
  for (const std::string& bytes : encodings) {
    WriteFile(file, bytes);
    for (const auto& c : cases) {
      EXPECT_EQ(Get(file, c.section, c.key, L"default"), c.expected)
          << c.section << L"/" << c.key << (bytes.starts_with("\xFF\xFE") ? L" UTF-16" : L"");
    }
  }
  EXPECT_EQ(Get(temp / L"missing.ini", L"SETTING", L"EP", L"default"), L"default");
}

TEST(Profile, CutsToTheBufferAndSaysHowMuchItCopied) {
  TempFolder temp;
  std::wstring file = temp / L"config.ini";
  WriteFile(file, "[S]\nK=" + std::string(600, 'a') + "\n");
  std::vector<wchar_t> buffer(512);
  EXPECT_EQ(platform::GetProfileString(file, L"S", L"K", L"", buffer.data(), buffer.size()), 511u);
  EXPECT_EQ(buffer[511], L'\0');
}

TEST(Profile, WritesCreateFileAndSectionAndKeepTheRest) {
  TempFolder temp;
  std::wstring file = temp / L"config.ini";
  ASSERT_TRUE(platform::WriteProfileString(file, L"SETTING", L"EP", L"/out/文档/"));
  EXPECT_EQ(Get(file, L"SETTING", L"EP"), L"/out/文档/");
#ifdef _WIN32
  // Made by the system itself the file would be ANSI, and the folder's letters lost.
  EXPECT_EQ(ReadFile(file).substr(0, 2), "\xFF\xFE");
#endif

  WriteFile(file, "; keep me\n[OTHER]\nX=1\n[SETTING]\nEP=old\n; note\nEM=1\n\n[LAST]\nY=2\n");
  ASSERT_TRUE(platform::WriteProfileString(file, L"setting", L"ep", L"new"));
  ASSERT_TRUE(platform::WriteProfileString(file, L"SETTING", L"AUTO", L"1"));
  ASSERT_TRUE(platform::WriteProfileString(file, L"BASE", L"ALIGN", L"2"));
#ifdef _WIN32
  // The system rewrites the file in its own layout (it keeps a key's stored spelling and
  // drops blank lines); what matters is that nothing else is lost.
  const std::string after = ReadFile(file);
  for (const char* kept : {"; keep me", "[OTHER]", "X=1", "; note", "EM=1", "[LAST]", "Y=2"})
    EXPECT_NE(after.find(kept), std::string::npos) << kept;
  EXPECT_EQ(Get(file, L"SETTING", L"AUTO"), L"1");
  EXPECT_EQ(Get(file, L"BASE", L"ALIGN"), L"2");
  EXPECT_EQ(Get(file, L"LAST", L"Y"), L"2");
#else
  EXPECT_EQ(ReadFile(file),
            "; keep me\r\n[OTHER]\r\nX=1\r\n[SETTING]\r\nep=new\r\n; note\r\nEM=1\r\nAUTO=1\r\n"
            "\r\n[LAST]\r\nY=2\r\n[BASE]\r\nALIGN=2\r\n");
#endif
  EXPECT_EQ(Get(file, L"SETTING", L"EP"), L"new");
}

TEST(Profile, ReadsUtf16FilesAndKeepsTheirEncoding) {
  TempFolder temp;
  std::wstring file = temp / L"config.ini";
  std::string bytes = "\xFF\xFE";
  for (char c : std::string("[S]\r\nK=v\r\n"))
    bytes += std::string{c, '\0'};
  WriteFile(file, bytes);
  EXPECT_EQ(Get(file, L"S", L"K"), L"v");
  ASSERT_TRUE(platform::WriteProfileString(file, L"S", L"K", L"出口"));
  EXPECT_EQ(ReadFile(file).substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Get(file, L"S", L"K"), L"出口");
}

TEST(Profile, UnwritableFileIsReportedNotThrown) {
  TempFolder temp;
  EXPECT_FALSE(platform::WriteProfileString(temp / L"no such folder/config.ini", L"S", L"K", L"v"));
}

}  // namespace
