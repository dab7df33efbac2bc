#include "platform/user_folders.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#endif

#include "platform/files.h"
#include "platform/text.h"

namespace platform {

namespace {

std::wstring Join(std::wstring base, std::wstring_view name) {
  if (!base.empty() && !IsSeparator(base.back()))
    base += kPathSeparator;
  return base + std::wstring(name);
}

#ifdef _WIN32
std::wstring Environment(const wchar_t* name) {
  DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0)
    return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}
#else
// Only absolute values count, as the base-directory rules say.
std::wstring AbsoluteEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value == '/' ? FromUtf8(value) : std::wstring();
}
#endif

}  // namespace

std::wstring HomeFolder() {
#ifdef _WIN32
  std::wstring home = Environment(L"USERPROFILE");
  return home.empty() ? Environment(L"TEMP") : home;
#else
  const char* home = std::getenv("HOME");
  return FromUtf8(home != nullptr ? home : "/tmp");
#endif
}

std::wstring UserSettingsBase() {
#ifdef _WIN32
  std::wstring folder = Environment(L"APPDATA");
  return folder.empty() ? Join(HomeFolder(), L"AppData\\Roaming") : folder;
#else
  std::wstring folder = AbsoluteEnvironment("XDG_CONFIG_HOME");
  return folder.empty() ? Join(HomeFolder(), L".config") : folder;
#endif
}

std::wstring UserCacheBase() {
#ifdef _WIN32
  std::wstring folder = Environment(L"LOCALAPPDATA");
  return folder.empty() ? Join(HomeFolder(), L"AppData\\Local") : folder;
#else
  std::wstring folder = AbsoluteEnvironment("XDG_CACHE_HOME");
  return folder.empty() ? Join(HomeFolder(), L".cache") : folder;
#endif
}

bool IsWritableFolder(std::wstring_view folder) {
  if (folder.empty())
    return false;
#ifdef _WIN32
  std::wstring probe =
      Join(std::wstring(folder), L".varnik-probe-" + std::to_wstring(GetCurrentProcessId()));
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  CloseHandle(file);
  return true;
#else
  return ::access(ToUtf8(folder).c_str(), W_OK) == 0;
#endif
}

std::wstring MakePrivateTempFolder(std::wstring_view prefix) {
#ifdef _WIN32
  // TEMP may be longer than the classic path limit: ask for the size first.
  DWORD size = GetTempPathW(0, nullptr);
  if (size == 0)
    return {};
  std::wstring temp(size, L'\0');
  temp.resize(GetTempPathW(size, temp.data()));
  if (temp.empty())
    return {};
  // CreateDirectoryW fails on a name that exists, so a folder made here is ours alone.
  DWORD seed = GetCurrentProcessId() * 7919u + GetTickCount();
  for (DWORD attempt = 0; attempt < 1000; ++attempt) {
    wchar_t unique[16];
    swprintf(unique, 16, L"%08lx", static_cast<unsigned long>(seed + attempt * 104729u));
    std::wstring folder = Join(temp, std::wstring(prefix) + unique);
    if (CreateDirectoryW(folder.c_str(), nullptr))
      return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      return {};
  }
  return {};
#else
  std::error_code error;
  std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  if (error)
    temp = "/tmp";
  std::string pattern = (temp / (ToUtf8(prefix) + "XXXXXX")).string();
  return ::mkdtemp(pattern.data()) != nullptr ? FromUtf8(pattern) : std::wstring();
#endif
}

}  // namespace platform
