#pragma once

#include <cstddef>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/provider.h"

namespace tablift::jet {

// A rowset whose rows are already in the text form: what the catalog rowsets
// hand out (catalogs are small; rows of tables are never listed this way).
class ListedRowset : public ProviderRowset {
 public:
  using Row = std::vector<ColumnValue>;

  ListedRowset(std::vector<ColumnInfo> columns, std::vector<Row> rows)
      : columns_(std::move(columns)), rows_(std::move(rows)) {}

  HResult columnInfo(std::vector<ColumnInfo>& columns) override;
  HResult nextRow() override;
  HResult value(std::size_t ordinal, ColumnValue& value) override;

 private:
  std::vector<ColumnInfo> columns_;
  std::vector<Row> rows_;
  std::size_t next_ = 0;  // the row after the current one
};

}  // namespace tablift::jet
