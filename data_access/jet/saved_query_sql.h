#pragma once

#include <string>
#include <vector>

#include "data_access/jet/query_elements.h"
#include "data_access/result_codes.h"

namespace tablift::jet {

class JetDatabase;

// The Access SQL text of a saved query, built from its MSysQueries rows the
// way Access's SQL view shows it: PARAMETERS, TRANSFORM ... PIVOT, SELECT
// with DISTINCT / DISTINCTROW / TOP n [PERCENT], joins nested left to right,
// WHERE, GROUP BY, HAVING, ORDER BY; union parts joined by UNION (UNION ALL
// when the query keeps duplicates); action queries as UPDATE, INSERT INTO,
// DELETE and SELECT ... INTO; data-definition and pass-through queries as the
// text they keep. Access keeps no text of its own for most queries, so this is
// what the project's own executor runs when a query is read by name.
std::string SavedQuerySql(const std::vector<QueryElement>& elements);

// The MSysQueries rows of the saved query `name` (compared without regard to
// case) in their stored order; empty when there is no such query.
HResult ReadQueryElements(JetDatabase& database, const std::string& name,
                          std::vector<QueryElement>& elements);

}  // namespace tablift::jet
