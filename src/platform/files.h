#pragma once

#include <string_view>

namespace platform {

// The platform's path separator, where the program's texts write a backslash.
#ifdef _WIN32
inline constexpr wchar_t kPathSeparator = L'\\';
#else
inline constexpr wchar_t kPathSeparator = L'/';
#endif

inline bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// Hidden: the hidden attribute on Windows, a name starting with "." elsewhere.
bool IsHiddenFile(std::wstring_view path);

// Gives a file the hidden attribute on Windows; elsewhere a name starting with "." is hidden
// already and nothing is done.
void HideFile(std::wstring_view path);

}  // namespace platform
