#pragma once
// A .docx package: the ZIP archive and its parts. Parts are read on demand, XML parts parsed on
// demand; a save copies unchanged parts as their compressed bytes and writes changed ones anew.

#include <zip.h>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace docserver {

// Limits that keep a hostile archive from exhausting memory.
inline constexpr std::uint64_t kMaxPartBytes = 256ull << 20;
inline constexpr std::uint64_t kMaxTotalBytes = 1024ull << 20;
inline constexpr int kMaxXmlDepth = 256;

class Package {
 public:
  // Opens the archive; throws automation::ServerException when it is not a readable ZIP.
  explicit Package(const std::filesystem::path& path);
  ~Package();
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  bool Has(std::string_view name) const;
  // The part's bytes (the changed content when it was replaced). Throws ServerException when
  // the part is missing, damaged or beyond the limits.
  std::string Read(std::string_view name);
  // The parsed part, cached; throws ServerException for malformed or too deeply nested XML.
  pugi::xml_document& Xml(std::string_view name);

  // Gives the part a copy of an earlier parse of the same bytes instead of parsing them.
  void SeedXml(std::string_view name, const pugi::xml_document& parsed);

  // The XML of the part (as returned by Xml) will be written anew on save.
  void MarkChanged(std::string_view name);
  void Replace(std::string_view name, std::string bytes);
  void Remove(std::string_view name);
  std::vector<std::string> PartNames() const;

  // Writes the package to a temporary file beside the target and renames it into place.
  void SaveAs(const std::filesystem::path& target);

 private:
  struct Part {
    std::string name;
    zip_int64_t index = -1;  // in the source archive; -1 for a part added here
    bool removed = false;
    bool changed = false;
    std::unique_ptr<std::string> bytes;  // replaced content
    std::unique_ptr<pugi::xml_document> xml;
  };
  Part* Find(std::string_view name);
  const Part* Find(std::string_view name) const;
  std::string ReadSource(const Part& part);

  zip_t* archive_ = nullptr;
  std::vector<Part> parts_;
  std::map<std::string, std::size_t, std::less<>> byName_;
  std::uint64_t totalRead_ = 0;
};

// One server's parse of the main part of the source it opened last. Every piece is cut from the
// unchanged source opened anew; a copy of the parsed tree is cheaper than reading and parsing
// the part again. Keyed by the file's path, size and time of last change.
class SourceCache {
 public:
  const pugi::xml_document* Find(const std::filesystem::path& file, std::string_view part) const;
  void Keep(const std::filesystem::path& file, std::string_view part,
            const pugi::xml_document& parsed);
  // The text of the source's main part, shared by every piece cut from it (kept with the
  // parse, gone with it).
  std::shared_ptr<const std::wstring> FindText(const std::filesystem::path& file,
                                               std::string_view part) const;
  void KeepText(const std::filesystem::path& file, std::string_view part,
                std::shared_ptr<const std::wstring> text);

 private:
  std::string Key(const std::filesystem::path& file, std::string_view part) const;
  std::string key_;
  std::unique_ptr<pugi::xml_document> parsed_;
  std::shared_ptr<const std::wstring> text_;
};

// Held while the C library's time zone state is used (archive times, local time).
std::mutex& TimeZoneLock();

// Joins a relationship target to the folder of its source part ("word/document.xml" +
// "media/a.png" -> "word/media/a.png"); absolute targets start at the root.
std::string ResolvePartName(std::string_view sourcePart, std::string_view target);
// "word/document.xml" -> "word/_rels/document.xml.rels"; "" -> "_rels/.rels".
std::string RelsPartName(std::string_view part);

}  // namespace docserver
