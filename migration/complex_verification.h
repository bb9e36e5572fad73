#pragma once

#include <string>
#include <vector>

#include "data_access/session.h"
#include "migration/table_verification.h"

namespace tablift {

class MigrationContext;

// Compares the table of every complex column of an Access table with the
// column's values (of the parent rows its migration condition selects), row
// for row: the parent's key and each value (file name, type and bytes of an
// attachment; a multi-value; a version's text and date) in ComparableValue's
// form. None for a table without complex columns.
std::vector<ComplexTableComparison> VerifyComplexColumns(MigrationContext& job,
                                                         Session* sourceSession,
                                                         Session* targetSession,
                                                         const std::string& database,
                                                         const std::string& table);

}  // namespace tablift
