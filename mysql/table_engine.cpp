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

std::vector<bool> TableDateTimeColumns(Session* session, std::string_view table) {
  std::vector<bool> dateTime;
  const PropertySet properties = QueryRowsetProperties();
  std::string fetchFailure;
  const std::string failure = RunTextQuery(
      session,
      "select data_type from information_schema.columns where table_schema = database() "
      "and table_name = " +
          StringLiteral(table) + " order by ordinal_position",
      &properties,
      [&](const TextRow& row) {
        dateTime.push_back(EqualsIgnoreCase(row.text(1), "datetime"));
        return true;
      },
      {}, &fetchFailure);
  if (!failure.empty() || !fetchFailure.empty()) dateTime.clear();
  return dateTime;
}

bool EngineKeepsForeignKeys(std::string_view engine) {
  return engine.empty() || EqualsIgnoreCase(engine, "InnoDB");
}

}  // namespace tablift
