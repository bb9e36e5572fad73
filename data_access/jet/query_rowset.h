#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "data_access/jet/jet_table_source.h"
#include "data_access/jet/sql/query_executor.h"
#include "data_access/provider.h"

namespace tablift::jet {

// The rowset of a command. Like the rowsets of the Windows Jet provider, its
// column information begins with the bookmark column (ordinal 0), so the
// result's own columns are ordinals 1 to n of n + 1 entries: callers read
// "column count minus one" columns. Values come in the provider's text form.
class QueryRowset : public ProviderRowset {
 public:
  // `tables` stays alive as long as the rowset reads from it.
  QueryRowset(std::unique_ptr<QueryResult> result, std::shared_ptr<TableCatalog> tables)
      : result_(std::move(result)), tables_(std::move(tables)) {}

  // Fetches the first row ahead, as Jet does when it executes a statement, so
  // that a table that cannot be read fails the execution rather than reading
  // as an empty table. The row is handed out by the first nextRow().
  HResult start();

  HResult columnInfo(std::vector<ColumnInfo>& columns) override;
  HResult nextRow() override;
  HResult value(std::size_t ordinal, ColumnValue& value) override;

 private:
  std::unique_ptr<QueryResult> result_;
  std::shared_ptr<TableCatalog> tables_;
  std::vector<Value> row_;
  std::uint32_t rowNumber_ = 0;  // the current row's bookmark
  bool rowHeld_ = false;
  bool ended_ = false;
  bool firstRowAhead_ = false;
};

// The column information of a query result, the bookmark entry first.
std::vector<ColumnInfo> QueryColumnInfo(const std::vector<ResultColumn>& columns);

}  // namespace tablift::jet
