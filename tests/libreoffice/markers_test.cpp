#include "docserver/libreoffice/markers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "docserver/libreoffice/errors.h"
#include "docserver/libreoffice/formats.h"
#include "libreoffice/mini_docx.h"
#include "support/temp_folder.h"

namespace {

using testsupport::TempFolder;

// A body with the places paragraphs hide: table cells (nested too), a block content control and
// a text box inside a paragraph, whose own paragraphs are not body paragraphs.
const std::string kBody =
    "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:bookmarkStart w:id=\"7\" w:name=\"_VkP3\"/>"
    "<w:r><w:t xml:space=\"preserve\">  spaced  </w:t></w:r><w:bookmarkEnd w:id=\"7\"/></w:p>"
    "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p><w:p/></w:tc>"
    "<w:tc><w:tbl><w:tr><w:tc><w:p><w:r><w:t>nested</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
    "<w:p/></w:tc></w:tr></w:tbl>"
    "<w:sdt><w:sdtContent><w:p><w:r><w:t>in control</w:t><w:br w:type=\"page\"/><w:br/>"
    "<w:t>more</w:t><w:br w:type=\"column\"/></w:r></w:p></w:sdtContent></w:sdt>"
    "<w:p><w:r><w:pict><v:shape xmlns:v=\"urn:schemas-microsoft-com:vml\"><v:textbox>"
    "<w:txbxContent><w:p><w:r><w:t>box</w:t></w:r></w:p></w:txbxContent></v:textbox>"
    "</v:shape></w:pict></w:r><w:r><w:t>after box</w:t></w:r></w:p>";

TEST(Markers, MarksEveryBodyParagraphInDocumentOrder) {
  TempFolder folder;
  std::wstring source = folder / L"source.docx";
  std::wstring target = folder / L"marked.docx";
  minidocx::Write(source, kBody);
  std::string sourceXml = minidocx::DocumentXml(source);

  libreoffice::MarkedCopy marked = libreoffice::WriteMarkedCopy(source, target);
  EXPECT_EQ(marked.paragraphs, 7);
  // Page and column breaks, where LibreOffice may split a paragraph; not line breaks.
  EXPECT_EQ(marked.breaks, (std::vector<int>{0, 0, 0, 0, 0, 2, 0}));
  EXPECT_EQ(libreoffice::CountBodyParagraphs(sourceXml), 7);
  // The document already has a bookmark starting with the usual prefix.
  EXPECT_NE(marked.prefix, "_VkP");
  EXPECT_EQ(minidocx::DocumentXml(source), sourceXml) << "the source is not touched";
  EXPECT_EQ(libreoffice::DetectFormat(target), libreoffice::Format::Docx);

  std::string xml = minidocx::DocumentXml(target);
  pugi::xml_document document;
  ASSERT_TRUE(
      document.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata));
  std::vector<std::string> firstTexts;
  std::vector<std::string> ids;
  int index = 0;
  for (pugi::xpath_node found : document.select_nodes("//w:bookmarkStart")) {
    pugi::xml_node start = found.node();
    ids.push_back(start.attribute("w:id").value());
    std::string name = start.attribute("w:name").value();
    if (name.rfind(marked.prefix, 0) != 0)
      continue;
    EXPECT_EQ(name, marked.prefix + std::to_string(index++));
    // At the start of its paragraph: only the paragraph's properties come before it.
    pugi::xml_node before = start.previous_sibling();
    EXPECT_TRUE(!before || std::string_view(before.name()) == "w:pPr");
    EXPECT_STREQ(start.next_sibling().name(), "w:bookmarkEnd");
    firstTexts.push_back(start.parent().select_node(".//w:t")
                             ? start.parent().select_node(".//w:t").node().text().get()
                             : "");
  }
  EXPECT_EQ(index, 7);
  EXPECT_EQ(firstTexts,
            (std::vector<std::string>{"  spaced  ", "a", "", "nested", "", "in control", "box"}));
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "bookmark ids are unique";
  EXPECT_EQ(document.select_nodes("//w:txbxContent//w:bookmarkStart").size(), 0u);
}

TEST(Markers, RefusesWhatIsNotADocx) {
  TempFolder folder;
  std::wstring text = folder / L"text.docx";
  testsupport::WriteFile(text, "plain text");
  EXPECT_THROW(libreoffice::WriteMarkedCopy(text, folder / L"out.docx"), libreoffice::OfficeError);
  EXPECT_THROW(libreoffice::WriteMarkedCopy(folder / L"missing.docx", folder / L"out.docx"),
               libreoffice::OfficeError);
  EXPECT_EQ(libreoffice::CountBodyParagraphs("<w:document><w:body>"), -1);
}

}  // namespace
