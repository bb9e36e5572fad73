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

// A user table to create: its columns in the order Access shows them.
struct TableDesign {
  std::string name;
  std::vector<ColumnDesign> columns;
  std::optional<std::string> description = std::nullopt;
  std::vector<IndexDesign> indexes = {};
};

}  // namespace tablift::jet
