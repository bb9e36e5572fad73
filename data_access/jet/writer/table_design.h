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

// A user table to create: its columns in the order Access shows them.
struct TableDesign {
  std::string name;
  std::vector<ColumnDesign> columns;
  std::optional<std::string> description = std::nullopt;
};

}  // namespace tablift::jet
