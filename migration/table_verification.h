#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data_access/db_types.h"
#include "data_access/session.h"

namespace tablift {

class MigrationContext;

// How the rows of a migrated table compare with their Access originals.
struct RowComparison {
  std::uint64_t sourceRows = 0;  // rows the migration condition selects
  std::uint64_t targetRows = 0;
  // Rows of either side that have no equal row on the other side.
  std::uint64_t differingRows = 0;
  // Why the table could not be compared (a side could not be read); empty
  // when it was.
  std::string error;

  bool matches() const { return error.empty() && sourceRows == targetRows && differingRows == 0; }
};

// The table of one complex column (its MySQL name) and how its rows compare
// with the column's values.
struct ComplexTableComparison {
  std::string table;
  RowComparison rows;
};

// How a migrated table compares with its Access original, the tables of its
// complex columns included.
struct TableVerification : RowComparison {
  std::vector<ComplexTableComparison> complexTables;

  bool matches() const {
    for (const ComplexTableComparison& complex : complexTables) {
      if (!complex.rows.matches()) return false;
    }
    return RowComparison::matches();
  }
};

// Compares every row of an Access table (narrowed by its migration
// condition) with the MySQL table it was migrated into (named by the
// workbench's name rule) on the target's current database, value for value in ComparableValue's
// form. Rows are matched as a whole whatever their order, so neither side's sort order matters.
// The tables of its complex columns are compared too (VerifyComplexColumns).
TableVerification VerifyTable(MigrationContext& job, Session* sourceSession, Session* targetSession,
                              const std::string& database, const std::string& table);

// A value in the form both sides agree on for its Access column type: numbers
// without the trailing decimal zeros MySQL adds or drops, reals as the number
// they are (a Single at its own precision), no negative zero, Yes/No as 1/0,
// NULL apart from every text. Text, dates, GUIDs and hexadecimal bytes stay as
// they are.
std::string ComparableValue(const ColumnInfo& column, const ColumnValue& value);

}  // namespace tablift
