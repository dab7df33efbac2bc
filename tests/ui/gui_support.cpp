#include "ui/gui_support.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <wx/app.h>
#include <wx/timer.h>

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
  std::string command = "import -window root '" + path + "' 2>/dev/null";
  return std::system(command.c_str()) == 0 ? path : std::string();
}

}  // namespace uitest
