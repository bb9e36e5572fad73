#pragma once

#include <cstdint>
#include <vector>

#include "data_access/jet/writer/index_plan.h"
#include "data_access/jet/writer/little_endian.h"
#include "data_access/jet/writer/row_shape.h"

namespace tablift::jet {

// Where the usage maps of a Memo or OLE Object column's long-value pages are.
struct LongValueColumnMaps {
  std::uint16_t columnNumber = 0;  // its number in the file (ColumnSlot::storedNumber)
  std::uint32_t usedPagesMap = 0;  // page << 8 | row of the map row
  std::uint32_t pagesWithRoomMap = 0;
};

// What the definition records of a physical index's pages.
struct PhysicalIndexPages {
  std::uint32_t usedPagesMap = 0;
  std::uint32_t rootPage = 0;
  std::uint32_t entryCount = 0;
};

// The table-wide facts a definition records besides its columns.
struct TableDefinitionFields {
  bool systemTable = false;
  std::uint32_t rowCount = 0;
  std::uint32_t lastAutoNumber = 0;  // the last number an AutoNumber column handed out
  std::uint32_t usedPagesMap = 0;    // page << 8 | row of the table's usage map row
  std::uint32_t pagesWithRoomMap = 0;
  std::vector<LongValueColumnMaps> longValueColumns;
  IndexSet indexes;
  std::vector<PhysicalIndexPages> indexPages;  // one per physical index
};

// How many pages the definition of a table with these columns and indexes
// takes.
std::uint32_t TableDefinitionPageCount(const RowShape& shape, const IndexSet& indexes);

// The definition pages (type 0x02) of a table, to be written at `pages`; the
// first is the table's id in MSysObjects. A definition longer than a page
// continues on the next one listed, each continuation page starting with
// its own 8-byte header.
std::vector<ByteVector> BuildTableDefinitionPages(const RowShape& shape,
                                                  const TableDefinitionFields& fields,
                                                  const std::vector<std::uint32_t>& pages);

}  // namespace tablift::jet
