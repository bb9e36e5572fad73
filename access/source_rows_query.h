#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tablift {

class JobContext;

// "<selectList> from [<table>]", with " where " and `condition` when the
// condition is not empty: the one way a migration condition narrows a read of
// a source table, shared by the row transfer and the condition test so that
// the test counts exactly the rows the transfer copies. Returns "" and fills
// `query`, or the reason the table cannot be read this way: a name Access SQL
// cannot carry, or a condition that would end the SELECT.
std::string ConditionedQuery(std::string_view selectList, const std::string& table,
                             std::string_view condition, std::string& query);

// The Access SQL that reads the rows of one source table: every column, the
// table's migration condition from `conditionFile` (section `database`,
// key `table`) as its WHERE clause when it has one. Returns "" and fills
// `query`, or the reason (already logged as an "E::" line) why the table
// cannot be read this way: a name Access SQL cannot carry, or a condition that
// would end the SELECT.
std::string SourceRowsQuery(JobContext& job, const std::filesystem::path& conditionFile,
                            const std::string& database, const std::string& table,
                            std::string& query);

}  // namespace tablift
