#pragma once

#include <string_view>

namespace tablift {

// True when every character is a decimal digit '0'..'9'. There is no sign,
// point or blank, and the empty text counts as a number.
bool IsDecimalNumber(std::string_view text);

}  // namespace tablift
