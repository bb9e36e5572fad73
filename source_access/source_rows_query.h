#pragma once

#include <string>

namespace tablift {

class Workbench;

// The Access SQL that reads the rows of one source table: every column, the
// table's migration condition from the condition file (section `database`,
// key `table`) as its WHERE clause when it has one. Returns "" and fills
// `query`, or the reason (already logged as an "E::" line) why the table
// cannot be read this way: a name Access SQL cannot carry, or a condition that
// would end the SELECT.
std::string SourceRowsQuery(Workbench& window, const std::string& database,
                            const std::string& table, std::string& query);

}  // namespace tablift
