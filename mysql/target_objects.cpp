#include "mysql/target_objects.h"

#include <cstdlib>

#include "data_access/ascii_text.h"
#include "data_access/text_query.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

// The backquoted identifier that starts `text` (after blanks), unquoted;
// nothing when `text` starts otherwise. `rest` receives what follows it.
std::optional<std::string> LeadingIdentifier(std::string_view text, std::string_view* rest) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos || text[start] != '`') return std::nullopt;
  std::string name;
  for (std::size_t i = start + 1; i < text.size(); ++i) {
    if (text[i] != '`') {
      name += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '`') {
      name += '`';
      ++i;
      continue;
    }
    if (rest != nullptr) *rest = text.substr(i + 1);
    return name;
  }
  return std::nullopt;
}

// The text after the first `word` (any case) of `text`; nothing without one.
std::optional<std::string_view> After(std::string_view text, std::string_view word) {
  if (word.size() > text.size()) return std::nullopt;
  for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
    if (EqualsIgnoreCase(text.substr(i, word.size()), word)) return text.substr(i + word.size());
  }
  return std::nullopt;
}

bool StartsWithWords(std::string_view text, std::string_view words) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return false;
  text.remove_prefix(start);
  return text.size() >= words.size() && EqualsIgnoreCase(text.substr(0, words.size()), words);
}

bool Counted(Session* session, const std::string& sql) {
  const std::optional<std::string> count = QueryTargetValue(session, sql);
  return count && std::strtoll(count->c_str(), nullptr, 10) > 0;
}

std::string InCurrentDatabase(std::string_view view, std::string_view column,
                              std::string_view name) {
  return "select count(*) from information_schema." + std::string(view) +
         " where table_schema = database() and " + std::string(column) + " = " +
         StringLiteral(name);
}

}  // namespace

std::optional<std::string> QueryTargetValue(Session* session, std::string_view sql) {
  std::optional<std::string> value;
  const PropertySet properties = QueryRowsetProperties();
  RunTextQuery(session, sql, &properties, [&](const TextRow& row) {
    if (!row.isNull(1)) value = std::string(row.text(1));
    return false;
  });
  return value;
}

std::optional<bool> TargetTableExists(Session* session, std::string_view table) {
  const std::optional<std::string> count =
      QueryTargetValue(session, InCurrentDatabase("tables", "table_name", table));
  if (!count) return std::nullopt;
  return std::strtoll(count->c_str(), nullptr, 10) > 0;
}

bool TargetDatabaseExists(Session* session, std::string_view database) {
  return Counted(session, "select count(*) from information_schema.schemata where schema_name = " +
                              StringLiteral(database));
}

bool TargetIndexExists(Session* session, std::string_view table, std::string_view index) {
  return Counted(session, InCurrentDatabase("statistics", "table_name", table) +
                              " and index_name = " + StringLiteral(index));
}

std::vector<KeyColumn> PrimaryKeyColumns(Session* session, std::string_view table) {
  std::vector<KeyColumn> columns;
  const PropertySet properties = QueryRowsetProperties();
  RunTextQuery(session,
               "select k.column_name, c.data_type from information_schema.key_column_usage k "
               "join information_schema.columns c on c.table_schema = k.table_schema and "
               "c.table_name = k.table_name and c.column_name = k.column_name "
               "where k.table_schema = database() and k.constraint_name = 'PRIMARY' and "
               "k.table_name = " +
                   StringLiteral(table) + " order by k.ordinal_position",
               &properties, [&](const TextRow& row) {
                 const std::string type(row.text(2));
                 const bool integral =
                     EqualsIgnoreCase(type, "tinyint") || EqualsIgnoreCase(type, "smallint") ||
                     EqualsIgnoreCase(type, "mediumint") || EqualsIgnoreCase(type, "int") ||
                     EqualsIgnoreCase(type, "bigint");
                 columns.push_back({std::string(row.text(1)), integral});
                 return true;
               });
  return columns;
}

std::optional<ForeignKeyNames> ForeignKeyStatementNames(std::string_view statement) {
  if (!StartsWithWords(statement, "alter table")) return std::nullopt;
  std::string_view rest;
  const auto table = LeadingIdentifier(*After(statement, "alter table"), &rest);
  if (!table) return std::nullopt;
  const auto afterConstraint = After(rest, "ADD CONSTRAINT");
  if (!afterConstraint) return std::nullopt;
  std::string_view afterName;
  const auto constraint = LeadingIdentifier(*afterConstraint, &afterName);
  if (!constraint || !StartsWithWords(afterName, "FOREIGN KEY")) return std::nullopt;
  return ForeignKeyNames{*table, *constraint};
}

bool StatementObjectExists(Session* session, std::string_view statement) {
  std::string_view rest;
  if (StartsWithWords(statement, "alter table")) {
    const auto table = LeadingIdentifier(*After(statement, "alter table"), &rest);
    if (!table) return false;
    if (After(rest, "add PRIMARY KEY")) return !PrimaryKeyColumns(session, *table).empty();
    const auto names = ForeignKeyStatementNames(statement);
    if (!names) return false;
    return Counted(session, InCurrentDatabase("table_constraints", "table_name", names->table) +
                                " and constraint_type = 'FOREIGN KEY' and constraint_name = " +
                                StringLiteral(names->constraint));
  }
  if (StartsWithWords(statement, "create unique index")) {
    const auto index = LeadingIdentifier(*After(statement, "create unique index"), &rest);
    if (!index) return false;
    const auto afterOn = After(rest, " ON ");
    const auto table = afterOn ? LeadingIdentifier(*afterOn, nullptr) : std::nullopt;
    if (!table) return false;
    return TargetIndexExists(session, *table, *index);
  }
  if (StartsWithWords(statement, "create view")) {
    const auto view = LeadingIdentifier(*After(statement, "create view"), nullptr);
    return view && Counted(session, InCurrentDatabase("views", "table_name", *view));
  }
  if (StartsWithWords(statement, "create procedure")) {
    const auto procedure = LeadingIdentifier(*After(statement, "create procedure"), nullptr);
    return procedure && Counted(session,
                                "select count(*) from information_schema.routines where "
                                "routine_schema = database() and routine_name = " +
                                    StringLiteral(*procedure));
  }
  return false;
}

}  // namespace tablift
