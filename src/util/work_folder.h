#pragma once
// Working copies of the user's documents: the program reads copies, never the originals.
//
// Every running copy of the program keeps its working copies in a folder of its own,
// "t/<id>/" under the program folder, and holds the lock file "t/<id>.lock" for as long as it
// runs. Clearing removes the own folder and the folders whose holder has gone (ended or
// crashed), never those of another copy still running, so two copies of the program neither
// delete nor reuse each other's working copies.

#include <string>
#include <string_view>

namespace util {

// This copy's work folder with a trailing separator (the folder itself is made by the first
// working copy). The id is claimed on first use: the process number, or "<number>-2", ... when
// that is held. The empty text when nothing can be claimed. A folder chosen with
// SetWorkFolder is used as it is.
std::wstring WorkFolder();

// Deletes this copy's work folder with everything in it and gives up its claim; also removes
// the work folders of copies that are no longer running.
void ClearWorkFolder();

// Copies a document into the work folder under the next counter name ("0", "1", ...), never
// overwriting. Returns the copy's path (also when the copy failed), or the empty text when the
// work folder cannot be made.
std::wstring CopyToWorkFolder(std::wstring_view source);

// The counter as text, then counts up. Names are unique within one run of the program.
std::wstring NextWorkFileName();

}  // namespace util
