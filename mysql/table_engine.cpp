#include "mysql/table_engine.h"

#include "data_access/ascii_text.h"
#include "data_access/text_query.h"
#include "mysql/sql_literals.h"

namespace tablift {

std::string TableEngine(Session* session, std::string_view table) {
  std::string engine;
  const PropertySet properties = QueryRowsetProperties();
  RunTextQuery(session,
               "select engine from information_schema.tables where table_schema = database() "
               "and table_name = " +
                   StringLiteral(table),
               &properties, [&](const TextRow& row) {
                 engine = std::string(row.text(1));
                 return false;
               });
  return engine;
}

bool EngineKeepsForeignKeys(std::string_view engine) {
  return engine.empty() || EqualsIgnoreCase(engine, "InnoDB");
}

}  // namespace tablift
