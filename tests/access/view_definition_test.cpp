// Saved queries rebuilt from their MSysQueries elements as MySQL views.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/sample_database.h"
#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/jet_source.h"
#include "tests/support/test_paths.h"
#include "translate/view_definition.h"

namespace tablift {
namespace {

using ::testing::HasSubstr;

std::string Composed(const std::vector<QueryElement>& elements) {
  const ComposedView view = ComposeViewDefinition("V", elements, {});
  EXPECT_TRUE(view.ok) << view.problem;
  return view.text;
}

std::string Refusal(const std::vector<QueryElement>& elements) {
  const ComposedView view = ComposeViewDefinition("V", elements, {});
  EXPECT_FALSE(view.ok) << view.text;
  return view.problem;
}

TEST(ViewCompositionTest, OutputColumnsOneTableAndAConditionMakeFourLines) {
  EXPECT_EQ(Composed({{0, "", "0", "", ""},
                      {3, "", "0", "", ""},
                      {6, "a", "0", "", ""},
                      {6, "b", "0", "", ""},
                      {5, "", "", "T", ""},
                      {8, "a > 1", "", "", ""},
                      {255, "", "", "", ""}}),
            "CREATE VIEW `V` AS \nSELECT `a`, `b`\n  FROM `T`\n WHERE `a` > 1\n");
}

TEST(ViewCompositionTest, AllFieldsAndSeveralTables) {
  EXPECT_EQ(Composed({{3, "", "1", "", ""}, {5, "", "", "T", ""}}),
            "CREATE VIEW `V` AS \nSELECT *\n  FROM `T`\n\n");
  // MySQL takes * only at the head of the list, wherever the flag came.
  EXPECT_EQ(Composed({{6, "x", "0", "", ""},
                      {3, "", "3", "", ""},
                      {5, "", "", "T1", ""},
                      {5, "", "", "T2", "Second"}}),
            "CREATE VIEW `V` AS \nSELECT DISTINCT *, `x`\n  FROM `T1`, `T2` AS `Second`\n\n");
}

TEST(ViewCompositionTest, JoinsKeepTheirKindAndDirection) {
  EXPECT_EQ(Composed({{5, "", "", "Orders", ""},
                      {5, "", "", "Customers", ""},
                      {5, "", "", "Notes", ""},
                      {5, "", "", "Employees", "E"},
                      {6, "[Orders].[Id]", "0", "", ""},
                      {7, "Customers.Id = Orders.CustomerId", "2", "Customers", "Orders"},
                      {7, "E.Id = Orders.EmployeeId", "2", "E", "Orders"},
                      {7, "Customers.Region = Orders.Region", "2", "Customers", "Orders"}}),
            "CREATE VIEW `V` AS \nSELECT `Orders`.`Id`\n"
            "  FROM `Customers` LEFT JOIN `Orders` ON (`Customers`.`Id` = `Orders`.`CustomerId`) "
            "AND (`Customers`.`Region` = `Orders`.`Region`) RIGHT JOIN `Employees` AS `E` ON "
            "`E`.`Id` = `Orders`.`EmployeeId`, `Notes`\n\n");
}

TEST(ViewCompositionTest, ASecondColumnOfTheSameNameIsNamedAfterItsTable) {
  EXPECT_EQ(Composed({{5, "", "", "Customers", ""},
                      {5, "", "", "Shippers", ""},
                      {6, "Customers.CompanyName", "0", "", ""},
                      {6, "[Shippers].[CompanyName]", "0", "", ""},
                      {6, "Shippers.Phone", "0", "Phone", ""}}),
            "CREATE VIEW `V` AS \nSELECT `Customers`.`CompanyName`, `Shippers`.`CompanyName` AS "
            "`Shippers.CompanyName`, `Shippers`.`Phone` AS `Phone`\n  FROM `Customers`, "
            "`Shippers`\n\n");
}

TEST(ViewCompositionTest, StarsAreSpeltOutWhenTheyHoldANamesake) {
  const ColumnLister columnsOf = [](const std::string& table) {
    if (table == "T1") return std::vector<std::string>{"id", "a"};
    if (table == "T2") return std::vector<std::string>{"id", "b"};
    return std::vector<std::string>{};
  };
  const auto compose = [&](const std::vector<QueryElement>& elements) {
    const ComposedView view = ComposeViewDefinition("V", elements, {}, columnsOf);
    EXPECT_TRUE(view.ok) << view.problem;
    return view.text;
  };
  EXPECT_EQ(compose({{5, "", "", "T1", ""},
                     {5, "", "", "T2", "Two"},
                     {6, "T1.*", "0", "", ""},
                     {6, "Two.id", "0", "", ""}}),
            "CREATE VIEW `V` AS \nSELECT `T1`.`id`, `T1`.`a`, `Two`.`id` AS `Two.id`\n"
            "  FROM `T1`, `T2` AS `Two`\n\n");
  EXPECT_EQ(compose({{3, "", "1", "", ""},
                     {5, "", "", "T1", ""},
                     {5, "", "", "T2", ""},
                     {6, "T1.a", "0", "", ""}}),
            "CREATE VIEW `V` AS \nSELECT `T1`.`id`, `T1`.`a`, `T2`.`id` AS `T2.id`, `T2`.`b`, "
            "`T1`.`a` AS `T1.a`\n  FROM `T1`, `T2`\n\n");
  // Without a namesake the stars stay as written.
  EXPECT_EQ(compose({{5, "", "", "T1", ""},
                     {5, "", "", "T2", ""},
                     {6, "T1.*", "0", "", ""},
                     {6, "T2.b", "0", "", ""}}),
            "CREATE VIEW `V` AS \nSELECT `T1`.*, `T2`.`b`\n  FROM `T1`, `T2`\n\n");
}

TEST(ViewCompositionTest, GroupingHavingOrderingAliasesAndTop) {
  EXPECT_EQ(Composed({{3, "", "16", "5", ""},
                      {5, "", "", "Order Details", ""},
                      {6, "[Order Details].ProductId", "0", "", ""},
                      {6, "Sum([Quantity])", "0", "Total Quantity", ""},
                      {9, "[Order Details].ProductId", "0", "", ""},
                      {10, "Sum([Quantity])>10", "", "", ""},
                      {11, "Sum([Quantity])", "", "D", ""},
                      {11, "[Order Details].ProductId", "", "", ""}}),
            "CREATE VIEW `V` AS \n"
            "SELECT `ProductId`, `Total Quantity`\n"
            "  FROM (SELECT `Order Details`.`ProductId` AS `ProductId`, SUM(`Quantity`) AS "
            "`Total Quantity`, RANK() OVER (ORDER BY SUM(`Quantity`) DESC, `Order "
            "Details`.`ProductId`) AS `Top Rank`\n"
            "  FROM `Order Details`\n\n"
            " GROUP BY `Order Details`.`ProductId`\n"
            " HAVING SUM(`Quantity`) > 10\n"
            ") AS `Top Rows`\n"
            " WHERE `Top Rank` <= 5\n"
            " ORDER BY `Top Rank`\n");
  // Without an order, TOP n is the first n rows.
  EXPECT_EQ(Composed({{3, "", "16", "5", ""}, {5, "", "", "T", ""}, {6, "a", "0", "", ""}}),
            "CREATE VIEW `V` AS \nSELECT `a`\n  FROM `T`\n\n LIMIT 5\n");
}

TEST(ViewCompositionTest, QueriesMySqlCannotTakeAsViewsAreRefused) {
  EXPECT_THAT(Refusal({{2, "", "10", "Which customer?", ""}, {5, "", "", "T", ""}}),
              HasSubstr("parameters"));
  EXPECT_THAT(Refusal({{1, "", "4", "", ""}, {5, "", "", "T", ""}}), HasSubstr("select"));
  EXPECT_THAT(Refusal({{6, "Eval([x])", "0", "", ""}, {5, "", "", "T", ""}}), HasSubstr("Eval"));
  EXPECT_THAT(Refusal({{6, "x", "0", "", ""}, {5, "SELECT x FROM T", "", "", "Sub"}}),
              HasSubstr("subquery"));
}

class ViewReadTest : public ::testing::Test {
 protected:
  void SetUp() override { window_.targetProfile().progId = "MSDASQL"; }
  // The statement, or the failure's message.
  std::string translate(const std::string& view) {
    const Result<std::string> translated =
        TranslateViewDdl(window_, window_.sourceSession(), window_.nameRule(),
                         window_.targetProfile().progId, "unused", view);
    return translated.ok() ? translated.value() : translated.message();
  }
  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
};

TEST_F(ViewReadTest, WithoutASessionNothingIsRead) {
  EXPECT_EQ(translate("V"), "No Connection!");
}

TEST_F(ViewReadTest, TheSampleDatabasesSavedQueries) {
  test::ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "sample.mdb";
  SampleSummary summary;
  ASSERT_TRUE(WriteSampleDatabase(path, 20, summary));
  ASSERT_TRUE(test::ConnectSource(window_, path));
  EXPECT_EQ(translate("Customer List"),
            "CREATE VIEW `Customer List` AS \n"
            "SELECT `Customers`.`CustomerCode` AS `Code`, `Customers`.`CompanyName` AS "
            "`Company`, `Customers`.`Country`\n"
            "  FROM `Customers`\n\n");
  const std::string orderLines =
      "CREATE VIEW `Order Lines` AS \n"
      "SELECT `Order`.`OrderId`, `Order`.`OrderDate`, `Products`.`ProductName`, "
      "`Order Details`.`Quantity`, `Order Details`.`UnitPrice` * `Quantity` AS `LineTotal`\n"
      "  FROM `Order` INNER JOIN `Order Details` ON `Order`.`OrderId` = `Order "
      "Details`.`OrderId` INNER JOIN `Products` ON `Order Details`.`ProductId` = "
      "`Products`.`ProductId`\n\n";
  EXPECT_EQ(translate("Order Lines"), orderLines);
  // MySQL-friendly names: the view and every name it reads, alike.
  window_.setNameRule(NameRule::Underscore);
  std::string underscored = orderLines;
  for (std::size_t at = 0; (at = underscored.find("Order Details", at)) != std::string::npos;)
    underscored.replace(at, 13, "Order_Details");
  underscored.replace(underscored.find("Order Lines"), 11, "Order_Lines");
  EXPECT_EQ(translate("Order Lines"), underscored);
  window_.setNameRule(NameRule::Keep);
  EXPECT_EQ(translate("Heavy Freight"),
            "CREATE VIEW `Heavy Freight` AS \nSELECT `Order`.`OrderId`, `Order`.`Freight`\n"
            "  FROM `Order`\n WHERE `Order`.`Freight` > 100\n");
  EXPECT_EQ(translate("Sales By Product"),
            "CREATE VIEW `Sales By Product` AS \n"
            "SELECT `Order Details`.`ProductId`, SUM(`Order Details`.`Quantity`) AS "
            "`TotalQuantity`, COUNT(*) AS `Lines`\n"
            "  FROM `Order Details`\n\n"
            " GROUP BY `Order Details`.`ProductId`\n"
            " HAVING SUM(`Order Details`.`Quantity`) > 10\n");
  EXPECT_EQ(translate("Products By Price"),
            "CREATE VIEW `Products By Price` AS \n"
            "SELECT `Products`.`ProductName`, `Products`.`UnitPrice` AS `Price`\n"
            "  FROM `Products`\n\n"
            " ORDER BY `Products`.`UnitPrice` DESC, `Products`.`ProductName`\n");

  const std::size_t before = window_.output().size();
  EXPECT_EQ(translate("Orders Of Customer"), "NO SUPPORT!");
  ASSERT_EQ(window_.output().size(), before + 1);
  EXPECT_EQ(window_.output().lastLine().textColour, kErrorRed);
  EXPECT_THAT(window_.output().lastLine().text, HasSubstr("parameters"));

  EXPECT_EQ(translate("No Such Query"), "");
  EXPECT_EQ(translate("x' or O.Type=5 or O.name='"), "");
}

TEST_F(ViewReadTest, FixtureQueriesOfJet4AndJet3Files) {
  const auto fixtures = test::FixturesDirectory();
  if (!fixtures) GTEST_SKIP() << "no fixtures";
  ASSERT_TRUE(test::ConnectSource(window_, *fixtures / "queries-jet4.mdb"));
  EXPECT_EQ(translate("SelectQuery"),
            "CREATE VIEW `SelectQuery` AS \n"
            "SELECT DISTINCT `Table1`.`col1`, `Table1`.`col2`, `Table1`.`col3`, `Table2`.`col1` "
            "AS `Table2.col1`, `Table2`.`col2` AS `Table2.col2`, `Table3`.`col3` AS "
            "`Table3.col3`\n"
            "  FROM `Table1` LEFT JOIN `Table3` ON `Table1`.`col1` = `Table3`.`col1` INNER JOIN "
            "`Table2` ON (`Table3`.`col1` = `Table2`.`col1`) AND (`Table3`.`col1` = "
            "`Table2`.`col2`)\n"
            " WHERE `Table2`.`col2` = 'foo' OR `Table2`.`col2` IN ('buzz', 'bazz')\n"
            " ORDER BY `Table2`.`col1`\n");
  EXPECT_EQ(translate("UpdateQuery"), "NO SUPPORT!");

  // Jet 3 keeps MSysQueries' columns in another order.
  ASSERT_TRUE(test::ConnectSource(window_, *fixtures / "northwind-jet3.mdb"));
  EXPECT_EQ(translate("Ten Most Expensive Products"),
            "CREATE VIEW `Ten Most Expensive Products` AS \n"
            "SELECT `TenMostExpensiveProducts`, `UnitPrice`\n"
            "  FROM (SELECT `Products`.`ProductName` AS `TenMostExpensiveProducts`, "
            "`Products`.`UnitPrice` AS `UnitPrice`, RANK() OVER (ORDER BY `Products`.`UnitPrice` "
            "DESC) AS `Top Rank`\n"
            "  FROM `Products`\n\n"
            ") AS `Top Rows`\n"
            " WHERE `Top Rank` <= 10\n"
            " ORDER BY `Top Rank`\n");
  const std::string invoices = translate("Product Sales for 1995");
  EXPECT_THAT(invoices, HasSubstr("INNER JOIN"));
  EXPECT_THAT(invoices, HasSubstr("TIMESTAMP'1995-01-01 00:00:00'"));
}

}  // namespace
}  // namespace tablift
