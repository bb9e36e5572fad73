// Whole statements: the ones the system sends to an Access source, joins,
// aggregates, ordering, result columns, error messages and streaming.

#include <gtest/gtest.h>

#include "data_access/error_info.h"
#include "tests/data_access/jet_sql/query_runner.h"

namespace tablift::jet::testing {
namespace {

using I = std::int64_t;
using S = std::string;
const Value kNull = Null{};

std::vector<std::string> ColumnNames(const QueryOutput& output) {
  std::vector<std::string> names;
  for (const ResultColumn& column : output.columns)
    names.push_back(column.name);
  return names;
}

TEST(JetSqlQueries, SelectStarWithCondition) {
  MemoryCatalog catalog = SampleCatalog();
  const QueryOutput output = RunQuery(catalog, "select * from Products where UnitPrice > 15");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(ColumnNames(output), (std::vector<std::string>{"ProductID", "ProductName", "CategoryID",
                                                           "UnitPrice", "Discontinued", "Added"}));
  EXPECT_EQ(output.columns[1].type, JetType::Text);
  EXPECT_EQ(output.columns[1].size, 40u);
  EXPECT_EQ(output.columns[3].type, JetType::Currency);
  EXPECT_EQ(output.columns[5].type, JetType::DateTime);
  EXPECT_EQ(output.rows, (std::vector<Row>{
                             {I{1}, S("Chai"), I{1}, Currency{180000}, false, DateTime{45351.5}},
                             {I{2}, S("Chang"), I{1}, Currency{190000}, true, DateTime{45352}},
                         }));
  EXPECT_EQ(RunQuery(catalog, "select * from Products").rows.size(), 5u);
}

TEST(JetSqlQueries, ColumnsOfEveryType) {
  using T = JetType;
  MemoryCatalog catalog;
  SourceColumn amount = Column("Amount", T::Decimal);
  amount.precision = 18;
  amount.scale = 4;
  const std::string guid = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
  const Row first = {
      I{200},           I{-300},         I{70000},           2.5,         0.1,
      Currency{5000},   DateTime{45351}, Decimal{"12.3400"}, S("Straße"), S(20000, 'm'),
      Bytes{{0, 1, 0}}, Bytes{{0xFF}},   Guid{guid},         true};
  catalog.add(
      "Kinds",
      {Column("B", T::Byte), Column("I", T::Integer), Column("L", T::Long), Column("Sg", T::Single),
       Column("D", T::Double), Column("C", T::Currency), Column("Dt", T::DateTime), amount,
       Column("Tx", T::Text, 10), Column("M", T::Memo), Column("Bin", T::Binary, 3),
       Column("Ole", T::OleObject), Column("G", T::ReplicationId), Column("Y", T::Boolean)},
      {first, Row(14, Value(Null{}))});

  // Every value and column description passes through unchanged.
  QueryOutput output = RunQuery(catalog, "select * from Kinds");
  ASSERT_EQ(output.code, S_OK) << output.error;
  ASSERT_EQ(output.columns.size(), 14u);
  EXPECT_EQ(output.columns[0].type, T::Byte);
  EXPECT_EQ(output.columns[3].type, T::Single);
  EXPECT_EQ(output.columns[7].type, T::Decimal);
  EXPECT_EQ(output.columns[7].precision, 18);
  EXPECT_EQ(output.columns[7].scale, 4);
  EXPECT_EQ(output.columns[10].size, 3u);
  EXPECT_EQ(output.rows, (std::vector<Row>{first, Row(14, Value(Null{}))}));

  output = RunQuery(catalog,
                    "select Amount * 2, Amount + C, Amount > 12.34, B + I, Sg * 2, Tx & M, "
                    "Sum(Amount) from Kinds group by Amount, C, B, I, Sg, Tx, M having Amount > 0");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(output.columns[0].type, T::Decimal);
  EXPECT_EQ(output.columns[0].scale, 4);
  EXPECT_EQ(output.columns[4].type, T::Double);
  EXPECT_EQ(output.columns[5].type, T::Memo);
  EXPECT_EQ(output.columns[6].type, T::Decimal);
  ASSERT_EQ(output.rows.size(), 1u);
  EXPECT_EQ(output.rows[0][0], Value(Decimal{"24.6800"}));
  EXPECT_EQ(output.rows[0][1], Value(Decimal{"12.8400"}));
  EXPECT_EQ(output.rows[0][2], Value(false));
  EXPECT_EQ(output.rows[0][3], Value(I{-100}));
  EXPECT_EQ(output.rows[0][4], Value(5.0));
  EXPECT_EQ(std::get<std::string>(output.rows[0][5]).size(), 7u + 20000u);
  EXPECT_EQ(output.rows[0][6], Value(Decimal{"12.3400"}));

  // A GUID matches its text in any case, with or without braces.
  EXPECT_EQ(RunQuery(catalog, "select count(*) from Kinds where G = '" +
                                  std::string("{6b29fc40-ca47-1067-b31d-00dd010662da}") + "'")
                .rows,
            (std::vector<Row>{{I{1}}}));
  EXPECT_EQ(RunQuery(catalog,
                     "select count(*) from Kinds where G = '6B29FC40-CA47-1067-B31D-00DD010662DA'")
                .rows,
            (std::vector<Row>{{I{1}}}));
  EXPECT_EQ(RunQuery(catalog, "select count(*) from Kinds where Bin Is Not Null and Y").rows,
            (std::vector<Row>{{I{1}}}));
}

TEST(JetSqlQueries, CountWithCondition) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = RunQuery(catalog, "select count(*) from Products where Discontinued = True");
  ASSERT_EQ(output.code, S_OK) << output.error;
  ASSERT_EQ(output.columns.size(), 1u);
  EXPECT_EQ(output.columns[0].name, "Expr1000");
  EXPECT_EQ(output.columns[0].type, JetType::Long);
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{2}}}));
  EXPECT_EQ(RunQuery(catalog, "select count(*) from Products").rows, (std::vector<Row>{{I{5}}}));
  EXPECT_EQ(RunQuery(catalog, "select count(*) from Products where ProductID > 100").rows,
            (std::vector<Row>{{I{0}}}));
}

TEST(JetSqlQueries, RelationshipsOfOneTable) {
  MemoryCatalog catalog = SampleCatalog();
  const QueryOutput output =
      RunQuery(catalog,
               "select szRelationship,szObject,szColumn,szReferencedObject,szReferencedColumn from "
               "MSysRelationShips \t\twhere szObject='Orders'");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(ColumnNames(output),
            (std::vector<std::string>{"szRelationship", "szObject", "szColumn",
                                      "szReferencedObject", "szReferencedColumn"}));
  EXPECT_EQ(output.rows,
            (std::vector<Row>{
                {S("ProductsOrders"), S("Orders"), S("ProductID"), S("Products"), S("ProductID")},
                {S("HeadsOrders"), S("Orders"), S("OrderID"), S("OrderHeads"), S("OrderID")},
            }));
  EXPECT_TRUE(RunQuery(catalog,
                       "select szRelationship,szObject,szColumn,szReferencedObject,"
                       "szReferencedColumn from MSysRelationShips \t\twhere szObject='Nothing'")
                  .rows.empty());
}

TEST(JetSqlQueries, QueryElementsOfOneView) {
  MemoryCatalog catalog = SampleCatalog();
  const QueryOutput output = RunQuery(
      catalog,
      "select Q.* from MSysObjects O,MSysQueries Q \t\twhere O.name='Q1' and O.Id=Q.ObjectId");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(ColumnNames(output),
            (std::vector<std::string>{"Attribute", "Expression", "Flag", "LvExtra", "Name1",
                                      "Name2", "ObjectId", "Order"}));
  EXPECT_EQ(output.columns[1].type, JetType::Memo);
  EXPECT_EQ(output.rows, (std::vector<Row>{
                             {I{0}, kNull, I{1}, kNull, kNull, kNull, I{200}, kNull},
                             {I{5}, kNull, I{0}, kNull, S("Products"), kNull, I{200}, kNull},
                             {I{6}, S("ProductName"), I{0}, kNull, kNull, kNull, I{200}, kNull},
                             {I{8}, S("UnitPrice>10"), I{0}, kNull, kNull, kNull, I{200}, kNull},
                         }));
  // The condition on O alone is tested before MSysQueries is read, so it is
  // read once, for the one matching object, not once per object.
  EXPECT_EQ(catalog.cursorsOpened("MSysQueries"), 1u);
}

TEST(JetSqlQueries, Joins) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = RunQuery(
      catalog,
      "SELECT Products.ProductName, Categories.CategoryName FROM Products INNER JOIN Categories "
      "ON Products.CategoryID = Categories.CategoryID");
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Chai"), S("Beverages")},
                                           {S("Chang"), S("Beverages")},
                                           {S("Aniseed Syrup"), S("Condiments")}}));

  output = RunQuery(catalog,
                    "SELECT P.ProductID, C.CategoryName FROM Products AS P LEFT JOIN Categories AS "
                    "C ON P.CategoryID = C.CategoryID");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{1}, S("Beverages")},
                                           {I{2}, S("Beverages")},
                                           {I{3}, S("Condiments")},
                                           {I{4}, kNull},
                                           {I{5}, kNull}}));

  output = RunQuery(catalog,
                    "SELECT C.CategoryName, P.ProductID FROM Products P RIGHT OUTER JOIN "
                    "Categories C ON P.CategoryID = C.CategoryID");
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Beverages"), I{1}},
                                           {S("Beverages"), I{2}},
                                           {S("Condiments"), I{3}},
                                           {S("Unused"), kNull}}));

  // Access nests joins in parentheses; a WHERE on the outer join's missing
  // side sees Null.
  output = RunQuery(catalog,
                    "SELECT O.OrderID, P.ProductName, C.CategoryName\r\nFROM (Orders AS O INNER "
                    "JOIN Products AS P ON O.ProductID = P.ProductID) LEFT JOIN Categories AS C "
                    "ON (P.CategoryID = C.CategoryID)\r\nWHERE C.CategoryName Is Not Null;");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{10}, S("Chai"), S("Beverages")},
                                           {I{11}, S("Chai"), S("Beverages")},
                                           {I{12}, S("Aniseed Syrup"), S("Condiments")}}));

  output = RunQuery(catalog, "select count(*) from Categories, Orders");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{12}}}));
  // The outer row's values stay the same for every inner row.
  output = RunQuery(catalog,
                    "select CategoryName, OrderID from Categories, Orders where OrderID < 12 and "
                    "CategoryID < 3");
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Beverages"), I{10}},
                                           {S("Beverages"), I{11}},
                                           {S("Condiments"), I{10}},
                                           {S("Condiments"), I{11}}}));

  // The same column name from two tables is told apart by its table.
  output = RunQuery(catalog,
                    "select * from Categories C inner join Products P on C.CategoryID = "
                    "P.CategoryID where P.ProductID = 3");
  EXPECT_EQ(ColumnNames(output),
            (std::vector<std::string>{"C.CategoryID", "CategoryName", "ProductID", "ProductName",
                                      "P.CategoryID", "UnitPrice", "Discontinued", "Added"}));
  ASSERT_EQ(output.rows.size(), 1u);
  EXPECT_EQ(output.rows[0][1], Value(S("Condiments")));
}

TEST(JetSqlQueries, ResultColumnsOfExpressions) {
  MemoryCatalog catalog = SampleCatalog();
  const QueryOutput output = RunQuery(
      catalog,
      "select ProductName, UnitPrice * 2, ProductID / 2 AS [Half Id], Len(ProductName), "
      "'#' & ProductID, ProductID > 2, Products.ProductID from Products where ProductID = 1");
  ASSERT_EQ(output.code, S_OK) << output.error;
  EXPECT_EQ(ColumnNames(output),
            (std::vector<std::string>{"ProductName", "Expr1001", "Half Id", "Expr1003", "Expr1004",
                                      "Expr1005", "ProductID"}));
  const std::vector<JetType> types = {JetType::Text, JetType::Currency, JetType::Double,
                                      JetType::Long, JetType::Text,     JetType::Boolean,
                                      JetType::Long};
  for (std::size_t i = 0; i < types.size(); ++i)
    EXPECT_EQ(output.columns[i].type, types[i]) << i;
  EXPECT_EQ(output.columns[4].size, 255u);
  EXPECT_EQ(output.rows,
            (std::vector<Row>{{S("Chai"), Currency{360000}, 0.5, I{4}, S("#1"), false, I{1}}}));

  // One column named in several places keeps its value in each.
  const QueryOutput repeated = RunQuery(
      catalog,
      "select ProductName, Len(ProductName), ProductName AS Again from Products where ProductID "
      "= 1 order by ProductName");
  EXPECT_EQ(repeated.rows, (std::vector<Row>{{S("Chai"), I{4}, S("Chai")}}));

  // A select-list alias may be used in WHERE and ORDER BY, as Access allows.
  const QueryOutput twice = RunQuery(
      catalog, "select UnitPrice * 2 as Twice from Products where Twice > 30 order by Twice desc");
  EXPECT_EQ(twice.rows, (std::vector<Row>{{Currency{380000}}, {Currency{360000}}}));

  // Column values take the column's type whichever branch they come from.
  const QueryOutput mixed =
      RunQuery(catalog, "select IIf(ProductID = 1, 5, 'x') from Products where ProductID < 3");
  EXPECT_EQ(mixed.columns[0].type, JetType::Text);
  EXPECT_EQ(mixed.rows, (std::vector<Row>{{S("5")}, {S("x")}}));
}

TEST(JetSqlQueries, AggregatesAndGrouping) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output =
      RunQuery(catalog,
               "select Count(*), Count(CategoryID), Sum(UnitPrice), Min(ProductName), Max(Added), "
               "Avg(ProductID), First(CategoryID), Last(UnitPrice) from Products");
  ASSERT_EQ(output.code, S_OK) << output.error;
  // Ä sorts with A, so "Aniseed" comes before "Äpfel".
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{5}, I{4}, Currency{495000}, S("Aniseed Syrup"),
                                            DateTime{45658}, 3.0, I{1}, kNull}}));
  EXPECT_EQ(output.columns[2].type, JetType::Currency);

  output = RunQuery(catalog, "select Sum(ProductID), Max(ProductID) from Products where 1 = 0");
  EXPECT_EQ(output.rows, (std::vector<Row>{{kNull, kNull}}));

  output = RunQuery(catalog, "select CategoryID, count(*) as N from Products group by CategoryID");
  EXPECT_EQ(ColumnNames(output), (std::vector<std::string>{"CategoryID", "N"}));
  EXPECT_EQ(output.rows,
            (std::vector<Row>{{kNull, I{1}}, {I{1}, I{2}}, {I{2}, I{1}}, {I{3}, I{1}}}));

  output = RunQuery(catalog,
                    "select CategoryID, Sum(UnitPrice) from Products group by CategoryID "
                    "having count(*) > 1");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{1}, Currency{370000}}}));

  output = RunQuery(catalog,
                    "select C.CategoryName, Sum(O.Quantity) AS Total from (Orders O inner join "
                    "Products P on O.ProductID = P.ProductID) inner join Categories C on "
                    "P.CategoryID = C.CategoryID group by C.CategoryName");
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("Beverages"), 12.0}, {S("Condiments"), 1.0}}));

  output = RunQuery(catalog, "select 'many' from Products having count(*) > 9");
  EXPECT_TRUE(output.rows.empty());
  EXPECT_EQ(RunQuery(catalog, "select ProductID from Products having ProductID > 1").code,
            DB_E_ERRORSINCOMMAND);

  output = RunQuery(catalog, "select ProductName, count(*) from Products");
  EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND);
  EXPECT_EQ(output.error,
            "Column 'ProductName' is neither in GROUP BY nor inside an aggregate function in "
            "SELECT near position 8");
}

TEST(JetSqlQueries, OrderDistinctAndTop) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output =
      RunQuery(catalog, "select ProductID from Products order by UnitPrice desc, ProductID");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{2}}, {I{1}}, {I{3}}, {I{4}}, {I{5}}}));
  output = RunQuery(catalog, "select ProductID from Products order by Added");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{4}}, {I{3}}, {I{1}}, {I{2}}, {I{5}}}));
  output = RunQuery(catalog, "select ProductName from Products order by ProductName");
  EXPECT_EQ(
      output.rows,
      (std::vector<Row>{
          {S("Aniseed Syrup")}, {S("Äpfel")}, {S("Chai")}, {S("Chang")}, {S("Île flottante")}}));
  // Yes is -1, so it sorts before No, as in Access.
  output = RunQuery(catalog, "select distinct Discontinued from Products order by Discontinued");
  EXPECT_EQ(output.rows, (std::vector<Row>{{true}, {false}}));
  output = RunQuery(catalog,
                    "select distinct UCase(Left(ProductName, 2)) from Products where "
                    "ProductName Like 'ch*'");
  EXPECT_EQ(output.rows, (std::vector<Row>{{S("CH")}}));
  output = RunQuery(catalog, "select top 2 ProductID from Products order by ProductID desc");
  EXPECT_EQ(output.rows, (std::vector<Row>{{I{5}}, {I{4}}}));
}

TEST(JetSqlQueries, AccessSpellings) {
  MemoryCatalog catalog = SampleCatalog();
  catalog.add("Order Details",
              {Column("Order ID", JetType::Long), Column("Unit Price", JetType::Currency)},
              {{I{1}, Currency{15000}}, {I{2}, Currency{25000}}});
  const auto rows = [&](const std::string& sql) {
    const QueryOutput output = RunQuery(catalog, sql);
    EXPECT_EQ(output.code, S_OK) << sql << ": " << output.error;
    return output.rows;
  };
  const std::vector<Row> chai = {{S("Chai")}};
  EXPECT_EQ(rows("SeLeCt [ProductName] FROM [Products] WHERE [Products].[ProductID] = 1;"), chai);
  EXPECT_EQ(rows("select productname from PRODUCTS where products.productid=1 ;  "), chai);
  EXPECT_EQ(rows("select ProductName\n\tfrom Products\r\n\twhere ProductName = \"chai\""), chai);
  EXPECT_EQ(rows("select ProductName from Products where ProductName In ('Chai', 'x')"), chai);
  EXPECT_EQ(rows("select ProductName from Products where Products!ProductID = 1"), chai);
  EXPECT_EQ(rows("select 'It''s' & \"a \"\"b\"\"\" from One"),
            (std::vector<Row>{{S("It'sa \"b\"")}}));
  EXPECT_EQ(rows("select [Order ID] from [Order Details] where [Unit Price] Between 1 And 2"),
            (std::vector<Row>{{I{1}}}));
  EXPECT_EQ(rows("select D.[Order ID] from [Order Details] AS D where D.[Unit Price] >= 2.5"),
            (std::vector<Row>{{I{2}}}));
  EXPECT_EQ(rows("select count(*) from Products where Not Discontinued And UnitPrice Is Not Null"),
            (std::vector<Row>{{I{3}}}));
  EXPECT_EQ(rows("select count(*) from Products where Discontinued = On Or ProductID = -(-1)"),
            (std::vector<Row>{{I{3}}}));
}

TEST(JetSqlQueries, ErrorsPointAtTheProblem) {
  MemoryCatalog catalog = SampleCatalog();
  const auto error = [&](const std::string& sql) {
    const QueryOutput output = RunQuery(catalog, sql);
    EXPECT_EQ(output.code, DB_E_ERRORSINCOMMAND) << sql;
    return output.error;
  };
  EXPECT_EQ(error("select * from Products where Prise > 5"),
            "Unknown column 'Prise' in WHERE near position 30");
  EXPECT_EQ(error("select * from Products where P.UnitPrice > 5"),
            "Unknown table 'P' for column 'P.UnitPrice' in WHERE near position 30");
  EXPECT_EQ(error("select * from Prodcts"), "Unknown table 'Prodcts' in FROM near position 15");
  EXPECT_EQ(error("select * from Products where And ProductID = 1"),
            "Syntax error in WHERE clause near 'And' at position 30");
  EXPECT_EQ(error("select * from Products where ProductID = 1 And"),
            "Syntax error in WHERE clause at end of statement");
  EXPECT_EQ(error("select * from Products where ProductID = = 1"),
            "Syntax error in WHERE clause near '=' at position 42");
  EXPECT_EQ(error("select * from Products where (ProductID = 1"),
            "Syntax error in WHERE clause at end of statement");
  EXPECT_EQ(error("select * Products"),
            "Syntax error in FROM clause near 'Products' at position 10");
  EXPECT_EQ(error("select * from Products P inner join Categories C P.CategoryID = C.CategoryID"),
            "Syntax error in FROM clause near 'P' at position 50");
  EXPECT_EQ(error("select Lenn(ProductName) from Products"),
            "Unknown function 'Lenn' in SELECT near position 8");
  EXPECT_EQ(error("select Left(ProductName) from Products"),
            "Wrong number of arguments for function 'Left' in SELECT near position 8");
  EXPECT_EQ(error("select * from Products where ProductName = 'abc"),
            "Unterminated string at position 44");
  EXPECT_EQ(error("select CategoryID from Products, Categories"),
            "Ambiguous column 'CategoryID' in SELECT near position 8");
  EXPECT_EQ(error("select X.* from Products"), "Unknown table 'X' in SELECT near position 8");
  EXPECT_EQ(error("select * from Products where Count(*) > 1"),
            "Aggregate function 'Count' is not allowed in WHERE near position 30");
  EXPECT_EQ(error("select * from Products where ProductName Like '[a'"),
            "Invalid pattern string (unclosed '[') in WHERE near position 47");
  EXPECT_EQ(error("select * from Products P inner join Categories C on P.CategoryID = O.OrderID, "
                  "Orders O"),
            "Column 'O.OrderID' is not part of this join in ON near position 68");
  EXPECT_EQ(error("select * from Products union select * from Categories"),
            "The number of columns in the two selected tables or queries of a union query do not "
            "match.");
  EXPECT_EQ(error("select * from Products where ProductID In (select * from Orders)"),
            "You have written a subquery that can return more than one field without using the "
            "EXISTS reserved word in the main query's FROM clause. Revise the SELECT statement of "
            "the subquery to request only one field. in WHERE near position 40");
  EXPECT_EQ(error("select * from Products where ProductID In (select Nothing from Orders)"),
            "Unknown column 'Nothing' in SELECT near position 51");
  EXPECT_EQ(error("select a * 2 as b, b + 1 as a from One"),
            "Circular reference caused by alias 'b' in SELECT near position 8");
  EXPECT_EQ(error(""), "Syntax error in SELECT clause at end of statement");
  // Deep nesting is refused before it can exhaust the stack.
  EXPECT_EQ(
      error("select * from One where " + std::string(5000, '(') + "1" + std::string(5000, ')')),
      "Expression too complex in WHERE clause at position 225");
  std::string sum = "1";
  for (int i = 0; i < 3000; ++i)
    sum += "+1";
  EXPECT_NE(error("select " + sum + " from One").find("Expression too complex"), std::string::npos);
  EXPECT_EQ(error("delete from Products"),
            "Syntax error in SELECT clause near 'delete' at position 1");
  // Nothing was read from a table for a statement that does not bind.
  EXPECT_EQ(catalog.cursorsOpened("Products"), 0u);
}

TEST(JetSqlQueries, FailuresWhileReadingStopTheRows) {
  MemoryCatalog catalog = SampleCatalog();
  QueryOutput output = RunQuery(catalog, "select ProductID / (ProductID - 3) from Products");
  EXPECT_EQ(output.code, E_FAIL);
  EXPECT_EQ(output.error, "Division by zero in SELECT near position 18");
  EXPECT_EQ(output.rows.size(), 2u);

  output = RunQuery(catalog, "select * from Products where CLng(CategoryID) > 1");
  EXPECT_EQ(output.code, E_FAIL);
  EXPECT_EQ(output.error, "Invalid use of Null in WHERE near position 30");

  // A cursor's own failure reaches the caller with its own error object, and
  // the result keeps failing.
  catalog.failAfter("Products", 2);
  std::unique_ptr<QueryResult> result;
  ASSERT_EQ(ExecuteJetQuery(catalog, "select * from Products", result), S_OK);
  Row row;
  EXPECT_EQ(result->next(row), S_OK);
  EXPECT_EQ(result->next(row), S_OK);
  ClearThreadErrorObject();
  EXPECT_EQ(result->next(row), E_FAIL);
  std::optional<ErrorObject> posted = TakeThreadErrorObject();
  ASSERT_TRUE(posted.has_value());
  EXPECT_EQ(posted->own.description, "Damaged page in table Products");
  EXPECT_TRUE(Failed(result->next(row)));
}

TEST(JetSqlQueries, RowsStreamFromTheTable) {
  MemoryCatalog catalog;
  std::vector<Row> rows;
  for (I id = 1; id <= 1000; ++id)
    rows.push_back({id, S("row ") + std::to_string(id)});
  catalog.add("Big", {Column("Id", JetType::Long), Column("Label", JetType::Text, 20)},
              std::move(rows));

  std::unique_ptr<QueryResult> result;
  ASSERT_EQ(ExecuteJetQuery(catalog, "select * from Big where Id Mod 100 = 0", result), S_OK);
  EXPECT_EQ(catalog.rowsRead("Big"), 0u);
  Row row;
  ASSERT_EQ(result->next(row), S_OK);
  EXPECT_EQ(row, (Row{I{100}, S("row 100")}));
  EXPECT_EQ(catalog.rowsRead("Big"), 100u);
  ASSERT_EQ(result->next(row), S_OK);
  EXPECT_EQ(catalog.rowsRead("Big"), 200u);

  ASSERT_EQ(ExecuteJetQuery(catalog, "select Label & '!' from Big", result), S_OK);
  ASSERT_EQ(result->next(row), S_OK);
  EXPECT_EQ(row, (Row{S("row 1!")}));
  EXPECT_EQ(catalog.rowsRead("Big"), 201u);

  // Reading on to the end, and past it.
  ASSERT_EQ(ExecuteJetQuery(catalog, "select Id from Big where Id > 998", result), S_OK);
  EXPECT_EQ(result->next(row), S_OK);
  EXPECT_EQ(result->next(row), S_OK);
  EXPECT_EQ(result->next(row), DB_S_ENDOFROWSET);
  EXPECT_EQ(result->next(row), DB_S_ENDOFROWSET);
}

// Rows read into the same row one after the other: each value is the row's
// own, whether it is NULL, of its column's kind or converted to it.
TEST(JetSqlQueries, EveryRowReadIntoTheSameRowHasItsOwnValues) {
  MemoryCatalog catalog;
  catalog.add("Mixed",
              {Column("Id", JetType::Long), Column("Label", JetType::Text, 50),
               Column("Amount", JetType::Double)},
              {{I{1}, S("a long label of the first row"), 1.5},
               {I{2}, kNull, kNull},
               {I{3}, I{33}, I{7}},
               {I{4}, S("x"), 2.25}});
  const std::vector<Row> expected = {{I{1}, S("a long label of the first row"), 1.5},
                                     {I{2}, kNull, kNull},
                                     {I{3}, S("33"), 7.0},
                                     {I{4}, S("x"), 2.25}};
  EXPECT_EQ(RunQuery(catalog, "select * from Mixed").rows, expected);
  EXPECT_EQ(RunQuery(catalog, "select Id, Label, Amount from Mixed order by Id").rows, expected);
  const std::vector<Row> descending(expected.rbegin(), expected.rend());
  EXPECT_EQ(RunQuery(catalog, "select * from Mixed order by Id desc").rows, descending);
}

}  // namespace
}  // namespace tablift::jet::testing
