#pragma once
// Helpers for tests that run real windows on the test's main thread.

#include <functional>
#include <string>
#include <vector>

class wxWindow;

namespace uitest {

// Handles events for about the given time.
void PumpFor(int milliseconds);
// Handles events until the condition holds or the time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, int milliseconds = 5000);
// Runs the function on the windows' thread after a delay, from inside whatever loop runs then
// (a modal box's loop included).
void RunAfter(int milliseconds, std::function<void()> function);
// Saves the screen as <screenshot folder>/<name>.png; returns the path or "" on failure.
std::string Screenshot(const std::string& name);
// Drops files on a window as the desktop does: through its drop target, or on Windows as the
// shell's dropped-files message. False when the window accepts no drops.
bool DropFiles(wxWindow* window, const std::vector<std::wstring>& paths);

}  // namespace uitest
