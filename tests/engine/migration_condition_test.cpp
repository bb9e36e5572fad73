// Migration conditions against the real Northwind file: the condition test
// counts what mdbtools' own export and a filter count, conditions are kept
// whole per database and table, and the source tree's tool tip shows them.
#include "engine/migration_condition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "data_access/error_texts.h"
#include "engine/workbench.h"
#include "mysql/query_first_value.h"
#include "tests/support/jet_source.h"
#include "tests/support/mdb_export_table.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFrance1996 = "OrderDate >= #1/1/1996# And ShipCountry = \"France\"";

std::vector<std::string> LogTexts(Workbench& window) {
  std::vector<std::string> texts;
  const std::size_t stamp = LogTimestamp().size();
  for (const LogLine& line : window.output().lines())
    texts.push_back(line.text.substr(std::min(stamp, line.text.size())));
  return texts;
}

class MigrationConditionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<fs::path> fixtures = FixturesDirectory();
    if (!fixtures) GTEST_SKIP() << "no Access fixtures";
    mdb_ = *fixtures / "northwind-jet3.mdb";
    window_.setConditionFile(temp_.path() / "Condition.cfg");
    ASSERT_TRUE(ConnectSource(window_, mdb_));
  }

  // The Orders rows of mdb-export that `keep` lets through.
  int ExportedOrders(const std::function<bool(const std::vector<ExportedCell>& row,
                                              const ExportedTable& table)>& keep) {
    const std::optional<ExportedTable> exported = MdbExport(mdb_.string(), "Orders");
    if (!exported) return -1;
    return static_cast<int>(std::count_if(exported->rows.begin(), exported->rows.end(),
                                          [&](const auto& row) { return keep(row, *exported); }));
  }

  static const ExportedCell& Cell(const std::vector<ExportedCell>& row, const ExportedTable& table,
                                  const std::string& column) {
    const auto at = std::find(table.header.begin(), table.header.end(), column);
    return row.at(static_cast<std::size_t>(at - table.header.begin()));
  }

  std::string ReadConditionFile() const {
    std::ifstream in(window_.conditionFile(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  ScopedTempDir temp_;
  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
  fs::path mdb_;
};

TEST_F(MigrationConditionTest, AccessSyntaxCountsWhatTheExportAndAFilterCount) {
  const int france = ExportedOrders([](const auto& row, const auto& table) {
    const ExportedCell& date = Cell(row, table, "OrderDate");
    return date && *date >= "1996-01-01" && Cell(row, table, "ShipCountry") == "France";
  });
  if (france < 0) GTEST_SKIP() << "mdb-export is not available";
  ASSERT_GT(france, 0);
  const ConditionTest test = TestCondition(window_, "Orders", kFrance1996);
  EXPECT_TRUE(test.passed) << test.result;
  EXPECT_EQ(test.count, std::to_string(france));
  EXPECT_EQ(test.result,
            "Test successfully!\r\n  " + std::to_string(france) + " Records can be converted.");

  // Like with Access wildcards (which compare without case), Is Null, and
  // a trailing ";" that merely ends the clause.
  const int startingWithF = ExportedOrders([](const auto& row, const auto& table) {
    const ExportedCell& country = Cell(row, table, "ShipCountry");
    return country && !country->empty() && std::toupper(country->front()) == 'F';
  });
  EXPECT_EQ(TestCondition(window_, "Orders", "ShipCountry Like \"f*\"").count,
            std::to_string(startingWithF));
  const int noRegionDear = ExportedOrders([](const auto& row, const auto& table) {
    const ExportedCell& freight = Cell(row, table, "Freight");
    return !Cell(row, table, "ShipRegion") && freight && std::stod(*freight) > 100;
  });
  EXPECT_EQ(TestCondition(window_, "Orders", "ShipRegion Is Null And Freight > 100;").count,
            std::to_string(noRegionDear));

  // No condition counts every row; a condition over several lines is one
  // clause.
  const int all = ExportedOrders([](const auto&, const auto&) { return true; });
  EXPECT_EQ(TestCondition(window_, "Orders", "").count, std::to_string(all));
  EXPECT_EQ(TestCondition(window_, "Orders",
                          "OrderDate >= #1/1/1996#\r\nAnd\nShipCountry = "
                          "\"France\"")
                .count,
            std::to_string(france));
  // The longest condition is counted in characters, not in bytes.
  std::string umlauts = "ShipCountry <> \"";
  for (std::size_t i = umlauts.size() + 1; i < kMaxConditionLength; ++i)
    umlauts += "\xC3\xA4";
  umlauts += "\"";
  ASSERT_GT(umlauts.size(), kMaxConditionLength);
  EXPECT_EQ(TestCondition(window_, "Orders", umlauts).count, std::to_string(all));
  EXPECT_TRUE(SaveCondition(window_, "db", "Orders", umlauts));
  EXPECT_FALSE(SaveCondition(window_, "db", "Orders", umlauts + " "));
  // A table whose name holds a blank is counted as the row transfer reads it.
  EXPECT_TRUE(TestCondition(window_, "Order Details", "Quantity > 100").passed);
}

TEST_F(MigrationConditionTest, ConditionsThatCannotRunFailTheTestWithTheReason) {
  const auto expectFailed = [&](const std::string& table, const std::string& condition,
                                const std::string& reason) {
    const ConditionTest test = TestCondition(window_, table, condition);
    EXPECT_FALSE(test.passed) << condition;
    EXPECT_EQ(test.result.rfind("Test failed!\r\n  Because:  ", 0), 0u) << test.result;
    EXPECT_NE(test.result.find(reason), std::string::npos) << test.result;
  };
  expectFailed("Orders", "NoSuchColumn = 1", "NoSuchColumn");
  expectFailed("Orders", "ShipCountry = 'France'; delete from Orders", "holds a \";\"");
  expectFailed("Orders", "ShipCountry = ", "");
  expectFailed("NoSuchTable", "", "NoSuchTable");
  expectFailed("Odd]Name", "", "no table name Access SQL can read");
  expectFailed("Orders", std::string(kMaxConditionLength - 9, ' ') + "OrderID>1 ",
               "more than 1024");

  Workbench unconnected(prompter_);
  const ConditionTest test = TestCondition(unconnected, "Orders", "");
  EXPECT_FALSE(test.passed);
  EXPECT_EQ(test.result, "Test failed!\r\n  Because:  " + DescribeSystemError("No Connection!"));
}

TEST_F(MigrationConditionTest, QueryFirstValueTakesTheFirstValueThatIsNoNegativeNumber) {
  Session* session = window_.sourceSession();
  // Order 10330 was taken by employee 3 and has a region; 10331 has none.
  EXPECT_EQ(QueryFirstValue(window_, session,
                            "select -OrderID, EmployeeID from Orders where OrderID = 10330")
                .value(),
            "3");
  EXPECT_EQ(QueryFirstValue(window_, session,
                            "select ShipRegion, OrderID from Orders where OrderID = 10331")
                .value(),
            "10331");
  EXPECT_EQ(LogTexts(window_).back(), "(NULL)");
  EXPECT_EQ(QueryFirstValue(window_, session, "select ShipName from Orders where OrderID = 10331")
                .value(),
            "Bon app'");
  // No answer among the rows is no value.
  EXPECT_EQ(QueryFirstValue(window_, session, "select OrderID from Orders where OrderID < 0",
                            Report::Outcome)
                .message(),
            "RESULT: The operation completed SUCCESSFULLY");

  const std::size_t before = LogTexts(window_).size();
  EXPECT_EQ(QueryFirstValue(window_, session, "select EmployeeID from Orders where OrderID = 10330",
                            Report::Outcome)
                .value(),
            "3");
  EXPECT_EQ(LogTexts(window_).size(), before + 1);
  EXPECT_EQ(LogTexts(window_).back(), "RESULT: The operation completed SUCCESSFULLY");

  const std::string failure =
      QueryFirstValue(window_, session, "select count(*) from Nowhere").message();
  EXPECT_NE(failure.find("Nowhere"), std::string::npos) << failure;

  Workbench unconnected(prompter_);
  EXPECT_EQ(QueryFirstValue(unconnected, nullptr, "select 1").message(),
            DescribeSystemError("No Connection!"));
  EXPECT_EQ(LogTexts(unconnected).back(), DescribeSystemError("No Connection!"));
}

TEST_F(MigrationConditionTest, ConditionsAreKeptWholePerDatabaseAndTable) {
  const std::string database = AccessDatabaseName(mdb_);
  EXPECT_TRUE(EnsureConditionFile(window_));
  EXPECT_TRUE(fs::exists(window_.conditionFile()));
  EXPECT_EQ(LoadCondition(window_, database, "Orders"), "");

  std::string error;
  ASSERT_TRUE(SaveCondition(window_, database, "Orders", kFrance1996, &error)) << error;
  ASSERT_TRUE(SaveCondition(window_, "/elsewhere/Nordwind", "Orders", "OrderID < 10400", &error));
  EXPECT_EQ(LoadCondition(window_, database, "Orders"), kFrance1996);
  EXPECT_EQ(LoadCondition(window_, database, "orders"), kFrance1996);  // names without case
  EXPECT_EQ(LoadCondition(window_, "/elsewhere/Nordwind", "Orders"), "OrderID < 10400");
  EXPECT_EQ(ReadConditionFile(), "[" + database + "]\nOrders=" + kFrance1996 +
                                     "\n[/elsewhere/Nordwind]\nOrders=OrderID < 10400\n");
  // Making sure the file exists leaves what it holds.
  EXPECT_TRUE(EnsureConditionFile(window_));
  EXPECT_EQ(LoadCondition(window_, database, "Orders"), kFrance1996);

  // Quotes at both ends, a condition over several lines and the longest
  // condition come back as they were tested.
  const std::string quoted = "\"France\" = ShipCountry Or ShipCountry = \"Spain\"";
  ASSERT_TRUE(SaveCondition(window_, database, "Customers", quoted, &error)) << error;
  EXPECT_EQ(LoadCondition(window_, database, "Customers"), quoted);
  ASSERT_TRUE(SaveCondition(window_, database, "Customers", "A = 1\r\nOr B = 2", &error));
  EXPECT_EQ(LoadCondition(window_, database, "Customers"), "A = 1 Or B = 2");
  const std::string longestCondition = "OrderID >= " + std::string(kMaxConditionLength - 11, '0');
  ASSERT_TRUE(SaveCondition(window_, database, "Orders", longestCondition, &error)) << error;
  EXPECT_EQ(LoadCondition(window_, database, "Orders"), longestCondition);
  EXPECT_FALSE(SaveCondition(window_, database, "Orders", longestCondition + "0", &error));
  EXPECT_NE(error.find("more than 1024"), std::string::npos) << error;
  EXPECT_EQ(LoadCondition(window_, database, "Orders"), longestCondition);

  // An empty condition copies the whole table again.
  ASSERT_TRUE(SaveCondition(window_, database, "Orders", "", &error)) << error;
  EXPECT_EQ(LoadCondition(window_, database, "Orders"), "");
}

TEST_F(MigrationConditionTest, TheToolTipShowsTheConditionOfATable) {
  const CatalogStep root{NodeKind::Root, mdb_.string()};
  const CatalogStep database{NodeKind::Database, AccessDatabaseName(mdb_)};
  const std::vector<CatalogStep> orders = {
      root, database, {NodeKind::TablesFolder, "Tables"}, {NodeKind::Table, "Orders"}};
  const std::vector<CatalogStep> view = {
      root, database, {NodeKind::ViewsFolder, "Views"}, {NodeKind::View, "Invoices"}};
  std::vector<CatalogStep> fields = orders;
  fields.push_back({NodeKind::FieldsFolder, "Fields"});

  EXPECT_EQ(ConditionToolTip(window_, orders), "Convert All");
  ASSERT_TRUE(SaveCondition(window_, database.text, "Orders", kFrance1996));
  ASSERT_TRUE(SaveCondition(window_, database.text, "Invoices", "OrderID > 1"));
  EXPECT_EQ(ConditionToolTip(window_, orders), std::string("Condition : ") + kFrance1996);
  EXPECT_EQ(ConditionToolTip(window_, view), "");
  EXPECT_EQ(ConditionToolTip(window_, fields), "");
  EXPECT_EQ(ConditionToolTip(window_, {root, database}), "");

  // The dialog works on the table or view a node names, below its database.
  EXPECT_EQ(ConditionSubjectOf(orders).database, database.text);
  EXPECT_EQ(ConditionSubjectOf(orders).table, "Orders");
  EXPECT_EQ(ConditionSubjectOf(view).table, "Invoices");
  EXPECT_EQ(ConditionSubjectOf(fields).table, "");
  EXPECT_EQ(ConditionSubjectOf({root, database}).table, "");
}

}  // namespace
}  // namespace tablift::test
