#include "util/names.h"

#include <cstdio>
#include <cwctype>

#include "platform/files.h"

namespace util {

std::wstring MakeFileNameSafe(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L'\r' || c == L'\n')
      continue;
    if (c < 0x20 || c == 0x7F ||
        std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
      c = L' ';
    out += c;
  }
  return out;
}

std::wstring SplitTocLine(std::wstring_view line, std::wstring& pageText) {
  while (!line.empty() && std::iswspace(static_cast<wint_t>(line.front())))
    line.remove_prefix(1);
  while (!line.empty() && std::iswspace(static_cast<wint_t>(line.back())))
    line.remove_suffix(1);
  if (std::size_t tab = line.find_last_of(L'\t'); tab != std::wstring_view::npos) {
    pageText = std::wstring(line.substr(tab + 1));
    line = line.substr(0, tab);
  }
  std::wstring title;
  title.reserve(line.size());
  for (wchar_t c : line) {
    if (c == L'\r')
      continue;
    title += (static_cast<std::uint32_t>(c) <= 10) ? L'_' : c;
  }
  return title;
}

bool IsLockOrHiddenFile(std::wstring_view path, std::wstring_view name) {
  return name.starts_with(L"~$") || platform::IsHiddenFile(path);
}

std::wstring FormatFileSize(std::uint64_t bytes) {
  double kilobytes = static_cast<double>(bytes) / 1024.0;
  wchar_t text[64];
  if (kilobytes > 1024.0) {
    std::swprintf(text, 64, L"%0.2fMB", kilobytes / 1024.0);
  } else {
    std::swprintf(text, 64, L"%0.2fKB", kilobytes);
  }
  return text;
}

}  // namespace util
