#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data_access/jet/writer/row_shape.h"
#include "data_access/jet/writer/table_design.h"
#include "data_access/jet/writer/write_status.h"

namespace tablift::jet {

struct IndexKeyColumn {
  std::uint16_t columnNumber = 0;
  bool ascending = true;
};

// An index as the file stores its entries (a "real" index): key columns and
// flags. Several named indexes may share one.
struct PhysicalIndex {
  std::vector<IndexKeyColumn> columns;
  std::uint8_t flags = 0;  // jet4::kIndex* bits

  bool unique() const;
  bool ignoresNulls() const;
  bool required() const;
};

enum class IndexKind : std::uint8_t { Normal = 0, PrimaryKey = 1, ForeignKey = 2 };

// A named index (a "logical" index) as Access lists it.
struct LogicalIndex {
  std::string name;
  std::uint32_t number = 0;
  std::uint32_t physical = 0;
  IndexKind kind = IndexKind::Normal;
  // Foreign keys: which side of the relationship this table is (1 for the
  // referenced table, 2 for the referencing one), the matching index on the
  // other table, and the cascades.
  std::uint8_t relatedSide = 0;
  std::int32_t relatedIndexNumber = -1;
  std::uint32_t relatedTablePage = 0;
  bool cascadeUpdates = false;
  bool cascadeDeletes = false;
};

struct IndexSet {
  std::vector<PhysicalIndex> physical;
  std::vector<LogicalIndex> logical;  // in the order they were made
};

// Validates the indexes of a design and gives each its own physical index,
// numbered like the named indexes (readers pair them by number).
WriteStatus PlanIndexes(const TableDesign& design, const RowShape& shape, IndexSet& indexes);

// The physical index a foreign key index uses: one with exactly these key
// columns when there is one, else a new one.
std::uint32_t PhysicalIndexFor(IndexSet& indexes, const std::vector<IndexKeyColumn>& columns);

}  // namespace tablift::jet
