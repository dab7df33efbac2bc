#include "framework/resource_archive.h"

#include <map>
#include <mutex>
#include <stdexcept>
#include <vector>

#include <zip.h>

#include "framework/attributes.h"

namespace framework {

struct ResourceArchive::Impl {
  zip_t* zip = nullptr;
  mutable std::mutex lock;  // a libzip archive is not safe for concurrent reads
};

ResourceArchive::ResourceArchive(const void* data, size_t size) : impl_(std::make_unique<Impl>()) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
  if (source != nullptr)
    impl_->zip = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (impl_->zip == nullptr) {
    if (source != nullptr)
      zip_source_free(source);
    std::string message = std::string("layout archive: ") + zip_error_strerror(&error);
    zip_error_fini(&error);
    throw std::runtime_error(message);
  }
  zip_error_fini(&error);
}

ResourceArchive::~ResourceArchive() {
  if (impl_->zip != nullptr)
    zip_discard(impl_->zip);
}

std::optional<std::string> ResourceArchive::Read(std::wstring_view name) const {
  std::lock_guard guard(impl_->lock);
  std::string utf8 = ToUtf8(name);
  zip_stat_t stat;
  if (zip_stat(impl_->zip, utf8.c_str(), ZIP_FL_ENC_UTF_8, &stat) != 0)
    return std::nullopt;
  zip_file_t* file = zip_fopen(impl_->zip, utf8.c_str(), ZIP_FL_ENC_UTF_8);
  if (file == nullptr)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(stat.size), '\0');
  zip_int64_t got = zip_fread(file, bytes.data(), bytes.size());
  zip_fclose(file);
  if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size)
    return std::nullopt;
  return bytes;
}

std::vector<std::wstring> ResourceArchive::Names() const {
  std::lock_guard guard(impl_->lock);
  std::vector<std::wstring> names;
  zip_int64_t count = zip_get_num_entries(impl_->zip, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(impl_->zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_UTF_8);
    if (name != nullptr)
      names.push_back(FromUtf8(name));
  }
  return names;
}

namespace {
std::mutex registryLock;
std::map<int, std::unique_ptr<ResourceArchive>>& Registry() {
  static std::map<int, std::unique_ptr<ResourceArchive>> registry;
  return registry;
}
}  // namespace

void ResourceArchive::Register(int id, const void* data, size_t size) {
  auto archive = std::make_unique<ResourceArchive>(data, size);
  std::lock_guard guard(registryLock);
  Registry()[id] = std::move(archive);
}

const ResourceArchive* ResourceArchive::Find(int id) {
  std::lock_guard guard(registryLock);
  auto it = Registry().find(id);
  return it == Registry().end() ? nullptr : it->second.get();
}

}  // namespace framework
