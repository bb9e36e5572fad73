#include "translate/generated_column.h"

#include "mysql/sql_literals.h"
#include "translate/access_expression.h"

namespace tablift {

GeneratedColumnStatements BuildGeneratedColumnStatements(const std::string& table,
                                                         const std::string& column,
                                                         const std::string& mysqlType,
                                                         const std::string& expression,
                                                         NameRule rule) {
  GeneratedColumnStatements statements;
  std::string text = expression;
  // Access keeps the expression as typed; a leading "=" is no part of it.
  if (!text.empty() && text.front() == '=') text.erase(0, 1);
  const TranslatedExpression translated = TranslateAccessExpression(
      text, [rule](const std::string& name) { return MySqlName(name, rule); });
  if (!translated.ok) {
    statements.problem = translated.problem;
    return statements;
  }
  const std::string quotedTable = QuoteIdentifier(MySqlName(table, rule));
  const std::string name = MySqlName(column, rule);
  const std::string stored = QuoteIdentifier(name);
  const std::string added = QuoteIdentifier(name + "__generated");
  const std::string definition = mysqlType + " AS (" + translated.text + ") STORED";
  statements.ok = true;
  statements.add =
      "alter table " + quotedTable + " add column " + added + " " + definition + " after " + stored;
  statements.disagreeing =
      "select count(*) from " + quotedTable + " where not (" + stored + " <=> " + added + ")";
  statements.replace = "alter table " + quotedTable + " drop column " + stored +
                       ", change column " + added + " " + stored + " " + definition;
  statements.dropAdded = "alter table " + quotedTable + " drop column " + added;
  return statements;
}

}  // namespace tablift
