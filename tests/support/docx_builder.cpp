#include "support/docx_builder.h"

#include <zip.h>

#include <atomic>
#include <stdexcept>

#include "support/temp_folder.h"

namespace testsupport::docx {

namespace {

constexpr const char* kNamespaces =
    R"( xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")"
    R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")"
    R"( xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing")"
    R"( xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main")"
    R"( xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture")";

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '&')
      out += "&amp;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  return out;
}

int NextId() {
  static std::atomic<int> id{100};
  return id++;
}

constexpr const char* kStyles =
    R"(<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">
<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/></w:style>
<w:style w:type="paragraph" w:styleId="Heading1"><w:name w:val="heading 1"/><w:basedOn w:val="Normal"/><w:pPr><w:outlineLvl w:val="0"/></w:pPr></w:style>
<w:style w:type="paragraph" w:styleId="Heading2"><w:name w:val="heading 2"/><w:basedOn w:val="Normal"/><w:pPr><w:outlineLvl w:val="1"/></w:pPr></w:style>
<w:style w:type="paragraph" w:styleId="Heading3"><w:name w:val="heading 3"/><w:basedOn w:val="Normal"/><w:pPr><w:outlineLvl w:val="2"/></w:pPr></w:style>
<w:style w:type="paragraph" w:styleId="Chapter"><w:name w:val="Chapter"/><w:basedOn w:val="Heading1"/></w:style>
<w:style w:type="paragraph" w:styleId="Breaking"><w:name w:val="Breaking"/><w:basedOn w:val="Normal"/><w:pPr><w:pageBreakBefore/></w:pPr></w:style>
<w:style w:type="paragraph" w:styleId="TOC1"><w:name w:val="toc 1"/><w:basedOn w:val="Normal"/></w:style>
</w:styles>)";

}  // namespace

std::string TextRun(std::string_view text) {
  std::string run = "<w:r>";
  for (std::size_t breakAt; (breakAt = text.find('\v')) != std::string_view::npos;) {
    run += "<w:t xml:space=\"preserve\">" + Escape(text.substr(0, breakAt)) + "</w:t><w:br/>";
    text.remove_prefix(breakAt + 1);
  }
  return run + "<w:t xml:space=\"preserve\">" + Escape(text) + "</w:t></w:r>";
}
std::string PageBreak() {
  return "<w:r><w:br w:type=\"page\"/></w:r>";
}
std::string RenderedBreak() {
  return "<w:r><w:lastRenderedPageBreak/></w:r>";
}
std::string Tab() {
  return "<w:r><w:tab/></w:r>";
}

std::string SimpleField(std::string_view instr, std::string_view result) {
  return "<w:fldSimple w:instr=\"" + Escape(instr) + "\">" + TextRun(result) + "</w:fldSimple>";
}

std::string ComplexField(std::string_view instr, std::string_view resultRuns) {
  return "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText "
         "xml:space=\"preserve\">" +
         Escape(instr) + "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
         std::string(resultRuns) + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

std::string Hyperlink(std::string_view anchor, std::string_view runs) {
  return "<w:hyperlink w:anchor=\"" + Escape(anchor) + "\">" + std::string(runs) + "</w:hyperlink>";
}

std::string Bookmark(std::string_view name, std::string_view runs) {
  std::string id = std::to_string(NextId());
  return "<w:bookmarkStart w:id=\"" + id + "\" w:name=\"" + Escape(name) + "\"/>" +
         std::string(runs) + "<w:bookmarkEnd w:id=\"" + id + "\"/>";
}

std::string Para(std::string_view runs, std::string_view properties) {
  std::string p = "<w:p>";
  if (!properties.empty())
    p += "<w:pPr>" + std::string(properties) + "</w:pPr>";
  return p + std::string(runs) + "</w:p>";
}

std::string P(std::string_view text) {
  return Para(TextRun(text));
}

std::string Styled(std::string_view styleId, std::string_view runs) {
  return Para(runs, "<w:pStyle w:val=\"" + Escape(styleId) + "\"/>");
}

std::string Heading(int level, std::string_view text, std::string_view bookmark) {
  std::string runs = bookmark.empty() ? TextRun(text) : Bookmark(bookmark, TextRun(text));
  return Styled("Heading" + std::to_string(level), runs);
}

std::string HeaderReference() {
  return "<w:headerReference w:type=\"default\" r:id=\"rIdHeader\"/>";
}

std::string SectionEnd(std::string_view runs, std::string_view type, std::string_view properties) {
  std::string sect = "<w:sectPr>" + std::string(properties);
  if (!type.empty())
    sect += "<w:type w:val=\"" + std::string(type) + "\"/>";
  sect += "<w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>";
  return Para(runs, sect);
}

std::string Table(const std::vector<std::vector<std::string>>& cells) {
  std::string t = "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>";
  std::size_t columns = cells.empty() ? 0 : cells.front().size();
  for (std::size_t i = 0; i < columns; ++i)
    t += "<w:gridCol w:w=\"2000\"/>";
  t += "</w:tblGrid>";
  for (const auto& row : cells) {
    t += "<w:tr>";
    for (const auto& cell : row)
      t += "<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr>" + cell + "</w:tc>";
    t += "</w:tr>";
  }
  return t + "</w:tbl>";
}

std::string Toc(const std::vector<TocLine>& lines, bool hyperlinked, bool inContentControl) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto& line = lines[i];
    std::string runs;
    if (i == 0)
      runs +=
          "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText "
          "xml:space=\"preserve\"> TOC \\o \"1-3\" \\h \\z \\u </w:instrText></w:r>"
          "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>";
    std::string entry = TextRun(line.title) + Tab() +
                        ComplexField(" PAGEREF " + line.bookmark + " \\h ", TextRun(line.page));
    runs += hyperlinked ? Hyperlink(line.bookmark, entry) : entry;
    out += Styled("TOC1", runs);
  }
  out += Para("<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>");
  if (inContentControl)
    out =
        "<w:sdt><w:sdtPr><w:docPartObj><w:docPartGallery w:val=\"Table of Contents\"/>"
        "</w:docPartObj></w:sdtPr><w:sdtContent>" +
        out + "</w:sdtContent></w:sdt>";
  return out;
}

Builder& Builder::Body(std::string_view blocks) {
  body_ += blocks;
  return *this;
}

Builder& Builder::Protection(std::string_view edit) {
  protection_ = edit;
  return *this;
}

Builder& Builder::Modified(std::string_view w3cdtf) {
  modified_ = w3cdtf;
  return *this;
}

Builder& Builder::Pages(int pages) {
  pages_ = pages;
  return *this;
}

Builder& Builder::Header(std::string_view text, bool onLastSection) {
  header_ = text;
  headerOnLastSection_ = onLastSection;
  return *this;
}

std::string Builder::Image(std::string_view name) {
  images_.emplace_back(name);
  std::string id = "rIdImg" + std::to_string(images_.size());
  return "<w:r><w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"914400\"/><wp:docPr id=\"" +
         std::to_string(images_.size()) + "\" name=\"" + Escape(name) +
         "\"/><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/"
         "picture\"><pic:pic><pic:nvPicPr><pic:cNvPr id=\"0\" name=\"" +
         Escape(name) + "\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:embed=\"" + id +
         "\"/></pic:blipFill><pic:spPr/></pic:pic></a:graphicData></a:graphic></wp:inline>"
         "</w:drawing></w:r>";
}

std::string Builder::Footnote(std::string_view text) {
  footnotes_.emplace_back(text);
  return "<w:r><w:footnoteReference w:id=\"" + std::to_string(footnotes_.size()) + "\"/></w:r>";
}

Builder& Builder::Numbering(std::string_view definitions) {
  numbering_ = definitions;
  return *this;
}

std::string ListItem(int numId, int level, std::string_view runs) {
  return Para(runs, "<w:numPr><w:ilvl w:val=\"" + std::to_string(level) + "\"/><w:numId w:val=\"" +
                        std::to_string(numId) + "\"/></w:numPr>");
}

std::string Builder::Bytes() const {
  std::vector<std::pair<std::string, std::string>> parts;
  std::string types =
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package."
      "relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Default Extension=\"png\" ContentType=\"image/png\"/>"
      "<Override PartName=\"/word/document.xml\" ContentType=\"application/vnd.openxmlformats-"
      "officedocument.wordprocessingml.document.main+xml\"/>"
      "<Override PartName=\"/word/styles.xml\" ContentType=\"application/vnd.openxmlformats-"
      "officedocument.wordprocessingml.styles+xml\"/>"
      "<Override PartName=\"/word/settings.xml\" ContentType=\"application/vnd.openxmlformats-"
      "officedocument.wordprocessingml.settings+xml\"/>"
      "<Override PartName=\"/docProps/core.xml\" ContentType=\"application/vnd.openxmlformats-"
      "package.core-properties+xml\"/>"
      "<Override PartName=\"/docProps/app.xml\" ContentType=\"application/vnd.openxmlformats-"
      "officedocument.extended-properties+xml\"/>";
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  std::string docRels =
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rIdStyles\" Type=\"" +
      rel +
      "styles\" Target=\"styles.xml\"/>"
      "<Relationship Id=\"rIdSettings\" Type=\"" +
      rel + "settings\" Target=\"settings.xml\"/>";
  for (std::size_t i = 0; i < images_.size(); ++i) {
    docRels += "<Relationship Id=\"rIdImg" + std::to_string(i + 1) + "\" Type=\"" + rel +
               "image\" Target=\"media/" + images_[i] + "\"/>";
    parts.emplace_back("word/media/" + images_[i], "\x89PNG\r\n\x1a\n" + images_[i]);
  }
  std::string sect = "<w:sectPr>";
  if (!header_.empty()) {
    docRels += "<Relationship Id=\"rIdHeader\" Type=\"" + rel + "header\" Target=\"header1.xml\"/>";
    types +=
        "<Override PartName=\"/word/header1.xml\" ContentType=\"application/vnd."
        "openxmlformats-officedocument.wordprocessingml.header+xml\"/>";
    parts.emplace_back("word/header1.xml",
                       std::string("<w:hdr") + kNamespaces + ">" + P(header_) + "</w:hdr>");
    if (headerOnLastSection_)
      sect += HeaderReference();
  }
  sect += "<w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>";
  if (!footnotes_.empty()) {
    docRels +=
        "<Relationship Id=\"rIdNotes\" Type=\"" + rel + "footnotes\" Target=\"footnotes.xml\"/>";
    types +=
        "<Override PartName=\"/word/footnotes.xml\" ContentType=\"application/vnd."
        "openxmlformats-officedocument.wordprocessingml.footnotes+xml\"/>";
    std::string notes = std::string("<w:footnotes") + kNamespaces +
                        "><w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/>"
                        "</w:r></w:p></w:footnote>";
    for (std::size_t i = 0; i < footnotes_.size(); ++i)
      notes += "<w:footnote w:id=\"" + std::to_string(i + 1) + "\">" + P(footnotes_[i]) +
               "</w:footnote>";
    parts.emplace_back("word/footnotes.xml", notes + "</w:footnotes>");
  }
  if (!numbering_.empty()) {
    docRels += "<Relationship Id=\"rIdNumbering\" Type=\"" + rel +
               "numbering\" Target=\"numbering.xml\"/>";
    types +=
        "<Override PartName=\"/word/numbering.xml\" ContentType=\"application/vnd."
        "openxmlformats-officedocument.wordprocessingml.numbering+xml\"/>";
    parts.emplace_back("word/numbering.xml", std::string("<w:numbering") + kNamespaces + ">" +
                                                 numbering_ + "</w:numbering>");
  }
  docRels += "</Relationships>";
  types += "</Types>";

  std::string settings =
      "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/"
      "wordprocessingml/2006/main\">";
  if (!protection_.empty())
    settings += "<w:documentProtection w:edit=\"" + protection_ + "\" w:enforcement=\"1\"/>";
  settings += "</w:settings>";

  parts.insert(
      parts.begin(),
      {
          {"[Content_Types].xml", types},
          {"_rels/.rels",
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
           "relationships\"><Relationship Id=\"rId1\" Type=\"" +
               rel +
               "officeDocument\" Target=\"word/document.xml\"/><Relationship Id=\"rId2\" "
               "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/"
               "metadata/core-properties\" Target=\"docProps/core.xml\"/><Relationship "
               "Id=\"rId3\" Type=\"" +
               rel + "extended-properties\" Target=\"docProps/app.xml\"/></Relationships>"},
          {"word/document.xml", std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" "
                                            "standalone=\"yes\"?><w:document") +
                                    kNamespaces + "><w:body>" + body_ + sect +
                                    "</w:body></w:document>"},
          {"word/_rels/document.xml.rels", docRels},
          {"word/styles.xml", kStyles},
          {"word/settings.xml", settings},
          // With the declaration Word writes, which a reader must step over.
          {"docProps/core.xml",
           "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<cp:coreProperties "
           "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/"
           "metadata/core-properties\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><dcterms:modified "
           "xsi:type=\"dcterms:W3CDTF\">" +
               modified_ + "</dcterms:modified></cp:coreProperties>"},
          {"docProps/app.xml",
           "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
           "extended-properties\"><Pages>" +
               std::to_string(pages_) + "</Pages></Properties>"},
      });

  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* sink = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(sink);
  zip_t* zip = zip_open_from_source(sink, ZIP_TRUNCATE, &error);
  if (!zip)
    throw std::runtime_error("docx builder: cannot create archive");
  for (const auto& [name, bytes] : parts) {
    zip_source_t* src = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    zip_file_add(zip, name.c_str(), src, ZIP_FL_ENC_UTF_8);
  }
  if (zip_close(zip) != 0)
    throw std::runtime_error("docx builder: cannot write archive");
  std::string out;
  if (zip_source_open(sink) == 0) {
    zip_source_seek(sink, 0, SEEK_END);
    zip_int64_t size = zip_source_tell(sink);
    zip_source_seek(sink, 0, SEEK_SET);
    out.resize(static_cast<std::size_t>(size));
    zip_source_read(sink, out.data(), static_cast<zip_uint64_t>(size));
    zip_source_close(sink);
  }
  zip_source_free(sink);
  return out;
}

void Builder::Save(std::wstring_view path) const {
  WriteFile(path, Bytes());
}

std::string PagedBody(int pages) {
  std::string body;
  for (int p = 1; p <= pages; ++p) {
    body += Para((p > 1 ? RenderedBreak() : "") + TextRun("Page " + std::to_string(p) + "."));
  }
  return body;
}

std::string ChapterBook(int chapters, std::string_view bookmarkPrefix, std::string_view firstLine) {
  std::vector<std::string> titles;
  for (int c = 1; c <= chapters; ++c)
    titles.push_back("Chapter " + std::to_string(c));
  return ChapterBook(titles, bookmarkPrefix, firstLine);
}

std::string ChapterBook(const std::vector<std::string>& titles, std::string_view bookmarkPrefix,
                        std::string_view firstLine) {
  std::vector<TocLine> toc;
  std::string body;
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const std::string number = std::to_string(i + 1);
    std::string bookmark = std::string(bookmarkPrefix) + number;
    toc.push_back({titles[i], bookmark, std::to_string(i + 2)});
    body += Para(RenderedBreak() + Bookmark(bookmark, TextRun(titles[i])),
                 "<w:pStyle w:val=\"Heading1\"/>");
    body += P("Text of chapter " + number + ".");
  }
  return P(firstLine) + Toc(toc, true, false) + body;
}

}  // namespace testsupport::docx
