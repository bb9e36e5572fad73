#include "tests/keys_views/copied_tables.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "data_access/catalog_rowsets.h"
#include "data_access/text_query.h"
#include "mysql/sql_literals.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

std::string MySqlType(const ColumnRow& column) {
  switch (column.dataType) {
    case DBTYPE_BOOL:
      return "TINYINT";
    case DBTYPE_UI1:
      return "TINYINT UNSIGNED";
    case DBTYPE_I2:
      return "SMALLINT";
    case DBTYPE_I4:
      return "INT";
    case DBTYPE_R4:
      return "FLOAT";
    case DBTYPE_R8:
      return "DOUBLE";
    case DBTYPE_CY:
      return "DECIMAL(19,4)";
    case DBTYPE_DATE:
      return "DATETIME";
    case DBTYPE_GUID:
      return "CHAR(38)";
    case DBTYPE_NUMERIC:
      return "DECIMAL(" + std::to_string(column.numericPrecision) + "," +
             std::to_string(column.numericScale) + ")";
    case DBTYPE_BYTES:
      return column.characterMaximumLength > 0
                 ? "VARBINARY(" + std::to_string(column.characterMaximumLength) + ")"
                 : "LONGBLOB";
    default:
      return column.characterMaximumLength > 0
                 ? "VARCHAR(" + std::to_string(column.characterMaximumLength) + ")"
                 : "LONGTEXT";
  }
}

std::string Literal(const ColumnRow& column, const ColumnValue& value) {
  if (value.null) return "NULL";
  if (column.dataType == DBTYPE_BOOL) return value.text == "True" ? "1" : "0";
  if (column.dataType == DBTYPE_BYTES) return HexLiteral(value.text);
  return StringLiteral(value.text);
}

}  // namespace

void ExecuteEachOrFail(Workbench& window, const std::string& statements) {
  std::size_t start = 0;
  while (start <= statements.size()) {
    std::size_t end = statements.find(';', start);
    if (end == std::string::npos) end = statements.size();
    const std::string piece = statements.substr(start, end - start);
    if (piece.find_first_not_of(" \t\r\n") != std::string::npos) ExecuteOrFail(window, piece);
    start = end + 1;
  }
}

void CopyTables(Workbench& window, const std::vector<std::string>& tables) {
  Session* source = window.sourceSession();
  ASSERT_NE(source, nullptr);
  for (const std::string& table : tables) {
    std::vector<ColumnRow> columns;
    ColumnsRowset rowset;
    ASSERT_EQ(rowset.open(*source, {}, {}, table), S_OK) << table;
    while (rowset.moveNext() == S_OK)
      columns.push_back(rowset.row());
    ASSERT_FALSE(columns.empty()) << table;
    std::sort(columns.begin(), columns.end(), [](const ColumnRow& a, const ColumnRow& b) {
      return a.ordinalPosition < b.ordinalPosition;
    });
    std::string create = "CREATE TABLE " + QuoteIdentifier(table) + " (";
    std::string select = "select ";
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) {
        create += ", ";
        select += ", ";
      }
      create += QuoteIdentifier(columns[i].columnName) + " " + MySqlType(columns[i]);
      select += "[" + columns[i].columnName + "]";
    }
    create += ") ENGINE=InnoDB DEFAULT CHARSET=utf8mb4";
    select += " from [" + table + "]";
    ExecuteOrFail(window, create);

    const std::string insert = "INSERT INTO " + QuoteIdentifier(table) + " VALUES ";
    std::string values;
    int pending = 0;
    const PropertySet properties = StatementRowsetProperties();
    const std::string outcome = RunTextQuery(source, select, &properties, [&](const TextRow& row) {
      std::string tuple = "(";
      for (std::size_t i = 0; i < columns.size(); ++i) {
        ColumnValue value;
        row.fullValue(i + 1, value);
        if (i > 0) tuple += ", ";
        tuple += Literal(columns[i], value);
      }
      values += (pending++ > 0 ? ", " : "") + tuple + ")";
      if (pending == 200) {
        ExecuteOrFail(window, insert + values);
        values.clear();
        pending = 0;
      }
      return true;
    });
    ASSERT_EQ(outcome, "") << select;
    if (pending > 0) ExecuteOrFail(window, insert + values);
  }
}

}  // namespace tablift::test
