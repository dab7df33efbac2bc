#pragma once
// Folders the system gives a program: the per-user places for settings and caches, the
// temporary folder, and whether a folder can be written.

#include <string>
#include <string_view>

namespace platform {

// The base folders for a program's settings and caches, without a trailing separator:
// %APPDATA% and %LOCALAPPDATA% on Windows, $XDG_CONFIG_HOME (~/.config) and $XDG_CACHE_HOME
// (~/.cache) elsewhere.
std::wstring UserSettingsBase();
std::wstring UserCacheBase();

// The user's home folder (%USERPROFILE% on Windows, $HOME elsewhere).
std::wstring HomeFolder();

// Whether a file can be created in the folder. On Windows the folder's permissions decide
// (a program under Program Files usually cannot), so this creates and removes a probe file.
bool IsWritableFolder(std::wstring_view folder);

// Makes a new folder under the system's temporary folder that no other process uses, named
// "<prefix><unique part>"; returns its path without a trailing separator, or the empty text.
std::wstring MakePrivateTempFolder(std::wstring_view prefix);

}  // namespace platform
