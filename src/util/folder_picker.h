#pragma once
// The folder picker. The window program installs its dialog; without one, every pick is a
// cancel.

#include <functional>
#include <optional>
#include <string>

namespace util {

// Returns the chosen folder's full path, or nothing when cancelled. The title is the dialog's.
using FolderPicker = std::function<std::optional<std::wstring>(const std::wstring& title)>;

void SetFolderPicker(FolderPicker picker);

// Shows the picker titled "Path selection"; folder receives the choice and is left unchanged
// on cancel. Always 1.
int ChooseFolder(std::wstring& folder);

}  // namespace util
