#pragma once
// Members the built-in document server answers beyond Word's own. Word has no member of these
// numbers and answers "member not found", which callers take as "not available here".

#include <cstdint>

namespace automation {

// Application: (piece path) -> the first way the piece differs from what its cut kept of the
// source, empty when it is exactly that.
inline constexpr std::int32_t kVerifyPieceDispid = 0x56524B01;

}  // namespace automation
