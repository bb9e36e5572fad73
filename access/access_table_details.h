#pragma once

#include <set>
#include <string>
#include <vector>

#include "core/status.h"
#include "data_access/jet/table_definition.h"
#include "data_access/session.h"

namespace tablift {

// What the Jet provider knows of an Access table beyond the OLE DB rowsets:
// each column's details (calculated, hyperlink, rich or compressed text,
// complex kind) and the indexes. A failure with the provider's reason when
// the table cannot be described, and "not an Access file" for a session of
// another provider.
Result<jet::TableDefinition> DescribeAccessTable(Session& session, const std::string& table);

// The complex columns (Attachment, multi-value, version history) of a
// described table, in the table's order.
std::vector<jet::ColumnDefinition> ComplexColumns(const jet::TableDefinition& table);
// The names of an Access table's complex columns; none when the table cannot
// be described or the source is not an Access file.
std::set<std::string> ComplexColumnNames(Session& session, const std::string& table);
// Whether the described table's column `name` is a complex one.
bool IsComplexColumn(const jet::TableDefinition& table, const std::string& name);

// The names of the primary key's columns in key order; none when the table
// has no primary key.
std::vector<std::string> PrimaryKeyColumns(const jet::TableDefinition& table);

// Every value of one complex column, each with the key its parent row holds
// in the column.
Result<std::vector<jet::ComplexValue>> ComplexColumnValues(Session& session,
                                                           const std::string& table,
                                                           const std::string& column);

}  // namespace tablift
