#include "data_access/jet/database_header.h"

#include <cmath>
#include <limits>

namespace tablift::jet::database_header {

std::array<std::uint8_t, 4> PasswordMask(double creationDate) {
  std::int32_t whole = 0;
  if (std::isfinite(creationDate)) {
    const double truncated = std::trunc(creationDate);
    if (truncated >= std::numeric_limits<std::int32_t>::max()) {
      whole = std::numeric_limits<std::int32_t>::max();
    } else if (truncated <= std::numeric_limits<std::int32_t>::min()) {
      whole = std::numeric_limits<std::int32_t>::min();
    } else {
      whole = static_cast<std::int32_t>(truncated);
    }
  }
  const auto bits = static_cast<std::uint32_t>(whole);
  return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
          static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

}  // namespace tablift::jet::database_header
