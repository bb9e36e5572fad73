#pragma once

#include <string>
#include <vector>

namespace tablift::jet {

// A relationship between two tables: rows of `table` refer through
// `columns` to the row of `referencedTable` whose `referencedColumns` hold
// the same values.
struct RelationshipDesign {
  std::string name;  // Access names them after both tables: referenced, then referencing
  std::string table;
  std::vector<std::string> columns;
  std::string referencedTable;
  std::vector<std::string> referencedColumns;
  bool enforced = true;  // referential integrity, with an index on each side
  bool cascadeUpdates = false;
  bool cascadeDeletes = false;
};

}  // namespace tablift::jet
