#include "engine/use_database.h"

#include "engine/workbench.h"
#include "mysql/catalog_statements.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"

namespace tablift {

bool UseDatabase(Workbench& window, std::string_view name, int side, std::string* failure) {
  const std::string database = StripDatabasePath(name);
  const std::string statement = "use " + QuoteIdentifier(database) + ";";
  if (side != kSourceSide && side != kTargetSide) return true;
  Connection& connection =
      side == kSourceSide ? window.sourceConnection() : window.targetConnection();
  connection.profile.catalogName = database;
  return Accepted(ExecuteStatement(window, connection.openSession(), statement), failure);
}

}  // namespace tablift
