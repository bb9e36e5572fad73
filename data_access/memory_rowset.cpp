#include "data_access/memory_rowset.h"

namespace tablift {

HResult MemoryRowset::columnInfo(std::vector<ColumnInfo>& columns) {
  columns = columns_;
  return S_OK;
}

HResult MemoryRowset::nextRow() {
  if (next_ >= rows_.size()) return DB_S_ENDOFROWSET;
  ++next_;
  return S_OK;
}

HResult MemoryRowset::value(std::size_t ordinal, ColumnValue& value) {
  if (next_ == 0) return DB_E_BADROWHANDLE;
  if (ordinal == 0 || ordinal > columns_.size()) return DB_E_BADORDINAL;
  const Row& row = rows_[next_ - 1];
  value = ordinal <= row.size() ? row[ordinal - 1] : ColumnValue{};
  return S_OK;
}

}  // namespace tablift
