// The Access SQL text of saved queries, built from their MSysQueries rows of
// real files: what the project's own executor runs when a query reads
// another by name, and what verification compares migrated objects against.

#include <gtest/gtest.h>

#include "data_access/jet/jet_provider.h"
#include "data_access/jet/saved_query_sql.h"
#include "tests/data_access/jet/jet_test_database.h"

namespace tablift::test {
namespace {

class SavedQueryText : public ::testing::Test {
 protected:
  void open(const char* fixture) {
    const std::optional<std::string> path = JetFixture(fixture);
    if (!path) GTEST_SKIP() << "no fixture " << fixture;
    ASSERT_EQ(OpenJet(*path, "", connection_), S_OK);
  }

  std::string sql(const std::string& query) {
    std::vector<QueryElement> elements;
    EXPECT_EQ(jet::ReadQueryElements(*JetDatabaseOf(connection_.session), query, elements), S_OK);
    return elements.empty() ? "(none)" : jet::SavedQuerySql(elements);
  }

  JetConnection connection_;
};

TEST_F(SavedQueryText, SelectQueriesOfNorthwind) {
  open("northwind-jet3.mdb");
  EXPECT_EQ(sql("Ten Most Expensive Products"),
            "SELECT DISTINCTROW TOP 10 Products.ProductName AS [TenMostExpensiveProducts], "
            "Products.UnitPrice\r\nFROM [Products]\r\nORDER BY Products.UnitPrice DESC;");
  // Joins nest left to right; names keep Access's brackets.
  EXPECT_EQ(sql("Alphabetical List of Products"),
            "SELECT DISTINCTROW Products.*, Categories.CategoryName\r\n"
            "FROM [Categories] INNER JOIN [Products] ON Categories.CategoryID = "
            "Products.CategoryID\r\nWHERE (((Products.Discontinued)=No));");
  // Parameters, form references among them, come first with their types.
  const std::string sales = sql("Sales by Year");
  EXPECT_EQ(sales.substr(0, sales.find('\n') + 1),
            "PARAMETERS [Forms]![Sales by Year Dialog]![BeginningDate] DateTime, "
            "[Forms]![Sales by Year Dialog]![EndingDate] DateTime;\r\n");
  // Three inputs joined by two rows make one nest.
  EXPECT_NE(sql("Employee Sales by Country")
                .find("FROM ([Orders] INNER JOIN [Order Subtotals] ON Orders.OrderID = "
                      "[Order Subtotals].OrderID) INNER JOIN [Employees] ON "
                      "Employees.EmployeeID = Orders.EmployeeID"),
            std::string::npos);
  EXPECT_EQ(sql("No Such Query"), "(none)");
}

TEST_F(SavedQueryText, UnionAndCrosstabQueriesOfNorthwind) {
  open("northwind-jet3.mdb");
  EXPECT_EQ(sql("Customers and Suppliers by City"),
            "SELECT City, CompanyName, ContactName, \"Customers\" AS [Relationship] \r\n"
            "FROM Customers\r\nUNION\r\nSELECT City, CompanyName, ContactName, \"Suppliers\"\r\n"
            "FROM Suppliers\r\nORDER BY City, CompanyName;");
  const std::string crosstab = sql("Quarterly Orders by Product");
  EXPECT_EQ(crosstab.substr(0, crosstab.find('\r')),
            "TRANSFORM Sum(CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100) "
            "AS [ProductAmount]");
  // Grouped by the row headings alone, not by the column heading.
  EXPECT_NE(crosstab.find("\r\nGROUP BY Products.ProductName, Orders.CustomerID, "
                          "Year([OrderDate])\r\nPIVOT"),
            std::string::npos);
  EXPECT_EQ(crosstab.substr(crosstab.rfind("\r\n")),
            "\r\nPIVOT \"Qtr \" & DatePart(\"q\",[OrderDate],1,0) In (\"Qtr 1\",\"Qtr 2\",\"Qtr "
            "3\",\"Qtr 4\");");
}

TEST_F(SavedQueryText, ActionAndOtherQueryKinds) {
  open("queries-jet4.mdb");
  EXPECT_EQ(sql("UpdateQuery"),
            "PARAMETERS [User Name] Text ( 255 );\r\nUPDATE [Table1]\r\nSET Table1.col1 = "
            "\"foo\", Table1.col2 = [Table2].[col3], [Table2].[col1] = [User Name]\r\n"
            "WHERE ((([Table2].[col1]) Is Not Null));");
  EXPECT_EQ(sql("DeleteQuery"),
            "DELETE Table1.col1, Table1.col2, Table1.col3\r\nFROM [Table1]\r\n"
            "WHERE (((Table1.col1)>\"blah\"));");
  const std::string append = sql("AppendQuery");
  EXPECT_EQ(append.substr(0, append.find('\r')), "INSERT INTO [Table3] ( [col2], [col2], [col3] )");
  const std::string makeTable = sql("MakeTableQuery");
  EXPECT_EQ(makeTable.substr(0, makeTable.find('\r')),
            "SELECT Max(Table2.col1) AS [MaxOfcol1], Table2.col2, Table3.col2 INTO [Table4]");
  EXPECT_NE(makeTable.find("\r\nHAVING (((Max(Table2.col1))=\"buzz\") AND "
                           "((Table2.col2)<>\"blah\"))"),
            std::string::npos);
  EXPECT_EQ(sql("DataDefinitionQuery"), "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);");
  EXPECT_EQ(sql("PassthroughQuery"), "ALTER TABLE Table4 DROP COLUMN col5;");
}

}  // namespace
}  // namespace tablift::test
