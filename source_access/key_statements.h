#pragma once

#include <string>
#include <string_view>

#include "source_access/mysql_names.h"

namespace tablift {

class Session;
class Workbench;

// The statement that gives the MySQL table the Access table's primary key,
// followed by "\n"; "" when the table has none; "FALSE" when a session is
// absent. The key is read from the file "<databaseName>.mdb" (with the
// source's database password) by an index reader of its own.
std::string BuildPrimaryKeyStatement(Workbench& window, Session* sourceSession,
                                     Session* targetSession, std::string databaseName,
                                     std::string tableName);

// CREATE UNIQUE INDEX statements for the Access table's unique indexes that
// are neither its primary key nor back a relationship, separated by ";\n"
// and ended by "\n"; "" when there are none; "FALSE" when a session is
// absent.
std::string BuildUniqueIndexStatement(Workbench& window, Session* sourceSession,
                                      Session* targetSession, std::string databaseName,
                                      std::string tableName);

// The statements above, built from an index reader's answer, every name
// spelt by `rule`.
std::string PrimaryKeyStatementFromAnswer(std::string_view tableName, std::string_view answer,
                                          NameRule rule = NameRule::Keep);
std::string UniqueIndexStatementsFromAnswer(std::string_view tableName, std::string_view answer,
                                            NameRule rule = NameRule::Keep);

}  // namespace tablift
