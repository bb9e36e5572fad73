#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The table definition (TDEF) of a table as the file stores it, read and
// checked by us before libmdb is let near it: every count, offset and page
// pointer that libmdb would follow is checked against the bytes and pages that
// exist. It also gives what libmdb does not keep: the order in which Access
// shows the columns, and the indexes that back relationships.
namespace tablift::jet {

class LibmdbDatabase;

struct LayoutColumn {
  std::uint8_t type = 0;  // libmdb's MDB_* type code
  // col_num: the column's place in the row. Deleted columns leave gaps.
  std::uint16_t number = 0;
  std::uint16_t size = 0;  // bytes
  // 0x01 fixed length, 0x04 AutoNumber, 0x40 GUID AutoNumber, 0x80 Hyperlink
  std::uint8_t flags = 0;
  std::uint8_t extraFlags = 0;  // ACE: 0xC0 a calculated column
  std::uint32_t complexId = 0;  // ACE complex columns: MSysComplexColumns' ComplexID
  std::uint8_t precision = 0;
  std::uint8_t scale = 0;
  std::string name;
};

struct LayoutIndexKey {
  std::uint16_t column = 0;  // a LayoutColumn::number
  bool ascending = true;
};

// A physical index: the keys and the uniqueness of an index B-tree. Several
// logical indexes may share one.
struct LayoutRealIndex {
  std::vector<LayoutIndexKey> keys;
  std::uint8_t flags = 0;  // 0x01 unique, 0x02 ignore nulls, 0x08 required
};

// An index as Access names it.
struct LayoutLogicalIndex {
  std::string name;
  std::uint32_t realIndex = 0;    // into TableLayout::realIndexes
  std::uint8_t kind = 0;          // 1 primary key, 2 relationship, 0 other
  std::uint8_t relationSide = 0;  // for kind 2: 1 referenced table, 2 referencing table
  std::uint32_t relatedTablePage = 0;
};

struct TableLayout {
  std::uint32_t rowCount = 0;
  // Every variable-length column the table ever had: deleted columns keep
  // their place in the rows until the file is compacted.
  std::uint16_t variableColumns = 0;
  std::vector<LayoutColumn> columns;  // in the order Access shows them
  std::vector<LayoutRealIndex> realIndexes;
  std::vector<LayoutLogicalIndex> logicalIndexes;
};

// Reads the definition starting at `page`. False with `problem` set when the
// definition is damaged; libmdb must then not read the table.
bool ReadTableLayout(LibmdbDatabase& database, std::uint32_t page, TableLayout& layout,
                     std::string& problem);

}  // namespace tablift::jet
