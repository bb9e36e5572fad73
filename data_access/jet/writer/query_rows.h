#pragma once

#include <cstdint>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/writer/query_design.h"

namespace tablift::jet {

// The MSysQueries rows of a saved select query, each (ObjectId, Attribute,
// Order, Name1, Name2, Expression, Flag, LvExtra): a start row, the query
// type, parameters, the select flags, tables, output columns, joins, the
// conditions, grouping, ordering and an end row.
std::vector<std::vector<Value>> QueryRows(std::int32_t objectId, const QueryDesign& design);

}  // namespace tablift::jet
