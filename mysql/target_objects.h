#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/session.h"

namespace tablift {

// What the target's current database already holds, read from the server
// itself (information_schema), so that a migration taken up again after a
// crash of this program trusts no record of its own.

// The first value of the first row of `sql`; nothing when the statement
// fails, gives no row or the value is NULL.
std::optional<std::string> QueryTargetValue(Session* session, std::string_view sql);

// Whether the current database has a table (or view) named `table`; nothing
// when the server cannot tell.
std::optional<bool> TargetTableExists(Session* session, std::string_view table);

// Whether the server has a database named `database`.
bool TargetDatabaseExists(Session* session, std::string_view database);

// Whether `table` of the current database has an index named `index`.
bool TargetIndexExists(Session* session, std::string_view table, std::string_view index);

// One column of a table's primary key, in key order.
struct KeyColumn {
  std::string name;
  bool integral = false;  // an integer type: compared the same way on both sides
};

// The primary key columns of `table` of the current database; empty when it
// has none.
std::vector<KeyColumn> PrimaryKeyColumns(Session* session, std::string_view table);

// Whether the object that one of the migration's creating statements makes
// is there already: the primary key of "alter table `t` add PRIMARY KEY",
// the index of "CREATE UNIQUE INDEX `i` ON `t`", the constraint of
// "Alter Table `t` ADD CONSTRAINT `c` FOREIGN KEY", the view of
// "CREATE VIEW `v`", the procedure of "CREATE PROCEDURE `p`". False for any
// other statement, and when the server cannot tell.
bool StatementObjectExists(Session* session, std::string_view statement);

// The table and constraint an "Alter Table `t` ADD CONSTRAINT `c` FOREIGN KEY"
// statement names; nothing for any other statement.
struct ForeignKeyNames {
  std::string table;
  std::string constraint;
};
std::optional<ForeignKeyNames> ForeignKeyStatementNames(std::string_view statement);

}  // namespace tablift
