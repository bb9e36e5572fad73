#pragma once

#include "data_access/jet/writer/relationship_design.h"
#include "data_access/jet/writer/table_writer.h"
#include "data_access/jet/writer/write_status.h"

namespace tablift::jet {

// Checks a relationship against its two tables and, when it enforces
// integrity, adds the pair of foreign key indexes that point at each other:
// on the referencing table over its columns, on the referenced table over
// the unique index the columns refer to. `oneToOne` tells whether the
// referencing columns are unique themselves.
WriteStatus LinkTables(const RelationshipDesign& design, TableWriter& referencing,
                       TableWriter& referenced, bool& oneToOne);

}  // namespace tablift::jet
