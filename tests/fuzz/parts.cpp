#include "parts.h"

#include <unistd.h>
#include <zip.h>

#include <fstream>
#include <stdexcept>

namespace fuzz {

namespace {

const Parts& Minimal() {
  static const Parts parts{
      {"[Content_Types].xml",
       R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
       R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.)"
       R"(relationships+xml"/><Default Extension="xml" ContentType="application/xml"/>)"
       R"(<Override PartName="/word/document.xml" ContentType="application/vnd.)"
       R"(openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>)"},
      {"_rels/.rels",
       R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
       R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/)"
       R"(relationships/officeDocument" Target="word/document.xml"/></Relationships>)"},
      {"word/document.xml",
       R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
       R"(<w:body><w:p/></w:body></w:document>)"},
  };
  return parts;
}

struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    path = std::filesystem::temp_directory_path() / ("varnik-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

}  // namespace

Parts ParseParts(std::string_view input) {
  Parts parts;
  std::string name = "word/document.xml";
  std::size_t start = 0;
  if (input.starts_with(kPartMark)) {
    std::size_t nameEnd = input.find('\n');
    if (nameEnd != std::string_view::npos) {
      name = std::string(input.substr(kPartMark.size(), nameEnd - kPartMark.size()));
      start = nameEnd + 1;
    }
  }
  while (true) {
    std::size_t mark = input.find("\n@@ ", start);
    parts[name] = std::string(input.substr(
        start, mark == std::string_view::npos ? std::string_view::npos : mark - start));
    if (mark == std::string_view::npos)
      break;
    std::size_t nameEnd = input.find('\n', mark + 4);
    if (nameEnd == std::string_view::npos)
      break;
    name = std::string(input.substr(mark + 4, nameEnd - mark - 4));
    start = nameEnd + 1;
  }
  return parts;
}

std::string FormatParts(const Parts& parts) {
  std::string out;
  for (const auto& [name, bytes] : parts) {
    if (!out.empty())
      out += '\n';
    out += std::string(kPartMark) + name + "\n" + bytes;
  }
  return out;
}

Parts ReadArchive(const std::string& bytes) {
  Parts parts;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* zip = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (!zip) {
    if (source)
      zip_source_free(source);
    return parts;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t st;
    zip_file_t* f = zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st) == 0
                        ? zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0)
                        : nullptr;
    if (!f)
      continue;
    std::string content(static_cast<std::size_t>(st.size), '\0');
    zip_int64_t got = zip_fread(f, content.data(), st.size);
    zip_fclose(f);
    if (got == static_cast<zip_int64_t>(st.size))
      parts[st.name] = std::move(content);
  }
  zip_discard(zip);
  return parts;
}

void WriteDocx(const Parts& given, const std::filesystem::path& target) {
  Parts parts = Minimal();
  for (const auto& [name, bytes] : given)
    parts[name] = bytes;
  int error = 0;
  zip_t* zip = zip_open(target.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!zip)
    throw std::runtime_error("cannot create " + target.string());
  for (const auto& [name, bytes] : parts) {
    zip_source_t* src = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    zip_int64_t index = src ? zip_file_add(zip, name.c_str(), src, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
      zip_source_free(src);  // a name the archive cannot hold: the part is left out
      continue;
    }
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  if (zip_close(zip) != 0) {
    zip_discard(zip);
    throw std::runtime_error("cannot write " + target.string());
  }
}

std::filesystem::path Scratch(std::string_view name) {
  static ScratchFolder folder;
  return folder.path / name;
}

}  // namespace fuzz
