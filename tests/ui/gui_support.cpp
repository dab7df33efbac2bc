#include "ui/gui_support.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <wx/app.h>
#include <wx/dnd.h>
#include <wx/timer.h>
#include <wx/window.h>

#ifdef __WXMSW__
#include <windows.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <cstring>
#endif

#include "framework/application.h"

namespace uitest {

void PumpFor(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& condition, int milliseconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < until) {
    framework::PumpPendingEvents();
    if (condition())
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

namespace {
class OneShot : public wxTimer {
 public:
  explicit OneShot(std::function<void()> f) : function_(std::move(f)) {}
  void Notify() override {
    auto f = std::move(function_);
    wxTheApp->CallAfter([this] { delete this; });
    f();
  }

 private:
  std::function<void()> function_;
};
}  // namespace

void RunAfter(int milliseconds, std::function<void()> function) {
  auto* timer = new OneShot(std::move(function));
  timer->StartOnce(milliseconds);
}

std::string Screenshot(const std::string& name) {
  std::filesystem::path folder(VARNIK_SCREENSHOT_DIR);
  std::filesystem::create_directories(folder);
  std::string path = (folder / (name + ".png")).string();
#ifdef __WXMSW__
  // The system's own picture of the screen, as the program sees it.
  wxScreenDC screen;
  wxSize size = screen.GetSize();
  wxBitmap picture(size.x, size.y);
  wxMemoryDC memory(picture);
  memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
  memory.SelectObject(wxNullBitmap);
  return picture.SaveFile(path, wxBITMAP_TYPE_PNG) ? path : std::string();
#else
  std::string command = "import -window root '" + path + "' 2>/dev/null";
  return std::system(command.c_str()) == 0 ? path : std::string();
#endif
}

bool DropFiles(wxWindow* window, const std::vector<std::wstring>& paths) {
#ifdef __WXMSW__
  HWND handle = window->GetHWND();
  if ((::GetWindowLongPtrW(handle, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) == 0)
    return false;
  // The shell's drop: a DROPFILES header and the names, each ending in a zero, then one more.
  std::wstring names;
  for (const std::wstring& path : paths)
    names += path + L'\0';
  names += L'\0';
  HGLOBAL drop = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(::GlobalLock(drop));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
  ::GlobalUnlock(drop);
  // The receiver frees it, as it frees the shell's.
  ::SendMessageW(handle, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  return true;
#else
  auto* target = dynamic_cast<wxFileDropTarget*>(window->GetDropTarget());
  if (target == nullptr)
    return false;
  wxArrayString names;
  for (const std::wstring& path : paths)
    names.Add(wxString(path));
  return target->OnDropFiles(10, 10, names);
#endif
}

}  // namespace uitest
