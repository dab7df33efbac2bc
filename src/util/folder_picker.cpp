#include "util/folder_picker.h"

#include <mutex>
#include <utility>

namespace util {

namespace {
std::mutex pickerLock;
FolderPicker& Picker() {
  static FolderPicker picker;
  return picker;
}
}  // namespace

void SetFolderPicker(FolderPicker picker) {
  std::lock_guard guard(pickerLock);
  Picker() = std::move(picker);
}

int ChooseFolder(std::wstring& folder) {
  FolderPicker picker;
  {
    std::lock_guard guard(pickerLock);
    picker = Picker();
  }
  if (picker) {
    if (auto chosen = picker(L"Path selection"))
      folder = *chosen;
  }
  return 1;
}

}  // namespace util
