#include "cli/console.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/text.h"

namespace cli {

Console::Console() : terminal_(::isatty(STDERR_FILENO) == 1) {}

void Console::Message(std::wstring_view text) {
  std::lock_guard guard(lock_);
  if (barShown_)
    std::fputs("\r\033[K", stderr);
  barShown_ = false;
  std::string line = platform::ToUtf8(text) + "\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void Console::Progress(int value) {
  if (!terminal_)
    return;
  std::lock_guard guard(lock_);
  constexpr int kWidth = 40;
  int filled = value * kWidth / 300;
  std::string bar = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " +
                    std::to_string(value * 100 / 300) + "%";
  std::fputs(bar.c_str(), stderr);
  std::fflush(stderr);
  barShown_ = true;
}

void Console::EndProgress() {
  std::lock_guard guard(lock_);
  if (barShown_)
    std::fputs("\r\033[K", stderr);
  barShown_ = false;
}

}  // namespace cli
