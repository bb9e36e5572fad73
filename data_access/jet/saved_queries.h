#pragma once

#include <set>
#include <string>
#include <vector>

#include "data_access/jet/jet_database.h"
#include "data_access/jet/table_definition.h"
#include "data_access/result_codes.h"

namespace tablift::jet {

// The saved queries that Jet reports as views: select queries without
// parameters. A query's kind is the Flag of its MSysQueries row with
// Attribute 1 (1 select, 2 make-table, 3 append, 4 update, 5 delete,
// 6 crosstab, 7 data definition, 8 pass-through, 9 union); each parameter is
// a row with Attribute 2. Access's own hidden queries ("~sq_...") are left
// out. Fails when MSysQueries cannot be read.
HResult FindViews(JetDatabase& database, const std::vector<CatalogObject>& objects,
                  std::set<std::string>& views);

}  // namespace tablift::jet
