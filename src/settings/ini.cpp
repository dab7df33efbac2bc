#include "settings/ini.h"

#include <cwctype>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/profile.h"

namespace settings {

namespace {

std::mutex pathLock;

std::wstring& StoredPath() {
  static std::wstring path;
  return path;
}

std::mutex overrideLock;

// Keys folded to upper case, as names compare without regard to case.
std::map<std::pair<std::wstring, std::wstring>, std::wstring>& Overrides() {
  static std::map<std::pair<std::wstring, std::wstring>, std::wstring> overrides;
  return overrides;
}

std::pair<std::wstring, std::wstring> OverrideKey(std::wstring_view section,
                                                  std::wstring_view key) {
  std::pair<std::wstring, std::wstring> folded{std::wstring(section), std::wstring(key)};
  for (auto* text : {&folded.first, &folded.second}) {
    for (wchar_t& c : *text)
      c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  }
  return folded;
}

}  // namespace

void CIni::Override(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  std::lock_guard guard(overrideLock);
  if (value.empty()) {
    Overrides().erase(OverrideKey(section, key));
  } else {
    Overrides()[OverrideKey(section, key)] = std::wstring(value);
  }
}

std::wstring SettingsPath() {
  std::lock_guard guard(pathLock);
  return StoredPath();
}

void SetSettingsPath(std::wstring_view path) {
  std::lock_guard guard(pathLock);
  StoredPath() = std::wstring(path);
}

std::wstring Strip(std::wstring_view text) {
  while (!text.empty() && std::iswspace(static_cast<wint_t>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::iswspace(static_cast<wint_t>(text.back())))
    text.remove_suffix(1);
  return std::wstring(text);
}

std::wstring CIni::ReadString(std::wstring_view section, std::wstring_view key) {
  if (section.empty() || key.empty())
    return {};
  {
    std::lock_guard guard(overrideLock);
    auto it = Overrides().find(OverrideKey(section, key));
    if (it != Overrides().end())
      return it->second;
  }
  const std::wstring path = SettingsPath();
  std::vector<wchar_t> buffer(512);
  for (;;) {
    std::size_t length =
        platform::GetProfileString(path, section, key, L"", buffer.data(), buffer.size());
    // A value that filled the buffer may have been cut: read again with more room.
    if (length + 1 < buffer.size())
      return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() + 512);
  }
}

bool CIni::WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  return platform::WriteProfileString(SettingsPath(), section, key, value);
}

std::wstring CIni::ReadExportPath() {
  return ReadString(L"SETTING", L"EP");
}
std::wstring CIni::ReadExportMode() {
  return ReadString(L"SETTING", L"EM");
}
std::wstring CIni::ReadCompressionMode() {
  return ReadString(L"SETTING", L"CM");
}
bool CIni::ReadAutoOpen() {
  return Strip(ReadString(L"SETTING", L"AUTO")) == L"1";
}

int CIni::ReadAlignment() {
  std::wstring value = Strip(ReadString(L"BASE", L"ALIGN"));
  if (value.size() == 1 && value[0] >= L'0' && value[0] <= L'3')
    return value[0] - L'0';
  return 0;
}

void CIni::WriteAlignment(std::wstring_view text) {
  WriteString(L"BASE", L"ALIGN", text);
}
void CIni::WriteCompressionMode(std::wstring_view text) {
  WriteString(L"SETTING", L"CM", text);
}

}  // namespace settings
