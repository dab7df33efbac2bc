#include "docserver/package.h"

#include <cstdio>
#include <mutex>
#include <sstream>
#include <system_error>

#include "automation/errors.h"
#include "platform/text.h"

namespace docserver {

namespace {

[[noreturn]] void Fail(std::wstring text) {
  throw automation::ServerException(std::move(text));
}

std::wstring Unwritable(const std::filesystem::path& target, const std::wstring& reason) {
  return L"The file could not be written: " + platform::FromPath(target) + L" (" + reason + L")";
}

std::wstring Wide(std::string_view s) {
  return platform::FromUtf8(s);
}

// pugixml parses without recursion, but our own walks recurse over the tree.
bool TooDeep(const pugi::xml_node& root) {
  int depth = 0;
  pugi::xml_node node = root.first_child();
  while (node) {
    if (node.first_child()) {
      node = node.first_child();
      if (++depth > kMaxXmlDepth)
        return true;
      continue;
    }
    while (node && !node.next_sibling()) {
      node = node.parent();
      --depth;
      if (node == root)
        return false;
    }
    if (node)
      node = node.next_sibling();
  }
  return false;
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override {
    out.append(static_cast<const char*>(data), size);
  }
};

}  // namespace

// The archive library turns entry times into local time with the C library's time zone state,
// which is not safe to touch from several threads at once.
std::mutex& TimeZoneLock() {
  static std::mutex lock;
  return lock;
}

std::string RelsPartName(std::string_view part) {
  auto slash = part.rfind('/');
  if (slash == std::string_view::npos)
    return "_rels/" + std::string(part) + ".rels";
  return std::string(part.substr(0, slash)) + "/_rels/" + std::string(part.substr(slash + 1)) +
         ".rels";
}

std::string ResolvePartName(std::string_view sourcePart, std::string_view target) {
  std::vector<std::string> segments;
  std::string_view rest = target;
  if (!rest.empty() && rest.front() == '/') {
    rest.remove_prefix(1);
  } else {
    auto slash = sourcePart.rfind('/');
    std::string_view folder =
        slash == std::string_view::npos ? std::string_view{} : sourcePart.substr(0, slash);
    while (!folder.empty()) {
      auto cut = folder.find('/');
      segments.emplace_back(folder.substr(0, cut));
      folder = cut == std::string_view::npos ? std::string_view{} : folder.substr(cut + 1);
    }
  }
  while (!rest.empty()) {
    auto cut = rest.find('/');
    std::string_view seg = rest.substr(0, cut);
    if (seg == "..") {
      if (!segments.empty())
        segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.emplace_back(seg);
    }
    rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
  }
  std::string out;
  for (const auto& s : segments)
    out += (out.empty() ? "" : "/") + s;
  return out;
}

Package::Package(const std::filesystem::path& path) {
  int error = 0;
  {
    std::lock_guard guard(TimeZoneLock());
    archive_ = zip_open(platform::NarrowPath(path).c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
  }
  if (!archive_) {
    if (error == ZIP_ER_NOENT || error == ZIP_ER_OPEN || error == ZIP_ER_READ)
      Fail(L"The file could not be opened: " + platform::FromPath(path));
    Fail(L"The file is not a Word document or it is damaged: " + platform::FromPath(path));
  }
  zip_int64_t count = zip_get_num_entries(archive_, 0);
  if (count < 0 || count > 100000) {
    zip_discard(archive_);
    archive_ = nullptr;
    Fail(L"The file is not a Word document or it is damaged: " + platform::FromPath(path));
  }
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
    if (!name || !*name || name[std::char_traits<char>::length(name) - 1] == '/')
      continue;
    if (byName_.count(name))
      continue;
    byName_.emplace(name, parts_.size());
    parts_.push_back(Part{.name = name, .index = i});
  }
}

Package::~Package() {
  if (archive_)
    zip_discard(archive_);
}

Package::Part* Package::Find(std::string_view name) {
  auto it = byName_.find(name);
  if (it == byName_.end() || parts_[it->second].removed)
    return nullptr;
  return &parts_[it->second];
}

const Package::Part* Package::Find(std::string_view name) const {
  return const_cast<Package*>(this)->Find(name);
}

bool Package::Has(std::string_view name) const {
  return Find(name) != nullptr;
}

std::string Package::ReadSource(const Part& part) {
  zip_stat_t st;
  zip_stat_init(&st);
  auto index = static_cast<zip_uint64_t>(part.index);
  if (zip_stat_index(archive_, index, 0, &st) != 0)
    Fail(L"The document is damaged: part " + Wide(part.name) + L" cannot be read.");
  if ((st.valid & ZIP_STAT_SIZE) && st.size > kMaxPartBytes)
    Fail(L"The document is too large to open: part " + Wide(part.name) + L" exceeds the limit.");
  zip_file_t* file = zip_fopen_index(archive_, index, 0);
  if (!file)
    Fail(L"The document is damaged: part " + Wide(part.name) + L" cannot be read.");
  std::string out;
  char buffer[65536];
  bool failed = false;
  for (;;) {
    zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
    if (n < 0) {
      failed = true;
      break;
    }
    if (n == 0)
      break;
    // The declared size can lie; the inflated bytes are what count.
    if (out.size() + static_cast<std::uint64_t>(n) > kMaxPartBytes ||
        totalRead_ + out.size() + static_cast<std::uint64_t>(n) > kMaxTotalBytes) {
      zip_fclose(file);
      Fail(L"The document is too large to open: part " + Wide(part.name) + L" exceeds the limit.");
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
  if (zip_fclose(file) != 0)
    failed = true;
  if (failed)
    Fail(L"The document is damaged: part " + Wide(part.name) + L" cannot be read.");
  totalRead_ += out.size();
  return out;
}

std::string Package::Read(std::string_view name) {
  Part* part = Find(name);
  if (!part)
    Fail(L"The document has no part " + Wide(name) + L".");
  if (part->xml && part->changed) {
    StringWriter writer;
    part->xml->save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.out;
  }
  if (part->bytes)
    return *part->bytes;
  return ReadSource(*part);
}

pugi::xml_document& Package::Xml(std::string_view name) {
  Part* part = Find(name);
  if (!part)
    Fail(L"The document has no part " + Wide(name) + L".");
  if (part->xml)
    return *part->xml;
  std::string bytes = part->bytes ? *part->bytes : ReadSource(*part);
  auto doc = std::make_unique<pugi::xml_document>();
  pugi::xml_parse_result result = doc->load_buffer(
      bytes.data(), bytes.size(),
      pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single);
  if (!result)
    Fail(L"The document is damaged: part " + Wide(name) + L" is not well-formed XML (" +
         Wide(result.description()) + L").");
  if (TooDeep(*doc))
    Fail(L"The document is damaged: part " + Wide(name) + L" is nested too deeply.");
  part->xml = std::move(doc);
  return *part->xml;
}

void Package::SeedXml(std::string_view name, const pugi::xml_document& parsed) {
  Part* part = Find(name);
  if (!part || part->xml || part->bytes)
    return;
  auto doc = std::make_unique<pugi::xml_document>();
  doc->reset(parsed);
  part->xml = std::move(doc);
}

std::string SourceCache::Key(const std::filesystem::path& file, std::string_view part) const {
  std::error_code ec;
  auto size = std::filesystem::file_size(file, ec);
  if (ec)
    return {};
  auto time = std::filesystem::last_write_time(file, ec);
  if (ec)
    return {};
  std::filesystem::path full = std::filesystem::absolute(file, ec);
  return full.string() + '\n' + std::to_string(size) + '\n' +
         std::to_string(time.time_since_epoch().count()) + '\n' + std::string(part);
}

const pugi::xml_document* SourceCache::Find(const std::filesystem::path& file,
                                            std::string_view part) const {
  std::string key = Key(file, part);
  return !key.empty() && key == key_ ? parsed_.get() : nullptr;
}

void SourceCache::Keep(const std::filesystem::path& file, std::string_view part,
                       const pugi::xml_document& parsed) {
  key_ = Key(file, part);
  parsed_ = std::make_unique<pugi::xml_document>();
  parsed_->reset(parsed);
  text_.reset();
}

std::shared_ptr<const std::wstring> SourceCache::FindText(const std::filesystem::path& file,
                                                          std::string_view part) const {
  return Find(file, part) ? text_ : nullptr;
}

void SourceCache::KeepText(const std::filesystem::path& file, std::string_view part,
                           std::shared_ptr<const std::wstring> text) {
  if (Find(file, part))
    text_ = std::move(text);
}

void Package::MarkChanged(std::string_view name) {
  if (Part* part = Find(name))
    part->changed = true;
}

void Package::Replace(std::string_view name, std::string bytes) {
  Part* part = Find(name);
  if (!part) {
    auto it = byName_.find(name);
    if (it != byName_.end()) {
      part = &parts_[it->second];
      part->removed = false;
      part->index = -1;
    } else {
      byName_.emplace(std::string(name), parts_.size());
      parts_.push_back(Part{.name = std::string(name)});
      part = &parts_.back();
    }
  }
  part->xml.reset();
  part->bytes = std::make_unique<std::string>(std::move(bytes));
  part->changed = true;
}

void Package::Remove(std::string_view name) {
  if (Part* part = Find(name))
    part->removed = true;
}

std::vector<std::string> Package::PartNames() const {
  std::vector<std::string> names;
  for (const auto& p : parts_)
    if (!p.removed)
      names.push_back(p.name);
  return names;
}

void Package::SaveAs(const std::filesystem::path& target) {
  std::filesystem::path temp = target;
  temp += ".part~";
  std::error_code ec;
  std::filesystem::remove(temp, ec);
  int error = 0;
  zip_t* out = zip_open(platform::NarrowPath(temp).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!out) {
    zip_error_t opened;
    zip_error_init_with_code(&opened, error);
    std::wstring reason = Wide(zip_error_strerror(&opened));
    zip_error_fini(&opened);
    Fail(Unwritable(target, reason));
  }
  std::vector<std::unique_ptr<std::string>> buffers;
  // The system's words (a full disk, a read-only folder) tell the user what to do.
  auto abandon = [&] {
    std::wstring reason = Wide(zip_error_strerror(zip_get_error(out)));
    zip_discard(out);
    std::filesystem::remove(temp, ec);
    Fail(Unwritable(target, reason));
  };
  for (auto& part : parts_) {
    if (part.removed)
      continue;
    zip_source_t* source = nullptr;
    bool fresh = part.changed || part.index < 0;
    if (fresh) {
      if (part.xml) {
        StringWriter writer;
        part.xml->save(writer, "", pugi::format_raw, pugi::encoding_utf8);
        buffers.push_back(std::make_unique<std::string>(std::move(writer.out)));
      } else {
        buffers.push_back(std::make_unique<std::string>(part.bytes ? *part.bytes : ""));
      }
      source = zip_source_buffer(out, buffers.back()->data(), buffers.back()->size(), 0);
    } else {
      source = zip_source_zip(out, archive_, static_cast<zip_uint64_t>(part.index),
                              ZIP_FL_COMPRESSED, 0, -1);
    }
    if (!source)
      abandon();
    zip_int64_t index = zip_file_add(out, part.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      abandon();
    }
    // The fastest level: a piece is written once and read a few times, and the dearer levels
    // cost several times the time for a few percent of size.
    if (fresh)
      zip_set_file_compression(out, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
  }
  int closed = 0;
  {
    std::lock_guard guard(TimeZoneLock());
    closed = zip_close(out);
  }
  if (closed != 0)
    abandon();
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    std::wstring reason = platform::FromUtf8(ec.message());
    std::filesystem::remove(temp, ec);
    Fail(Unwritable(target, reason));
  }
}

}  // namespace docserver
