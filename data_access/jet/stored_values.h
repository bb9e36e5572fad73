#pragma once

#include <cstdint>
#include <span>
#include <string>

// The fixed-size values of a row as Jet stores them (little-endian).
namespace tablift::jet {

// A Replication ID's 16 bytes in registry form,
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (the first three groups are stored
// little-endian).
std::string GuidText(std::span<const std::uint8_t, 16> stored);

// A Decimal's 17 bytes (a sign byte, then the 96..128-bit magnitude as four
// 32-bit words, the most significant first) as exact digits with `scale`
// digits after the point: "-123.4500".
std::string DecimalDigits(std::span<const std::uint8_t, 17> stored, unsigned scale);

}  // namespace tablift::jet
