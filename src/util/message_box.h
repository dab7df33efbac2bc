#pragma once
// The only way the program shows a message: the TIPS box. Logic calls ShowMessageBox; the window
// program installs the box, varnik-cli prints to standard error, tests record.

#include <functional>
#include <string_view>

namespace util {

// The owner window of a message box; nullptr for none.
using WindowHandle = void*;

using MessagePresenter = std::function<void(std::wstring_view text, WindowHandle owner)>;

// Installs the presenter for the whole process and returns the one it replaces. Without one,
// messages go to standard error, one per line.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

// Shows the text and returns when the user has closed the box. Callable from any thread.
void ShowMessageBox(std::wstring_view text, WindowHandle owner = nullptr);

}  // namespace util
