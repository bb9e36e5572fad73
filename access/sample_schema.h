#pragma once

#include <vector>

#include "data_access/jet/writer/query_design.h"
#include "data_access/jet/writer/relationship_design.h"
#include "data_access/jet/writer/table_design.h"

// The designs of the sample database: tables, relationships and saved queries.
namespace tablift::sample {

std::vector<jet::TableDesign> SampleTables();
std::vector<jet::RelationshipDesign> SampleRelationships();
std::vector<jet::QueryDesign> SampleQueries();

}  // namespace tablift::sample
