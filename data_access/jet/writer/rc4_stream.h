#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tablift::jet {

// The RC4 stream cipher, which Jet uses to hide part of the database header.
// Applying it twice with the same key gives the original bytes back.
void Rc4Transform(std::span<const std::uint8_t> key, std::span<std::uint8_t> bytes);

}  // namespace tablift::jet
