#pragma once

#include <filesystem>
#include <optional>
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
// `narrowing`, when not empty, is a further condition every row must meet
// as well (a resumed table's rows above a key).
std::string ConditionedQuery(std::string_view selectList, const std::string& table,
                             std::string_view condition, std::string& query,
                             std::string_view narrowing = {});

// The Access SQL that reads the rows of one source table: every column, the
// table's migration condition from `conditionFile` (section `database`,
// key `table`) as its WHERE clause when it has one. Returns "" and fills
// `query`, or the reason (already logged as an "E::" line) why the table
// cannot be read this way: a name Access SQL cannot carry, or a condition that
// would end the SELECT.
std::string SourceRowsQuery(JobContext& job, const std::filesystem::path& conditionFile,
                            const std::string& database, const std::string& table,
                            std::string& query, std::string_view narrowing = {});

// The rows of a resumed table still to come: "[<column>] > <value>" for a
// narrowing, and " order by [<column>]" to read them in key order, so that
// whatever arrived of them before a crash is again a run of the lowest keys.
// `value` is an integer literal as the target wrote it. Nothing when the
// column's name cannot be written in Access SQL.
std::optional<std::string> KeyAboveCondition(const std::string& column, std::string_view value);
std::optional<std::string> KeyOrder(const std::string& column);

}  // namespace tablift
