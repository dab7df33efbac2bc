#pragma once

#include <cstdint>
#include <string_view>

namespace util {

// How the program reads every number the user types or a list shows: white space trimmed, an
// optional sign and decimal digits up to the first other character; no digits give 0; values
// beyond the 32-bit range give the nearest limit.
std::int32_t ReadNumber(std::wstring_view text);

}  // namespace util
