#pragma once

#include <string>

#include "data_access/session.h"

namespace tablift {

class MigrationContext;

// Moves the values of every complex column (Attachment, multi-value, version
// history) of an Access table whose rows have just arrived: each column gets
// a table of its own beside the parent (ComplexTableDdl), holding the
// parent's primary key and one row per value: attachments with their file
// name, type and bytes, multi-values one row each, a version history one row
// per version with its date. Only the values of parent rows the migration
// copied (its condition included) are moved.
//
// True when the table has no complex column or every value arrived; false,
// with an "E::" line saying why, when a table could not be made, values were
// refused or could not be read, or the parent has no primary key to tie them
// to.
bool MigrateComplexColumns(MigrationContext& job, Session* sourceSession,
                           const std::string& database, const std::string& table);

}  // namespace tablift
