#pragma once

#include <cstdint>
#include <optional>
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

// A Date/Time Extended value's stored text (days since 0001-01-01, a colon,
// seconds of the day, then seven digits of 100 ns) as
// "YYYY-MM-DD HH:MM:SS.fffffff". Nothing when the bytes are not such a value.
std::optional<std::string> ExtendedDateTimeText(std::span<const std::uint8_t> stored);

// A calculated column stores its value behind a header: 16 bytes, the
// value's length (4 bytes), then the value as its result type stores it.
// Nothing when the bytes are too short for the header.
std::optional<std::span<const std::uint8_t>> CalculatedValueBytes(
    std::span<const std::uint8_t> stored);

}  // namespace tablift::jet
