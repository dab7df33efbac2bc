#include "docserver/libreoffice/markers.h"

#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "docserver/libreoffice/errors.h"
#include "platform/text.h"

namespace libreoffice {

namespace {

constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;

class Archive {
 public:
  Archive(const std::wstring& path, int flags, const std::wstring& name) {
    int error = 0;
    archive_ = zip_open(platform::NarrowPath(platform::ToPath(path)).c_str(), flags, &error);
    if (archive_ == nullptr)
      throw OfficeError(L"Cannot open \"" + name + L"\": it is not a readable Word document.");
  }
  ~Archive() {
    if (archive_ != nullptr)
      zip_discard(archive_);
  }
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;
  zip_t* get() const { return archive_; }
  // Commits the changes; the archive is closed afterwards.
  bool Close() {
    bool done = zip_close(archive_) == 0;
    if (done)
      archive_ = nullptr;
    return done;
  }

 private:
  zip_t* archive_ = nullptr;
};

bool ReadEntry(zip_t* archive, const char* name, std::string& bytes) {
  zip_stat_t stat;
  if (zip_stat(archive, name, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0)
    return false;
  zip_file_t* file = zip_fopen(archive, name, 0);
  if (file == nullptr)
    return false;
  bytes.resize(static_cast<std::size_t>(stat.size));
  zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
  zip_fclose(file);
  return read == static_cast<zip_int64_t>(stat.size);
}

bool HasName(pugi::xml_node node, std::string_view name) {
  return name == node.name();
}

// The main document part named by the package relationships (word/document.xml as Word
// writes it).
std::string MainPartName(zip_t* archive) {
  std::string rels;
  if (ReadEntry(archive, "_rels/.rels", rels)) {
    pugi::xml_document xml;
    if (xml.load_buffer(rels.data(), rels.size())) {
      for (pugi::xml_node rel : xml.document_element().children()) {
        std::string_view type = rel.attribute("Type").value();
        if (type.size() >= 15 && type.substr(type.size() - 15) == "/officeDocument") {
          std::string target = rel.attribute("Target").value();
          while (!target.empty() && target.front() == '/')
            target.erase(0, 1);
          if (!target.empty())
            return target;
        }
      }
    }
  }
  return "word/document.xml";
}

// Body paragraphs in document order: every w:p under w:body, not descending into a paragraph
// (text boxes live inside one) nor into the fallback copy of alternate content.
void CollectParagraphs(pugi::xml_node node, std::vector<pugi::xml_node>& out) {
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element)
      continue;
    if (HasName(child, "w:p")) {
      out.push_back(child);
    } else if (!HasName(child, "mc:Fallback")) {
      CollectParagraphs(child, out);
    }
  }
}

std::vector<pugi::xml_node> BodyParagraphs(const pugi::xml_document& xml) {
  std::vector<pugi::xml_node> paragraphs;
  pugi::xml_node body = xml.document_element().child("w:body");
  if (body)
    CollectParagraphs(body, paragraphs);
  return paragraphs;
}

// Page and column breaks of a paragraph's own runs (not of a text box inside it).
int CountBreaks(pugi::xml_node node) {
  int count = 0;
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element || HasName(child, "w:txbxContent") ||
        HasName(child, "mc:Fallback")) {
      continue;
    }
    if (HasName(child, "w:br")) {
      std::string_view type = child.attribute("w:type").value();
      count += type == "page" || type == "column" ? 1 : 0;
    } else {
      count += CountBreaks(child);
    }
  }
  return count;
}

struct XmlWriter : pugi::xml_writer {
  std::string bytes;
  void write(const void* data, size_t size) override {
    bytes.append(static_cast<const char*>(data), size);
  }
};

}  // namespace

int CountBodyParagraphs(const std::string& documentXml) {
  pugi::xml_document xml;
  if (!xml.load_buffer(documentXml.data(), documentXml.size(), kParseOptions))
    return -1;
  return static_cast<int>(BodyParagraphs(xml).size());
}

MarkedCopy WriteMarkedCopy(const std::wstring& source, const std::wstring& target) {
  std::wstring name = platform::FromPath(platform::ToPath(source).filename());
  std::error_code error;
  std::filesystem::copy_file(platform::ToPath(source), platform::ToPath(target),
                             std::filesystem::copy_options::overwrite_existing, error);
  if (error)
    throw OfficeError(L"Cannot read \"" + name + L"\".");

  Archive archive(target, 0, name);
  std::string part = MainPartName(archive.get());
  std::string bytes;
  pugi::xml_document xml;
  if (!ReadEntry(archive.get(), part.c_str(), bytes) ||
      !xml.load_buffer(bytes.data(), bytes.size(), kParseOptions) ||
      !xml.document_element().child("w:body")) {
    throw OfficeError(L"Cannot read \"" + name + L"\": its main text is missing or damaged.");
  }

  // Marker names and ids must not meet the document's own bookmarks.
  long long nextId = 0;
  std::vector<std::string> names;
  for (pugi::xpath_node found : xml.select_nodes("//w:bookmarkStart")) {
    nextId = std::max(nextId, std::atoll(found.node().attribute("w:id").value()) + 1);
    names.emplace_back(found.node().attribute("w:name").value());
  }
  MarkedCopy result;
  for (int attempt = 0;; ++attempt) {
    result.prefix = "_VkP" + (attempt == 0 ? std::string() : std::to_string(attempt) + "x");
    bool clash = false;
    for (const std::string& existing : names)
      clash = clash || existing.rfind(result.prefix, 0) == 0;
    if (!clash)
      break;
  }

  std::vector<pugi::xml_node> paragraphs = BodyParagraphs(xml);
  for (std::size_t index = 0; index < paragraphs.size(); ++index) {
    pugi::xml_node paragraph = paragraphs[index];
    pugi::xml_node properties = paragraph.child("w:pPr");
    pugi::xml_node start = properties ? paragraph.insert_child_after("w:bookmarkStart", properties)
                                      : paragraph.prepend_child("w:bookmarkStart");
    std::string id = std::to_string(nextId++);
    start.append_attribute("w:id") = id.c_str();
    start.append_attribute("w:name") = (result.prefix + std::to_string(index)).c_str();
    pugi::xml_node end = paragraph.insert_child_after("w:bookmarkEnd", start);
    end.append_attribute("w:id") = id.c_str();
  }
  result.paragraphs = static_cast<int>(paragraphs.size());
  for (pugi::xml_node paragraph : paragraphs)
    result.breaks.push_back(CountBreaks(paragraph));

  XmlWriter writer;
  xml.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
  // The source buffer for libzip must outlive zip_close, which is where it is read.
  zip_source_t* data =
      zip_source_buffer(archive.get(), writer.bytes.data(), writer.bytes.size(), 0);
  if (data == nullptr ||
      zip_file_add(archive.get(), part.c_str(), data, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
    if (data != nullptr)
      zip_source_free(data);
    throw OfficeError(L"Cannot write a temporary copy of \"" + name + L"\".");
  }
  if (!archive.Close())
    throw OfficeError(L"Cannot write a temporary copy of \"" + name + L"\".");
  return result;
}

}  // namespace libreoffice
