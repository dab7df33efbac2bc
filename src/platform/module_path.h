#pragma once

#include <string>

namespace platform {

// Full path of the running executable; empty when the system does not tell.
std::wstring ExecutablePath();

}  // namespace platform
