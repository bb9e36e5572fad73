#pragma once

#include <string>
#include <string_view>

#include "core/status.h"
#include "translate/migration_settings.h"
#include "translate/mysql_names.h"

namespace tablift {

class Session;
class JobContext;

// The statement that gives the MySQL table the Access table's primary key,
// followed by "\n"; "" when the table has none; a failure when a session is
// absent. The key is read from the settings' source file (with the source's
// database password) by an index reader of its own.
Result<std::string> BuildPrimaryKeyStatement(JobContext& job, Session* sourceSession,
                                             Session* targetSession,
                                             const MigrationSettings& settings,
                                             std::string databaseName, std::string tableName);

// CREATE UNIQUE INDEX statements for the Access table's unique indexes that
// are neither its primary key nor back a relationship, separated by ";\n"
// and ended by "\n"; "" when there are none; a failure when a session is
// absent.
Result<std::string> BuildUniqueIndexStatement(JobContext& job, Session* sourceSession,
                                              Session* targetSession,
                                              const MigrationSettings& settings,
                                              std::string databaseName, std::string tableName);

// The statements above, built from an index reader's answer, every name
// spelt by `rule`.
std::string PrimaryKeyStatementFromAnswer(std::string_view tableName, std::string_view answer,
                                          NameRule rule = NameRule::Keep);
std::string UniqueIndexStatementsFromAnswer(std::string_view tableName, std::string_view answer,
                                            NameRule rule = NameRule::Keep);

}  // namespace tablift
