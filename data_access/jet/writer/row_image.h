#pragma once

#include <vector>

#include "data_access/jet/writer/field_encoding.h"
#include "data_access/jet/writer/row_shape.h"

namespace tablift::jet {

// The length of the row that AssembleRow makes from these fields.
std::size_t RowImageLength(const RowShape& shape, const std::vector<EncodedField>& fields);

// One row as Jet 4 stores it: the column count, the fixed area, the
// variable-length data in column order, then (when the table has variable
// columns) the end-of-data offset and the offsets of the variable columns
// from the last to the first, their count, and finally the null mask.
// `fields` has one entry per column; a long value's entry already holds its
// 12-byte field.
ByteVector AssembleRow(const RowShape& shape, const std::vector<EncodedField>& fields);

}  // namespace tablift::jet
