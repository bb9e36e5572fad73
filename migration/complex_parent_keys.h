#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/jet/table_definition.h"
#include "data_access/session.h"

namespace tablift {

class MigrationContext;

// The primary key of one parent row as the tables of its complex columns
// repeat it: as MySQL literals ("'row2'", "7", joined by ",") and in the
// comparable form of a verification (AppendComparable of each value).
struct ParentRow {
  std::string literals;
  std::string comparable;
};

// The parent rows a migration copies, by the key each complex column holds in
// the row: byColumn[c] maps the key of complex column c to its parent row.
struct ParentKeys {
  std::vector<ColumnInfo> keyColumns;  // the primary key's columns, in key order
  std::vector<std::unordered_map<std::int64_t, ParentRow>> byColumn;
};

// Reads the rows of `table` that its migration copies (its migration
// condition included) once for all its complex columns. "" or the reason
// they cannot be read.
std::string ReadParentKeys(MigrationContext& job, Session* session, const std::string& database,
                           const std::string& table, const std::vector<std::string>& key,
                           const std::vector<jet::ColumnDefinition>& complex, ParentKeys& keys);

}  // namespace tablift
