#pragma once
// The fuzz targets' input form for a whole document: its parts as plain text, each after a line
// "@@ name", so that mutations land in the XML rather than in compressed bytes. Parts the input
// leaves out come from a minimal document.

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace fuzz {

using Parts = std::map<std::string, std::string>;

inline constexpr std::string_view kPartMark = "@@ ";

// The parts of an input; text before the first mark is the main part.
Parts ParseParts(std::string_view input);
// The inverse, for seeds.
std::string FormatParts(const Parts& parts);
// The parts of a .docx's bytes (empty when it is no readable archive).
Parts ReadArchive(const std::string& bytes);
// Writes the parts, over the minimal document's, as an uncompressed .docx.
void WriteDocx(const Parts& parts, const std::filesystem::path& target);

// A file name in this process's own scratch folder, removed when the process ends.
std::filesystem::path Scratch(std::string_view name);

}  // namespace fuzz
