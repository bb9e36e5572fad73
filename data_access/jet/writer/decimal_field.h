#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data_access/jet/writer/little_endian.h"

namespace tablift::jet {

// The 17 bytes of a Decimal(precision, scale) value: a sign byte (0x80 when
// negative), then the unscaled integer as four 32-bit little-endian groups,
// the most significant group first. `digits` is "-123.4500" style text.
// Returns an empty string on success, else why the column cannot hold it
// (malformed, more decimals than the scale, more digits than the precision).
std::string EncodeDecimalDigits(std::string_view digits, std::uint8_t precision, std::uint8_t scale,
                                ByteVector& bytes);

}  // namespace tablift::jet
