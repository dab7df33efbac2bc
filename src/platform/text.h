#pragma once
// The only place where the program's wide texts meet the operating system's byte strings.

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 <-> wide text. Invalid input is replaced by U+FFFD rather than rejected.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// A file-system path for a wide path text, and back.
std::filesystem::path ToPath(std::wstring_view path);
std::wstring FromPath(const std::filesystem::path& path);

// A path for C libraries that take `const char*` file names (libzip): UTF-8 on Windows, where
// such a library turns it into the wide calls (the ANSI code page would lose Chinese names);
// the native bytes elsewhere.
std::string NarrowPath(const std::filesystem::path& path);

// The length of one file name as the file system counts it against its limit of 255: UTF-16
// units on Windows, UTF-8 bytes elsewhere.
std::size_t NameLength(std::wstring_view name);

}  // namespace platform
