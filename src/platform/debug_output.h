#pragma once

#include <string_view>

namespace platform {

// A trace line for a developer: the debugger's output on Windows, standard error elsewhere when
// VARNIK_DEBUG_OUTPUT is set.
void DebugOutput(std::wstring_view text);

}  // namespace platform
