#include "docserver/libreoffice/formats.h"

#include <zip.h>

#include <array>
#include <fstream>

#include "docserver/libreoffice/errors.h"
#include "platform/text.h"

namespace libreoffice {

OfficeError::OfficeError(const std::wstring& description)
    : std::runtime_error(platform::ToUtf8(description)), description_(description) {}

const char* FilterName(Format format) {
  switch (format) {
    case Format::Doc:
      return "MS Word 97";
    case Format::Rtf:
      return "Rich Text Format";
    case Format::Docx:
      break;
  }
  return "MS Word 2007 XML";
}

std::wstring FormatDescription(Format format) {
  switch (format) {
    case Format::Doc:
      return L"Word 97-2003 document (.doc)";
    case Format::Rtf:
      return L"Rich Text Format document (.rtf)";
    case Format::Docx:
      break;
  }
  return L"Word document (.docx)";
}

namespace {

// A ZIP package is a .docx when it has the parts every Word document has.
bool IsWordPackage(const std::wstring& path) {
  int error = 0;
  zip_t* archive =
      zip_open(platform::NarrowPath(platform::ToPath(path)).c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr)
    return false;
  bool found = zip_name_locate(archive, "[Content_Types].xml", 0) >= 0 &&
               zip_name_locate(archive, "_rels/.rels", 0) >= 0;
  zip_discard(archive);
  return found;
}

}  // namespace

std::optional<Format> DetectFormat(const std::wstring& path) {
  std::ifstream in(platform::ToPath(path), std::ios::binary);
  std::array<char, 8> head{};
  in.read(head.data(), head.size());
  std::string start(head.data(), static_cast<std::size_t>(in.gcount()));
  static const std::string kOle("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  if (start.size() == 8 && start == kOle)
    return Format::Doc;
  if (start.rfind("{\\rtf", 0) == 0)
    return Format::Rtf;
  if (start.rfind("PK\x03\x04", 0) == 0 && IsWordPackage(path))
    return Format::Docx;
  return std::nullopt;
}

}  // namespace libreoffice
