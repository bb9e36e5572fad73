#include "data_access/odbc/odbc_catalog.h"

#include <sqlext.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <set>

#include "data_access/ascii_text.h"
#include "data_access/memory_rowset.h"
#include "data_access/odbc/odbc_diagnostics.h"
#include "data_access/odbc/odbc_rowset.h"
#include "data_access/odbc/odbc_types.h"
#include "data_access/schema_rowsets.h"

namespace tablift::odbc {
namespace {

using Row = MemoryRowset::Row;

// Catalog function arguments in the connection's character set; a null
// argument stands for "no restriction".
class Arguments {
 public:
  explicit Arguments(const OdbcConnection& connection) : encoding_(connection.encoding()) {}

  // False (with an error object) when the text cannot be sent.
  bool add(const std::string& text, bool pattern, const std::string& escape) {
    std::string encoded;
    std::string error;
    if (!encoding_.encode(pattern ? Escape(text, escape) : text, encoded, error)) {
      PostProviderError(error);
      return false;
    }
    values_.push_back(std::move(encoded));
    return true;
  }
  void addNull() { values_.push_back(std::nullopt); }
  void addLiteral(std::string text) { values_.push_back(std::move(text)); }

  SQLCHAR* pointer(std::size_t i) {
    return values_[i] ? reinterpret_cast<SQLCHAR*>(values_[i]->data()) : nullptr;
  }
  SQLSMALLINT length(std::size_t i) const {
    return values_[i] ? static_cast<SQLSMALLINT>(values_[i]->size()) : 0;
  }

 private:
  static std::string Escape(const std::string& text, const std::string& escape) {
    if (escape.empty()) return text;
    std::string escaped;
    for (const char c : text) {
      if (c == '_' || c == '%' || escape.find(c) != std::string::npos) escaped += escape;
      escaped += c;
    }
    return escaped;
  }

  TextEncoding encoding_;
  std::vector<std::optional<std::string>> values_;
};

// Runs one catalog function on a new statement and reads all its rows.
HResult ReadCatalog(const std::shared_ptr<OdbcConnection>& connection,
                    const std::function<SQLRETURN(SQLHSTMT)>& call, std::vector<Row>& rows) {
  rows.clear();
  StatementHandle statement(connection->newStatement());
  if (statement.get() == SQL_NULL_HSTMT) return E_FAIL;
  const SQLRETURN rc = call(statement.get());
  if (!SQL_SUCCEEDED(rc)) {
    connection->postStatementError(statement.get(), "The catalog function failed");
    return E_FAIL;
  }
  OdbcRowset rowset(connection, std::move(statement));
  std::vector<ColumnInfo> columns;
  HResult result = rowset.columnInfo(columns);
  if (Failed(result)) return result;
  while ((result = rowset.nextRow()) == S_OK) {
    Row row(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i)
      rowset.value(i + 1, row[i]);
    rows.push_back(std::move(row));
  }
  return Failed(result) ? result : S_OK;
}

const std::string& Restriction(const std::vector<std::string>& restrictions, std::size_t index) {
  static const std::string kNone;
  return index < restrictions.size() ? restrictions[index] : kNone;
}

// The value of a column (counted from 1) of an ODBC catalog row.
ColumnValue Field(const Row& row, std::size_t ordinal) {
  return ordinal <= row.size() ? row[ordinal - 1] : ColumnValue{};
}

std::optional<long long> Number(const Row& row, std::size_t ordinal) {
  const ColumnValue value = Field(row, ordinal);
  if (value.null || value.text.empty()) return std::nullopt;
  try {
    return std::stoll(value.text);
  } catch (...) {
    return std::nullopt;
  }
}

ColumnValue Text(std::string text) {
  return ColumnValue{std::move(text), false};
}
ColumnValue Flag(bool value) {
  return Text(value ? kTrueText : kFalseText);
}
ColumnValue NumberText(long long value) {
  return Text(std::to_string(value));
}

bool Matches(const ColumnValue& value, const std::string& restriction) {
  return restriction.empty() || (!value.null && value.text == restriction);
}

bool ContainsUnsigned(std::string_view text) {
  return ToLowerAscii(text).find("unsigned") != std::string::npos;
}

bool IsDatetimeSqlType(SQLSMALLINT type) {
  return type == SQL_TYPE_DATE || type == SQL_TYPE_TIME || type == SQL_TYPE_TIMESTAMP ||
         type == SQL_DATE || type == SQL_TIME || type == SQL_TIMESTAMP;
}

HResult Catalogs(const std::shared_ptr<OdbcConnection>& connection,
                 const std::vector<std::string>& restrictions, std::vector<Row>& rows) {
  std::vector<Row> found;
  const HResult result = ReadCatalog(
      connection,
      [](SQLHSTMT statement) {
        return SQLTables(statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(SQL_ALL_CATALOGS)),
                         SQL_NTS, reinterpret_cast<SQLCHAR*>(const_cast<char*>("")), 0,
                         reinterpret_cast<SQLCHAR*>(const_cast<char*>("")), 0, nullptr, 0);
      },
      found);
  if (Failed(result)) return result;
  for (const Row& odbc : found) {
    const ColumnValue name = Field(odbc, 1);
    if (name.null || !Matches(name, Restriction(restrictions, 0))) continue;
    rows.push_back({name, ColumnValue{}});
  }
  return S_OK;
}

// The ODBC rows of SQLTables for exact catalog, schema, table and type.
HResult TableRows(const std::shared_ptr<OdbcConnection>& connection, const std::string& catalog,
                  const std::string& schema, const std::string& table, const std::string& type,
                  std::vector<Row>& rows) {
  Arguments arguments(*connection);
  const std::string& escape = connection->searchPatternEscape();
  if (catalog.empty()) {
    arguments.addNull();
  } else if (!arguments.add(catalog, false, escape)) {
    return DB_E_CANTCONVERTVALUE;
  }
  if (schema.empty()) {
    arguments.addNull();
  } else if (!arguments.add(schema, true, escape)) {
    return DB_E_CANTCONVERTVALUE;
  }
  if (table.empty()) {
    arguments.addNull();
  } else if (!arguments.add(table, true, escape)) {
    return DB_E_CANTCONVERTVALUE;
  }
  if (type.empty()) {
    arguments.addNull();
  } else {
    arguments.addLiteral(type);
  }
  std::vector<Row> found;
  const HResult result = ReadCatalog(
      connection,
      [&](SQLHSTMT statement) {
        return SQLTables(statement, arguments.pointer(0), arguments.length(0), arguments.pointer(1),
                         arguments.length(1), arguments.pointer(2), arguments.length(2),
                         arguments.pointer(3), arguments.length(3));
      },
      found);
  if (Failed(result)) return result;
  for (Row& row : found) {
    if (Matches(Field(row, 3), table) && Matches(Field(row, 4), type))
      rows.push_back(std::move(row));
  }
  return S_OK;
}

HResult Tables(const std::shared_ptr<OdbcConnection>& connection,
               const std::vector<std::string>& restrictions, std::vector<Row>& rows) {
  std::vector<Row> found;
  const HResult result =
      TableRows(connection, Restriction(restrictions, 0), Restriction(restrictions, 1),
                Restriction(restrictions, 2), Restriction(restrictions, 3), found);
  if (Failed(result)) return result;
  for (const Row& odbc : found) {
    Row row(SchemaColumns(SchemaRowset::Tables).size());
    row[kTablesCatalog - 1] = Field(odbc, 1);
    row[kTablesSchema - 1] = Field(odbc, 2);
    row[kTablesName - 1] = Field(odbc, 3);
    row[kTablesType - 1] = Field(odbc, 4);
    row[kTablesDescription - 1] = Field(odbc, 5);
    rows.push_back(std::move(row));
  }
  return S_OK;
}

HResult Columns(const std::shared_ptr<OdbcConnection>& connection,
                const std::vector<std::string>& restrictions, std::vector<Row>& rows) {
  const std::string& catalog = Restriction(restrictions, 0);
  const std::string& schema = Restriction(restrictions, 1);
  const std::string& table = Restriction(restrictions, 2);
  const std::string& column = Restriction(restrictions, 3);
  Arguments arguments(*connection);
  const std::string& escape = connection->searchPatternEscape();
  const std::string* values[] = {&catalog, &schema, &table, &column};
  for (std::size_t i = 0; i < 4; ++i) {
    if (values[i]->empty()) {
      arguments.addNull();
    } else if (!arguments.add(*values[i], i > 0, escape)) {
      return DB_E_CANTCONVERTVALUE;
    }
  }
  std::vector<Row> found;
  const HResult result = ReadCatalog(
      connection,
      [&](SQLHSTMT statement) {
        return SQLColumns(statement, arguments.pointer(0), arguments.length(0),
                          arguments.pointer(1), arguments.length(1), arguments.pointer(2),
                          arguments.length(2), arguments.pointer(3), arguments.length(3));
      },
      found);
  if (Failed(result)) return result;
  for (const Row& odbc : found) {
    if (!Matches(Field(odbc, 3), table) || !Matches(Field(odbc, 4), column)) continue;
    const auto sqlType = static_cast<SQLSMALLINT>(Number(odbc, 5).value_or(SQL_VARCHAR));
    const bool nullable = Number(odbc, 11).value_or(SQL_NULLABLE_UNKNOWN) != SQL_NO_NULLS;
    const std::optional<long long> size = Number(odbc, 7);
    const std::optional<long long> digits = Number(odbc, 9);
    const ColumnValue defaultValue = Field(odbc, 13);

    Row row(SchemaColumns(SchemaRowset::Columns).size());
    row[kColumnsTableCatalog - 1] = Field(odbc, 1);
    row[kColumnsTableSchema - 1] = Field(odbc, 2);
    row[kColumnsTableName - 1] = Field(odbc, 3);
    row[kColumnsName - 1] = Field(odbc, 4);
    row[kColumnsOrdinalPosition - 1] = Field(odbc, 17);
    row[kColumnsHasDefault - 1] = Flag(!defaultValue.null);
    row[kColumnsDefault - 1] = defaultValue;
    row[kColumnsFlags - 1] = NumberText(ColumnFlagsOf(sqlType, nullable));
    row[kColumnsIsNullable - 1] = Flag(nullable);
    row[kColumnsDataType - 1] =
        NumberText(DbTypeOf(sqlType, ContainsUnsigned(Field(odbc, 6).text)));
    if (IsCharacterSqlType(sqlType)) {
      if (size) row[kColumnsCharacterMaximumLength - 1] = NumberText(*size);
      row[kColumnsCharacterOctetLength - 1] = Field(odbc, 16);
    } else if (IsDatetimeSqlType(sqlType)) {
      if (digits) row[kColumnsDatetimePrecision - 1] = NumberText(*digits);
    } else {
      if (size) row[kColumnsNumericPrecision - 1] = NumberText(*size);
      if (digits && (sqlType == SQL_DECIMAL || sqlType == SQL_NUMERIC)) {
        row[kColumnsNumericScale - 1] = NumberText(*digits);
      }
    }
    row[kColumnsDescription - 1] = Field(odbc, 12);
    rows.push_back(std::move(row));
  }
  return S_OK;
}

// The index rows of one table: SQLPrimaryKeys names the primary key, then
// SQLStatistics lists the index columns.
HResult TableIndexes(const std::shared_ptr<OdbcConnection>& connection, const std::string& catalog,
                     const std::string& schema, const std::string& table,
                     const std::vector<std::string>& restrictions, std::vector<Row>& rows) {
  Arguments arguments(*connection);
  const std::string* values[] = {&catalog, &schema, &table};
  for (const std::string* value : values) {
    if (value->empty()) {
      arguments.addNull();
    } else if (!arguments.add(*value, false, {})) {
      return DB_E_CANTCONVERTVALUE;
    }
  }
  std::set<std::string> primaryKeys;
  std::vector<Row> keys;
  // Drivers without primary key information still list their indexes.
  if (!Failed(ReadCatalog(
          connection,
          [&](SQLHSTMT statement) {
            return SQLPrimaryKeys(statement, arguments.pointer(0), arguments.length(0),
                                  arguments.pointer(1), arguments.length(1), arguments.pointer(2),
                                  arguments.length(2));
          },
          keys))) {
    for (const Row& key : keys) {
      const ColumnValue name = Field(key, 6);
      if (!name.null) primaryKeys.insert(name.text);
    }
  }
  ClearThreadErrorObject();

  std::vector<Row> found;
  const HResult result = ReadCatalog(
      connection,
      [&](SQLHSTMT statement) {
        return SQLStatistics(statement, arguments.pointer(0), arguments.length(0),
                             arguments.pointer(1), arguments.length(1), arguments.pointer(2),
                             arguments.length(2), SQL_INDEX_ALL, SQL_QUICK);
      },
      found);
  if (Failed(result)) return result;
  for (const Row& odbc : found) {
    const std::optional<long long> type = Number(odbc, 7);
    if (!type || *type == SQL_TABLE_STAT) continue;
    const ColumnValue indexName = Field(odbc, 6);
    if (!Matches(indexName, Restriction(restrictions, 2))) continue;
    const int indexType = *type == SQL_INDEX_HASHED ? DBPROPVAL_IT_HASH : DBPROPVAL_IT_BTREE;
    if (!Matches(NumberText(indexType), Restriction(restrictions, 3))) continue;

    Row row(SchemaColumns(SchemaRowset::Indexes).size());
    row[kIndexesTableCatalog - 1] = Field(odbc, 1);
    row[kIndexesTableSchema - 1] = Field(odbc, 2);
    row[kIndexesTableName - 1] = Field(odbc, 3);
    row[kIndexesIndexCatalog - 1] = Field(odbc, 1);
    row[kIndexesIndexName - 1] = indexName;
    row[kIndexesPrimaryKey - 1] = Flag(!indexName.null && primaryKeys.count(indexName.text) > 0);
    row[kIndexesUnique - 1] = Flag(Number(odbc, 4).value_or(1) == 0);
    row[kIndexesClustered - 1] = Flag(*type == SQL_INDEX_CLUSTERED);
    row[kIndexesType - 1] = NumberText(indexType);
    row[kIndexesOrdinalPosition - 1] = Field(odbc, 8);
    row[kIndexesColumnName - 1] = Field(odbc, 9);
    const ColumnValue order = Field(odbc, 10);
    if (!order.null && (order.text == "A" || order.text == "D")) {
      row[kIndexesCollation - 1] =
          NumberText(order.text == "A" ? DB_COLLATION_ASC : DB_COLLATION_DESC);
    }
    row[kIndexesCardinality - 1] = Field(odbc, 11);
    row[kIndexesPages - 1] = Field(odbc, 12);
    row[kIndexesFilterCondition - 1] = Field(odbc, 13);
    rows.push_back(std::move(row));
  }
  return S_OK;
}

HResult Indexes(const std::shared_ptr<OdbcConnection>& connection,
                const std::vector<std::string>& restrictions, std::vector<Row>& rows) {
  const std::string& catalog = Restriction(restrictions, 0);
  const std::string& schema = Restriction(restrictions, 1);
  const std::string& table = Restriction(restrictions, 4);
  if (!table.empty()) return TableIndexes(connection, catalog, schema, table, restrictions, rows);
  // SQLStatistics needs a table: walk them all.
  std::vector<Row> tables;
  HResult result = TableRows(connection, catalog, schema, {}, "TABLE", tables);
  if (Failed(result)) return result;
  for (const Row& each : tables) {
    const ColumnValue name = Field(each, 3);
    if (name.null) continue;
    result = TableIndexes(connection, Field(each, 1).text, Field(each, 2).text, name.text,
                          restrictions, rows);
    if (Failed(result)) return result;
  }
  return S_OK;
}

}  // namespace

HResult OpenSchemaRowset(const std::shared_ptr<OdbcConnection>& connection, SchemaRowset schema,
                         const std::vector<std::string>& restrictions,
                         std::unique_ptr<ProviderRowset>& rowset) {
  std::vector<Row> rows;
  HResult result = E_INVALIDARG;
  switch (schema) {
    case SchemaRowset::Catalogs:
      result = Catalogs(connection, restrictions, rows);
      break;
    case SchemaRowset::Tables:
      result = Tables(connection, restrictions, rows);
      break;
    case SchemaRowset::Columns:
      result = Columns(connection, restrictions, rows);
      break;
    case SchemaRowset::Indexes:
      result = Indexes(connection, restrictions, rows);
      break;
  }
  if (Failed(result)) return result;
  rowset = std::make_unique<MemoryRowset>(SchemaColumns(schema), std::move(rows));
  return S_OK;
}

}  // namespace tablift::odbc
