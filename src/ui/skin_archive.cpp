#include "ui/skin_archive.h"

#include <cstddef>
#include <mutex>

#include "framework/resource_archive.h"

namespace ui {

extern const unsigned char kSkinArchive[];
extern const std::size_t kSkinArchiveSize;

void RegisterSkinArchive() {
  static std::once_flag once;
  std::call_once(once, [] {
    framework::ResourceArchive::Register(kSkinResourceId, kSkinArchive, kSkinArchiveSize);
  });
}

std::string_view SkinArchiveBytes() {
  return {reinterpret_cast<const char*>(kSkinArchive), kSkinArchiveSize};
}

}  // namespace ui
