#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/catalog_tree.h"

namespace tablift {

class Workbench;

// A source table's migration condition: the WHERE clause (without the word
// WHERE) that narrows the rows the row transfer copies. Conditions are Access
// SQL, run by the Jet provider's own executor (#1/1/1998#, Like "A*",
// double-quoted strings). They are kept in the condition file
// (Workbench::conditionFile()), one section per source database (the name
// its tree node shows), one key per table; a missing or empty value copies
// the whole table.

// The longest condition the condition dialog takes.
inline constexpr std::size_t kMaxConditionLength = 1024;

// The table (or view) and database a source tree node names, for the
// condition dialog.
struct ConditionSubject {
  std::string database;
  std::string table;
};

// The subject of the source node at `path` (a table or a view below its
// database's folder); empty texts for any other node.
ConditionSubject ConditionSubjectOf(const std::vector<CatalogStep>& path);

// Creates the condition file, empty, when it does not exist. False, with the
// reason in `error`, when it cannot be made.
bool EnsureConditionFile(Workbench& window, std::string* error = nullptr);

// The saved condition of a table, whole; "" when it has none.
std::string LoadCondition(Workbench& window, const std::string& database, const std::string& table);

// The condition as it is tested and saved: line breaks (the dialog's edit
// has several lines) become blanks, since a profile value is one line and
// SQL reads them as blanks.
std::string OneLineCondition(const std::string& condition);

// The count query of the condition test: "select count(*) from [<table>]",
// with " where " and the condition when it is not empty. Returns "" and fills
// `query`, or the reason the condition cannot be used.
std::string ConditionCountQuery(const std::string& table, const std::string& condition,
                                std::string& query);

struct ConditionTest {
  bool passed = false;
  std::string count;  // the rows the condition lets through, when passed
  // "Test successfully!\r\n  <n> Records can be converted." or
  // "Test failed!\r\n  Because:  <reason>".
  std::string result;
  // Where in the condition the error is, counted in characters from 1; 0
  // when the reason names no place.
  std::size_t errorPosition = 0;
};

// The reason a count query failed, with every "position N" (a character of
// `query`, from 1) told as a character of the user's condition instead:
// "position M of the condition". `conditionStart` is the character of the
// query where the condition begins (from 1). The first such M goes to
// `firstPosition` (0 when there is none).
std::string ReasonInCondition(const std::string& reason, std::size_t conditionStart,
                              std::size_t& firstPosition);

// Counts on the source session the rows of `table` that `condition` lets
// through, as the row transfer would read them.
ConditionTest TestCondition(Workbench& window, const std::string& table,
                            const std::string& condition);

// Writes the condition (an empty one too) under [database] table. False, with
// the reason in `error`, when it cannot be written or is longer than
// kMaxConditionLength.
bool SaveCondition(Workbench& window, const std::string& database, const std::string& table,
                   const std::string& condition, std::string* error = nullptr);

// The source tree's tool tip over the node at `path`: over a table "Convert
// All" without a condition and "Condition : " with it; "" over any other
// node.
std::string ConditionToolTip(Workbench& window, const std::vector<CatalogStep>& path);

}  // namespace tablift
