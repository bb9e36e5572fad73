#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data_access/catalog_rowsets.h"
#include "data_access/session.h"

namespace tablift {

// The catalog rows of one table's columns, ordered by ORDINAL_POSITION (rows
// of equal position keep the provider's order). False when the column catalog
// cannot be opened, with the provider's description of the failure in
// `problem` when one is given; a row that cannot be read ends the list.
//
// Ordering by position rather than filling a fixed table of slots means that
// positions above 99, gaps in the numbering or a missing first position still
// give every column once, in the table's own order.
bool ReadTableColumns(Session& session, const std::string& tableName,
                      std::vector<ColumnRow>& columns, std::string* problem = nullptr);

// The type text of one column from its COLUMN_FLAGS, DATA_TYPE and
// CHARACTER_MAXIMUM_LENGTH, as the Jet provider reports columns. The lengthed
// forms "VARBINARY(n) ", "CHAR(n) " and "VARCHAR(n) " end in a blank of their
// own; a length of 0 stands for 512. "USERDEFINE" for what no rule names.
std::string JetTypeText(std::uint32_t flags, std::uint16_t type, std::uint32_t maxLength);

// The same for the ODBC provider's reports; no name ends in a blank, a length
// of 0 is written "(512)".
std::string OdbcTypeText(std::uint32_t flags, std::uint16_t type, std::uint32_t maxLength);

}  // namespace tablift
