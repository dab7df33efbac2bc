#include "platform/module_path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <filesystem>
#include <system_error>

#include "platform/text.h"
#endif

namespace platform {

std::wstring ExecutablePath() {
#ifdef _WIN32
  std::wstring buffer(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(length);
  return buffer;
#else
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::wstring() : FromPath(path);
#endif
}

}  // namespace platform
