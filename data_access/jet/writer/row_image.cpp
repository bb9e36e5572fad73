#include "data_access/jet/writer/row_image.h"

#include <algorithm>

namespace tablift::jet {
namespace {

constexpr std::size_t kCountSize = 2;

std::size_t VariableDataLength(const RowShape& shape, const std::vector<EncodedField>& fields) {
  std::size_t length = 0;
  for (const ColumnSlot& column : shape.columns) {
    if (!column.fixed) length += fields[column.number].bytes.size();
  }
  return length;
}

}  // namespace

std::size_t RowImageLength(const RowShape& shape, const std::vector<EncodedField>& fields) {
  std::size_t length = kCountSize + shape.fixedAreaSize + shape.nullMaskSize();
  if (shape.variableCount > 0) {
    length += VariableDataLength(shape, fields) + 2 + 2 * shape.variableCount + kCountSize;
  }
  return length;
}

ByteVector AssembleRow(const RowShape& shape, const std::vector<EncodedField>& fields) {
  ByteVector row(RowImageLength(shape, fields), 0);
  // Deleted columns count, are Null and hold nothing, as in the rows the
  // engine writes after a column was deleted.
  StoreLe16(row.data(), shape.storedColumnCount);

  std::vector<std::uint16_t> variableOffsets(shape.variableCount, 0);
  std::vector<const ColumnSlot*> variableColumns(shape.variableCount, nullptr);
  std::uint8_t* nullMask = row.data() + row.size() - shape.nullMaskSize();
  for (const ColumnSlot& column : shape.columns) {
    const EncodedField& field = fields[column.number];
    if (field.present) {
      const std::uint16_t bit = column.storedNumber;
      nullMask[bit / 8] = static_cast<std::uint8_t>(nullMask[bit / 8] | (1u << (bit % 8)));
    }
    if (column.fixed) {
      if (column.type != JetType::Boolean) {
        std::copy(field.bytes.begin(), field.bytes.end(),
                  row.begin() + static_cast<std::ptrdiff_t>(kCountSize + column.fixedOffset));
      }
    } else {
      variableColumns[column.variableIndex] = &column;
    }
  }
  if (shape.variableCount == 0) return row;

  std::size_t at = kCountSize + shape.fixedAreaSize;
  for (std::size_t i = 0; i < variableColumns.size(); ++i) {
    variableOffsets[i] = static_cast<std::uint16_t>(at);
    if (variableColumns[i] == nullptr) continue;  // a deleted column's empty slot
    const ByteVector& bytes = fields[variableColumns[i]->number].bytes;
    std::copy(bytes.begin(), bytes.end(), row.begin() + static_cast<std::ptrdiff_t>(at));
    at += bytes.size();
  }
  // Below the null mask: the variable column count, then the offsets
  // counting down from the first column, then the end of the data.
  std::size_t slot = row.size() - shape.nullMaskSize() - kCountSize;
  StoreLe16(&row[slot], shape.variableCount);
  for (const std::uint16_t offset : variableOffsets) {
    slot -= 2;
    StoreLe16(&row[slot], offset);
  }
  slot -= 2;
  StoreLe16(&row[slot], static_cast<std::uint16_t>(at));
  return row;
}

}  // namespace tablift::jet
