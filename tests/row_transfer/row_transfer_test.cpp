// The row transfer from real Access files (the sample database the Jet writer
// makes, and the shared fixtures) into the private MariaDB server, checked
// value for value against what the Jet provider reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "access/sample_database.h"
#include "core/scripted_prompter.h"
#include "data_access/profile_file.h"
#include "engine/use_database.h"
#include "migration/row_transfer.h"
#include "migration/table_verification.h"
#include "mysql/execute_statement.h"
#include "tests/row_transfer/transfer_fixture.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

using test::ExecuteOrFail;
using test::FileLines;
using test::LogTexts;
using test::QueryColumn;

// "Order" and "Order Details" get this many rows: one progress line each.
constexpr std::uint64_t kSampleRows = 2000;

struct SampleTable {
  const char* name;
  std::vector<std::string> key;
};

const std::vector<SampleTable>& SampleTables() {
  static const std::vector<SampleTable> tables = {{"Categories", {"CategoryId"}},
                                                  {"Customers", {"CustomerCode"}},
                                                  {"Employees", {"EmployeeId"}},
                                                  {"Shippers", {"ShipperId"}},
                                                  {"Products", {"ProductId"}},
                                                  {"Order", {"OrderId"}},
                                                  {"Order Details", {"OrderId", "LineNo"}},
                                                  {"Awkward Values", {"Id"}}};
  return tables;
}

std::string AccessOrder(const std::vector<std::string>& key) {
  std::string order;
  for (const std::string& column : key)
    order += (order.empty() ? "[" : ", [") + column + "]";
  return order;
}

std::string MySqlOrder(const std::vector<std::string>& key) {
  std::string order;
  for (const std::string& column : key)
    order += (order.empty() ? "`" : ", `") + column + "`";
  return order;
}

bool HasLine(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class RowTransferTest : public test::SampleTransferTest {
 protected:
  static void SetUpTestSuite() { WriteSample(kSampleRows); }
  static void TearDownTestSuite() { ForgetSample(); }

  void SetUp() override { ConnectSample("tl_rows"); }

  void Utf8Target() { ASSERT_TRUE(Succeeded(window.targetSession()->setClientCharset("utf8mb4"))); }

  RowTransfer Transfer(const std::string& table) {
    return TransferRows(window, window.sourceSession(), window.targetSession(),
                        SampleDatabaseName(), table);
  }

  void SetCondition(const std::string& table, const std::string& condition) {
    std::string error;
    ASSERT_TRUE(
        WriteProfileString(window.conditionFile(), SampleDatabaseName(), table, condition, &error))
        << error;
  }
};

TEST_F(RowTransferTest, EverySampleTableArrivesValueForValue) {
  Utf8Target();
  for (const SampleTable& table : SampleTables()) {
    SCOPED_TRACE(table.name);
    const test::SourceTable source = test::ReadSource(window, table.name, AccessOrder(table.key));
    ASSERT_FALSE(source.rows.empty());
    test::CreateTargetTable(window, table.name, source, table.key);
    EXPECT_EQ(Transfer(table.name), RowsOutcome::Transferred);
    test::ExpectSameRows(table.name, source,
                         test::ReadTarget(window, table.name, source, MySqlOrder(table.key)));

    // One script line per row, and the counts in the log.
    EXPECT_EQ(FileLines(directory.path() / (std::string(table.name) + ".data")).size(),
              source.rows.size());
    const auto texts = LogTexts(window);
    const std::string count = std::to_string(source.rows.size());
    EXPECT_EQ(texts.back(), "[" + std::string(table.name) + "] " + count +
                                " records converted, conversion completed SUCCESSFULLY!");
    const std::string progress = "[" + std::string(table.name) + "] 2000 records converted!";
    EXPECT_EQ(std::count(texts.begin(), texts.end(), progress), source.rows.size() >= 2000 ? 1 : 0);
  }
  // The edge cases of the awkward row: long values whole, NULL as NULL.
  EXPECT_EQ(QueryColumn(window,
                        "select concat(char_length(MemoValue), ' ', length(OleValue)) from "
                        "`Awkward Values` where Id in (2, 6) order by Id"),
            (std::vector<std::string>{"9000 3", "10 70000"}));
  EXPECT_EQ(QueryColumn(window,
                        "select concat_ws(',', TextValue, MemoValue, ByteValue, IntegerValue, "
                        "LongValue, SingleValue, DoubleValue, CurrencyValue, DecimalValue, "
                        "DateValue, GuidValue, BinaryValue, OleValue) from `Awkward Values` "
                        "where Id = 1"),
            (std::vector<std::string>{""}));
  EXPECT_EQ(QueryColumn(window, "select hex(BinaryValue) from `Awkward Values` where Id = 2"),
            (std::vector<std::string>{"000001020000"}));
  EXPECT_EQ(QueryColumn(window, "select hex(OleValue) from `Awkward Values` where Id = 3"),
            (std::vector<std::string>{""}));
}

// What the rendering relies on: the Jet provider's text of each Access type.
TEST_F(RowTransferTest, SampleValuesInTheProviderTextForm) {
  const test::SourceTable source = test::ReadSource(window, "Awkward Values", "[Id]");
  ASSERT_EQ(source.rows.size(), 6u);
  std::vector<std::string> second;
  for (const ColumnValue& value : source.rows[1])
    second.push_back(value.text.size() > 40 ? std::to_string(value.text.size()) : value.text);
  EXPECT_EQ(second, (std::vector<std::string>{
                        "2", "Smile \xF0\x9F\x98\x80 caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC", "9000",
                        "255", "-32768", "-2147483648", "3.5", "-1.25e+300", "12345.6789",
                        "-123456789012345678.1234567890", "1850-01-01 00:00:00", "True",
                        "{6F9619FF-8B86-D011-B42D-00C04FC964FF}", "000001020000", "00FF00"}));
  EXPECT_EQ(source.rows[2][14].text, "");  // an empty OLE value
  EXPECT_FALSE(source.rows[2][14].null);
  EXPECT_EQ(source.rows[4][9].text, "1.5000000000");
  EXPECT_EQ(source.rows[4][8].text, "922337203685477.0000");
  EXPECT_EQ(source.rows[5][10].text, "2038-01-19 03:14:00");
  EXPECT_EQ(source.rows[0][11].text, "False");
  for (std::size_t c = 1; c < 15; ++c) {
    if (c != 11) {
      EXPECT_TRUE(source.rows[0][c].null) << c;
    }
  }
}

TEST_F(RowTransferTest, ScriptReplaysIntoAnEmptyTable) {
  Utf8Target();
  const std::vector<std::string> key = {"Id"};
  const test::SourceTable source = test::ReadSource(window, "Awkward Values", "[Id]");
  test::CreateTargetTable(window, "Awkward Values", source, key);
  ASSERT_EQ(Transfer("Awkward Values"), RowsOutcome::Transferred);
  ExecuteOrFail(window, "delete from `Awkward Values`");
  for (const std::string& line : FileLines(directory.path() / "Awkward Values.data"))
    ExecuteOrFail(window, line);
  test::ExpectSameRows("Awkward Values", source,
                       test::ReadTarget(window, "Awkward Values", source, "`Id`"));
}

TEST_F(RowTransferTest, TextLatin1CannotHoldIsRejectedNotReplaced) {
  // The target session keeps LATIN1, as after every connect.
  const test::SourceTable source = test::ReadSource(window, "Customers", "[CustomerCode]");
  test::CreateTargetTable(window, "Customers", source, {"CustomerCode"});
  const RowTransfer result = Transfer("Customers");
  EXPECT_NE(result, RowsOutcome::Transferred);
  // "Café ☕ Müller", the Japanese name and the emoji are three of every six
  // customers.
  EXPECT_EQ(result.reason.rfind("[Customers] 15 of 30 records were not accepted by the target", 0),
            0u)
      << result.reason;
  EXPECT_TRUE(window.output().lastLine().hasRecord);
  EXPECT_EQ(LogTexts(window).back(), result.reason);
  // The reason names the character that LATIN1 lacks.
  EXPECT_NE(result.reason.find("\xE2\x98\x95"), std::string::npos) << result.reason;
  EXPECT_EQ(QueryColumn(window, "select count(*) from Customers"),
            (std::vector<std::string>{"15"}));
  EXPECT_EQ(QueryColumn(window, "select count(*) from Customers where CompanyName like '%?%'"),
            (std::vector<std::string>{"0"}));
  // "Müller" on its own is LATIN1 text and arrives.
  EXPECT_EQ(QueryColumn(window, "select count(*) from Customers where ContactName = 'Contact 1'"),
            (std::vector<std::string>{"1"}));
}

TEST_F(RowTransferTest, ConditionFromTheConditionFileNarrowsTheRows) {
  Utf8Target();
  const test::SourceTable all = test::ReadSource(window, "Awkward Values", "[Id]");
  test::CreateTargetTable(window, "Awkward Values", all, {"Id"});
  SetCondition("Awkward Values", "Id > 2 and Id <> 5 and TextValue is not null or Id = 6");
  EXPECT_EQ(Transfer("Awkward Values"), RowsOutcome::Transferred);
  EXPECT_EQ(QueryColumn(window, "select Id from `Awkward Values` order by Id"),
            (std::vector<std::string>{"3", "4", "6"}));

  // A condition that would end the SELECT and start a statement of its own is
  // not run at all.
  ExecuteOrFail(window, "delete from `Awkward Values`");
  SetCondition("Awkward Values", "Id = 1; delete from [Awkward Values]");
  EXPECT_EQ(Transfer("Awkward Values"), RowsOutcome::NotRead);
  EXPECT_TRUE(window.output().lastLine().hasRecord);
  EXPECT_EQ(QueryColumn(window, "select count(*) from `Awkward Values`"),
            (std::vector<std::string>{"0"}));
  // A ";" inside a string of the condition is text, not a statement end.
  // A ";" that merely ends the condition is dropped.
  SetCondition("Awkward Values", "TextValue <> 'a;b' and Id = 3;");
  EXPECT_EQ(Transfer("Awkward Values"), RowsOutcome::Transferred);
  EXPECT_EQ(QueryColumn(window, "select Id from `Awkward Values`"),
            (std::vector<std::string>{"3"}));

  // A condition the source cannot run gives its text and FALSE.
  ExecuteOrFail(window, "delete from `Awkward Values`");
  SetCondition("Awkward Values", "NoSuchColumn = 1");
  EXPECT_EQ(Transfer("Awkward Values"), RowsOutcome::NotRead);
  ASSERT_FALSE(LogTexts(window).empty());
  EXPECT_NE(LogTexts(window).back().find("NoSuchColumn"), std::string::npos)
      << LogTexts(window).back();
}

TEST_F(RowTransferTest, EmptyResultStillWritesItsScriptAndFinalLine) {
  Utf8Target();
  const test::SourceTable all = test::ReadSource(window, "Awkward Values", "[Id]");
  test::CreateTargetTable(window, "Awkward Values", all, {"Id"});
  SetCondition("Awkward Values", "Id > 100");
  EXPECT_EQ(Transfer("Awkward Values"), RowsOutcome::Transferred);
  EXPECT_TRUE(std::filesystem::exists(directory.path() / "Awkward Values.data"));
  EXPECT_TRUE(FileLines(directory.path() / "Awkward Values.data").empty());
  EXPECT_EQ(LogTexts(window).back(),
            "[Awkward Values] 0 records converted, conversion completed SUCCESSFULLY!");
}

TEST_F(RowTransferTest, RejectedRowsAreCountedReportedAndFailTheTable) {
  Utf8Target();
  const test::SourceTable source = test::ReadSource(window, "Shippers", "[ShipperId]");
  test::CreateTargetTable(window, "Shippers", source, {"ShipperId"});
  ExecuteOrFail(window, "insert into Shippers (ShipperId, CompanyName) values (2, 'Already here')");
  const RowTransfer result = Transfer("Shippers");
  EXPECT_NE(result, RowsOutcome::Transferred);
  EXPECT_EQ(result.reason.rfind("[Shippers] 1 of 3 records were not accepted by the target", 0), 0u)
      << result.reason;
  EXPECT_NE(result.reason.find("Duplicate entry '2'"), std::string::npos) << result.reason;
  EXPECT_TRUE(window.output().lastLine().hasRecord);
  const auto texts = LogTexts(window);
  EXPECT_FALSE(
      HasLine(texts, "[Shippers] 3 records converted, conversion completed SUCCESSFULLY!"));
  // The other rows arrived; the rejected statement stays in the script.
  EXPECT_EQ(
      QueryColumn(window, "select CompanyName from Shippers order by ShipperId"),
      (std::vector<std::string>{"Speedy Express", "Already here", "Federal \"Fast\" Shipping"}));
  const auto script = FileLines(directory.path() / "Shippers.data");
  ASSERT_EQ(script.size(), 3u);
  EXPECT_EQ(script[2], "insert into `Shippers` values (3,'Federal \\\"Fast\\\" Shipping',NULL)");
}

TEST_F(RowTransferTest, StopRequestEndsAfterTheCurrentRow) {
  Utf8Target();
  const test::SourceTable source = test::ReadSource(window, "Products", "[ProductId]");
  test::CreateTargetTable(window, "Products", source, {"ProductId"});
  window.runState() = RunState::StopRequested;
  const RowTransfer result = Transfer("Products");
  window.runState() = RunState::Idle;
  EXPECT_EQ(result, RowsOutcome::Stopped);
  EXPECT_EQ(QueryColumn(window, "select count(*) from Products"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(FileLines(directory.path() / "Products.data").size(), 1u);
  const auto texts = LogTexts(window);
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], "Data Converting Terminated!");
  EXPECT_EQ(texts.back(), "[Products] 1 records converted, then stopped: the table is incomplete");
}

TEST_F(RowTransferTest, ARowTheSourceCannotDeliverIsNotTheEndOfTheTable) {
  Utf8Target();
  const test::SourceTable all = test::ReadSource(window, "Awkward Values", "[Id]");
  test::CreateTargetTable(window, "Awkward Values", all, {"Id"});
  // The third row makes the condition divide by zero while it is fetched.
  SetCondition("Awkward Values", "1 / (Id - 3) <> 0");
  const RowTransfer result = Transfer("Awkward Values");
  EXPECT_EQ(result.reason.rfind("[Awkward Values] reading the rows failed after 2 records: ", 0),
            0u)
      << result.reason;
  EXPECT_NE(result.reason.find("Division by zero"), std::string::npos) << result.reason;
  EXPECT_TRUE(window.output().lastLine().hasRecord);
  EXPECT_EQ(QueryColumn(window, "select count(*) from `Awkward Values`"),
            (std::vector<std::string>{"2"}));
}

TEST_F(RowTransferTest, ScriptFileThatCannotBeMadeFailsTheTable) {
  Utf8Target();
  const test::SourceTable source = test::ReadSource(window, "Shippers", "[ShipperId]");
  test::CreateTargetTable(window, "Shippers", source, {"ShipperId"});
  std::filesystem::create_directory(directory.path() / "Shippers.data");
  const RowTransfer result = Transfer("Shippers");
  const std::string file = (directory.path() / "Shippers.data").string();
  EXPECT_EQ(result.reason.rfind("[Shippers] cannot write the script file [" + file + "]: ", 0), 0u)
      << result.reason;
  EXPECT_TRUE(window.output().lastLine().hasRecord);
  EXPECT_EQ(QueryColumn(window, "select count(*) from Shippers"), (std::vector<std::string>{"0"}));
}

TEST_F(RowTransferTest, OddTableNamesAreReadWholeAndScriptNamesAreSafe) {
  Utf8Target();
  // A name with a reserved word and a blank reaches both SELECT and INSERT
  // whole; a name with a path separator stays inside the cache folder.
  const test::SourceTable source = test::ReadSource(window, "Order Details", "[OrderId], [LineNo]");
  test::CreateTargetTable(window, "Order Details", source, {"OrderId", "LineNo"});
  SetCondition("Order Details", "OrderId = 1");
  EXPECT_EQ(Transfer("Order Details"), RowsOutcome::Transferred);
  EXPECT_EQ(QueryColumn(window, "select count(*) from `Order Details`"),
            (std::vector<std::string>{"3"}));

  // No fragment of a name that brackets cannot hold is ever run.
  EXPECT_EQ(Transfer("Order] where 1=1 or [x"), RowsOutcome::NotRead);
  EXPECT_TRUE(window.output().lastLine().hasRecord);

  // A missing table: the provider's text and FALSE, no script.
  EXPECT_EQ(Transfer("../No/Such"), RowsOutcome::NotRead);
  EXPECT_FALSE(std::filesystem::exists(directory.path() / ".._No_Such.data"));
}

TEST_F(RowTransferTest, MissingSessionsAreNamed) {
  EXPECT_EQ(TransferRows(window, nullptr, window.targetSession(), "db", "Shippers"),
            RowsOutcome::NotRead);
  EXPECT_EQ(LogTexts(window).back(), "No Source Connection!");
  EXPECT_EQ(TransferRows(window, window.sourceSession(), nullptr, "db", "Shippers"),
            RowsOutcome::NotRead);
  EXPECT_EQ(LogTexts(window).back(), "No Target Connection!");
}

// Every table of the real Access files arrives value for value.
TEST_F(RowTransferTest, FixtureTablesArriveValueForValue) {
  const auto fixtures = test::FixturesDirectory();
  if (!fixtures) GTEST_SKIP() << "no fixtures";
  Utf8Target();
  const std::vector<test::FixtureTable>& tables = test::TransferFixtureTables();
  int compared = 0;
  for (const test::FixtureTable& fixture : tables) {
    SCOPED_TRACE(std::string(fixture.file) + " " + fixture.table);
    const std::filesystem::path file = *fixtures / fixture.file;
    if (!std::filesystem::exists(file)) continue;
    ASSERT_TRUE(test::ConnectSource(window, file));
    const test::SourceTable source = test::ReadSource(window, fixture.table, "");
    test::CreateTargetTable(window, fixture.table, source);
    EXPECT_EQ(TransferRows(window, window.sourceSession(), window.targetSession(), file.string(),
                           fixture.table),
              RowsOutcome::Transferred);
    // Without a key, compare both sides in the same order: every column.
    test::SourceTable sorted = source;
    auto target = test::ReadTarget(window, fixture.table, source, "");
    auto byValues = [&](const std::vector<ColumnValue>& a, const std::vector<ColumnValue>& b) {
      for (std::size_t c = 0; c < source.columns.size(); ++c) {
        const std::string x = test::Comparable(source.columns[c], a[c]);
        const std::string y = test::Comparable(source.columns[c], b[c]);
        if (x != y) return x < y;
      }
      return false;
    };
    std::sort(sorted.rows.begin(), sorted.rows.end(), byValues);
    std::sort(target.begin(), target.end(), byValues);
    test::ExpectSameRows(fixture.table, sorted, target);
    ExecuteOrFail(window, "drop table `" + std::string(fixture.table) + "`");
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

}  // namespace
}  // namespace tablift

namespace tablift {
namespace {

// The verification the command line offers after a migration: it sees a
// table that arrived whole, a changed value, a missing row, and honours the
// migration condition.
TEST_F(RowTransferTest, VerificationFindsChangedAndMissingRows) {
  Utf8Target();
  const test::SourceTable all = test::ReadSource(window, "Awkward Values", "[Id]");
  test::CreateTargetTable(window, "Awkward Values", all, {"Id"});
  ASSERT_EQ(Transfer("Awkward Values"), RowsOutcome::Transferred);
  const auto verify = [&] {
    return VerifyTable(window, window.sourceSession(), window.targetSession(), SampleDatabaseName(),
                       "Awkward Values");
  };
  TableVerification result = verify();
  EXPECT_TRUE(result.matches()) << result.error;
  EXPECT_EQ(result.sourceRows, all.rows.size());

  ExecuteOrFail(window, "update `Awkward Values` set TextValue = 'changed' where Id = 2");
  result = verify();
  EXPECT_FALSE(result.matches());
  EXPECT_EQ(result.differingRows, 2u);  // the original row and the changed one

  ExecuteOrFail(window, "delete from `Awkward Values` where Id <> 3");
  result = verify();
  EXPECT_EQ(result.targetRows, 1u);
  EXPECT_FALSE(result.matches());
  SetCondition("Awkward Values", "Id = 3");
  EXPECT_TRUE(verify().matches());

  ExecuteOrFail(window, "drop table `Awkward Values`");
  result = verify();
  EXPECT_FALSE(result.matches());
  EXPECT_NE(result.error.find("MySQL"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace tablift
