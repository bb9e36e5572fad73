#pragma once

#include <string>
#include <vector>

#include "core/status.h"
#include "data_access/jet/query_elements.h"
#include "translate/access_expression.h"
#include "translate/view_definition.h"

namespace tablift {

// The CREATE PROCEDURE statement that does what the saved query does when
// it is run in Access: a select query with parameters returns its rows; an
// update query updates (joins allowed), an append query inserts into its
// target table the rows of its select, a delete query deletes, and a
// make-table query replaces its target table by the rows of its select.
// The query's parameters, form references included, are the procedure's IN
// parameters (see ResolveParameters). `procedureName` is the MySQL name;
// names go through `names`. Fails with the reason the query cannot be such a
// procedure.
Result<std::string> ComposeQueryProcedure(const std::string& procedureName,
                                          const std::vector<QueryElement>& elements,
                                          const NameMapping& names,
                                          const ColumnLister& columnsOf = {});

}  // namespace tablift
