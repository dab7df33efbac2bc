#pragma once
// How sure a document's page count is, in one sentence for its row's Page cell. Word over COM
// says nothing more than its count; a server that knows where its pages came from registers
// what it knows at start-up, as the server itself is registered.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace batch {

// The sentence for the page count last read of a path, if the server that read it gave one.
using PagesNoteSource = std::function<std::optional<std::wstring>(std::wstring_view path)>;

// For the whole process; returns the source it replaces.
PagesNoteSource SetPagesNoteSource(PagesNoteSource source);

// The registered source's sentence for the path, else "N pages, as Word laid them out".
std::wstring PagesNote(std::wstring_view path, std::int32_t pages);

}  // namespace batch
