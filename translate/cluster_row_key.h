#pragma once

#include <string>
#include <string_view>

namespace tablift {

// A cluster replicates a table's rows by its primary key: a table without one
// is slow to replicate and may differ between nodes. Such a table gets a key
// column of its own that `SELECT *` does not show (INVISIBLE), numbered by
// the server, so the Access columns stay exactly as they were.

// The key column's name: "tablift_row_id", or with a number appended when the
// CREATE TABLE statement already has a column of that name (compared without
// regard to case, as MySQL compares column names).
std::string ClusterRowKeyColumn(std::string_view createStatement);

// The ALTER TABLE that adds the invisible auto-numbered key column `column`
// to `table` and makes it the primary key.
std::string ClusterRowKeyStatement(std::string_view table, std::string_view column);

}  // namespace tablift
