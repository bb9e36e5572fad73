#include "data_access/jet/listed_rowset.h"

namespace tablift::jet {

HResult ListedRowset::columnInfo(std::vector<ColumnInfo>& columns) {
  columns = columns_;
  return S_OK;
}

HResult ListedRowset::nextRow() {
  if (next_ >= rows_.size()) {
    next_ = rows_.size() + 1;
    return DB_S_ENDOFROWSET;
  }
  ++next_;
  return S_OK;
}

HResult ListedRowset::value(std::size_t ordinal, ColumnValue& value) {
  if (next_ == 0 || next_ > rows_.size()) return DB_E_BADROWHANDLE;
  const Row& row = rows_[next_ - 1];
  if (ordinal == 0 || ordinal > row.size()) return DB_E_BADORDINAL;
  value = row[ordinal - 1];
  return S_OK;
}

}  // namespace tablift::jet
