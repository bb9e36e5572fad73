#pragma once

#include <string>
#include <vector>

#include "core/status.h"
#include "data_access/jet/query_elements.h"
#include "translate/access_expression.h"
#include "translate/crosstab_view.h"
#include "translate/view_definition.h"

namespace tablift {

// What a saved query becomes on the MySQL side.
enum class QueryObjectType {
  View,       // a plain select, a crosstab, a union
  Procedure,  // a select with parameters, an action, a data definition
  KeptAside,  // a pass-through query: its SQL is for another server
};

struct QueryObject {
  SavedQueryKind kind = SavedQueryKind::Select;
  QueryObjectType type = QueryObjectType::View;
  // CREATE VIEW or CREATE PROCEDURE; for a pass-through query the comment
  // lines that keep its connection and SQL.
  std::string statement;
  // A crosstab's column headings, and whether they were read from the
  // migrated tables (rather than listed by the query).
  std::vector<std::string> headings;
  bool headingsRead = false;
};

// What the saved query becomes: a select that asks for values (from the
// user or a form) and the actions and data definition are procedures, a
// pass-through query is kept aside, every other query is a view.
QueryObjectType ObjectTypeOf(const std::vector<QueryElement>& elements,
                             const ColumnLister& columnsOf);

// The MySQL object for the saved query whose elements are given, under the
// MySQL name `mysqlName`; names go through `names`. `readHeadings` reads a
// crosstab's column headings from the migrated tables when the query does
// not list them. Fails with the construct that stopped it.
Result<QueryObject> ComposeQueryObject(const std::string& mysqlName,
                                       const std::vector<QueryElement>& elements,
                                       const NameMapping& names, const ColumnLister& columnsOf,
                                       const HeadingReader& readHeadings);

// The comment-only text that keeps a pass-through query: its name, its
// connection (passwords masked) and its SQL, each line commented out.
Result<std::string> PassThroughText(const std::string& queryName,
                                    const std::vector<QueryElement>& elements);

}  // namespace tablift
