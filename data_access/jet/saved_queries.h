#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "data_access/jet/jet_database.h"
#include "data_access/jet/query_elements.h"
#include "data_access/jet/table_definition.h"
#include "data_access/result_codes.h"

namespace tablift::jet {

// The saved queries the catalog lists as views: every saved query that has a
// kind (the Flag of its MSysQueries row with Attribute 1, a SavedQueryKind),
// whatever that kind and whether it asks for parameters, so that the
// migration sees them all and decides for each what it becomes on the MySQL
// side. Access's own hidden queries ("~sq_...") are left out. Fails when
// MSysQueries cannot be read.
HResult FindViews(JetDatabase& database, const std::vector<CatalogObject>& objects,
                  std::set<std::string>& views);

// Calls `visit` with every row of MSysQueries in its stored order: the id of
// the saved query it belongs to (MSysObjects.Id) and the element it holds.
// A file without MSysQueries, or whose MSysQueries lacks a column, has none.
HResult ForEachQueryElement(JetDatabase& database,
                            const std::function<void(std::int64_t, QueryElement)>& visit);

// The MSysQueries rows of the saved query `name` (compared without regard to
// case) in their stored order; empty when there is no such query.
HResult ReadQueryElements(JetDatabase& database, const std::string& name,
                          std::vector<QueryElement>& elements);

}  // namespace tablift::jet
