// Rows of a table loaded in one transaction travel through LOAD DATA LOCAL
// INFILE. These tests check that the bulk load stores what the INSERT way
// stores, value for value, that the rows the target refuses are exactly the
// ones counted, and that the load really took the bulk way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "data_access/db_types.h"
#include "migration/row_transfer.h"
#include "mysql/bulk_insert.h"
#include "mysql/load_data_fields.h"
#include "mysql/load_data_stream.h"
#include "mysql/table_load.h"
#include "mysql/value_literals.h"
#include "tests/row_transfer/transfer_fixture.h"
#include "tests/support/jet_source.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

using test::ExecuteOrFail;
using test::QueryColumn;

ColumnValue Text(std::string text) {
  return ColumnValue{std::move(text), false};
}
const ColumnValue kNull{};

std::string Field(std::uint16_t type, const ColumnValue& value) {
  std::string out;
  AppendLoadDataField(type, value, out);
  return out;
}

TEST(LoadDataFieldsTest, EscapesWhatWouldEndAFieldOrALine) {
  EXPECT_EQ(Field(DBTYPE_WSTR, kNull), "\\N");
  EXPECT_EQ(Field(DBTYPE_WSTR, Text("")), "");
  // A text that reads \N is text, not NULL.
  EXPECT_EQ(Field(DBTYPE_WSTR, Text("\\N")), "\\\\N");
  EXPECT_EQ(Field(DBTYPE_WSTR, Text(std::string("a\tb\nc\rd\\e\0f", 11))),
            "a\\tb\\nc\\rd\\\\e\\0f");
  EXPECT_EQ(Field(DBTYPE_BOOL, Text("True")), "1");
  EXPECT_EQ(Field(DBTYPE_BOOL, Text("False")), "0");
  EXPECT_EQ(Field(DBTYPE_BYTES, Text("00090A5Cff")), "00090A5Cff");
  EXPECT_EQ(Field(DBTYPE_BYTES, Text("")), "");
  // Not the digits the provider promises: the text's own bytes.
  EXPECT_EQ(Field(DBTYPE_BYTES, Text("xy")), "7879");
  EXPECT_EQ(Field(DBTYPE_NUMERIC, Text("-12.5")), "-12.5");
}

class LoadDataTransferTest : public test::SampleTransferTest {
 protected:
  static void SetUpTestSuite() { WriteSample(3000); }
  static void TearDownTestSuite() { ForgetSample(); }

  void SetUp() override {
    setenv("TABLIFT_LOAD_DATA", "1", 1);
    ConnectSample("tl_load");
    if (HasFatalFailure()) return;
    ASSERT_TRUE(Succeeded(window.targetSession()->setClientCharset("utf8mb4")));
  }
  void TearDown() override { unsetenv("TABLIFT_LOAD_DATA"); }

  long LoadStatements() {
    const auto value = QueryColumn(window,
                                   "select variable_value from information_schema.session_status "
                                   "where variable_name = 'COM_LOAD'");
    return value.empty() ? -1 : std::strtol(value.back().c_str(), nullptr, 10);
  }

  struct Outcome {
    long rejected = 0;
    std::string firstRejection;
    long piecesResent = 0;
  };

  // Loads `rows` (values per column of `types`) into `table` the bulk way.
  Outcome Load(const std::string& table, const std::vector<std::uint16_t>& types,
               const std::vector<std::vector<ColumnValue>>& rows, std::size_t commitEveryRows) {
    TableLoad load = BeginTableLoad(window, window.targetSession(), table);
    load.commitEveryRows = commitEveryRows;
    EXPECT_TRUE(LoadDataSuits(window.targetSession(), load));
    Outcome outcome;
    {
      LoadDataStream stream(window, window.targetSession(), table, load, types);
      for (const auto& row : rows) {
        std::string values;
        std::string fields;
        for (std::size_t k = 0; k < types.size(); ++k) {
          if (k > 0) values += ',';
          if (k > 0) fields += '\t';
          AppendValueLiteral(types[k], row[k], values);
          AppendLoadDataField(types[k], row[k], fields);
        }
        stream.add(values, fields);
      }
      stream.finish();
      outcome = {stream.rejected(), stream.firstRejection(), stream.piecesResent()};
    }
    EXPECT_EQ(EndTableLoad(window, window.targetSession(), load), "");
    return outcome;
  }

  // Loads the same rows the INSERT way.
  void Insert(const std::string& table, const std::vector<std::uint16_t>& types,
              const std::vector<std::vector<ColumnValue>>& rows) {
    TableLoad load = BeginTableLoad(window, window.targetSession(), table);
    {
      BulkInsert insert(window, window.targetSession(), table, load, types.size(),
                        BulkInsert::Form::Statements);
      for (const auto& row : rows) {
        std::string values;
        for (std::size_t k = 0; k < types.size(); ++k) {
          if (k > 0) values += ',';
          AppendValueLiteral(types[k], row[k], values);
        }
        insert.add(values, {});
      }
      insert.finish();
      EXPECT_EQ(insert.rejected(), 0) << insert.firstRejection();
    }
    EXPECT_EQ(EndTableLoad(window, window.targetSession(), load), "");
  }
};

// Text with every character the stream escapes, NULL beside empty values,
// bytes holding tab, newline, backslash and NUL, dates, decimals, Yes/No and
// characters beyond the Basic Multilingual Plane: the bulk load stores what
// the INSERT way stores, in pieces that commit every few rows. Into a table
// of utf8mb4 columns only and into one with a latin1 column, which the
// server converts the stream's text for.
TEST_F(LoadDataTransferTest, EveryKindOfValueArrivesAsAnInsertStoresIt) {
  for (const char* lastCharset : {"utf8mb4", "latin1"}) {
    SCOPED_TRACE(lastCharset);
    const std::string columns =
        "(id int primary key, t longtext, b longblob, d datetime(6), n decimal(19,4), "
        "f double, y tinyint(1), z bit(1), g varchar(38) charset " +
        std::string(lastCharset) + ") engine = InnoDB charset utf8mb4";
    ExecuteOrFail(window, "create table loaded " + columns);
    ExecuteOrFail(window, "create table inserted " + columns);
    const std::vector<std::uint16_t> types = {DBTYPE_I4,          DBTYPE_WSTR,    DBTYPE_BYTES,
                                              DBTYPE_DBTIMESTAMP, DBTYPE_NUMERIC, DBTYPE_R8,
                                              DBTYPE_BOOL,        DBTYPE_BOOL,    DBTYPE_WSTR};
    const std::vector<std::string> texts = {"",
                                            "plain",
                                            "tab\there",
                                            "line\nbreak\r\nwindows",
                                            "back\\slash \\N \\t",
                                            std::string("nul\0inside", 10),
                                            "\\N",
                                            "caf\xC3\xA9 \xF0\x9F\x98\x80 \xE2\x98\x95",
                                            "'quoted' \"twice\"",
                                            std::string(70000, 'x') + "\tend"};
    const std::vector<std::string> bytes = {"", "00", "090A0D5C00FF", "5C4E", "0A"};
    std::vector<std::vector<ColumnValue>> rows;
    for (int id = 1; id <= 40; ++id) {
      const auto pick = [&](const std::vector<std::string>& list) {
        return list[id % list.size()];
      };
      rows.push_back(
          {Text(std::to_string(id)), id % 7 == 0 ? kNull : Text(pick(texts)),
           id % 6 == 0 ? kNull : Text(pick(bytes)),
           id % 5 == 0 ? kNull : Text("2024-02-29 23:59:59." + std::to_string(100000 + id)),
           Text(id % 2 == 0 ? "-922337203685477.5808" : "12.3400"),
           Text(id % 3 == 0 ? "1.7976931348623157E+308" : "-0.5"),
           Text(id % 2 == 0 ? "True" : "False"),
           id % 9 == 0 ? kNull : Text(id % 3 == 0 ? "True" : "False"),
           id % 4 == 0   ? Text("")
           : id % 4 == 1 ? Text("caf\xC3\xA9 \xC3\x84\\\t")
                         : Text("{6F9619FF-8B86-D011-B42D-00C04FC964FF}")});
    }
    const long before = LoadStatements();
    const Outcome outcome = Load("loaded", types, rows, 7);
    EXPECT_EQ(outcome.rejected, 0) << outcome.firstRejection;
    EXPECT_EQ(outcome.piecesResent, 0);
    // Five pieces of seven rows and one of five, each its own statement.
    EXPECT_EQ(LoadStatements() - before, 6);
    Insert("inserted", types, rows);
    EXPECT_EQ(QueryColumn(window, "select count(*) from loaded"), (std::vector<std::string>{"40"}));
    for (const char* column : {"hex(t)", "t is null", "hex(b)", "b is null", "d", "n", "f", "y",
                               "hex(z)", "z is null", "g", "g is null"}) {
      SCOPED_TRACE(column);
      EXPECT_EQ(
          QueryColumn(window, std::string("select ") + column + " from loaded order by id"),
          QueryColumn(window, std::string("select ") + column + " from inserted order by id"));
    }
    EXPECT_EQ(QueryColumn(window, "select @@in_transaction"), (std::vector<std::string>{"0"}));
    EXPECT_EQ(QueryColumn(window, "select count(*) from loaded where g like 'caf%'"),
              (std::vector<std::string>{"10"}));
    ExecuteOrFail(window, "drop table loaded");
    ExecuteOrFail(window, "drop table inserted");
  }
}

// A duplicate key and a value too long for its column: the server would skip
// or cut them with a warning; the pieces holding them go again as INSERTs,
// which refuse exactly those rows and store every other.
TEST_F(LoadDataTransferTest, RefusedRowsAreExactlyTheOnesCounted) {
  ExecuteOrFail(window, "create table t (id int primary key, v varchar(3)) engine = InnoDB");
  ExecuteOrFail(window, "insert into t values (15, 'old')");
  const std::vector<std::uint16_t> types = {DBTYPE_I4, DBTYPE_WSTR};
  std::vector<std::vector<ColumnValue>> rows;
  for (int id = 1; id <= 30; ++id)
    rows.push_back(
        {Text(std::to_string(id)), Text(id == 22 ? "four" : "v" + std::to_string(id % 10))});
  const Outcome outcome = Load("t", types, rows, 10);
  EXPECT_EQ(outcome.rejected, 2);
  EXPECT_NE(outcome.firstRejection.find("Duplicate entry '15'"), std::string::npos)
      << outcome.firstRejection;
  // The first piece went whole; the two others each held a refused row.
  EXPECT_EQ(outcome.piecesResent, 2);
  EXPECT_EQ(QueryColumn(window, "select count(*) from t"), (std::vector<std::string>{"29"}));
  EXPECT_EQ(QueryColumn(window, "select v from t where id = 15"),
            (std::vector<std::string>{"old"}));
  EXPECT_EQ(QueryColumn(window, "select count(*) from t where id = 22"),
            (std::vector<std::string>{"0"}));
  EXPECT_EQ(QueryColumn(window, "select count(*) from t where length(v) > 2 and id <> 15"),
            (std::vector<std::string>{"0"}));
  EXPECT_EQ(QueryColumn(window, "select @@in_transaction"), (std::vector<std::string>{"0"}));
}

// A table whose rows the target refuses does not take another table's rows
// with it: each table is its own load, and the next one goes the bulk way
// again.
TEST_F(LoadDataTransferTest, OneTablesRefusedRowsLeaveTheNextTableWhole) {
  const test::SourceTable customers = test::ReadSource(window, "Customers", "");
  const test::SourceTable products = test::ReadSource(window, "Products", "[ProductId]");
  test::CreateTargetTable(window, "Customers", customers, {"CustomerCode"}, "InnoDB");
  test::CreateTargetTable(window, "Products", products, {"ProductId"}, "InnoDB");
  ExecuteOrFail(window, "alter table Customers modify CompanyName varchar(1)");
  const long before = LoadStatements();
  const RowTransfer refused = TransferRows(window, window.sourceSession(), window.targetSession(),
                                           SampleDatabaseName(), "Customers");
  EXPECT_EQ(refused, RowsOutcome::Incomplete);
  EXPECT_GT(refused.rowsRefused, 0);
  EXPECT_EQ(refused.rowsWritten + refused.rowsRefused, refused.rowsRead);
  EXPECT_EQ(QueryColumn(window, "select count(*) from Customers"),
            (std::vector<std::string>{std::to_string(refused.rowsWritten)}));
  const RowTransfer whole = TransferRows(window, window.sourceSession(), window.targetSession(),
                                         SampleDatabaseName(), "Products");
  EXPECT_EQ(whole, RowsOutcome::Transferred) << whole.reason;
  EXPECT_EQ(QueryColumn(window, "select count(*) from Products"),
            (std::vector<std::string>{std::to_string(products.rows.size())}));
  EXPECT_EQ(LoadStatements() - before, 2);
  test::ExpectSameRows("Products", products,
                       test::ReadTarget(window, "Products", products, "`ProductId`"));
}

// The progress total of a whole table is the row count its definition
// records, which Access keeps equal to the rows a query counts: on the sample
// and on files Access wrote.
TEST_F(LoadDataTransferTest, RecordedRowCountsAreTheCountedRows) {
  std::vector<std::pair<std::filesystem::path, std::string>> tables;
  for (const char* table : {"Customers", "Products", "Order", "Order Details", "Awkward Values"})
    tables.emplace_back(SamplePath(), table);
  if (const auto fixtures = test::FixturesDirectory()) {
    for (const auto& [file, table] : test::TransferFixtureTables()) {
      if (std::filesystem::exists(*fixtures / file)) tables.emplace_back(*fixtures / file, table);
    }
  }
  int compared = 0;
  for (const auto& [path, table] : tables) {
    SCOPED_TRACE(path.string() + " " + table);
    ASSERT_TRUE(test::ConnectSource(window, path));
    std::uint64_t recorded = 0;
    ASSERT_TRUE(Succeeded(window.sourceSession()->provider()->recordedRowCount(table, recorded)));
    EXPECT_EQ(recorded, test::ReadSource(window, table, "").rows.size());
    ++compared;
  }
  EXPECT_GT(compared, 5);
  std::uint64_t recorded = 0;
  EXPECT_TRUE(Failed(window.sourceSession()->provider()->recordedRowCount("No Such", recorded)));
}

// Without TABLIFT_LOAD_DATA=1 every row keeps to the INSERT way.
TEST_F(LoadDataTransferTest, TheInsertWayCanBeAskedFor) {
  unsetenv("TABLIFT_LOAD_DATA");
  const test::SourceTable products = test::ReadSource(window, "Products", "");
  test::CreateTargetTable(window, "Products", products, {"ProductId"}, "InnoDB");
  const long before = LoadStatements();
  EXPECT_EQ(TransferRows(window, window.sourceSession(), window.targetSession(),
                         SampleDatabaseName(), "Products"),
            RowsOutcome::Transferred);
  EXPECT_EQ(LoadStatements(), before);
}

}  // namespace
}  // namespace tablift
