#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tablift::jet {

// Jet 4 text as UTF-8. Jet 4 stores text as UTF-16LE, or "compressed": after
// the marker FF FE, runs of one-byte characters (U+0000..U+00FF) and runs of
// two-byte units, each 00 byte switching between the two. Surrogate pairs
// become one character; a lone surrogate becomes U+FFFD.
std::string DecodeJet4Text(std::span<const std::uint8_t> stored);

}  // namespace tablift::jet
