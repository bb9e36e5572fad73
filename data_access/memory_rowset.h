#pragma once

#include <cstddef>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/provider.h"

namespace tablift {

// A rowset whose rows are already at hand, in the text form: what providers
// hand out for catalog rowsets they assemble themselves.
class MemoryRowset : public ProviderRowset {
 public:
  using Row = std::vector<ColumnValue>;

  MemoryRowset(std::vector<ColumnInfo> columns, std::vector<Row> rows)
      : columns_(std::move(columns)), rows_(std::move(rows)) {}

  HResult columnInfo(std::vector<ColumnInfo>& columns) override;
  HResult nextRow() override;
  HResult value(std::size_t ordinal, ColumnValue& value) override;

 private:
  std::vector<ColumnInfo> columns_;
  std::vector<Row> rows_;
  std::size_t next_ = 0;  // the row after the current one
};

}  // namespace tablift
