#pragma once
// The only way the program shows a message: the TIPS box. Logic calls ShowMessageBox; the window
// program installs the box, varnik-cli prints to standard error, tests record.

#include <functional>
#include <string>
#include <string_view>

namespace util {

// The owner window of a message box; nullptr for none.
using WindowHandle = void*;

using MessagePresenter = std::function<void(std::wstring_view text, WindowHandle owner)>;

// Installs the presenter for the whole process and returns the one it replaces. Without one,
// messages go to standard error, one per line.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

// While it lives, keeps the texts shown on its thread, so a caller can tell the user later why
// something failed (the engine shows its failures itself). The innermost one keeps them.
class ShownMessages {
 public:
  ShownMessages();
  ~ShownMessages();
  ShownMessages(const ShownMessages&) = delete;
  ShownMessages& operator=(const ShownMessages&) = delete;

  // The last text shown, or empty.
  const std::wstring& Last() const { return last_; }

 private:
  friend void ShowMessageBox(std::wstring_view text, WindowHandle owner);
  std::wstring last_;
  ShownMessages* outer_;
};

// Shows the text and returns when the user has closed the box. Callable from any thread.
void ShowMessageBox(std::wstring_view text, WindowHandle owner = nullptr);

}  // namespace util
