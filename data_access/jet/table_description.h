#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "data_access/jet/property_blocks.h"
#include "data_access/jet/table_definition.h"
#include "data_access/jet/table_layout.h"

namespace tablift::jet {

// The definition of a table as the provider describes it: the checked layout
// of the file's table definition, with the Access properties of the table and
// its columns from `properties` (the table's LvProp blob).
TableDefinition DescribeTable(const std::string& name, const TableLayout& layout,
                              std::span<const std::uint8_t> properties,
                              const TextDecoder& decodeText);

// The Access type of a libmdb type code; types the provider does not know are
// read as Binary.
JetType JetTypeOfStored(std::uint8_t type);

}  // namespace tablift::jet
