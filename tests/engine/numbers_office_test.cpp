// Pieces show the numbers their list items and notes had in the whole document: a piece of a
// later page goes on where the document stood, and a list that begins inside it still begins
// at 1. What LibreOffice shows when it renders the piece is what counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "docserver/libreoffice/office.h"
#include "real_server.h"
#include "support/docx_builder.h"
#include "support/temp_folder.h"

namespace enginetest {
namespace {

namespace docx = testsupport::docx;

// A decimal list of two levels, labels "1." and "1.2.", and a second, separate list.
const char* kLists =
    "<w:abstractNum w:abstractNumId=\"1\">"
    "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/>"
    "<w:lvlText w:val=\"%1.\"/></w:lvl>"
    "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/>"
    "<w:lvlText w:val=\"%1.%2.\"/></w:lvl></w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"2\">"
    "<w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt w:val=\"lowerLetter\"/>"
    "<w:lvlText w:val=\"%1)\"/></w:lvl></w:abstractNum>"
    "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"1\"/></w:num>"
    "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"2\"/></w:num>";

// "item n", appended: GCC 12 at -O3 warns of a false overlap (-Wrestrict) for "text" + n.
std::string Label(int n) {
  std::string text = "item ";
  text += std::to_string(n);
  return text;
}

std::string Item(int numId, int level, const std::string& text, bool startsPage = false) {
  return docx::ListItem(numId, level,
                        (startsPage ? docx::RenderedBreak() : "") + docx::TextRun(text));
}

// LibreOffice's plain text of a document: list labels in front of their items.
std::string RenderedText(const testsupport::TempFolder& folder, const std::wstring& piece) {
  std::string profile = platform::ToUtf8(folder / L"profile");
  std::string out = platform::ToUtf8(folder / L"text");
  std::string command = "soffice -env:UserInstallation=file://" + profile +
                        " --headless --convert-to 'txt:Text (encoded):UTF8' --outdir '" + out +
                        "' '" + platform::ToUtf8(piece) + "' > /dev/null 2>&1";
  if (std::system(command.c_str()) != 0)
    return {};
  std::filesystem::path name = platform::ToPath(piece).filename().replace_extension(".txt");
  std::ifstream in(std::filesystem::path(out) / name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class NumbersInPieces : public RealServerTest {};

TEST_F(NumbersInPieces, ListsAndNotesGoOnWithTheDocumentsNumbers) {
  if (!libreoffice::IsAvailable())
    GTEST_SKIP() << "LibreOffice is not installed";
  testsupport::TempFolder folder;
  docx::Builder doc;
  std::string body = docx::P("Page one.");
  for (int i = 1; i <= 10; ++i)
    body += Item(1, 0, Label(i));
  body += docx::Para(docx::TextRun("Noted") + doc.Footnote("note one") + docx::TextRun(" twice") +
                     doc.Footnote("note two"));
  body += Item(1, 0, "item 11", true);
  for (int i = 12; i <= 15; ++i)
    body += Item(1, 0, Label(i));
  body += Item(1, 1, "item 15.1") + Item(1, 1, "item 15.2");
  body += docx::Para(docx::TextRun("Noted") + doc.Footnote("note three"));
  body += Item(1, 0, "item 16", true) + Item(1, 1, "item 16.1");
  body += docx::Para(docx::TextRun("Noted") + doc.Footnote("note four"));
  body += Item(2, 0, "step a") + Item(2, 0, "step b");
  std::wstring source = folder / L"source.docx";
  doc.Body(body).Numbering(kLists).Pages(3).Save(source);

  // What each page's piece shows, label and text, as lines of LibreOffice's text.
  const std::vector<std::vector<std::string>> shown = {
      {"1. item 1", "10. item 10", "Noted1 twice2"},
      {"11. item 11", "15. item 15", "15.1. item 15.1", "15.2. item 15.2", "Noted3"},
      // A level under a new item starts again; a list that begins in the piece begins at a).
      {"16. item 16", "16.1. item 16.1", "Noted4", "a) step a", "b) step b"}};
  for (int page = 1; page <= 3; ++page) {
    SCOPED_TRACE(page);
    std::wstring piece = folder / (L"page " + std::to_wstring(page) + L".docx");
    ASSERT_EQ(ctrl->ExportPageRange(source, piece, page, page, 3, 0), 1);
    std::wstring difference;
    EXPECT_EQ(ctrl->VerifyPiece(piece, difference), 1) << platform::ToUtf8(difference);
    std::string text = RenderedText(folder, piece);
    ASSERT_FALSE(text.empty());
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      // Without the indent and the byte order mark at the start.
      auto first = line.find_first_not_of(" \t\r\xEF\xBB\xBF");
      lines.push_back(first == std::string::npos ? "" : line.substr(first));
    }
    for (const auto& line : shown[static_cast<std::size_t>(page - 1)])
      EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << " in\n"
                                                                          << text;
  }
  EXPECT_EQ(messages, std::vector<std::wstring>{});
}

}  // namespace
}  // namespace enginetest
