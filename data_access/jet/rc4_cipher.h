#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tablift::jet {

// RC4, which Jet uses to scramble the header page of every database (with a
// fixed key) and the other pages of an encoded one (with the database key).
// Applying it twice with the same key gives the original bytes back.
void ApplyRc4(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

}  // namespace tablift::jet
