#pragma once

#include <optional>
#include <string_view>

#include "data_access/jet/writer/little_endian.h"

namespace tablift::jet {

// Jet 4 keeps text as UTF-16 little-endian (characters outside the Basic
// Multilingual Plane as surrogate pairs). Returns nothing when the input is
// not valid UTF-8, so that no text is ever stored with replacement characters.
std::optional<ByteVector> Utf8ToJet4Text(std::string_view utf8);

}  // namespace tablift::jet
