#pragma once
// The three document formats LibreOffice converts for us, told apart by content.

#include <optional>
#include <string>

namespace libreoffice {

enum class Format { Doc, Rtf, Docx };

// LibreOffice's filter names, given explicitly on every load and store so that nothing is
// guessed (a guessing import takes any unknown file for plain text).
const char* FilterName(Format format);
// "Word 97-2003 document (.doc)" and the like, for messages.
std::wstring FormatDescription(Format format);

// The format of a file by its first bytes (and, for .docx, its package parts); nothing for a
// file that is none of the three, unreadable or empty.
std::optional<Format> DetectFormat(const std::wstring& path);

}  // namespace libreoffice
