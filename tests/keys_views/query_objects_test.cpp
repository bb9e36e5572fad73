// Saved queries of every kind, described by their elements, become MySQL
// objects that the private server takes and that give Access's answers over
// Northwind's tables: parameters, actions, TOP with ties and percentages,
// crosstabs and data definition.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "data_access/text_query.h"
#include "engine/workbench.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"
#include "tests/keys_views/copied_tables.h"
#include "tests/support/jet_source.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"
#include "translate/data_definition.h"
#include "translate/query_object.h"
#include "translate/saved_query_reader.h"

namespace tablift {
namespace {

using test::ExecuteOrFail;
using test::QueryColumn;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class QueryObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures_ = test::FixturesDirectory();
    if (!fixtures_) GTEST_SKIP() << "no fixtures";
    const auto server = test::PrivateServerFromEnvironment();
    ASSERT_TRUE(server) << "the private server is not running";
    ASSERT_TRUE(test::ConnectTarget(window_, *server));
    ASSERT_EQ(window_.targetSession()->setClientCharset("utf8mb4"), S_OK);
    scratch_ = std::make_unique<test::ScratchDatabase>(window_, "query_objects");
    ExecuteOrFail(window_, "use " + QuoteIdentifier(scratch_->name()));
    ASSERT_TRUE(test::ConnectSource(window_, *fixtures_ / "northwind-jet3.mdb"));
    test::CopyTables(window_, {"Categories", "Products", "Customers", "Orders", "Order Details"});
  }

  // The object's statement, failing the test when there is none.
  QueryObject compose(const std::vector<QueryElement>& elements,
                      const ColumnLister& columnsOf = {}) {
    Session* source = window_.sourceSession();
    const ColumnLister lister = columnsOf ? columnsOf : [source](const std::string& table) {
      return SourceTableColumns(source, table);
    };
    const HeadingReader headings = [this](const std::string& sql) {
      std::vector<std::optional<std::string>> values;
      for (const std::string& value : QueryColumn(window_, sql))
        values.emplace_back(value);
      return Result<std::vector<std::optional<std::string>>>(values);
    };
    const Result<QueryObject> composed = ComposeQueryObject("Q", elements, {}, lister, headings);
    EXPECT_TRUE(composed.ok()) << composed.message();
    return composed.ok() ? composed.value() : QueryObject{};
  }

  // Composes the object and creates it in place of an earlier "Q".
  QueryObject create(const std::vector<QueryElement>& elements,
                     const ColumnLister& columnsOf = {}) {
    QueryObject object = compose(elements, columnsOf);
    ExecuteOrFail(window_, "drop view if exists Q");
    ExecuteOrFail(window_, "drop procedure if exists Q");
    const Status created = ExecuteStatement(window_, window_.targetSession(), object.statement);
    EXPECT_TRUE(created.ok()) << object.statement << "\n" << created.message();
    return object;
  }

  std::vector<std::string> rows(const std::string& sql) { return QueryColumn(window_, sql); }
  std::string one(const std::string& sql) {
    const std::vector<std::string> values = rows(sql);
    return values.empty() ? std::string("<no row>") : values.front();
  }
  // Runs a statement that may or may not give rows.
  void run(const std::string& sql) {
    const PropertySet properties = QueryRowsetProperties();
    const std::string outcome = RunTextQuery(window_.targetSession(), sql, &properties,
                                             [](const TextRow&) { return true; });
    EXPECT_TRUE(outcome.empty() || outcome == kStatementSucceeded) << sql << ": " << outcome;
  }

  std::optional<std::filesystem::path> fixtures_;
  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
  std::unique_ptr<test::ScratchDatabase> scratch_;
};

TEST_F(QueryObjectsTest, ParametersFromFormsAndBracketsAreTheProceduresArguments) {
  // MariaDB takes an unqualified name for the parameter before the column:
  // a parameter named like a column the query names would match every row.
  run("create procedure shadowed(in OrderID int) select count(*) from Orders where OrderID = "
      "OrderID");
  EXPECT_EQ(one("call shadowed(10248)"), one("select count(*) from Orders"));

  // So a form's control named like such a column becomes another parameter.
  QueryObject object = create({{kQueryType, "", "1", "", ""},
                               {kInputTable, "", "", "Orders", ""},
                               {kOutputColumn, "OrderID", "0", "", ""},
                               {kCondition, "OrderID = [Forms]![Orders]![OrderID]", "", "", ""}});
  EXPECT_EQ(object.type, QueryObjectType::Procedure);
  EXPECT_THAT(object.statement,
              StartsWith("CREATE PROCEDURE `Q`(IN `OrderID_param` VARCHAR(255))"));
  EXPECT_THAT(rows("call Q(10248)"), ElementsAre("10248"));

  // Bracketed names that are no column ask for values; declared ones have
  // their Access type.
  create({{kQueryType, "", "1", "", ""},
          {kParameter, "", "8", "Since", ""},
          {kInputTable, "", "", "Orders", ""},
          {kOutputColumn, "Orders.OrderID", "0", "", ""},
          {kCondition,
           "Orders.ShipCountry = [Which country?] And Orders.ShipVia = [Forms]![Ship Dialog]![Via] "
           "And Orders.OrderDate >= [Since]",
           "", "", ""}});
  EXPECT_EQ(one("select group_concat(concat(parameter_name, ':', data_type) order by "
                "ordinal_position) from information_schema.parameters where specific_schema = "
                "database() and specific_name = 'Q'"),
            "Since:datetime,Which country?:varchar,Via:varchar");
  EXPECT_EQ(rows("call Q('1995-06-01', 'France', 1)"),
            rows("select OrderID from Orders where ShipCountry = 'France' and ShipVia = 1 and "
                 "OrderDate >= '1995-06-01' order by OrderID"));
}

TEST_F(QueryObjectsTest, ActionQueriesChangeTheTablesWhenCalled) {
  // Update over a join, the new value asked for.
  create({{kQueryType, "", "4", "", ""},
          {kInputTable, "", "", "Products", ""},
          {kInputTable, "", "", "Categories", ""},
          {kJoin, "Categories.CategoryID = Products.CategoryID", "1", "Categories", "Products"},
          {kOutputColumn, "[New Amount]", "0", "", "Products.UnitsOnOrder"},
          {kCondition, "Categories.CategoryName = \"Beverages\"", "", "", ""}});
  run("call Q(77)");
  EXPECT_EQ(one("select count(*) from Products where UnitsOnOrder = 77"),
            one("select count(*) from Products p join Categories c on c.CategoryID = p.CategoryID "
                "where c.CategoryName = 'Beverages'"));
  EXPECT_NE(one("select count(*) from Products where UnitsOnOrder = 77"), "0");

  // Append the orders of a country into a table of their own; a column
  // without a target is not appended.
  run("create table Archive (Id int, Customer varchar(10))");
  create({{kQueryType, "", "3", "Archive", ""},
          {kInputTable, "", "", "Orders", ""},
          {kOutputColumn, "Orders.OrderID", "0", "", "Id"},
          {kOutputColumn, "Orders.ShipCity", "0", "", ""},
          {kOutputColumn, "Orders.CustomerID", "0", "", "[Customer]"},
          {kCondition, "Orders.ShipCountry = [Country]", "", "", ""}});
  run("call Q('Norway')");
  EXPECT_EQ(rows("select concat(Id, Customer) from Archive order by Id"),
            rows("select concat(OrderID, CustomerID) from Orders where ShipCountry = 'Norway' "
                 "order by OrderID"));

  // Delete the lines of one customer's orders, through the join.
  const int lines = std::stoi(one("select count(*) from `Order Details`"));
  const int ofVinet =
      std::stoi(one("select count(*) from `Order Details` d join Orders o on o.OrderID = "
                    "d.OrderID where o.CustomerID = 'VINET'"));
  ASSERT_GT(ofVinet, 0);
  create({{kQueryType, "", "5", "", ""},
          {kInputTable, "", "", "Order Details", ""},
          {kInputTable, "", "", "Orders", ""},
          {kJoin, "Orders.OrderID = [Order Details].OrderID", "1", "Orders", "Order Details"},
          {kOutputColumn, "[Order Details].*", "0", "", ""},
          {kCondition, "Orders.CustomerID = [Customer]", "", "", ""}});
  run("call Q('VINET')");
  EXPECT_EQ(std::stoi(one("select count(*) from `Order Details`")), lines - ofVinet);
  EXPECT_EQ(one("select count(*) from Orders where CustomerID = 'VINET'"), "5");

  // Make-table replaces its table on every call.
  create({{kQueryType, "", "2", "Heavy Orders", ""},
          {kInputTable, "", "", "Orders", ""},
          {kOutputColumn, "Orders.OrderID", "0", "", ""},
          {kCondition, "Orders.Freight > [Least]", "", "", ""}});
  run("call Q(500)");
  EXPECT_EQ(one("select count(*) from `Heavy Orders`"),
            one("select count(*) from Orders where Freight > 500"));
  run("call Q(100)");
  EXPECT_EQ(one("select count(*) from `Heavy Orders`"),
            one("select count(*) from Orders where Freight > 100"));
}

TEST_F(QueryObjectsTest, TopKeepsTiesAndCountsPercentagesUp) {
  run("create table Scores (Name varchar(5), Points int)");
  run("insert into Scores values ('a', 10), ('b', 9), ('c', 9), ('d', 8), ('e', 7), ('f', 6), "
      "('g', 5), ('h', 4)");
  const ColumnLister scores = [](const std::string&) {
    return std::vector<std::string>{"Name", "Points"};
  };
  const auto top = [&](const char* flag, const char* value, bool ordered) {
    std::vector<QueryElement> elements = {{kQueryType, "", "1", "", ""},
                                          {kOptions, "", flag, value, ""},
                                          {kInputTable, "", "", "Scores", ""},
                                          {kOutputColumn, "Scores.*", "0", "", ""}};
    if (ordered) elements.push_back({kOrderBy, "Scores.Points", "", "D", ""});
    create(elements, scores);
    return rows("select group_concat(Name order by Name) from Q");
  };
  // The second place is shared: TOP 2 gives three rows.
  EXPECT_THAT(top("16", "2", true), ElementsAre("a,b,c"));
  // 25 percent of 8 rows is 2, and the tie comes along.
  EXPECT_THAT(top("48", "25", true), ElementsAre("a,b,c"));
  // 30 percent of 8 rows is 2.4: three rows.
  top("48", "30", false);
  EXPECT_EQ(one("select count(*) from Q"), "3");
  // Without an order TOP n is the first n rows.
  top("16", "4", false);
  EXPECT_EQ(one("select count(*) from Q"), "4");
  // DISTINCT ranks the distinct rows: the repeated ('b', 9) is one row.
  run("insert into Scores values ('b', 9)");
  EXPECT_THAT(top("18", "3", true), ElementsAre("a,b,c"));
  create({{kQueryType, "", "1", "", ""},
          {kOptions, "", "18", "2", ""},
          {kInputTable, "", "", "Scores", ""},
          {kOutputColumn, "Scores.Points", "0", "", ""},
          {kOrderBy, "Scores.Points", "", "D", ""}},
         scores);
  EXPECT_EQ(rows("select Points from Q order by Points desc"),
            (std::vector<std::string>{"10", "9"}));
}

TEST_F(QueryObjectsTest, CrosstabsAggregateEachHeadingIntoItsOwnColumn) {
  // Headings listed: one column each, also for a value no row has.
  const QueryObject listed =
      create({{kQueryType, "", "6", "", ""},
              {kInputTable, "", "", "Orders", ""},
              {kOutputColumn, "Orders.ShipCountry", "2", "", ""},
              {kOutputColumn, "Orders.ShipVia In (1,2,3,9)", "1", "Via", ""},
              {kOutputColumn, "Count(Orders.OrderID)", "0", "Orders", ""},
              {kGroupBy, "Orders.ShipCountry", "2", "", ""},
              {kGroupBy, "Orders.ShipVia", "1", "", ""},
              {kCondition, "((Orders.ShipCountry Like \"B*\") And (Count(Orders.OrderID)>10))", "",
               "", ""}});
  EXPECT_FALSE(listed.headingsRead);
  EXPECT_EQ(one("select group_concat(column_name order by ordinal_position) from "
                "information_schema.columns where table_schema = database() and table_name = 'Q'"),
            "ShipCountry,1,2,3,9");
  // The aggregate condition filters the groups.
  EXPECT_EQ(rows("select ShipCountry from Q order by ShipCountry"),
            rows("select ShipCountry from Orders where ShipCountry like 'B%' group by ShipCountry "
                 "having count(*) > 10 order by ShipCountry"));
  EXPECT_EQ(one("select `2` from Q where ShipCountry = 'Brazil'"),
            one("select count(*) from Orders where ShipCountry = 'Brazil' and ShipVia = 2"));
  // Access leaves a cell without rows empty, where COUNT would say 0.
  EXPECT_EQ(one("select count(*) from Q where `9` is null"), one("select count(*) from Q"));

  // Headings not listed: the values the migrated rows hold.
  const QueryObject read = create({{kQueryType, "", "6", "", ""},
                                   {kInputTable, "", "", "Orders", ""},
                                   {kOutputColumn, "Orders.ShipVia", "2", "", ""},
                                   {kOutputColumn, "Year([OrderDate])", "1", "", ""},
                                   {kOutputColumn, "Sum(Orders.Freight)", "0", "", ""},
                                   {kGroupBy, "Orders.ShipVia", "2", "", ""},
                                   {kGroupBy, "Year([OrderDate])", "1", "", ""}});
  EXPECT_TRUE(read.headingsRead);
  EXPECT_EQ(read.headings, (std::vector<std::string>{"1994", "1995", "1996"}));
  EXPECT_EQ(one("select round(`1995`, 2) from Q where ShipVia = 3"),
            one("select round(sum(Freight), 2) from Orders where ShipVia = 3 and year(OrderDate) "
                "= 1995"));
}

TEST_F(QueryObjectsTest, DataDefinitionRunsAsAProcedure) {
  const auto call = [&](const std::string& accessSql) {
    create({{kQueryType, accessSql, "7", "", ""}});
    run("call Q()");
  };
  call(
      "CREATE TABLE [Price List] (Code COUNTER PRIMARY KEY, Name TEXT(30) NOT NULL, Price "
      "CURRENCY, Since DATETIME, Active YESNO, Notes MEMO, Ratio DOUBLE, Amount DECIMAL(12,3));");
  EXPECT_EQ(one("select group_concat(concat(column_name, ' ', data_type, ' ', is_nullable) order "
                "by ordinal_position) from information_schema.columns where table_schema = "
                "database() and table_name = 'Price List'"),
            // Typed as a migrated table's columns of those Access types are.
            "Code int NO,Name varchar NO,Price decimal YES,Since datetime YES,Active bit YES,"
            "Notes longtext YES,Ratio double YES,Amount decimal YES");
  call("ALTER TABLE [Price List] ADD COLUMN Region TEXT(10)");
  call("CREATE UNIQUE INDEX ByName ON [Price List] (Name DESC, Region)");
  EXPECT_EQ(one("select group_concat(column_name order by seq_in_index) from "
                "information_schema.statistics where table_schema = database() and table_name = "
                "'Price List' and index_name = 'ByName' and non_unique = 0"),
            "Name,Region");
  call("DROP INDEX ByName ON [Price List]");
  call("ALTER TABLE [Price List] DROP COLUMN Notes");
  EXPECT_EQ(one("select count(*) from information_schema.columns where table_schema = database() "
                "and table_name = 'Price List'"),
            "8");
  call("DROP TABLE [Price List]");
  EXPECT_EQ(one("select count(*) from information_schema.tables where table_schema = database() "
                "and table_name = 'Price List'"),
            "0");

  // What MySQL is not given says what stopped it.
  EXPECT_THAT(TranslateDataDefinition("CREATE TABLE T (a HYPERLINK)", {}).message(),
              HasSubstr("HYPERLINK"));
  EXPECT_THAT(TranslateDataDefinition("CREATE VIEW V AS SELECT 1", {}).message(),
              HasSubstr("VIEW"));
  EXPECT_THAT(
      TranslateDataDefinition("ALTER TABLE T ADD CONSTRAINT C FOREIGN KEY (a)", {}).message(),
      HasSubstr("CONSTRAINT"));
}

}  // namespace
}  // namespace tablift
