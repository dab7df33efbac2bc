#pragma once

#include <cstdint>

namespace documents {

// The status of one document of the list; its row shows it as a picture.
enum class DocumentStatus : std::int32_t {
  New = 1,
  Ready = 2,
  Planned = 3,
  Processing = 4,
  Done = 5,
  Failed = -1,
  Protected = -2,
};

}  // namespace documents
