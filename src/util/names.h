#pragma once
// Texts made for the document list, for result file names and from table-of-contents lines.

#include <cstdint>
#include <string>
#include <string_view>

namespace util {

// Removes carriage returns and line feeds and turns each of \ / : * ? " < > | and every other
// control character (a manual line break is code 11) into a space.
std::wstring MakeFileNameSafe(std::wstring_view text);

// Splits a table-of-contents line into its title (returned) and the page text after its last
// tab; pageText is left as given when the line has no tab.
std::wstring SplitTocLine(std::wstring_view line, std::wstring& pageText);

// Word's owner files ("~$...") and hidden files.
bool IsLockOrHiddenFile(std::wstring_view path, std::wstring_view name);

// "0.50KB", "1024.00KB", "1.00MB".
std::wstring FormatFileSize(std::uint64_t bytes);

}  // namespace util
