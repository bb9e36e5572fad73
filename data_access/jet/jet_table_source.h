#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/result_codes.h"

namespace tablift::jet {

// What the query executor knows of a table column.
struct SourceColumn {
  std::string name;
  JetType type = JetType::Text;
  std::size_t size = 0;        // Text(n): characters; Binary(n): bytes
  std::uint8_t precision = 0;  // Decimal
  std::uint8_t scale = 0;      // Decimal
};

// Reads one table's rows forward, one at a time, never the whole table.
class RowCursor {
 public:
  virtual ~RowCursor() = default;
  // S_OK with the next row in `row` (one value per column, in column order),
  // DB_S_ENDOFROWSET after the last row, or a failure (a damaged page, say),
  // with an error object posted. `row` may come holding values of an earlier
  // row, whose memory the cursor may reuse; they are all replaced.
  virtual HResult next(std::vector<Value>& row) = 0;
};

// One table (or system table) of the open database.
class TableSource {
 public:
  virtual ~TableSource() = default;
  virtual const std::string& name() const = 0;
  virtual const std::vector<SourceColumn>& columns() const = 0;
  virtual HResult open(std::unique_ptr<RowCursor>& cursor) = 0;
};

// The tables the executor can name in FROM. Names are looked up without regard
// to case, as Access does.
class TableCatalog {
 public:
  virtual ~TableCatalog() = default;
  // Null when there is no such table.
  virtual std::unique_ptr<TableSource> table(const std::string& name) = 0;
  // The Access SQL text of the saved query of that name; empty when there is
  // none. A FROM entry naming no table runs the saved query as its rows.
  virtual std::optional<std::string> savedQuerySql(const std::string& name) {
    (void)name;
    return std::nullopt;
  }
};

}  // namespace tablift::jet
