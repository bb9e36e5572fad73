#include "translate/complex_table_ddl.h"

#include "mysql/sql_literals.h"
#include "translate/cluster_row_key.h"
#include "translate/complex_table_shape.h"
#include "translate/table_ddl.h"

namespace tablift {

ParentKeyColumn ParentKeyColumnOf(const ColumnRow& column, bool jetRules) {
  std::string type = MySqlColumnType(column, jetRules);
  constexpr std::string_view kAutoIncrement = " AUTO_INCREMENT";
  if (const std::size_t at = type.find(kAutoIncrement); at != std::string::npos)
    type.erase(at, kAutoIncrement.size());
  return {column.columnName, type};
}

std::string ComplexTableDdl(const std::string& parentTable, const jet::ColumnDefinition& column,
                            const std::vector<ParentKeyColumn>& key,
                            const MigrationSettings& settings, std::string* rowKeyColumn) {
  const NameRule rule = settings.nameRule;
  std::string keyList;
  for (const ParentKeyColumn& part : key) {
    if (!keyList.empty()) keyList += ',';
    keyList += QuoteIdentifier(MySqlName(part.name, rule));
  }
  std::string statement =
      "CREATE TABLE " +
      QuoteIdentifier(MySqlName(ComplexTableAccessName(parentTable, column), rule)) + "(\n";
  for (const ParentKeyColumn& part : key) {
    statement +=
        QuoteIdentifier(MySqlName(part.name, rule)) + " " + part.mysqlType + " NOT NULL,\n";
  }
  for (const ComplexValueColumn& value : ComplexValueColumns(column)) {
    statement += QuoteIdentifier(MySqlName(value.name, rule)) + " " +
                 MySqlColumnType(value.row, true) + " NULL,\n";
  }
  // A cluster replicates rows by their primary key, which these tables have
  // not: they get an invisible one of their own.
  if (settings.cluster.replicated()) {
    const std::string name = ClusterRowKeyColumn(statement);
    if (rowKeyColumn != nullptr) *rowKeyColumn = name;
    const std::string rowKey = QuoteIdentifier(name);
    statement += rowKey + " BIGINT UNSIGNED NOT NULL AUTO_INCREMENT INVISIBLE,\nPRIMARY KEY (" +
                 rowKey + "),\n";
  }
  statement += "KEY (" + keyList + "),\n";
  statement += "FOREIGN KEY (" + keyList + ") REFERENCES " +
               QuoteIdentifier(MySqlName(parentTable, rule)) + " (" + keyList +
               ") ON UPDATE CASCADE ON DELETE CASCADE)";
  statement += EngineClause(settings.storageEngine);
  statement += CharsetClause(settings.serverVersion, settings.charset);
  return statement;
}

}  // namespace tablift
