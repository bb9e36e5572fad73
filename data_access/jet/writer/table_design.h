#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data_access/jet/jet_value.h"

namespace tablift::jet {

// One column of a table to create, as the Access table designer describes it.
struct ColumnDesign {
  std::string name;
  JetType type = JetType::Text;
  // Text(n): characters (1-255); Binary(n): bytes (1-510). Other types have a
  // size of their own and ignore it.
  std::uint16_t size = 0;
  std::uint8_t precision = 18;  // Decimal: 1-28 digits
  std::uint8_t scale = 0;       // Decimal: digits after the point, at most precision
  bool required = false;        // the "Required" property: Null is refused
  bool autoNumber = false;      // Long only: Null rows get the next number
  std::optional<std::string> defaultValue = std::nullopt;  // the "DefaultValue" property, verbatim
  std::optional<std::string> description = std::nullopt;   // the "Description" property
};

// One column of an index key.
struct IndexColumnDesign {
  std::string column;
  bool ascending = true;
};

// An index of a table. A primary key is also unique and required.
struct IndexDesign {
  std::string name;
  std::vector<IndexColumnDesign> columns;  // 1 to 10, in key order
  bool primaryKey = false;
  bool unique = false;
  bool ignoreNulls = false;  // rows whose key is Null stay out of the index
  bool required = false;     // Null keys are refused
};

// A column deleted in Access's designer since the file was last compacted.
// Access rewrites no rows when a column goes: the column keeps its number,
// its bit in every row's null mask and its place in the rows (a slot among
// the variable-length columns, or its bytes of the fixed area), and the
// table definition keeps counting it among the columns ever made.
struct DeletedColumnDesign {
  std::uint16_t number = 0;      // the column number it held
  JetType type = JetType::Text;  // decides whether its place is fixed or variable
};

// A user table to create: its columns in the order Access shows them.
struct TableDesign {
  std::string name;
  std::vector<ColumnDesign> columns;
  std::optional<std::string> description = std::nullopt;
  std::vector<IndexDesign> indexes = {};
  // The columns take the column numbers these leave, in the order above.
  std::vector<DeletedColumnDesign> deletedColumns = {};
};

}  // namespace tablift::jet
