#include "data_access/decimal_number.h"

#include <algorithm>

namespace tablift {

bool IsDecimalNumber(std::string_view text) {
  // Not std::isdigit: its answer depends on the locale and on the sign of char.
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace tablift
