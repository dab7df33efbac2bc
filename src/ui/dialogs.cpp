#include "ui/dialogs.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>

#include "util/folder_picker.h"

namespace ui {

namespace {

FilePicker& CurrentFilePicker() {
  static FilePicker picker;
  return picker;
}

std::optional<std::vector<std::wstring>> SystemFileDialog() {
  wxFileDialog dialog(nullptr, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString,
                      // Desktop file dialogs match patterns by letter case.
                      "WORD FORMAT (*.doc;*.docx;*.rtf)|*.doc;*.docx;*.rtf;*.DOC;*.DOCX;*.RTF",
                      wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK)
    return std::nullopt;
  wxArrayString paths;
  dialog.GetPaths(paths);
  std::vector<std::wstring> chosen;
  for (const wxString& path : paths)
    chosen.push_back(path.ToStdWstring());
  return chosen;
}

}  // namespace

FilePicker SetFilePicker(FilePicker picker) {
  FilePicker old = std::move(CurrentFilePicker());
  CurrentFilePicker() = std::move(picker);
  return old;
}

std::optional<std::vector<std::wstring>> ChooseFiles() {
  if (CurrentFilePicker())
    return CurrentFilePicker()();
  return SystemFileDialog();
}

void InstallFolderPicker() {
  util::SetFolderPicker([](const std::wstring& title) -> std::optional<std::wstring> {
    wxDirDialog dialog(nullptr, wxString(title), wxEmptyString,
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
      return std::nullopt;
    return dialog.GetPath().ToStdWstring();
  });
}

}  // namespace ui
