#pragma once

#include <string>
#include <vector>

#include "core/status.h"
#include "data_access/jet/query_elements.h"
#include "translate/access_expression.h"

namespace tablift {

// The Access SQL of a union query: its parts (kInputTable elements named
// "X7YZ_____<n>", each holding one or more SELECTs) in their order, joined
// by UNION (UNION ALL when the query's options lack DISTINCT), and the
// query's ORDER BY. Fails when the query has no parts or asks for
// parameters.
Result<std::string> UnionQueryText(const std::vector<QueryElement>& elements);

// The CREATE VIEW of a union query, its text translated by
// TranslateAccessSelect; fails with the translation's reason.
Result<std::string> ComposeUnionView(const std::string& viewName,
                                     const std::vector<QueryElement>& elements,
                                     const NameMapping& names);

}  // namespace tablift
