#pragma once
// Private-profile (INI) files with the observable rules of the Windows calls: section and key
// names compare without regard to letter case, values are trimmed of blanks and of one pair of
// surrounding quotes, anything missing reads as the default, and a write creates the file and
// section as needed while leaving every other line alone.

#include <cstddef>
#include <string_view>

#ifdef _WIN32
// windows.h makes these two names macros for its own win.ini calls; include it first, once,
// and take the macros back so ours keep their names in every file.
#include <windows.h>
#undef GetProfileString
#undef WriteProfileString
#endif

namespace platform {

// Copies the value (or the default) into buffer, cut to size - 1 characters and terminated.
// Returns the number of characters copied, not counting the terminator.
std::size_t GetProfileString(std::wstring_view file, std::wstring_view section,
                             std::wstring_view key, std::wstring_view defaultValue, wchar_t* buffer,
                             std::size_t size);

// Sets one key. Returns false when the file cannot be written.
bool WriteProfileString(std::wstring_view file, std::wstring_view section, std::wstring_view key,
                        std::wstring_view value);

}  // namespace platform
