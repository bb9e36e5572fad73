#pragma once

#include <string>
#include <string_view>

#include "data_access/jet/writer/little_endian.h"

namespace tablift::jet {

// The 16 bytes of a Replication ID from its registry form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (braces optional): the first three
// groups little-endian, the last eight bytes in order, as Windows keeps a
// GUID. Returns false when the text is not such a GUID.
bool EncodeGuidText(std::string_view text, ByteVector& bytes);

}  // namespace tablift::jet
