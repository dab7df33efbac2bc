#pragma once
// Standard error as the command line's TIPS box and progress bar.

#include <mutex>
#include <string_view>

namespace cli {

class Console {
 public:
  Console();
  // One message per line, exactly as the window would show it.
  void Message(std::wstring_view text);
  // 0 to 300; drawn only when standard error is a terminal.
  void Progress(int value);
  void EndProgress();

 private:
  std::mutex lock_;
  bool terminal_;
  bool barShown_ = false;
};

}  // namespace cli
