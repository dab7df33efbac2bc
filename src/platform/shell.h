#pragma once
// Showing things to the user through the desktop: documents in their programs, folders in the
// file manager, an item selected in its folder, web pages.

#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class ShellAction {
  Open,    // a document in its program, a folder in the file manager, a page in the browser
  Reveal,  // the folder holding an item, with the item selected
};

// Hands the request to the desktop and returns at once; failures are not reported.
void ShowThroughShell(ShellAction action, std::wstring_view target);

// Replaces what ShowThroughShell does (tests record the calls; the command line ignores them).
using ShellHandler = std::function<void(ShellAction, std::wstring_view)>;
ShellHandler SetShellHandler(ShellHandler handler);

}  // namespace platform
