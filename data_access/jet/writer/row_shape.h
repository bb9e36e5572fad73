#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data_access/jet/writer/table_design.h"
#include "data_access/jet/writer/write_status.h"

namespace tablift::jet {

// How one column is kept: its entry in the table definition and its place in
// every row.
struct ColumnSlot {
  std::string name;
  JetType type = JetType::Text;
  std::uint16_t number = 0;  // its place among the table's columns and a row's values
  // Its column number in the file: its bit in the null mask, its key in the
  // index definitions. Past `number` when columns before it were deleted.
  std::uint16_t storedNumber = 0;
  bool fixed = false;             // in the fixed area (Yes/No lives in the null mask)
  bool longValue = false;         // Memo or OLE Object
  std::uint16_t fixedOffset = 0;  // in the fixed area, after the column count
  // Variable columns: position in the row's offset table. Fixed columns: the
  // number of variable columns before them, as the engine records it. Both
  // count deleted columns.
  std::uint16_t variableIndex = 0;
  std::uint16_t length = 0;  // bytes: the fixed size, or the most a variable column holds
  std::uint8_t flags = 0;
  std::uint8_t precision = 0;  // Decimal
  std::uint8_t scale = 0;
  bool required = false;
  bool autoNumber = false;
  std::uint16_t maxCharacters = 0;  // Text(n)
};

// The row layout of one table. Deleted columns have no slot in `columns` but
// keep their places in the rows: their numbers count in `storedColumnCount`,
// their bytes in the fixed area, their offsets in `variableCount`.
struct RowShape {
  std::vector<ColumnSlot> columns;
  std::uint16_t fixedAreaSize = 0;
  std::uint16_t variableCount = 0;
  std::uint16_t storedColumnCount = 0;  // the columns ever made: a row's column count

  std::size_t nullMaskSize() const { return (storedColumnCount + 7) / 8; }
};

// The most columns a Jet 4 table can have; deleted columns count until the
// file is compacted.
constexpr std::size_t kMaxColumnsPerTable = 255;

// Checks a name of a table or column against Access's rules: 1-64
// characters, no leading blank, no control characters, none of . ! ` [ ].
// Returns an empty string when it is acceptable, else the reason.
std::string CheckObjectName(const std::string& name);

// Validates a table design and lays out its columns in the order of their
// numbers, deleted ones included: fixed columns get consecutive offsets,
// variable ones consecutive positions.
WriteStatus ShapeRows(const TableDesign& design, RowShape& shape);

}  // namespace tablift::jet
