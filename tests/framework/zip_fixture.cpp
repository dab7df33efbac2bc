#include "framework/zip_fixture.h"

#include <stdexcept>

#include <zip.h>

namespace frameworktest {

std::string MakeZip(const std::map<std::string, std::string>& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* zip = zip_open_from_source(target, ZIP_TRUNCATE, &error);
  if (zip == nullptr)
    throw std::runtime_error("zip_open_from_source");
  zip_source_keep(target);
  for (const auto& [name, bytes] : entries) {
    zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
  }
  if (zip_close(zip) != 0)
    throw std::runtime_error("zip_close");
  zip_source_open(target);
  zip_source_seek(target, 0, SEEK_END);
  auto size = static_cast<size_t>(zip_source_tell(target));
  zip_source_seek(target, 0, SEEK_SET);
  std::string out(size, '\0');
  zip_source_read(target, out.data(), size);
  zip_source_close(target);
  zip_source_free(target);
  zip_error_fini(&error);
  return out;
}

}  // namespace frameworktest
