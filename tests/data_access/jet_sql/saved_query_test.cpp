// Saved queries read as inputs, and parameters: what a migrated view or
// procedure is compared against.

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

TEST(JetSqlSavedQueries, RunAsRowSourcesWithTheirResultColumns) {
  MemoryCatalog catalog = SampleCatalog();
  catalog.addQuery("Expensive",
                   "SELECT ProductName, UnitPrice AS Price FROM Products WHERE UnitPrice > 15;");
  catalog.addQuery("Priced",
                   "SELECT ProductID, ProductName, CategoryID FROM Products "
                   "WHERE UnitPrice Is Not Null");
  catalog.addQuery("Cheap", "SELECT * FROM [Priced] WHERE ProductID > 2");

  QueryOutput output = RunQuery(catalog, "select * from expensive order by Price desc");
  ASSERT_EQ(output.code, S_OK) << output.error;
  ASSERT_EQ(output.columns.size(), 2u);
  EXPECT_EQ(output.columns[0].name, "ProductName");
  EXPECT_EQ(output.columns[0].type, JetType::Text);
  EXPECT_EQ(output.columns[0].size, 40u);
  EXPECT_EQ(output.columns[1].name, "Price");
  EXPECT_EQ(output.columns[1].type, JetType::Currency);
  EXPECT_EQ(output.rows,
            (std::vector<Row>{{S("Chang"), Currency{190000}}, {S("Chai"), Currency{180000}}}));

  // Joined with a table, under its own name and under an alias.
  output = RunQuery(catalog,
                    "select Priced.ProductName, CategoryName from Priced inner join Categories "
                    "on Priced.CategoryID = Categories.CategoryID order by Priced.ProductName");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Aniseed Syrup"), S("Condiments")},
                                           {S("Chai"), S("Beverages")},
                                           {S("Chang"), S("Beverages")}}));
  output = RunQuery(catalog,
                    "select Count(*) from Priced as P, Priced as Q where P.ProductID = "
                    "Q.ProductID");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{I{4}}));

  // A saved query over a saved query.
  output = RunQuery(catalog, "select ProductName from Cheap order by ProductID");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Aniseed Syrup"), S("Äpfel")}));

  // The inner side of a nested loop runs its saved query twice, not once
  // for each of the three categories: the second read is kept.
  const std::size_t before = catalog.cursorsOpened("Products");
  output = RunQuery(catalog,
                    "select Count(*) from Categories, Priced where Priced.ProductID > "
                    "Categories.CategoryID");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{I{5}}));
  EXPECT_EQ(catalog.cursorsOpened("Products"), before + 2);

  // A fault inside a saved query names the query its position is in.
  catalog.addQuery("Broken", "SELECT Prise FROM Products");
  output = RunQuery(catalog, "select * from Broken");
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_EQ(output.error,
            "In saved query 'Broken': Unknown column 'Prise' in SELECT near position 8");

  // An unknown name is still unknown.
  output = RunQuery(catalog, "select * from Nowhere");
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_NE(output.error.find("Unknown table 'Nowhere'"), std::string::npos) << output.error;
}

TEST(JetSqlSavedQueries, AQueryThatReadsItselfIsAnErrorNotAHang) {
  MemoryCatalog catalog = SampleCatalog();
  catalog.addQuery("Loop", "SELECT * FROM Loop");
  catalog.addQuery("Ping",
                   "SELECT * FROM Products WHERE ProductID IN (SELECT ProductID FROM Pong)");
  catalog.addQuery("Pong", "SELECT * FROM Ping");
  for (const char* sql : {"select * from Loop", "select * from Ping", "select * from Pong"}) {
    const QueryOutput output = RunQuery(catalog, sql);
    EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND) << sql;
    EXPECT_NE(output.error.find("Circular reference caused by"), std::string::npos)
        << sql << ": " << output.error;
  }
  catalog.addQuery("Looking", "SELECT DCount(\"*\", \"Looking\") FROM One");
  const QueryOutput looking = RunQuery(catalog, "select * from Looking");
  EXPECT_EQ(looking.code, DB_E_ERRORSINCOMMAND);
  EXPECT_NE(looking.error.find("Circular reference caused by 'Looking'"), std::string::npos)
      << looking.error;

  // The same query twice, side by side, is no cycle.
  catalog.addQuery("Twice", "SELECT A.Id FROM One AS A, One AS B");
  const QueryOutput output = RunQuery(catalog, "select * from Twice, Twice as T2");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(output.rows.size(), 1u);
}

TEST(JetSqlSavedQueries, DomainFunctionsRunTheirTextAsAStatement) {
  MemoryCatalog catalog = SampleCatalog();
  catalog.addQuery("Priced", "SELECT * FROM Products WHERE UnitPrice Is Not Null");
  QueryOutput output = RunQuery(catalog,
                                "SELECT ProductName, DLookup(\"[CategoryName]\", \"Categories\", "
                                "\"CategoryID = \" & [CategoryID]) AS Category, "
                                "DCount(\"*\", \"Orders\", \"ProductID = \" & ProductID) AS Lines, "
                                "DSum(\"Quantity\", \"Orders\", \"ProductID = \" & ProductID) AS "
                                "Quantity FROM Products WHERE ProductID <= 3");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(output.columns[1].type, JetType::Text);
  EXPECT_EQ(output.columns[1].size, 15u);
  EXPECT_EQ(output.columns[2].type, JetType::Long);
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Chai"), S("Beverages"), I{2}, 12.0},
                                           {S("Chang"), S("Beverages"), I{0}, kNull},
                                           {S("Aniseed Syrup"), S("Condiments"), I{1}, 1.0}}));

  // Over a saved query, with no criteria.
  output = RunQuery(catalog,
                    "SELECT DMax(\"UnitPrice\", \"Priced\"), DCount(\"*\", \"[Priced]\") FROM One");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(output.rows, (std::vector<Row>{{Currency{190000}, I{4}}}));

  // A name that is no table is found before any row; a criteria text that
  // is no condition, when the call runs.
  output = RunQuery(catalog, "SELECT DLookup(\"X\", \"Nowhere\") FROM One");
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_NE(output.error.find("Unknown table 'Nowhere'"), std::string::npos) << output.error;
  output = RunQuery(catalog,
                    "SELECT DLookup(\"ProductName\", \"Products\", \"ProductID = = 1\") FROM One");
  EXPECT_EQ(output.code, E_FAIL);
  EXPECT_NE(output.error.find("Syntax error in WHERE clause"), std::string::npos) << output.error;
}

TEST(JetSqlParameters, DeclaredParametersTakeTheirTypes) {
  MemoryCatalog catalog = SampleCatalog();
  // Text given for Currency and DateTime, as a user types it.
  QueryOutput output =
      RunQuery(catalog,
               "PARAMETERS [Low] Currency, [Since] DateTime; SELECT ProductName FROM Products "
               "WHERE UnitPrice >= [Low] AND Added >= [Since] ORDER BY ProductName;",
               {{"Low", S("15")}, {"since", S("2/29/2024")}});
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Chai"), S("Chang")}));

  output = RunQuery(catalog,
                    "PARAMETERS [N] Long, [T] Text (10), [Flag] Bit; "
                    "SELECT [N] + 1 AS A, [T] AS B, [Flag] AS C FROM One",
                    {{"N", S("41")}, {"T", I{5}}, {"Flag", I{-1}}});
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{42}, S("5"), true}}));
  EXPECT_EQ(output.columns[0].type, JetType::Long);
  EXPECT_EQ(output.columns[1].type, JetType::Text);
  EXPECT_EQ(output.columns[1].size, 10u);
  EXPECT_EQ(output.columns[2].type, JetType::Boolean);

  // A value the declared type cannot hold.
  output = RunQuery(catalog, "PARAMETERS [S] Short; SELECT [S] FROM One", {{"S", I{70000}}});
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_NE(output.error.find("Overflow"), std::string::npos) << output.error;
  output = RunQuery(catalog, "PARAMETERS [D] DateTime; SELECT [D] FROM One", {{"D", S("soon")}});
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_NE(output.error.find("Type mismatch"), std::string::npos) << output.error;
}

TEST(JetSqlParameters, BracketedNamesAndFormControls) {
  MemoryCatalog catalog = SampleCatalog();
  // Undeclared: any bracketed name that no column or alias answers; names
  // compare without regard to case.
  QueryOutput output = RunQuery(catalog,
                                "SELECT ProductName FROM Products WHERE ProductID = "
                                "[Which product?]",
                                {{"WHICH PRODUCT?", I{3}}});
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Aniseed Syrup")}));

  // A form control is the parameter named after the control, even where a
  // column has that name.
  for (const char* reference :
       {"[Forms]![Products]![ProductID]", "Forms!Products!ProductID", "Reports!R!ProductID",
        "[Forms]![Main]![Lines].[Form]![ProductID]"}) {
    output =
        RunQuery(catalog,
                 std::string("SELECT ProductName FROM Products WHERE (((Products.ProductID)=") +
                     reference + "))",
                 {{"ProductID", I{2}}});
    ASSERT_EQ(output.code, S_OK) << reference << ": " << output.error;
    EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Chang")})) << reference;
  }

  // Declared the way Access saves a form control in PARAMETERS.
  output = RunQuery(catalog,
                    "PARAMETERS [Forms]![Products]![ProductID] Long; SELECT ProductName FROM "
                    "Products WHERE ProductID = [Forms]![Products]![ProductID]",
                    {{"ProductID", S("1")}});
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Chai")}));

  // Columns and aliases are not parameters.
  output = RunQuery(catalog,
                    "SELECT [ProductID] * 2 AS [Twice], [Twice] + 1 FROM Products "
                    "WHERE [ProductID] = 1");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{2}, I{3}}}));
}

TEST(JetSqlParameters, MissingValuesAreCountedAsAccessCountsThem) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = RunQuery(
      catalog,
      "SELECT * FROM Products WHERE ProductID = [A] OR ProductID = [B] OR CategoryID = [a]",
      {{"a", I{1}}});
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_EQ(output.error, "Too few parameters. Expected 1.");

  // Declared parameters count even when the statement does not use them.
  output = RunQuery(catalog, "PARAMETERS [X] Long, [Y] Text; SELECT [Z] FROM One");
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_EQ(output.error, "Too few parameters. Expected 3.");

  // Unbracketed unknown names stay errors.
  output = RunQuery(catalog, "SELECT Nonsense FROM One");
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_NE(output.error.find("Unknown column 'Nonsense'"), std::string::npos) << output.error;
}

TEST(JetSqlParameters, SavedQueriesSeeTheSameValues) {
  MemoryCatalog catalog = SampleCatalog();
  catalog.addQuery("ByCategory",
                   "PARAMETERS [Cat] Long; SELECT ProductID, ProductName FROM Products "
                   "WHERE CategoryID = [Cat]");
  catalog.addQuery("Filtered",
                   "SELECT DISTINCTROW ByCategory.* FROM ByCategory "
                   "WHERE (((ByCategory.ProductID)=[Forms]![Orders]![ProductID]))");
  QueryOutput output = RunQuery(catalog, "SELECT Count(*) FROM ByCategory", {{"Cat", S("1")}});
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{I{2}}));

  output =
      RunQuery(catalog, "SELECT ProductName FROM Filtered", {{"Cat", I{1}}, {"ProductID", I{2}}});
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(FirstColumn(output), (std::vector<Value>{S("Chang")}));

  output = RunQuery(catalog, "SELECT * FROM Filtered", {{"ProductID", I{2}}});
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_EQ(output.error, "Too few parameters. Expected 1.");
}

TEST(JetSqlParameters, ListedDeclaredFirstThenInOrderOfAppearance) {
  MemoryCatalog catalog = SampleCatalog();
  catalog.addQuery("ByCategory",
                   "PARAMETERS [Cat] Long; SELECT * FROM Products WHERE CategoryID = [Cat]");
  std::vector<QueryParameterInfo> parameters;
  ASSERT_EQ(ListJetQueryParameters(catalog,
                                   "PARAMETERS [Since] DateTime, [Label] Text(20); "
                                   "SELECT [Prefix] & ProductName FROM ByCategory "
                                   "WHERE ProductID = [Forms]![F]![Pid] AND Added > [Since] "
                                   "AND ProductName <> [Other] AND ProductID <> [pid]",
                                   parameters),
            S_OK);
  ASSERT_EQ(parameters.size(), 6u);
  EXPECT_EQ(parameters[0].name, "Since");
  EXPECT_EQ(parameters[0].type, JetType::DateTime);
  EXPECT_EQ(parameters[1].name, "Label");
  EXPECT_EQ(parameters[1].type, JetType::Text);
  EXPECT_EQ(parameters[1].size, 20u);
  EXPECT_EQ(parameters[2].name, "Cat");
  EXPECT_EQ(parameters[2].type, JetType::Long);
  EXPECT_EQ(parameters[3].name, "Prefix");
  EXPECT_FALSE(parameters[3].type.has_value());
  EXPECT_EQ(parameters[4].name, "Pid");
  EXPECT_EQ(parameters[5].name, "Other");

  // A crosstab finds its columns in its rows, but not to list parameters.
  const std::size_t opened = catalog.cursorsOpened("Products");
  ASSERT_EQ(ListJetQueryParameters(catalog,
                                   "TRANSFORM Count(*) SELECT CategoryID FROM Products WHERE "
                                   "UnitPrice > [Low] GROUP BY CategoryID PIVOT Discontinued",
                                   parameters),
            S_OK);
  ASSERT_EQ(parameters.size(), 1u);
  EXPECT_EQ(parameters[0].name, "Low");
  EXPECT_EQ(catalog.cursorsOpened("Products"), opened);

  EXPECT_EQ(ListJetQueryParameters(catalog, "SELECT * FROM Products", parameters), S_OK);
  EXPECT_TRUE(parameters.empty());
  EXPECT_EQ(ListJetQueryParameters(catalog, "SELECT * FROM Nowhere", parameters),
            DB_E_ERRORSINCOMMAND);
}

}  // namespace
}  // namespace tablift::jet::testing
