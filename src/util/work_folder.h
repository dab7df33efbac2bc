#pragma once
// Working copies of the user's documents: the program reads copies, never the originals.

#include <string>
#include <string_view>

namespace util {

// Deletes the work folder with everything in it.
void ClearWorkFolder();

// Copies a document into the work folder under the next counter name ("0", "1", ...), never
// overwriting. Returns the copy's path (also when the copy failed), or the empty text when the
// work folder cannot be made.
std::wstring CopyToWorkFolder(std::wstring_view source);

// The counter as text, then counts up. Names are unique within one run of the program.
std::wstring NextWorkFileName();

}  // namespace util
