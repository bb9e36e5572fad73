#pragma once

#include <string>

#include "data_access/session.h"
#include "translate/mysql_names.h"

namespace tablift {

class JobContext;
class MigrationContext;

// Makes one migrated column, which holds the values Access stored for a
// calculated field, a column MySQL computes from the field's expression
// (BuildGeneratedColumnStatements), but only when the expression translates,
// the server takes it and it gives every row the value Access stored. Else
// the stored values stay, and a log line says why. True when the column is
// now computed.
bool MakeGeneratedColumn(JobContext& job, Session* target, const std::string& table,
                         const std::string& column, const std::string& mysqlType,
                         const std::string& expression, NameRule rule);

// The same for every calculated field of an Access table whose rows have
// arrived. Never fails the table: the stored values are the field's values.
void MigrateCalculatedColumns(MigrationContext& job, Session* sourceSession,
                              const std::string& table);

}  // namespace tablift
