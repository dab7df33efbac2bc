#include "platform/files.h"

#ifdef _WIN32
#include <windows.h>

#include <string>
#endif

namespace platform {

bool IsHiddenFile(std::wstring_view path) {
#ifdef _WIN32
  DWORD attributes = GetFileAttributesW(std::wstring(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
#else
  std::wstring_view name = path;
  while (!name.empty() && name.back() == L'/')
    name.remove_suffix(1);
  if (auto slash = name.find_last_of(L'/'); slash != std::wstring_view::npos) {
    name.remove_prefix(slash + 1);
  }
  return name.size() > 1 && name[0] == L'.' && name != L"..";
#endif
}

void HideFile(std::wstring_view path) {
#ifdef _WIN32
  std::wstring file(path);
  DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesW(file.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
#else
  (void)path;
#endif
}

}  // namespace platform
