// Statements made of statements: UNION, subqueries, derived tables, TOP with
// ties and percentages, crosstabs.

#include <gtest/gtest.h>

#include "tests/data_access/jet_sql/query_runner.h"

namespace tablift::jet::testing {
namespace {

using I = std::int64_t;
using S = std::string;
const Value kNull = Null{};

std::vector<Value> FirstColumn(const QueryOutput& output) {
  std::vector<Value> values;
  for (const Row& row : output.rows)
    values.push_back(row.empty() ? kNull : row[0]);
  return values;
}

std::vector<std::string> ColumnNames(const QueryOutput& output) {
  std::vector<std::string> names;
  for (const ResultColumn& column : output.columns)
    names.push_back(column.name);
  return names;
}

QueryOutput Ok(MemoryCatalog& catalog, const std::string& sql) {
  QueryOutput output = RunQuery(catalog, sql);
  EXPECT_EQ(output.code, S_OK) << sql << ": " << output.error;
  return output;
}

TEST(JetSqlUnion, DuplicatesGoAcrossTheWholeUnionAndOrderSortsIt) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = Ok(catalog,
                          "SELECT ProductName AS Name, 'P' AS Kind FROM Products WHERE ProductID "
                          "<= 2 UNION SELECT CategoryName, \"C\" FROM Categories UNION "
                          "SELECT ProductName, 'P' FROM Products WHERE ProductID = 1 "
                          "ORDER BY Kind DESC, Name;");
  EXPECT_EQ(ColumnNames(output), (std::vector<std::string>{"Name", "Kind"}));
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Chai"), S("P")},
                                           {S("Chang"), S("P")},
                                           {S("Beverages"), S("C")},
                                           {S("Condiments"), S("C")},
                                           {S("Unused"), S("C")}}));

  // ORDER BY may name a first-select column by its table and column.
  output = Ok(catalog,
              "SELECT Products.ProductName AS Name FROM Products WHERE ProductID <= 2 UNION "
              "SELECT CategoryName FROM Categories ORDER BY Products.ProductName DESC");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Unused"), S("Condiments"), S("Chang"),
                                                     S("Chai"), S("Beverages")}));

  // UNION ALL keeps them; a later UNION removes those before it too.
  const std::string chai = "SELECT ProductName FROM Products WHERE ProductID = 1";
  output = Ok(catalog, chai + " UNION ALL " + chai + " UNION ALL " + chai);
  EXPECT_EQ(output.rows.size(), 3u);
  output = Ok(catalog, chai + " UNION ALL " + chai + " UNION " + chai);
  EXPECT_EQ(output.rows.size(), 1u);
  output = Ok(catalog, chai + " UNION " + chai + " UNION ALL " + chai);
  EXPECT_EQ(output.rows.size(), 2u);

  output = Ok(catalog, chai + " UNION " + chai + " WITH OWNERACCESS OPTION;");
  EXPECT_EQ(output.rows.size(), 1u);

  // Parenthesized selects and TABLE name.
  output = RunQuery(catalog, "(SELECT CategoryID FROM Categories) UNION TABLE One");
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  output = Ok(catalog, "(SELECT Id, Nothing FROM One) UNION ALL TABLE One");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{1}, kNull}, {I{1}, kNull}}));
}

TEST(JetSqlUnion, ColumnTypesWidenToHoldEveryPart) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = Ok(catalog,
                          "SELECT ProductID AS V FROM Products WHERE ProductID = 1 UNION ALL "
                          "SELECT UnitPrice FROM Products WHERE ProductID = 3");
  ASSERT_EQ(output.columns.size(), 1u);
  EXPECT_EQ(output.columns[0].name, "V");
  EXPECT_EQ(output.columns[0].type, JetType::Currency);
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{Currency{10000}, Currency{100000}}));

  output = Ok(catalog,
              "SELECT ProductID FROM Products WHERE ProductID = 2 UNION "
              "SELECT ProductName FROM Products WHERE ProductID = 2 UNION SELECT Null FROM One");
  EXPECT_EQ(output.columns[0].type, JetType::Text);
  EXPECT_EQ(output.columns[0].name, "ProductID");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("2"), S("Chang"), kNull}));
}

TEST(JetSqlSubqueries, ScalarValues) {
  MemoryCatalog catalog = SampleCatalog();
  // Products Above Average Price, as Access saves it.
  QueryOutput output = Ok(catalog,
                          "SELECT DISTINCTROW Products.ProductName, Products.UnitPrice FROM "
                          "Products WHERE (((Products.UnitPrice)>(SELECT AVG([UnitPrice]) From "
                          "Products))) ORDER BY Products.UnitPrice DESC;");
  EXPECT_EQ(output.rows,
            (std::vector<Row>{{S("Chang"), Currency{190000}}, {S("Chai"), Currency{180000}}}));

  // No row is Null; a value in any expression; the type of the column.
  output = Ok(catalog,
              "SELECT (SELECT ProductName FROM Products WHERE ProductID = 99) AS None, "
              "(SELECT Max(UnitPrice) FROM Products) * 2 AS Twice FROM One");
  EXPECT_EQ(output.rows, (std::vector<Row>{{kNull, Currency{380000}}}));
  EXPECT_EQ(output.columns[1].type, JetType::Currency);

  output = RunQuery(catalog, "SELECT (SELECT ProductID FROM Products) FROM One");
  EXPECT_EQ(output.code, E_FAIL);
  EXPECT_NE(output.error.find("At most one record can be returned by this subquery."),
            std::string::npos)
      << output.error;
}

TEST(JetSqlSubqueries, InAndExists) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = Ok(catalog,
                          "SELECT ProductName FROM Products WHERE ProductID IN (SELECT ProductID "
                          "FROM Orders) ORDER BY ProductName");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Aniseed Syrup"), S("Chai")}));
  output = Ok(catalog,
              "SELECT ProductName FROM Products WHERE ProductID NOT IN (SELECT ProductID "
              "FROM Orders) ORDER BY ProductName");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Äpfel"), S("Chang"), S("Île flottante")}));
  // A Null among the values makes NOT IN unknown for every other value.
  output = Ok(catalog,
              "SELECT ProductName FROM Products WHERE ProductID NOT IN (SELECT CategoryID FROM "
              "Products)");
  EXPECT_TRUE(output.rows.empty());
  // The subquery's rows are read once however many rows test against them.
  const std::size_t before = catalog.cursorsOpened("Orders");
  Ok(catalog, "SELECT ProductName FROM Products WHERE ProductID IN (SELECT ProductID FROM Orders)");
  EXPECT_EQ(catalog.cursorsOpened("Orders"), before + 1);

  // Comparisons with ANY, SOME and ALL rows; ALL over no rows holds.
  output = Ok(catalog,
              "SELECT ProductName FROM Products WHERE UnitPrice >= ALL (SELECT UnitPrice FROM "
              "Products WHERE UnitPrice Is Not Null)");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Chang")}));
  output = Ok(catalog,
              "SELECT ProductName FROM Products WHERE UnitPrice < ANY (SELECT UnitPrice FROM "
              "Products WHERE CategoryID = 2) ORDER BY 1");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Äpfel")}));
  output = Ok(catalog,
              "SELECT Count(*) FROM Products WHERE ProductID = SOME (SELECT ProductID FROM Orders) "
              "OR ProductID > ALL (SELECT Id FROM One WHERE Id > 5)");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{I{5}}));
  // A Null among the rows leaves ALL unknown.
  output = Ok(catalog,
              "SELECT Count(*) FROM Products WHERE UnitPrice >= ALL (SELECT UnitPrice FROM "
              "Products)");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{I{0}}));
  output = Ok(catalog,
              "SELECT CategoryName FROM Categories WHERE EXISTS (SELECT * FROM Products WHERE "
              "Products.CategoryID = Categories.CategoryID) ORDER BY CategoryName");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Beverages"), S("Condiments")}));
  output = Ok(catalog,
              "SELECT CategoryName FROM Categories AS C WHERE NOT EXISTS (SELECT ProductID FROM "
              "Products WHERE CategoryID = C.CategoryID)");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Unused")}));
}

TEST(JetSqlSubqueries, CorrelatedReferencesReadTheEnclosingRow) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = Ok(catalog,
                          "SELECT ProductName, (SELECT Sum(Quantity) FROM Orders WHERE "
                          "Orders.ProductID = Products.ProductID) AS Ordered FROM Products WHERE "
                          "ProductID <= 3");
  EXPECT_EQ(output.rows,
            (std::vector<Row>{{S("Chai"), 12.0}, {S("Chang"), kNull}, {S("Aniseed Syrup"), 1.0}}));

  // The same table inside and out, told apart by the alias; two levels deep.
  output = Ok(catalog,
              "SELECT P.ProductName FROM Products AS P WHERE P.UnitPrice = (SELECT "
              "Max(UnitPrice) FROM Products WHERE Products.CategoryID = P.CategoryID) ORDER BY "
              "P.ProductName");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Aniseed Syrup"), S("Chang")}));
  output = Ok(catalog,
              "SELECT CategoryName FROM Categories AS C WHERE EXISTS (SELECT * FROM Products AS "
              "P WHERE P.CategoryID = C.CategoryID AND EXISTS (SELECT * FROM Orders AS O WHERE "
              "O.ProductID = P.ProductID AND O.Quantity > C.CategoryID * 2))");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Beverages")}));

  // It runs once per distinct set of values it reads (categories 1, 1, 2,
  // Null, 3: four times).
  const std::size_t before = catalog.cursorsOpened("Orders");
  output = Ok(catalog,
              "SELECT (SELECT Count(*) FROM Orders WHERE Orders.ProductID = Products.CategoryID) "
              "FROM Products");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{I{2}, I{2}, I{0}, I{0}, I{1}}));
  EXPECT_EQ(catalog.cursorsOpened("Orders"), before + 4);

  // In a grouped query, over the groups.
  output = Ok(catalog,
              "SELECT CategoryID, Count(*) AS N FROM Products GROUP BY CategoryID HAVING "
              "Count(*) > (SELECT Count(*) FROM Categories WHERE CategoryID = "
              "Products.CategoryID)");
  EXPECT_EQ(output.rows, (std::vector<Row>{{kNull, I{1}}, {I{1}, I{2}}, {I{3}, I{1}}}));
}

TEST(JetSqlSubqueries, DerivedTables) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = Ok(catalog,
                          "SELECT X.Cat, X.N FROM (SELECT CategoryID AS Cat, Count(*) AS N FROM "
                          "Products GROUP BY CategoryID) AS X WHERE X.N > 1");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{1}, I{2}}}));
  // Access's own spelling, with bracketed names inside.
  output = Ok(catalog,
              "SELECT Count(*) FROM [SELECT [ProductID] FROM [Products] WHERE UnitPrice > 15]. "
              "AS Y INNER JOIN Orders ON Y.ProductID = Orders.ProductID");
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{I{2}}));
  EXPECT_EQ(RunQuery(catalog, "SELECT * FROM (SELECT * FROM One)").code, DB_E_ERRORSINCOMMAND);
}

TEST(JetSqlDistinctRow, RepeatedRecordsOfTheShownTablesAreLeftOut) {
  MemoryCatalog catalog = SampleCatalog();
  const std::string join =
      " FROM Products INNER JOIN Orders ON Products.ProductID = Orders.ProductID ORDER BY "
      "Products.ProductID";
  // Chai has two orders: one record of Products, shown once.
  QueryOutput output = Ok(catalog, "SELECT DISTINCTROW Products.ProductName" + join);
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Chai"), S("Aniseed Syrup")}));
  output = Ok(catalog, "SELECT DISTINCTROW Products.*" + join);
  EXPECT_EQ(output.rows.size(), 2u);
  // Columns of both tables: every joined row is its own pair of records.
  output = Ok(catalog, "SELECT DISTINCTROW ProductName, Quantity" + join);
  EXPECT_EQ(output.rows.size(), 3u);
  output = Ok(catalog, "SELECT ProductName" + join);
  EXPECT_EQ(output.rows.size(), 3u);
  // Two records with the same shown values both stay, unlike DISTINCT.
  output = Ok(catalog, "SELECT DISTINCTROW Discontinued FROM Products");
  EXPECT_EQ(output.rows.size(), 5u);
}

TEST(JetSqlTop, TiesWithTheLastRowComeAlong) {
  MemoryCatalog catalog;
  catalog.add("Scores", {Column("Name", JetType::Text, 10), Column("Score", JetType::Long)},
              {{S("A"), I{10}}, {S("B"), I{20}}, {S("C"), I{20}}, {S("D"), I{30}}, {S("E"), I{5}}});
  const auto names = [&](const std::string& sql) { return FirstColumn(Ok(catalog, sql)); };
  EXPECT_EQ(names("SELECT TOP 1 Name FROM Scores ORDER BY Score DESC"),
            (std::vector<Value>{S("D")}));
  EXPECT_EQ(names("SELECT TOP 2 Name FROM Scores ORDER BY Score DESC"),
            (std::vector<Value>{S("D"), S("B"), S("C")}));
  EXPECT_EQ(names("SELECT TOP 2 Name FROM Scores ORDER BY Score DESC, Name DESC"),
            (std::vector<Value>{S("D"), S("C")}));
  // Percentages round up: 40% of 5 is 2 (and C's tie), 50% is 3, 10% is 1.
  EXPECT_EQ(names("SELECT TOP 40 PERCENT Name FROM Scores ORDER BY Score DESC"),
            (std::vector<Value>{S("D"), S("B"), S("C")}));
  EXPECT_EQ(names("SELECT TOP 50 PERCENT Name FROM Scores ORDER BY Score"),
            (std::vector<Value>{S("E"), S("A"), S("B"), S("C")}));
  EXPECT_EQ(names("SELECT TOP 10 PERCENT Name FROM Scores ORDER BY Score"),
            (std::vector<Value>{S("E")}));
  // Without ORDER BY nothing ties.
  EXPECT_EQ(names("SELECT TOP 2 Name FROM Scores"), (std::vector<Value>{S("A"), S("B")}));
  EXPECT_EQ(names("SELECT TOP 20 PERCENT Name FROM Scores"), (std::vector<Value>{S("A")}));
  EXPECT_EQ(names("SELECT TOP 10 Name FROM Scores WHERE Score > 100"), std::vector<Value>{});
  EXPECT_EQ(RunQuery(catalog, "SELECT TOP 101 PERCENT Name FROM Scores").code,
            DB_E_ERRORSINCOMMAND);
}

class JetSqlCrosstab : public ::testing::Test {
 protected:
  JetSqlCrosstab() {
    catalog_.add("Sales",
                 {Column("Product", JetType::Text, 20), Column("Quarter", JetType::Text, 4),
                  Column("Amount", JetType::Long)},
                 {{S("Chai"), S("Q1"), I{10}},
                  {S("Chai"), S("Q1"), I{5}},
                  {S("Chai"), S("Q3"), I{7}},
                  {S("Chang"), S("Q2"), I{4}},
                  {S("Chang"), kNull, I{1}}});
  }
  MemoryCatalog catalog_;
};

TEST_F(JetSqlCrosstab, ColumnsFromTheValuesFound) {
  const QueryOutput output = Ok(catalog_,
                                "TRANSFORM Sum(Amount) AS Total SELECT Product, Sum(Amount) AS "
                                "[All] FROM Sales GROUP BY Product PIVOT Quarter;");
  EXPECT_EQ(ColumnNames(output),
            (std::vector<std::string>{"Product", "All", "<>", "Q1", "Q2", "Q3"}));
  EXPECT_EQ(output.columns[3].type, JetType::Double);
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Chai"), 22.0, kNull, 15.0, kNull, 7.0},
                                           {S("Chang"), 5.0, 1.0, kNull, 4.0, kNull}}));
}

TEST_F(JetSqlCrosstab, ColumnsFromTheInList) {
  QueryOutput output = Ok(catalog_,
                          "TRANSFORM Count(*) SELECT Product FROM Sales WHERE Amount > 1 GROUP BY "
                          "Product PIVOT \"Qtr \" & Mid([Quarter], 2) IN (\"Qtr 4\", \"Qtr 1\")");
  EXPECT_EQ(ColumnNames(output), (std::vector<std::string>{"Product", "Qtr 4", "Qtr 1"}));
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Chai"), kNull, I{2}}, {S("Chang"), kNull, kNull}}));

  // An expression over the aggregates, numbers as pivot values.
  output = Ok(catalog_,
              "TRANSFORM Nz(Max(Amount) - Min(Amount), 0) SELECT Product FROM Sales GROUP BY "
              "Product PIVOT Len(Quarter) IN (2, 3)");
  EXPECT_EQ(ColumnNames(output), (std::vector<std::string>{"Product", "2", "3"}));
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Chai"), I{5}, kNull}, {S("Chang"), I{0}, kNull}}));

  // ORDER BY sorts the rows.
  output = Ok(catalog_,
              "TRANSFORM Sum(Amount) SELECT Product FROM Sales GROUP BY Product ORDER BY Product "
              "DESC PIVOT Quarter IN ('Q2')");
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Chang"), 4.0}, {S("Chai"), kNull}}));

  EXPECT_EQ(RunQuery(catalog_,
                     "TRANSFORM Amount SELECT Product FROM Sales GROUP BY Product "
                     "PIVOT Quarter")
                .code,
            DB_E_ERRORSINCOMMAND);
}

}  // namespace
}  // namespace tablift::jet::testing
