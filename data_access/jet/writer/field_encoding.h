#pragma once

#include "data_access/jet/jet_value.h"
#include "data_access/jet/writer/little_endian.h"
#include "data_access/jet/writer/row_shape.h"
#include "data_access/jet/writer/write_status.h"

namespace tablift::jet {

// A column's value as it goes into a row.
struct EncodedField {
  // The column's null-mask bit: set for a value, clear for Null. A Yes/No
  // column keeps its value here and nothing else.
  bool present = false;
  // Fixed columns: exactly the column's length. Text: UTF-16LE. Binary and
  // long values: the content (the row writer decides where it goes).
  ByteVector bytes;
};

// Converts `value` into the form `column` keeps, or fails with the reason
// (InvalidValue) when the column cannot hold it exactly: a number out of
// range, text longer than the column, a value of another kind.
WriteStatus EncodeField(const ColumnSlot& column, const Value& value, EncodedField& field);

}  // namespace tablift::jet
