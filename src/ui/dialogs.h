#pragma once
// The system dialogs the main window opens: the multi-select file dialog of "Add File" and the
// folder picker of "Export" (installed for util::ChooseFolder).

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ui {

// The chosen paths in the dialog's order, or nothing when cancelled.
using FilePicker = std::function<std::optional<std::vector<std::wstring>>()>;

// Replaces the file dialog (tests); returns the one replaced. An empty picker restores the
// system dialog.
FilePicker SetFilePicker(FilePicker picker);
std::optional<std::vector<std::wstring>> ChooseFiles();

// Makes util::ChooseFolder show the system's folder dialog.
void InstallFolderPicker();

}  // namespace ui
