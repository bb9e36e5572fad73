#pragma once

#include <set>
#include <string>
#include <vector>

#include "data_access/jet/jet_database.h"
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

}  // namespace tablift::jet
