#include "libreoffice/mini_docx.h"

#include <zip.h>

#include <pugixml.hpp>
#include <stdexcept>

#include "platform/text.h"

namespace minidocx {

namespace {

constexpr const char* kNamespaces =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void Add(zip_t* archive, const char* name, const std::string& bytes) {
  zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
  if (source == nullptr || zip_file_add(archive, name, source, ZIP_FL_OVERWRITE) < 0) {
    throw std::runtime_error("cannot add a part to the test document");
  }
}

void Collect(pugi::xml_node node, std::vector<std::string>& out) {
  for (pugi::xml_node child : node.children()) {
    if (std::string_view(child.name()) == "w:p") {
      std::string text;
      for (pugi::xpath_node t : child.select_nodes(".//w:t"))
        text += t.node().text().get();
      out.push_back(text);
    } else {
      Collect(child, out);
    }
  }
}

}  // namespace

std::string Paragraph(std::string_view text) {
  return "<w:p><w:r><w:t xml:space=\"preserve\">" + Escape(text) + "</w:t></w:r></w:p>";
}

std::string PageBreakParagraph() {
  return "<w:p><w:r><w:br w:type=\"page\"/></w:r></w:p>";
}

std::string Table(const std::vector<std::vector<std::string>>& rows, bool repeatFirstRow) {
  std::size_t columns = rows.empty() ? 1 : rows.front().size();
  std::string xml = "<w:tbl><w:tblPr><w:tblW w:w=\"5000\" w:type=\"pct\"/></w:tblPr><w:tblGrid>";
  for (std::size_t c = 0; c < columns; ++c)
    xml += "<w:gridCol w:w=\"3000\"/>";
  xml += "</w:tblGrid>";
  for (const auto& row : rows) {
    xml += "<w:tr>";
    if (repeatFirstRow && &row == &rows.front())
      xml += "<w:trPr><w:tblHeader/></w:trPr>";
    for (const std::string& cell : row)
      xml += "<w:tc>" + Paragraph(cell) + "</w:tc>";
    xml += "</w:tr>";
  }
  return xml + "</w:tbl>";
}

void Write(const std::wstring& path, const std::string& bodyXml) {
  const std::string contentTypes =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/"
      "vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
      "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/></Types>";
  const std::string packageRels =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
      "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>";
  const std::string documentRels =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
      "relationships/styles\" Target=\"styles.xml\"/></Relationships>";
  const std::string styles =
      std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:styles ") +
      kNamespaces +
      "><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Liberation Serif\" "
      "w:hAnsi=\"Liberation Serif\" w:eastAsia=\"WenQuanYi Micro Hei\" w:cs=\"Liberation "
      "Serif\"/><w:sz w:val=\"24\"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing "
      "w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>"
      "</w:styles>";
  const std::string document =
      std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document ") +
      kNamespaces + "><w:body>" + bodyXml +
      "<w:sectPr><w:pgSz w:w=\"12240\" w:h=\"15840\"/><w:pgMar w:top=\"1440\" w:right=\"1440\" "
      "w:bottom=\"1440\" w:left=\"1440\" w:header=\"720\" w:footer=\"720\" w:gutter=\"0\"/>"
      "</w:sectPr></w:body></w:document>";

  int error = 0;
  zip_t* archive = zip_open(platform::ToPath(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr)
    throw std::runtime_error("cannot create the test document");
  Add(archive, "[Content_Types].xml", contentTypes);
  Add(archive, "_rels/.rels", packageRels);
  Add(archive, "word/_rels/document.xml.rels", documentRels);
  Add(archive, "word/styles.xml", styles);
  Add(archive, "word/document.xml", document);
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    throw std::runtime_error("cannot write the test document");
  }
}

std::string DocumentXml(const std::wstring& path) {
  int error = 0;
  zip_t* archive = zip_open(platform::ToPath(path).c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr)
    return {};
  std::string bytes;
  zip_stat_t stat;
  if (zip_stat(archive, "word/document.xml", 0, &stat) == 0) {
    if (zip_file_t* file = zip_fopen(archive, "word/document.xml", 0)) {
      bytes.resize(static_cast<std::size_t>(stat.size));
      zip_fread(file, bytes.data(), stat.size);
      zip_fclose(file);
    }
  }
  zip_discard(archive);
  return bytes;
}

std::vector<std::string> ParagraphTexts(const std::wstring& path) {
  std::string xml = DocumentXml(path);
  pugi::xml_document document;
  std::vector<std::string> texts;
  if (!document.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata)) {
    return texts;
  }
  Collect(document.document_element().child("w:body"), texts);
  return texts;
}

std::string Words(int count, int seed) {
  static const char* const kWords[] = {"the",    "quick",  "brown",   "fox",     "jumps",
                                       "over",   "lazy",   "dog",     "while",   "several",
                                       "clerks", "count",  "pages",   "between", "meetings",
                                       "and",    "report", "numbers", "to",      "nobody"};
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0)
      text += ' ';
    text += kWords[static_cast<std::size_t>(i * 7 + seed * 3 + i / 5) % 20];
  }
  return text;
}

}  // namespace minidocx
