#include "tests/row_transfer/transfer_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "access/sample_database.h"
#include "data_access/error_texts.h"
#include "data_access/provider_registry.h"
#include "data_access/text_query.h"
#include "engine/use_database.h"
#include "mysql/sql_literals.h"
#include "tests/support/target_connection.h"

#include "migration/table_verification.h"

namespace tablift::test {

SourceTable ReadSource(Workbench& window, const std::string& table, const std::string& orderBy) {
  SourceTable result;
  const PropertySet properties = QueryRowsetProperties();
  std::string fetchFailure;
  const std::string failure = RunTextQuery(
      window.sourceSession(),
      "select * from [" + table + "]" + (orderBy.empty() ? "" : " order by " + orderBy),
      &properties,
      [&](const TextRow& row) {
        std::vector<ColumnValue> values(result.columns.size());
        for (std::size_t k = 1; k <= values.size(); ++k)
          EXPECT_TRUE(Succeeded(row.fullValue(k, values[k - 1])));
        result.rows.push_back(std::move(values));
        return true;
      },
      [&](const std::vector<ColumnInfo>& columns) {
        for (const ColumnInfo& column : columns) {
          if (column.ordinal != 0) result.columns.push_back(column);
        }
        return true;
      },
      &fetchFailure);
  EXPECT_EQ(failure, "") << table;
  EXPECT_EQ(fetchFailure, "") << table;
  return result;
}

std::string TargetColumnType(const ColumnInfo& column) {
  const bool isLong = (column.flags & DBCOLUMNFLAGS_ISLONG) != 0;
  switch (column.type) {
    case DBTYPE_BOOL:
      return "tinyint(1)";
    case DBTYPE_UI1:
      return "tinyint unsigned";
    case DBTYPE_I2:
      return "smallint";
    case DBTYPE_I4:
      return "int";
    case DBTYPE_R4:
      return "float";
    case DBTYPE_R8:
      return "double";
    case DBTYPE_CY:
      return "decimal(19,4)";
    case DBTYPE_DATE:
      return "datetime";
    case DBTYPE_GUID:
      return "char(38)";
    case DBTYPE_NUMERIC:
    case DBTYPE_DECIMAL:
      return "decimal(" + std::to_string(column.precision) + "," + std::to_string(column.scale) +
             ")";
    case DBTYPE_BYTES:
      return isLong ? "longblob" : "varbinary(" + std::to_string(column.size) + ")";
    default:
      return isLong ? "longtext" : "varchar(" + std::to_string(column.size) + ")";
  }
}

void CreateTargetTable(Workbench& window, const std::string& table, const SourceTable& source,
                       const std::vector<std::string>& primaryKey, const std::string& engine) {
  std::string sql = "create table " + QuoteIdentifier(table) + " (";
  for (std::size_t i = 0; i < source.columns.size(); ++i) {
    if (i > 0) sql += ", ";
    std::string type = TargetColumnType(source.columns[i]);
    // A wide table of VARCHARs would pass MySQL's row size limit.
    if (source.columns.size() > 30 && type.rfind("varchar", 0) == 0) type = "text";
    sql += QuoteIdentifier(source.columns[i].name) + " " + type;
  }
  if (!primaryKey.empty()) {
    sql += ", primary key (";
    for (std::size_t i = 0; i < primaryKey.size(); ++i)
      sql += (i > 0 ? "," : "") + QuoteIdentifier(primaryKey[i]);
    sql += ")";
  }
  sql += ") default charset=utf8mb4";
  if (!engine.empty()) sql += " engine=" + engine;
  ExecuteOrFail(window, sql);
}

std::vector<std::vector<ColumnValue>> ReadTarget(Workbench& window, const std::string& table,
                                                 const SourceTable& source,
                                                 const std::string& orderBy) {
  std::string sql = "select ";
  for (std::size_t i = 0; i < source.columns.size(); ++i) {
    if (i > 0) sql += ", ";
    const std::string name = QuoteIdentifier(source.columns[i].name);
    sql += source.columns[i].type == DBTYPE_BYTES ? "hex(" + name + ")" : name;
  }
  sql += " from " + QuoteIdentifier(table) + (orderBy.empty() ? "" : " order by " + orderBy);
  std::vector<std::vector<ColumnValue>> rows;
  const PropertySet properties = QueryRowsetProperties();
  std::string fetchFailure;
  const std::string failure = RunTextQuery(
      window.targetSession(), sql, &properties,
      [&](const TextRow& row) {
        std::vector<ColumnValue> values(source.columns.size());
        for (std::size_t k = 1; k <= values.size(); ++k)
          EXPECT_TRUE(Succeeded(row.fullValue(k, values[k - 1])));
        rows.push_back(std::move(values));
        return true;
      },
      {}, &fetchFailure);
  EXPECT_EQ(failure, "") << sql;
  EXPECT_EQ(fetchFailure, "") << sql;
  return rows;
}

std::string Comparable(const ColumnInfo& column, const ColumnValue& value) {
  return ComparableValue(column, value);
}

void ExpectSameRows(const std::string& table, const SourceTable& source,
                    const std::vector<std::vector<ColumnValue>>& target) {
  ASSERT_EQ(source.rows.size(), target.size()) << table;
  int differences = 0;
  for (std::size_t r = 0; r < target.size() && differences < 10; ++r) {
    ASSERT_EQ(target[r].size(), source.columns.size());
    for (std::size_t c = 0; c < source.columns.size(); ++c) {
      const std::string expected = Comparable(source.columns[c], source.rows[r][c]);
      const std::string actual = Comparable(source.columns[c], target[r][c]);
      if (expected != actual) {
        ++differences;
        ADD_FAILURE() << table << " row " << r << " column " << source.columns[c].name
                      << ": source " << expected.substr(0, 200) << ", target "
                      << actual.substr(0, 200);
      }
    }
  }
}

std::vector<std::string> LogTexts(Workbench& window) {
  std::vector<std::string> texts;
  for (const LogLine& line : window.output().lines())
    texts.push_back(line.text.substr(24));
  return texts;
}

std::vector<std::string> FileLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

const std::vector<FixtureTable>& TransferFixtureTables() {
  static const std::vector<FixtureTable> tables = {{"northwind-jet3.mdb", "Order Details"},
                                                   {"northwind-jet3.mdb", "Umsätze"},
                                                   {"northwind-jet3.mdb", "Categories"},
                                                   {"northwind-jet3.mdb", "Employees"},
                                                   {"northwind-jet3.mdb", "Orders"},
                                                   {"types-ole-jet4.mdb", "Table1"},
                                                   {"types-ole-jet4.mdb", "Table2"},
                                                   {"types-ole-jet4.mdb", "Table3"},
                                                   {"types-ole-jet4.mdb", "Table4"},
                                                   {"types-jet3.mdb", "Table1"},
                                                   {"dates-jet4.mdb", "DateTest"},
                                                   {"decimal-jet4.mdb", "test"},
                                                   {"numeric-jet4.mdb", "test"}};
  return tables;
}

ScopedTempDir* SampleTransferTest::sampleDirectory_ = nullptr;

void SampleTransferTest::WriteSample(std::uint64_t rows) {
  sampleDirectory_ = new ScopedTempDir();
  SampleSummary summary;
  const jet::WriteStatus written = WriteSampleDatabase(SamplePath(), rows, summary);
  ASSERT_TRUE(written.ok()) << written.message();
}

void SampleTransferTest::ForgetSample() {
  delete sampleDirectory_;
  sampleDirectory_ = nullptr;
}

void SampleTransferTest::ConnectSample(const std::string& prefix) {
  const auto server = PrivateServerFromEnvironment();
  ASSERT_TRUE(server) << "the private server is not running";
  ASSERT_TRUE(ConnectTarget(window, *server));
  database.emplace(window, prefix);
  ASSERT_TRUE(UseDatabase(window, database->name(), Workbench::kTargetSide));
  ASSERT_TRUE(ConnectSource(window, SamplePath()));
  window.setCacheFolder(directory.path());
  window.setConditionFile(directory.path() / "Condition.cfg");
}

}  // namespace tablift::test
