// Rows travel to the target in multi-row INSERT statements. These tests make
// the statements small, so that every table spans many of them, and check
// that what arrives is exactly what single rows would give: every good row,
// exactly the rejected ones counted, on a transactional engine and on one
// without transactions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "access/sample_database.h"
#include "core/scripted_prompter.h"
#include "engine/output_pane.h"
#include "engine/use_database.h"
#include "migration/row_transfer.h"
#include "migration/table_verification.h"
#include "mysql/bulk_insert.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"
#include "mysql/table_load.h"
#include "mysql/value_literals.h"
#include "tests/row_transfer/transfer_fixture.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

using test::ExecuteOrFail;
using test::FileLines;
using test::LogTexts;
using test::QueryColumn;

// "Order" and "Order Details" get this many rows: more than one progress
// line's worth, so a stop can come in the middle of the table.
constexpr std::uint64_t kSampleRows = 4500;
// A few dozen rows per statement.
constexpr const char* kSmallBatch = "4000";

const std::vector<std::string>& Engines() {
  static const std::vector<std::string> engines = {"InnoDB", "MyISAM"};
  return engines;
}

// How the batches travel: through the server's bulk load (a table loaded in
// one transaction), a prepared INSERT with parameter arrays, a prepared
// INSERT of many rows, or multi-row INSERT statements
// (TABLIFT_INSERT_ARRAYS=0). A migration sends an InnoDB table's rows as
// arrays and a MyISAM table's as prepared rows; BulkInsert alone takes any
// form on either engine.
struct Way {
  std::string engine;
  BulkInsert::Form form;
  bool loadData = false;
  std::string name() const {
    if (loadData) return engine + " bulk load";
    switch (form) {
      case BulkInsert::Form::ParameterArrays:
        return engine + " parameter arrays";
      case BulkInsert::Form::PreparedRows:
        return engine + " prepared rows";
      case BulkInsert::Form::Statements:
        break;
    }
    return engine + " multi-row INSERT";
  }
  bool prepared() const { return form != BulkInsert::Form::Statements; }
};

// The ways a migration takes.
const std::vector<Way>& Ways() {
  using Form = BulkInsert::Form;
  static const std::vector<Way> ways = {{"InnoDB", Form::ParameterArrays, true},
                                        {"InnoDB", Form::ParameterArrays},
                                        {"InnoDB", Form::Statements},
                                        {"MyISAM", Form::PreparedRows},
                                        {"MyISAM", Form::Statements}};
  return ways;
}

// Every form on both engines, for BulkInsert alone.
const std::vector<Way>& BulkWays() {
  using Form = BulkInsert::Form;
  static const std::vector<Way> ways = [] {
    std::vector<Way> all;
    for (const std::string engine : {"InnoDB", "MyISAM"}) {
      for (const Form form : {Form::ParameterArrays, Form::PreparedRows, Form::Statements})
        all.push_back({engine, form});
    }
    return all;
  }();
  return ways;
}

// Calls `probe` when a given line is written, while the rows are still read.
class ProbeAtLine : public OutputListener {
 public:
  ProbeAtLine(Workbench& window, std::string text, std::function<void()> probe)
      : window_(window), text_(std::move(text)), probe_(std::move(probe)) {
    window_.output().addListener(this);
  }
  ~ProbeAtLine() override { window_.output().removeListener(this); }
  void lineAdded(const LogLine& line) override {
    if (line.text.size() > 24 && line.text.substr(24) == text_) probe_();
  }

 private:
  Workbench& window_;
  std::string text_;
  std::function<void()> probe_;
};

class BatchedTransferTest : public test::SampleTransferTest {
 protected:
  static void SetUpTestSuite() { WriteSample(kSampleRows); }
  static void TearDownTestSuite() { ForgetSample(); }

  void SetUp() override {
    setenv("TABLIFT_INSERT_BATCH_BYTES", kSmallBatch, 1);
    ConnectSample("tl_batch");
    if (HasFatalFailure()) return;
    ASSERT_TRUE(Succeeded(window.targetSession()->setClientCharset("utf8mb4")));
  }
  void TearDown() override {
    unsetenv("TABLIFT_INSERT_BATCH_BYTES");
    unsetenv("TABLIFT_INSERT_ARRAYS");
    unsetenv("TABLIFT_LOAD_DATA");
    window.runState() = RunState::Idle;
  }

  // Literal rows: the values of one row in the provider's text form,
  // nullptr for NULL.
  using LiteralRow = std::vector<const char*>;

  // Sends `batches` into table t the way given, one load per batch, each row
  // after an id 1, 2, ... and its values of `types`, as parameters and as
  // literals, then runs each row's INSERT into table script on its own: the
  // reference of what the rows store. Returns the rows the target refused; each
  // batch's prepared statement size goes to `rowsPerStatement` when asked.
  long SendLiteralBatches(const Way& way, const std::vector<std::vector<LiteralRow>>& batches,
                          const std::vector<std::uint16_t>& types,
                          std::vector<std::size_t>* rowsPerStatement = nullptr) {
    std::vector<std::string> lines;
    long rejected = 0;
    int id = 0;
    for (const std::vector<LiteralRow>& batch : batches) {
      TableLoad load = BeginTableLoad(window, window.targetSession(), "t");
      {
        BulkInsert bulk(window, window.targetSession(), "t", load, types.size() + 1, way.form);
        std::vector<ParameterValue> parameters(types.size() + 1);
        for (const LiteralRow& row : batch) {
          std::string literals = std::to_string(++id);
          parameters[0] = {ParameterValue::Kind::Integer, std::to_string(id)};
          for (std::size_t k = 0; k < row.size(); ++k) {
            const ColumnValue value =
                row[k] == nullptr ? ColumnValue{} : ColumnValue{row[k], false};
            literals += ',';
            AppendValueLiteral(types[k], value, literals);
            ValueParameter(types[k], value, parameters[k + 1]);
          }
          bulk.add(literals, parameters);
          lines.push_back("insert into script values (" + literals + ")");
        }
        bulk.finish();
        if (rowsPerStatement != nullptr) rowsPerStatement->push_back(bulk.rowsPerStatement());
        rejected += bulk.rejected();
      }
      EXPECT_EQ(EndTableLoad(window, window.targetSession(), load), "");
    }
    for (const std::string& line : lines)
      ExecuteStatement(window, window.targetSession(), line).ok();
    return rejected;
  }

  RowTransfer Transfer(const std::string& databaseName, const std::string& table) {
    return TransferRows(window, window.sourceSession(), window.targetSession(), databaseName,
                        table);
  }

  // Transfers the rows the given way (BatchesTravelTheWayAskedFor checks
  // that the switch works).
  RowTransfer TransferBy(const Way& way, const std::string& databaseName,
                         const std::string& table) {
    setenv("TABLIFT_INSERT_ARRAYS", way.prepared() ? "1" : "0", 1);
    setenv("TABLIFT_LOAD_DATA", way.loadData ? "1" : "0", 1);
    return Transfer(databaseName, table);
  }

  // What the load must leave behind on the session: no open transaction and
  // the sql_mode it found.
  void ExpectSessionAsBefore(const std::vector<std::string>& sqlMode) {
    EXPECT_EQ(QueryColumn(window, "select @@in_transaction"), (std::vector<std::string>{"0"}));
    EXPECT_EQ(QueryColumn(window, "select @@session.sql_mode"), sqlMode);
  }
};

TEST_F(BatchedTransferTest, EverySampleTableVerifiesOnBothEnginesBothWays) {
  const auto sqlMode = QueryColumn(window, "select @@session.sql_mode");
  const std::vector<std::pair<std::string, std::vector<std::string>>> tables = {
      {"Customers", {"CustomerCode"}},
      {"Products", {"ProductId"}},
      {"Order", {"OrderId"}},
      {"Order Details", {"OrderId", "LineNo"}},
      {"Awkward Values", {"Id"}}};
  for (const Way& way : Ways()) {
    const std::string& engine = way.engine;
    for (const auto& [table, key] : tables) {
      SCOPED_TRACE(way.name() + " " + table);
      const test::SourceTable source = test::ReadSource(window, table, "");
      test::CreateTargetTable(window, table, source, key, engine);
      EXPECT_EQ(TransferBy(way, SampleDatabaseName(), table), RowsOutcome::Transferred);
      const TableVerification verified = VerifyTable(
          window, window.sourceSession(), window.targetSession(), SampleDatabaseName(), table);
      EXPECT_TRUE(verified.matches()) << verified.error << " " << verified.differingRows;
      EXPECT_EQ(verified.targetRows, source.rows.size());
      EXPECT_EQ(FileLines(directory.path() / (table + ".data")).size(), source.rows.size());
      EXPECT_EQ(LogTexts(window).back(), "[" + table + "] " + std::to_string(source.rows.size()) +
                                             " records converted, conversion completed "
                                             "SUCCESSFULLY!");
      ExpectSessionAsBefore(sqlMode);
      ExecuteOrFail(window, "drop table " + QuoteIdentifier(table));
    }
  }
}

TEST_F(BatchedTransferTest, FixtureTablesVerifyOnBothEngines) {
  const auto fixtures = test::FixturesDirectory();
  if (!fixtures) GTEST_SKIP() << "no fixtures";
  int compared = 0;
  for (const std::string& engine : Engines()) {
    for (const auto& [file, table] : test::TransferFixtureTables()) {
      SCOPED_TRACE(engine + " " + file + " " + table);
      const std::filesystem::path path = *fixtures / file;
      if (!std::filesystem::exists(path)) continue;
      ASSERT_TRUE(test::ConnectSource(window, path));
      const std::string databaseName = (path.parent_path() / path.stem()).string();
      const test::SourceTable source = test::ReadSource(window, table, "");
      test::CreateTargetTable(window, table, source, {}, engine);
      EXPECT_EQ(Transfer(databaseName, table), RowsOutcome::Transferred);
      const TableVerification verified =
          VerifyTable(window, window.sourceSession(), window.targetSession(), databaseName, table);
      EXPECT_TRUE(verified.matches()) << verified.error << " " << verified.differingRows;
      EXPECT_EQ(verified.targetRows, source.rows.size());
      ExecuteOrFail(window, "drop table " + QuoteIdentifier(table));
      ++compared;
    }
  }
  EXPECT_GT(compared, 0);
}

// Rows already in the table make the first row, two neighbours in the middle
// and the last row duplicates: exactly those four are refused, the others
// arrive, whatever statement they travelled in.
TEST_F(BatchedTransferTest, RejectedRowsInsideBatchesAreExactlyTheOnesCounted) {
  for (const Way& way : Ways()) {
    const std::string& engine = way.engine;
    SCOPED_TRACE(way.name());
    const test::SourceTable source = test::ReadSource(window, "Order", "");
    test::CreateTargetTable(window, "Order", source, {"OrderId"}, engine);
    ExecuteOrFail(window, "insert into `Order` (OrderId) values (1), (1500), (1501), (4500)");
    const RowTransfer result = TransferBy(way, SampleDatabaseName(), "Order");
    EXPECT_EQ(
        result.reason.rfind("[Order] 4 of 4500 records were not accepted by the target, the first "
                            "because: ",
                            0),
        0u)
        << result.reason;
    EXPECT_NE(result.reason.find("Duplicate entry '1' for key"), std::string::npos)
        << result.reason;
    EXPECT_EQ(LogTexts(window).back(), result.reason);
    EXPECT_EQ(QueryColumn(window, "select count(*) from `Order`"),
              (std::vector<std::string>{"4500"}));
    // The rows that were there stay as they were; no row arrived twice.
    EXPECT_EQ(QueryColumn(window,
                          "select OrderId from `Order` where CustomerCode is null and "
                          "OrderDate is null order by OrderId"),
              (std::vector<std::string>{"1", "1500", "1501", "4500"}));
    EXPECT_EQ(QueryColumn(window, "select count(distinct OrderId) from `Order`"),
              (std::vector<std::string>{"4500"}));
    // The script keeps every row, the rejected ones too.
    EXPECT_EQ(FileLines(directory.path() / "Order.data").size(), 4500u);
    ExecuteOrFail(window, "drop table `Order`");
  }
}

// A value too long for its column is refused on its own row. Inside a
// multi-row INSERT into a table without transactions the server would cut it
// with a mere warning unless the load asks for strictness on every table.
TEST_F(BatchedTransferTest, TooLongValuesAreRefusedNotCutOnBothEngines) {
  const auto sqlMode = QueryColumn(window, "select @@session.sql_mode");
  ASSERT_EQ(sqlMode.size(), 1u);
  ASSERT_NE(sqlMode[0].find("STRICT_TRANS_TABLES"), std::string::npos) << sqlMode[0];
  const test::SourceTable source = test::ReadSource(window, "Customers", "");
  // Characters, not bytes: the column's length counts characters.
  const auto characters = [](const std::string& text) {
    std::size_t count = 0;
    for (const char c : text)
      count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
  };
  std::size_t tooLong = 0;
  for (const auto& row : source.rows)
    tooLong += !row[1].null && characters(row[1].text) > 21 ? 1 : 0;
  // One statement for all the rows, its first row a good one: the case where
  // the server would only warn.
  ASSERT_LE(characters(source.rows[0][1].text), 21u);
  setenv("TABLIFT_INSERT_BATCH_BYTES", "1000000", 1);
  ASSERT_GT(tooLong, 0u);
  ASSERT_LT(tooLong, source.rows.size() - 1);
  for (const Way& way : Ways()) {
    const std::string& engine = way.engine;
    SCOPED_TRACE(way.name());
    test::CreateTargetTable(window, "Customers", source, {"CustomerCode"}, engine);
    ExecuteOrFail(window, "alter table Customers modify CompanyName varchar(21)");
    const RowTransfer result = TransferBy(way, SampleDatabaseName(), "Customers");
    EXPECT_EQ(result.reason.rfind("[Customers] " + std::to_string(tooLong) + " of " +
                                      std::to_string(source.rows.size()) +
                                      " records were not accepted by the target",
                                  0),
              0u)
        << result.reason;
    EXPECT_NE(result.reason.find("Data too long"), std::string::npos) << result.reason;
    EXPECT_EQ(QueryColumn(window, "select count(*) from Customers"),
              (std::vector<std::string>{std::to_string(source.rows.size() - tooLong)}));
    ExpectSessionAsBefore(sqlMode);
    ExecuteOrFail(window, "drop table Customers");
  }
}

// The stop comes with the 2000th row, in the middle of a statement being
// filled: the rows read so far arrive, and the final line, the script and the
// table agree on their number.
TEST_F(BatchedTransferTest, StopInsideABatchLeavesOneCountEverywhere) {
  for (const Way& way : Ways()) {
    const std::string& engine = way.engine;
    SCOPED_TRACE(way.name());
    const test::SourceTable source = test::ReadSource(window, "Order Details", "");
    test::CreateTargetTable(window, "Order Details", source, {"OrderId", "LineNo"}, engine);
    RowTransfer result;
    {
      ProbeAtLine stop(window, "[Order Details] 2000 records converted!",
                       [&] { window.runState() = RunState::StopRequested; });
      result = TransferBy(way, SampleDatabaseName(), "Order Details");
    }
    window.runState() = RunState::Idle;
    EXPECT_EQ(result, RowsOutcome::Stopped);
    const auto texts = LogTexts(window);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "Data Converting Terminated!");
    // A table cut short is never called complete.
    EXPECT_EQ(texts.back(),
              "[Order Details] 2000 records converted, then stopped: the table is incomplete");
    EXPECT_EQ(QueryColumn(window, "select count(*) from `Order Details`"),
              (std::vector<std::string>{"2000"}));
    EXPECT_EQ(FileLines(directory.path() / "Order Details.data").size(), 2000u);
    EXPECT_EQ(QueryColumn(window, "select @@in_transaction"), (std::vector<std::string>{"0"}));
    ExecuteOrFail(window, "drop table `Order Details`");
  }
}

// On a table without transactions the non-unique indexes are built once,
// after the rows. Seen from a second connection they are off while the rows
// travel, and on again afterwards, whether every row arrived, some were
// refused or a stop ended the rows.
TEST_F(BatchedTransferTest, DeferredIndexesAreBuiltAgainWhateverTheOutcome) {
  const auto server = test::PrivateServerFromEnvironment();
  ASSERT_TRUE(server);
  ScriptedPrompter otherPrompter;
  Workbench other{otherPrompter};
  ASSERT_TRUE(test::ConnectTarget(other, *server));
  const std::string indexState =
      "select comment from information_schema.statistics where table_schema = " +
      StringLiteral(database->name()) + " and table_name = 'Order' and index_name = 'Customer'";
  const test::SourceTable source = test::ReadSource(window, "Order", "");
  enum class Outcome { AllRows, RefusedRows, Stopped };
  for (const Outcome outcome : {Outcome::AllRows, Outcome::RefusedRows, Outcome::Stopped}) {
    SCOPED_TRACE(static_cast<int>(outcome));
    test::CreateTargetTable(window, "Order", source, {"OrderId"}, "MyISAM");
    ExecuteOrFail(window, "alter table `Order` add key Customer (CustomerCode, OrderDate)");
    // Every 50th ship name is longer than this: those rows are refused.
    if (outcome == Outcome::RefusedRows) {
      ExecuteOrFail(window, "alter table `Order` modify ShipName varchar(20)");
    }
    std::vector<std::string> during;
    RowTransfer result;
    {
      ProbeAtLine probe(window, "[Order] 2000 records converted!", [&] {
        during = QueryColumn(other, indexState);
        if (outcome == Outcome::Stopped) window.runState() = RunState::StopRequested;
      });
      result = Transfer(SampleDatabaseName(), "Order");
    }
    window.runState() = RunState::Idle;
    EXPECT_EQ(during, (std::vector<std::string>{"disabled", "disabled"}));
    EXPECT_EQ(QueryColumn(window, indexState), (std::vector<std::string>{"", ""}));
    const std::string expectedRows = outcome == Outcome::Stopped       ? "2000"
                                     : outcome == Outcome::RefusedRows ? "4410"
                                                                       : "4500";
    EXPECT_EQ(QueryColumn(window, "select count(*) from `Order`"),
              (std::vector<std::string>{expectedRows}));
    // The rebuilt index holds every row.
    EXPECT_EQ(QueryColumn(window,
                          "select count(*) from `Order` force index (Customer) where "
                          "CustomerCode is not null or CustomerCode is null"),
              (std::vector<std::string>{expectedRows}));
    if (outcome == Outcome::RefusedRows) {
      EXPECT_EQ(
          result.reason.rfind("[Order] 90 of 4500 records were not accepted by the target", 0), 0u)
          << result.reason;
    } else {
      EXPECT_EQ(result,
                outcome == Outcome::Stopped ? RowsOutcome::Stopped : RowsOutcome::Transferred);
    }
    ExecuteOrFail(window, "drop table `Order`");
  }
}

// The batches themselves, without the source: two bad rows among a hundred
// (a value too long, a duplicate key) inside one batch are exactly the two
// refused, whichever way the batch travels; a value larger than a whole batch
// travels on its own and arrives whole.
TEST_F(BatchedTransferTest, BatchesTravelTheWayAskedFor) {
  const std::string big(300000, 'x');
  for (const Way& way : BulkWays()) {
    SCOPED_TRACE(way.name());
    ExecuteOrFail(
        window,
        "create table t (id int primary key, v varchar(3), m longtext) engine = " + way.engine);
    TableLoad load = BeginTableLoad(window, window.targetSession(), "t");
    long rejected = 0;
    std::string firstRejection;
    {
      BulkInsert bulk(window, window.targetSession(), "t", load, 3, way.form);
      EXPECT_EQ(bulk.form(), way.form);
      for (int id = 1; id <= 100; ++id) {
        const int key = id == 70 ? 10 : id;
        const std::string v = id == 50 ? "four" : "v" + std::to_string(id % 10);
        const std::string m = id == 80 ? big : "";
        std::vector<ParameterValue> parameters = {
            {ParameterValue::Kind::Text, std::to_string(key)},
            {ParameterValue::Kind::Text, v},
            id % 3 == 0 ? ParameterValue{} : ParameterValue{ParameterValue::Kind::Text, m}};
        const std::string values = std::to_string(key) + "," + StringLiteral(v) + "," +
                                   (id % 3 == 0 ? "NULL" : StringLiteral(m));
        bulk.add(values, parameters);
      }
      bulk.finish();
      // The first batch filled the prepared statement, and the rows after
      // the large value did not fill another.
      if (way.form == BulkInsert::Form::PreparedRows) {
        EXPECT_GT(bulk.rowsPerStatement(), 1u);
      }
      rejected = bulk.rejected();
      firstRejection = bulk.firstRejection();
    }
    EXPECT_EQ(EndTableLoad(window, window.targetSession(), load), "");
    EXPECT_EQ(rejected, 2);
    EXPECT_NE(firstRejection.find("Data too long"), std::string::npos) << firstRejection;
    EXPECT_EQ(QueryColumn(window, "select count(*) from t"), (std::vector<std::string>{"98"}));
    EXPECT_EQ(QueryColumn(window, "select count(*) from t where id = 50 or id = 70"),
              (std::vector<std::string>{"0"}));
    EXPECT_EQ(QueryColumn(window, "select length(m) from t where id = 80"),
              (std::vector<std::string>{"300000"}));
    EXPECT_EQ(QueryColumn(window, "select count(*) from t where m is null"),
              (std::vector<std::string>{"33"}));
    EXPECT_EQ(QueryColumn(window, "select v from t where id = 10"),
              (std::vector<std::string>{"v0"}));
    ExecuteOrFail(window, "drop table t");
  }
}

// Text goes in the connection's character set either way: on a latin1
// connection an accented letter arrives as that letter, not as its UTF-8
// bytes read as two latin1 characters.
TEST_F(BatchedTransferTest, BatchedTextTravelsInTheConnectionsCharacterSet) {
  ASSERT_TRUE(Succeeded(window.targetSession()->setClientCharset("latin1")));
  for (const Way& way : BulkWays()) {
    SCOPED_TRACE(way.name());
    ExecuteOrFail(window,
                  "create table t (id int primary key, v varchar(10)) charset utf8mb4 "
                  "engine = " +
                      way.engine);
    TableLoad load = BeginTableLoad(window, window.targetSession(), "t");
    {
      BulkInsert bulk(window, window.targetSession(), "t", load, 2, way.form);
      // Enough rows for several batches, so that the prepared forms are
      // taken and not only the statement made of the last batch.
      for (int id = 1; id <= 300; ++id) {
        const std::string v = "caf\xC3\xA9 \xC3\x84";
        std::vector<ParameterValue> parameters = {{ParameterValue::Kind::Text, std::to_string(id)},
                                                  {ParameterValue::Kind::Text, v}};
        bulk.add(std::to_string(id) + "," + StringLiteral(v), parameters);
      }
      bulk.finish();
      EXPECT_EQ(bulk.rejected(), 0);
      EXPECT_EQ(bulk.resent(), 0);
      if (way.prepared()) {
        EXPECT_GT(bulk.staged(), 0);
      }
    }
    EXPECT_EQ(EndTableLoad(window, window.targetSession(), load), "");
    EXPECT_EQ(QueryColumn(window, "select count(*) from t"), (std::vector<std::string>{"300"}));
    EXPECT_EQ(QueryColumn(window, "select distinct hex(v) from t"),
              (std::vector<std::string>{"636166C3A920C384"}));
    ExecuteOrFail(window, "drop table t");
  }
}

// Whole numbers may travel as the numbers they are; what arrives is what the
// script's literals store: in a batch whose number columns all have the quick
// form, in one whose columns mix forms (a number too long for the quick form,
// a text in a number column), and where the server refuses a number too
// large for its column. Dates travel beside them.
TEST_F(BatchedTransferTest, NumbersStoreWhatTheirLiteralsStore) {
  const std::vector<std::vector<LiteralRow>> batches = {
      {{"1", "123456789012345678", "True", "2000-02-29 23:59:59"},
       {"-2147483648", "-123456789012345678", "False", "1999-12-31 00:01:02"},
       {nullptr, "0", nullptr, nullptr},
       {"3000000000", "1", "False", "2024-01-01 12:00:00"},  // too large for int: refused
       {"2147483647", "-1", "True", "9999-12-31 23:59:59"}},
      {{"1", "9223372036854775807", "True", "0999-12-31 23:59:59"},
       {" 7", "-0", "False", "1000-01-01 00:00:00"},
       {"0", "-9223372036854775808", "True", "2024-06-30 08:09:10"}},
  };
  const std::vector<std::uint16_t> types = {DBTYPE_I4, DBTYPE_I8, DBTYPE_BOOL, DBTYPE_DATE};
  // Two rows to a prepared statement: the refused number and the mixed
  // forms then travel in one.
  setenv("TABLIFT_INSERT_BATCH_BYTES", "250", 1);
  for (const Way& way : BulkWays()) {
    SCOPED_TRACE(way.name());
    const std::string columns =
        "(id int primary key, n int, big bigint, flag tinyint(1), `when` datetime) engine = " +
        way.engine;
    ExecuteOrFail(window, "create table t " + columns);
    ExecuteOrFail(window, "create table script " + columns);
    std::vector<std::size_t> rowsPerStatement;
    const long rejected = SendLiteralBatches(way, batches, types, &rowsPerStatement);
    if (way.form == BulkInsert::Form::PreparedRows) {
      EXPECT_EQ(rowsPerStatement, std::vector<std::size_t>(batches.size(), 2u));
    }
    EXPECT_EQ(rejected, 1);
    const std::string all =
        "select concat_ws('|', id, ifnull(n, 'NULL'), big, ifnull(flag, 'NULL'), "
        "ifnull(`when`, 'NULL')) from ";
    EXPECT_EQ(QueryColumn(window, all + "t order by id"),
              QueryColumn(window, all + "script order by id"));
    EXPECT_EQ(QueryColumn(window, "select count(*) from t"), (std::vector<std::string>{"7"}));
    EXPECT_EQ(QueryColumn(window, "select `when` from t where id in (2, 6) order by id"),
              (std::vector<std::string>{"1999-12-31 00:01:02", "0999-12-31 23:59:59"}));
    ExecuteOrFail(window, "drop table t");
    ExecuteOrFail(window, "drop table script");
  }
}

// Dates may travel as numbers (into a DATETIME column, years from 1000 on:
// the server reads 10102030405 as 2001-01-02 03:04:05), as dates (other
// dates of a prepared statement of many rows) or as text (statements, other
// dates of arrays, and wherever a text is not a plain date); what arrives is what the script's
// literals store, in a DATETIME, a DATETIME(6), a DATE and a text column
// alike. A day the month does not have is refused as its literal is, and the
// batch it shares with good dates still stores them.
TEST_F(BatchedTransferTest, DatesStoreWhatTheirLiteralsStore) {
  const std::vector<std::vector<LiteralRow>> batches = {
      {{"2000-02-29 23:59:59", "2000-02-29 23:59:59", "1999-12-31 00:01:02", "2024-01-01 00:00:00"},
       {"0100-01-01 00:00:00", nullptr, "0100-01-01 00:00:00", "0999-12-31 23:59:59"},
       {nullptr, "9999-12-31 23:59:59", nullptr, nullptr},
       {"1996-07-04 16:53:00", "1996-07-04 16:53:00.1234560", "1996-07-04 16:53:00",
        "1996-07-04 16:53:00"}},
      {{"2023-02-29 10:00:00", "2023-02-28 10:00:00", "2023-02-28 10:00:00",
        "2023-02-28 10:00:00"},  // refused: 2023 has no 29 February
       {"1899-12-30 00:00:00", "1899-12-30 00:00:00", "1899-12-30 00:00:00",
        "1899-12-30 00:00:00"}},
      {{"2024-02-29 12:00:00", "0001-01-02 03:04:05", "0001-01-02 03:04:05", nullptr},
       {"2024-03-01 00:00:00", "2024-03-01 00:00:00", nullptr, "2024-03-01 00:00:00"}},
  };
  const std::vector<std::uint16_t> types = {DBTYPE_DATE, DBTYPE_DBTIMESTAMP, DBTYPE_DATE,
                                            DBTYPE_DATE};
  setenv("TABLIFT_INSERT_BATCH_BYTES", "300", 1);
  for (const Way& way : BulkWays()) {
    SCOPED_TRACE(way.name());
    const std::string columns =
        "(id int primary key, `when` datetime, fine datetime(6), said varchar(30), d date) "
        "engine = " +
        way.engine;
    ExecuteOrFail(window, "create table t " + columns);
    ExecuteOrFail(window, "create table script " + columns);
    const long rejected = SendLiteralBatches(way, batches, types);
    EXPECT_EQ(rejected, 1);
    const std::string all =
        "select concat_ws('|', id, ifnull(`when`, 'NULL'), ifnull(fine, 'NULL'), "
        "ifnull(said, 'NULL'), ifnull(d, 'NULL')) from ";
    EXPECT_EQ(QueryColumn(window, all + "t order by id"),
              QueryColumn(window, all + "script order by id"));
    EXPECT_EQ(QueryColumn(window, "select concat_ws('|', `when`, said) from t where id = 1"),
              (std::vector<std::string>{"2000-02-29 23:59:59|1999-12-31 00:01:02"}));
    EXPECT_EQ(QueryColumn(window, "select fine from t where id = 7"),
              (std::vector<std::string>{"0001-01-02 03:04:05.000000"}));
    EXPECT_EQ(QueryColumn(window, "select count(*) from t"), (std::vector<std::string>{"7"}));
    ExecuteOrFail(window, "drop table t");
    ExecuteOrFail(window, "drop table script");
  }
}

// One prepared statement serves batch after batch while the values change
// shape under it: a long text outgrows its slots and a short one leaves them
// half empty, a number column turns to text and back, NULLs come and go.
// Every row arrives as its own INSERT would store it, nothing of one batch
// left in the next.
TEST_F(BatchedTransferTest, PreparedRowsKeepEachBatchsOwnValues) {
  // Four rows of the first batch fill the statement's bytes, so the
  // statement holds two rows; every later pair fits them too.
  setenv("TABLIFT_INSERT_BATCH_BYTES", "800", 1);
  const std::string columns = "(id int primary key, n bigint, s longtext) engine = MyISAM";
  ExecuteOrFail(window, "create table t " + columns);
  ExecuteOrFail(window, "create table script " + columns);
  std::vector<std::string> lines;
  TableLoad load = BeginTableLoad(window, window.targetSession(), "t");
  {
    BulkInsert bulk(window, window.targetSession(), "t", load, 3, BulkInsert::Form::PreparedRows);
    std::vector<ParameterValue> parameters(3);
    for (int id = 1; id <= 60; ++id) {
      const int batch = (id - 1) / 4;
      // The length of the text swings from batch to batch.
      const std::size_t length = batch == 0       ? 140
                                 : batch % 3 == 1 ? 150
                                 : batch % 3 == 2 ? id % 7
                                                  : 20;
      const std::string text(length, static_cast<char>('a' + id % 26));
      const bool textNumber = batch % 4 == 2;
      const ColumnValue number =
          id % 5 == 0 ? ColumnValue{}
                      : ColumnValue{(textNumber ? " " : "") + std::to_string(id * 1000), false};
      const ColumnValue words = id % 6 == 0 ? ColumnValue{} : ColumnValue{text, false};
      std::string literals = std::to_string(id);
      parameters[0] = {ParameterValue::Kind::Integer, std::to_string(id)};
      literals += ',';
      AppendValueLiteral(DBTYPE_I8, number, literals);
      ValueParameter(DBTYPE_I8, number, parameters[1]);
      literals += ',';
      AppendValueLiteral(DBTYPE_WSTR, words, literals);
      ValueParameter(DBTYPE_WSTR, words, parameters[2]);
      bulk.add(literals, parameters);
      lines.push_back("insert into script values (" + literals + ")");
    }
    bulk.finish();
    EXPECT_EQ(bulk.rejected(), 0) << bulk.firstRejection();
    // No batch was refused and sent again row by row, which would hide a
    // fault of the prepared statement's own.
    EXPECT_EQ(bulk.resent(), 0);
    EXPECT_EQ(bulk.rowsPerStatement(), 2u);
    // Every row travelled in the prepared statement, those of the first
    // batch too (two groups of its two rows).
    EXPECT_EQ(bulk.staged(), 60);
  }
  EXPECT_EQ(EndTableLoad(window, window.targetSession(), load), "");
  for (const std::string& line : lines)
    ExecuteStatement(window, window.targetSession(), line).ok();
  const std::string all = "select concat_ws('|', id, ifnull(n, 'NULL'), ifnull(s, 'NULL')) from ";
  EXPECT_EQ(QueryColumn(window, all + "t order by id"),
            QueryColumn(window, all + "script order by id"));
  EXPECT_EQ(QueryColumn(window, "select count(*) from t"), (std::vector<std::string>{"60"}));
  ExecuteOrFail(window, "drop table t");
  ExecuteOrFail(window, "drop table script");
}

// A prepared INSERT of many rows runs for several groups of rows in one
// execution. A row refused in a later group of an execution, and one among
// the rows after the last batch's whole groups (sent on their own once those
// groups were stored), are the only ones missing: the rows before them are
// stored once, those after them arrive.
TEST_F(BatchedTransferTest, RefusedRowsAmongGroupsOfOneExecution) {
  // Statements of a few rows, up to eight of them an execution.
  setenv("TABLIFT_INSERT_BATCH_BYTES", "600", 1);
  constexpr int kRows = 200;
  const auto executions = [this] {
    const auto text = QueryColumn(window,
                                  "select variable_value from information_schema.session_status "
                                  "where variable_name = 'COM_STMT_EXECUTE'");
    return text.size() == 1 ? std::stol(text[0]) : -1L;
  };
  for (const std::string& engine : Engines()) {
    SCOPED_TRACE(engine);
    for (const bool refusals : {false, true}) {
      SCOPED_TRACE(refusals ? "with refused rows" : "every row good");
      const std::string columns = "(id int primary key, n int, s varchar(40)) engine = " + engine;
      ExecuteOrFail(window, "create table t " + columns);
      ExecuteOrFail(window, "create table script " + columns);
      std::vector<std::string> lines;
      TableLoad load = BeginTableLoad(window, window.targetSession(), "t");
      const long before = executions();
      long staged = 0;
      std::size_t rowsPerStatement = 0;
      {
        BulkInsert bulk(window, window.targetSession(), "t", load, 3,
                        BulkInsert::Form::PreparedRows);
        std::vector<ParameterValue> parameters(3);
        for (int id = 1; id <= kRows; ++id) {
          // Too large for int: refused as its own INSERT would be.
          const bool refused = refusals && (id == 100 || id == kRows - 1);
          const std::string n = refused ? "3000000000" : std::to_string(id * 7);
          const ColumnValue words{"row " + std::to_string(id), false};
          std::string literals = std::to_string(id) + "," + n + ",";
          AppendValueLiteral(DBTYPE_WSTR, words, literals);
          parameters[0] = {ParameterValue::Kind::Integer, std::to_string(id)};
          parameters[1] = {ParameterValue::Kind::Integer, n};
          ValueParameter(DBTYPE_WSTR, words, parameters[2]);
          bulk.add(literals, parameters);
          lines.push_back("insert into script values (" + literals + ")");
        }
        bulk.finish();
        EXPECT_EQ(bulk.rejected(), refusals ? 2 : 0) << bulk.firstRejection();
        staged = bulk.staged();
        rowsPerStatement = bulk.rowsPerStatement();
      }
      const long ran = executions() - before;
      EXPECT_EQ(EndTableLoad(window, window.targetSession(), load), "");
      ASSERT_GT(rowsPerStatement, 1u);
      if (!refusals) {
        // Nearly every row went in the prepared statement, and its groups
        // shared executions (an execution of one group each would run the
        // statement staged / rowsPerStatement times).
        EXPECT_GT(staged, kRows - static_cast<long>(rowsPerStatement));
        EXPECT_LT(ran * 2, staged / static_cast<long>(rowsPerStatement));
      }
      for (const std::string& line : lines)
        ExecuteStatement(window, window.targetSession(), line).ok();
      const std::string all = "select concat_ws('|', id, n, s) from ";
      EXPECT_EQ(QueryColumn(window, all + "t order by id"),
                QueryColumn(window, all + "script order by id"));
      EXPECT_EQ(QueryColumn(window, "select count(*) from t"),
                (std::vector<std::string>{std::to_string(refusals ? kRows - 2 : kRows)}));
      ExecuteOrFail(window, "drop table t");
      ExecuteOrFail(window, "drop table script");
    }
  }
}

// A wide row takes many parameters: the prepared statement holds fewer rows,
// so that it stays within the parameters the driver walks quickly, and every
// row still arrives as it was sent.
TEST_F(BatchedTransferTest, WideRowsTravelInASmallerPreparedStatement) {
  constexpr std::size_t kColumns = 200;
  constexpr int kRows = 150;
  std::string columns = "id int primary key";
  for (std::size_t k = 1; k < kColumns; ++k)
    columns += ", c" + std::to_string(k) + " int";
  ExecuteOrFail(window, "create table t (" + columns + ") engine = MyISAM");
  // Batches of many wide rows: the statement's parameters, not the bytes,
  // limit its rows.
  setenv("TABLIFT_INSERT_BATCH_BYTES", "1000000", 1);
  TableLoad load = BeginTableLoad(window, window.targetSession(), "t");
  {
    BulkInsert bulk(window, window.targetSession(), "t", load, kColumns,
                    BulkInsert::Form::PreparedRows);
    std::vector<ParameterValue> parameters(kColumns);
    for (int id = 1; id <= kRows; ++id) {
      std::string literals;
      for (std::size_t k = 0; k < kColumns; ++k) {
        const std::string value = std::to_string(id * 1000 + static_cast<int>(k));
        if (k > 0) literals += ',';
        literals += value;
        parameters[k] = {ParameterValue::Kind::Integer, value};
      }
      bulk.add(literals, parameters);
    }
    bulk.finish();
    EXPECT_EQ(bulk.rejected(), 0) << bulk.firstRejection();
    EXPECT_EQ(bulk.resent(), 0);
    EXPECT_GE(bulk.rowsPerStatement(), 2u);
    EXPECT_LE(bulk.rowsPerStatement() * kColumns, kMaxPreparedParameters);
    EXPECT_GT(bulk.staged(), 0);
  }
  EXPECT_EQ(EndTableLoad(window, window.targetSession(), load), "");
  EXPECT_EQ(QueryColumn(window, "select count(*) from t where c1 = id + 1 and c199 = id + 199"),
            (std::vector<std::string>{std::to_string(kRows)}));
  EXPECT_EQ(QueryColumn(window, "select count(distinct id) from t"),
            (std::vector<std::string>{std::to_string(kRows)}));
  ExecuteOrFail(window, "drop table t");
}

// Which texts may travel as numbers: only the one way of writing each, and
// only what the quick form holds.
TEST(ParameterFormsTest, OnlyPlainIntegers) {
  for (const char* yes : {"0", "-1", "123456789012345678", "-123456789012345678"})
    EXPECT_TRUE(IsParameterInteger(yes)) << yes;
  for (const char* no :
       {"", "-", "-0", "007", "+1", " 1", "1 ", "1.0", "1e3", "1234567890123456789", "12a"})
    EXPECT_FALSE(IsParameterInteger(no)) << no;
}

// Only dates that the server reads the same as text and as a date go as
// dates: a day the month does not have, a year 0 or a fraction stays text,
// and the server judges it as it judges the script's literal.
TEST(ParameterFormsTest, OnlyWholeCalendarDates) {
  ASSERT_TRUE(IsParameterDateTime("2000-02-29 23:59:59"));
  const ParameterDateTime parts = ParameterDateTimeParts("2000-02-29 23:59:59");
  EXPECT_EQ(parts.year, 2000);
  EXPECT_EQ(parts.month, 2);
  EXPECT_EQ(parts.day, 29);
  EXPECT_EQ(parts.hour, 23);
  EXPECT_EQ(parts.minute, 59);
  EXPECT_EQ(parts.second, 59);
  for (const char* yes : {"0001-01-01 00:00:00", "0999-12-31 23:59:59", "9999-12-31 23:59:59",
                          "2024-02-29 12:00:00", "1996-04-30 00:00:00"})
    EXPECT_TRUE(IsParameterDateTime(yes)) << yes;
  for (const char* no :
       {"", "0000-01-01 00:00:00", "1900-02-29 00:00:00", "2023-02-29 00:00:00",
        "1996-04-31 00:00:00", "1996-13-01 00:00:00", "1996-00-10 00:00:00", "1996-01-00 00:00:00",
        "1996-01-01 24:00:00", "1996-01-01 23:60:00", "1996-01-01 23:59:60",
        "1996-01-01 00:00:00.5", "1996-01-01", "1996-1-01 00:00:00", "1996-01-01T00:00:00",
        "-996-01-01 00:00:00", "1996-01-01 00:00:0a"})
    EXPECT_FALSE(IsParameterDateTime(no)) << no;
}

}  // namespace
}  // namespace tablift
