#pragma once

#include <string>
#include <vector>

#include "data_access/catalog_rowsets.h"
#include "data_access/jet/table_definition.h"
#include "translate/migration_settings.h"

namespace tablift {

// One column of the parent's primary key as the table of a complex column
// repeats it: the Access name and the MySQL type (an AutoNumber is a plain
// INT there: the values come from the parent).
struct ParentKeyColumn {
  std::string name;
  std::string mysqlType;
};

// The parent key column of a catalog row of the parent table.
ParentKeyColumn ParentKeyColumnOf(const ColumnRow& column, bool jetRules);

// The CREATE TABLE statement of the table that holds the values of a complex
// column of `parentTable`: the parent's key columns (NOT NULL), then the
// value columns of its kind (ComplexValueColumns), an index on the key and a
// FOREIGN KEY to the parent's primary key that follows its updates and
// deletions; the engine and character set clauses of the settings. Names are
// spelt by the settings' name rule. On a cluster the table also gets an
// invisible auto-numbered primary key column, whose name goes to
// `rowKeyColumn` when given.
std::string ComplexTableDdl(const std::string& parentTable, const jet::ColumnDefinition& column,
                            const std::vector<ParentKeyColumn>& key,
                            const MigrationSettings& settings, std::string* rowKeyColumn = nullptr);

}  // namespace tablift
