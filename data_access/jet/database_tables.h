#pragma once

#include <memory>
#include <optional>
#include <string>

#include "data_access/jet/jet_database.h"
#include "data_access/jet/jet_table_source.h"

namespace tablift::jet {

// The tables of an open database as the query executor reads them: every
// table including the MSys* system tables, rows streamed in batches from the
// reader process.
class DatabaseTables : public TableCatalog {
 public:
  explicit DatabaseTables(std::shared_ptr<JetDatabase> database) : database_(std::move(database)) {}

  // Null (with an error object) when there is no such table. A table whose
  // definition cannot be read is returned with no columns; opening it fails
  // with the reason, so that the query reports the damage rather than an
  // unknown name.
  std::unique_ptr<TableSource> table(const std::string& name) override;
  // The Access SQL text of a saved query of the file, written out from its
  // MSysQueries rows; nothing when there is no such query or its rows cannot
  // be read.
  std::optional<std::string> savedQuerySql(const std::string& name) override;

 private:
  std::shared_ptr<JetDatabase> database_;
};

// How many rows one round trip to the reader process fetches.
inline constexpr std::uint32_t kRowsPerFetch = 256;

}  // namespace tablift::jet
