#pragma once

#include <cstdint>
#include <vector>

#include "data_access/jet/writer/little_endian.h"
#include "data_access/jet/writer/row_shape.h"

namespace tablift::jet {

// Where the usage maps of a Memo or OLE Object column's long-value pages are.
struct LongValueColumnMaps {
  std::uint16_t columnNumber = 0;
  std::uint32_t usedPagesMap = 0;  // page << 8 | row of the map row
  std::uint32_t pagesWithRoomMap = 0;
};

// The table-wide facts a definition records besides its columns.
struct TableDefinitionFields {
  bool systemTable = false;
  std::uint32_t rowCount = 0;
  std::uint32_t lastAutoNumber = 0;  // the last number an AutoNumber column handed out
  std::uint32_t usedPagesMap = 0;    // page << 8 | row of the table's usage map row
  std::uint32_t pagesWithRoomMap = 0;
  std::vector<LongValueColumnMaps> longValueColumns;
};

// How many pages the definition of a table with this shape takes.
std::uint32_t TableDefinitionPageCount(const RowShape& shape);

// The definition pages (type 0x02) of a table, to be written at consecutive
// pages from `firstPage`, which is also the table's id in MSysObjects. A
// definition longer than a page continues on the next, each continuation
// page starting with its own 8-byte header.
std::vector<ByteVector> BuildTableDefinitionPages(const RowShape& shape,
                                                  const TableDefinitionFields& fields,
                                                  std::uint32_t firstPage);

}  // namespace tablift::jet
