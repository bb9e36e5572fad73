#include "target_mysql/use_database.h"

#include "Converters/execute_statement.h"
#include "Converters/workbench.h"
#include "target_mysql/catalog_statements.h"
#include "target_mysql/sql_literals.h"

namespace tablift {

bool UseDatabase(Workbench& window, std::string_view name, int side, std::string* failure) {
  const std::string database = StripDatabasePath(name);
  const std::string statement = "use " + QuoteIdentifier(database) + ";";
  if (side != kSourceSide && side != kTargetSide) return true;
  Connection& connection =
      side == kSourceSide ? window.sourceConnection() : window.targetConnection();
  connection.profile.catalogName = database;
  return ExecuteStatement(window, connection.openSession(), statement, 0, failure);
}

}  // namespace tablift
