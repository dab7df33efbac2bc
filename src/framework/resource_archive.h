#pragma once
// The layout archive: a ZIP file held in memory. Entries are found by their plain name at the
// archive's root. Archives are registered under a resource number, as the windows name them.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

class ResourceArchive {
 public:
  // Opens the ZIP bytes (not copied: they must outlive the archive). Throws on a bad archive.
  ResourceArchive(const void* data, size_t size);
  ~ResourceArchive();
  ResourceArchive(const ResourceArchive&) = delete;
  ResourceArchive& operator=(const ResourceArchive&) = delete;

  // The entry's bytes, or nothing when the archive has no such entry.
  std::optional<std::string> Read(std::wstring_view name) const;
  // Every entry name, in archive order.
  std::vector<std::wstring> Names() const;

  // Registers bytes under a resource number for windows that name it.
  static void Register(int id, const void* data, size_t size);
  // The archive registered under the number, or nullptr.
  static const ResourceArchive* Find(int id);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace framework
