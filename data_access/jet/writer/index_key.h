#pragma once

#include <string>

#include "data_access/jet/writer/field_encoding.h"
#include "data_access/jet/writer/little_endian.h"
#include "data_access/jet/writer/row_shape.h"

namespace tablift::jet {

// Appends one column's part of an index entry: a flag byte (0x7F for a
// value, 0x00 for Null; 0x80 and 0xFF in a descending column) and the value
// in a form whose byte order is the sort order, all bits inverted in a
// descending column. Numbers are big-endian with the sign bit flipped
// (negative floating-point numbers inverted whole); text is its sort weights
// under the General sort order, ended by 0x01 0x00.
//
// Returns false, with the reason, for a text whose sort weights this writer
// does not know: it handles letters A-Z (without regard to case) and digits.
bool AppendIndexKeyPart(const ColumnSlot& column, const EncodedField& field, bool ascending,
                        ByteVector& key, std::string& problem);

}  // namespace tablift::jet
