#pragma once
// A very small .docx writer and reader for LibreOffice's tests and measurements: literal XML,
// one section, Letter paper, Liberation Serif 12 pt.

#include <string>
#include <string_view>
#include <vector>

namespace minidocx {

// Body XML pieces.
std::string Paragraph(std::string_view text);
std::string PageBreakParagraph();  // a paragraph holding only a page break
// One paragraph per cell; the first row repeats at the top of every page when asked.
std::string Table(const std::vector<std::vector<std::string>>& rows, bool repeatFirstRow = false);

// Writes a .docx whose body is bodyXml followed by the section properties.
void Write(const std::wstring& path, const std::string& bodyXml);

// The texts of the body paragraphs of a .docx (w:t text only, every w:p of w:body not nested in
// another, in document order); empty when it cannot be read.
std::vector<std::string> ParagraphTexts(const std::wstring& path);
// The main document part's XML.
std::string DocumentXml(const std::wstring& path);

// Deterministic filler: count words of ordinary prose.
std::string Words(int count, int seed = 0);

}  // namespace minidocx
