// The saved queries of the real Northwind sample, in the text Access shows
// for them, run over the fixture file: the executor must give the rows that
// a migrated view or procedure is held against.

#include <gtest/gtest.h>

#include <map>

#include "data_access/jet/database_tables.h"
#include "data_access/jet/sql/text_folding.h"
#include "tests/data_access/jet/jet_test_database.h"
#include "tests/data_access/jet_sql/query_runner.h"

namespace tablift::jet::testing {
namespace {

using I = std::int64_t;
using S = std::string;

// The file's tables, and saved queries given here as Access shows them.
class NorthwindCatalog : public TableCatalog {
 public:
  explicit NorthwindCatalog(std::shared_ptr<JetDatabase> database) : tables_(std::move(database)) {}
  std::unique_ptr<TableSource> table(const std::string& name) override {
    return tables_.table(name);
  }
  std::optional<std::string> savedQuerySql(const std::string& name) override {
    for (const auto& [queryName, sql] : queries_) {
      if (NamesEqual(queryName, name)) return sql;
    }
    return std::nullopt;
  }
  void add(std::string name, std::string sql) { queries_.emplace(std::move(name), std::move(sql)); }

 private:
  DatabaseTables tables_;
  std::map<std::string, std::string> queries_;
};

class JetSqlNorthwind : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> path = test::JetFixture("northwind-jet3.mdb");
    if (!path) GTEST_SKIP() << "no Northwind fixture";
    std::shared_ptr<JetDatabase> database;
    ASSERT_EQ(JetDatabase::open(*path, "", database), S_OK);
    catalog_ = std::make_unique<NorthwindCatalog>(std::move(database));
    catalog_->add("Order Subtotals",
                  "SELECT DISTINCTROW [Order Details].OrderID, "
                  "Sum(CCur([UnitPrice]*[Quantity]*(1-[Discount])/100)*100) AS Subtotal "
                  "FROM [Order Details] GROUP BY [Order Details].OrderID;");
    catalog_->add(
        "Invoices",
        "SELECT DISTINCTROW Orders.ShipName, Orders.ShipAddress, Orders.ShipCity, "
        "Orders.ShipRegion, Orders.ShipPostalCode, Orders.ShipCountry, Orders.CustomerID, "
        "Customers.CompanyName, Customers.Address, Customers.City, Customers.Region, "
        "Customers.PostalCode, Customers.Country, [FirstName] & \" \" & [LastName] AS "
        "Salesperson, Orders.OrderID, Orders.OrderDate, Orders.RequiredDate, Orders.ShippedDate, "
        "Shippers.CompanyName, [Order Details].ProductID, Products.ProductName, [Order "
        "Details].UnitPrice, [Order Details].Quantity, [Order Details].Discount, "
        "CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100 AS ExtendedPrice, "
        "Orders.Freight FROM Shippers INNER JOIN (Products INNER JOIN ((Employees INNER JOIN "
        "(Customers INNER JOIN Orders ON Customers.CustomerID = Orders.CustomerID) ON "
        "Employees.EmployeeID = Orders.EmployeeID) INNER JOIN [Order Details] ON Orders.OrderID "
        "= [Order Details].OrderID) ON Products.ProductID = [Order Details].ProductID) ON "
        "Shippers.ShipperID = Orders.ShipVia;");
  }

  QueryOutput run(const std::string& sql, const QueryParameters& parameters = {}) {
    QueryOutput output = RunQuery(*catalog_, sql, parameters);
    EXPECT_EQ(output.code, S_OK) << sql << ": " << output.error;
    return output;
  }

  std::unique_ptr<NorthwindCatalog> catalog_;
};

TEST_F(JetSqlNorthwind, SubqueryAndTop) {
  const QueryOutput above =
      run("SELECT DISTINCTROW Products.ProductName, Products.UnitPrice FROM Products WHERE "
          "(((Products.UnitPrice)>(SELECT AVG([UnitPrice]) From Products))) ORDER BY "
          "Products.UnitPrice DESC;");
  const QueryOutput average = run("SELECT Avg(UnitPrice), Count(*) FROM Products");
  ASSERT_EQ(average.rows.size(), 1u);
  ASSERT_FALSE(above.rows.empty());
  EXPECT_LT(above.rows.size(), static_cast<std::size_t>(std::get<I>(average.rows[0][1])));
  const double mean = static_cast<double>(std::get<Currency>(average.rows[0][0]).scaled);
  for (std::size_t i = 0; i < above.rows.size(); ++i) {
    const double price = static_cast<double>(std::get<Currency>(above.rows[i][1]).scaled);
    EXPECT_GT(price, mean);
    if (i > 0) {
      EXPECT_LE(price, std::get<Currency>(above.rows[i - 1][1]).scaled);
    }
  }
  EXPECT_EQ(above.rows[0][0], Value(S("Côte de Blaye")));

  const QueryOutput ten =
      run("SELECT DISTINCTROW TOP 10 Products.ProductName AS TenMostExpensiveProducts, "
          "Products.UnitPrice FROM Products ORDER BY Products.UnitPrice DESC;");
  ASSERT_GE(ten.rows.size(), 10u);
  EXPECT_EQ(ten.columns[0].name, "TenMostExpensiveProducts");
  EXPECT_EQ(std::vector<Row>(ten.rows.begin(), ten.rows.begin() + 10),
            std::vector<Row>(above.rows.begin(), above.rows.begin() + 10));
}

TEST_F(JetSqlNorthwind, UnionOfCustomersAndSuppliers) {
  const QueryOutput output = run(
      "SELECT City, CompanyName, ContactName, \"Customers\" AS [Relationship] FROM Customers "
      "UNION SELECT City, CompanyName, ContactName, \"Suppliers\" FROM Suppliers ORDER BY City, "
      "CompanyName;");
  const QueryOutput customers = run("SELECT Count(*) FROM Customers");
  const QueryOutput suppliers = run("SELECT Count(*) FROM Suppliers");
  ASSERT_FALSE(customers.rows.empty());
  ASSERT_FALSE(suppliers.rows.empty());
  EXPECT_EQ(output.rows.size(), static_cast<std::size_t>(std::get<I>(customers.rows[0][0]) +
                                                         std::get<I>(suppliers.rows[0][0])));
  ASSERT_EQ(output.columns.size(), 4u);
  EXPECT_EQ(output.columns[3].name, "Relationship");
  for (std::size_t i = 1; i < output.rows.size(); ++i) {
    EXPECT_LE(CompareText(std::get<S>(output.rows[i - 1][0]), std::get<S>(output.rows[i][0])), 0);
  }
}

TEST_F(JetSqlNorthwind, ParametersAndSavedQueriesAsInputs) {
  const std::string sql =
      "PARAMETERS [Beginning Date] DateTime, [Ending Date] DateTime; SELECT DISTINCTROW "
      "Employees.Country, Employees.LastName, Employees.FirstName, Orders.ShippedDate, "
      "Orders.OrderID, [Order Subtotals].Subtotal AS SaleAmount FROM Employees INNER JOIN (Orders "
      "INNER JOIN [Order Subtotals] ON Orders.OrderID = [Order Subtotals].OrderID) ON "
      "Employees.EmployeeID = Orders.EmployeeID WHERE (((Orders.ShippedDate) Between [Beginning "
      "Date] And [Ending Date]));";
  const QueryOutput sales =
      run(sql, {{"Beginning Date", S("1/1/1995")}, {"Ending Date", S("3/31/1995")}});
  const QueryOutput shipped =
      run("SELECT Count(*) FROM Orders WHERE ShippedDate Between #1/1/1995# And #3/31/1995#");
  ASSERT_FALSE(shipped.rows.empty());
  EXPECT_GT(sales.rows.size(), 0u);
  EXPECT_EQ(static_cast<I>(sales.rows.size()), std::get<I>(shipped.rows[0][0]));
  EXPECT_EQ(RunQuery(*catalog_, sql).error, "Too few parameters. Expected 2.");

  const QueryOutput invoice =
      run("SELECT DISTINCTROW Invoices.* FROM Invoices WHERE "
          "(((Invoices.OrderID)=[Forms]![Orders]![OrderID]));",
          {{"OrderID", I{10330}}});
  const QueryOutput lines = run("SELECT Count(*) FROM [Order Details] WHERE OrderID = 10330");
  ASSERT_FALSE(lines.rows.empty());
  EXPECT_EQ(static_cast<I>(invoice.rows.size()), std::get<I>(lines.rows[0][0]));
  ASSERT_FALSE(invoice.rows.empty());
  EXPECT_EQ(invoice.columns.size(), 26u);
  EXPECT_EQ(invoice.columns[13].name, "Salesperson");
  EXPECT_EQ(invoice.rows[0][7], Value(S("LILA-Supermercado")));
}

TEST_F(JetSqlNorthwind, GroupedOverANestedSavedQuery) {
  catalog_->add("Order Details Extended",
                "SELECT DISTINCTROW [Order Details].OrderID, [Order Details].ProductID, "
                "Products.ProductName, [Order Details].UnitPrice, [Order Details].Quantity, "
                "[Order Details].Discount, "
                "CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100 AS "
                "ExtendedPrice FROM Products INNER JOIN [Order Details] ON Products.ProductID = "
                "[Order Details].ProductID ORDER BY [Order Details].OrderID;");
  const QueryOutput sales = run(
      "SELECT DISTINCTROW Categories.CategoryID, Categories.CategoryName, Products.ProductName, "
      "Sum([Order Details Extended].ExtendedPrice) AS ProductSales FROM Categories INNER JOIN "
      "(Products INNER JOIN (Orders INNER JOIN [Order Details Extended] ON Orders.OrderID = "
      "[Order Details Extended].OrderID) ON Products.ProductID = [Order Details "
      "Extended].ProductID) ON Categories.CategoryID = Products.CategoryID WHERE "
      "(((Orders.OrderDate) Between #1/1/95# And #12/31/95#)) GROUP BY Categories.CategoryID, "
      "Categories.CategoryName, Products.ProductName ORDER BY Products.ProductName;");
  ASSERT_FALSE(sales.rows.empty());
  // Every product's sales together are the year's, computed the direct way.
  std::int64_t sum = 0;
  for (const Row& row : sales.rows)
    sum += std::get<Currency>(row[3]).scaled;
  const QueryOutput total =
      run("SELECT Sum(CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100) FROM "
          "Orders INNER JOIN [Order Details] ON Orders.OrderID = [Order Details].OrderID WHERE "
          "Orders.OrderDate Between #1/1/95# And #12/31/95#");
  ASSERT_FALSE(total.rows.empty());
  EXPECT_EQ(Value(Currency{sum}), total.rows[0][0]);
  for (std::size_t i = 1; i < sales.rows.size(); ++i) {
    EXPECT_LE(CompareText(std::get<S>(sales.rows[i - 1][2]), std::get<S>(sales.rows[i][2])), 0);
  }
}

TEST_F(JetSqlNorthwind, QuarterlyCrosstab) {
  const QueryOutput output = run(
      "TRANSFORM Sum(CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100) AS "
      "ProductAmount SELECT Products.ProductName, Orders.CustomerID, Year([OrderDate]) AS "
      "OrderYear FROM Products INNER JOIN (Orders INNER JOIN [Order Details] ON Orders.OrderID = "
      "[Order Details].OrderID) ON Products.ProductID = [Order Details].ProductID WHERE "
      "(((Orders.OrderDate) Between #1/1/95# And #12/31/95#)) GROUP BY Products.ProductName, "
      "Orders.CustomerID, Year([OrderDate]) PIVOT \"Qtr \" & DatePart(\"q\",[OrderDate],1,0) In "
      "(\"Qtr 1\",\"Qtr 2\",\"Qtr 3\",\"Qtr 4\");");
  std::vector<std::string> names;
  for (const ResultColumn& column : output.columns)
    names.push_back(column.name);
  EXPECT_EQ(names, (std::vector<std::string>{"ProductName", "CustomerID", "OrderYear", "Qtr 1",
                                             "Qtr 2", "Qtr 3", "Qtr 4"}));
  ASSERT_FALSE(output.rows.empty());
  // Every cell together is the year's total.
  std::int64_t cells = 0;
  for (const Row& row : output.rows) {
    EXPECT_EQ(row[2], Value(I{1995}));
    for (std::size_t c = 3; c < 7; ++c) {
      if (const auto* amount = std::get_if<Currency>(&row[c])) cells += amount->scaled;
    }
  }
  const QueryOutput total =
      run("SELECT Sum(CCur([Order Details].[UnitPrice]*[Quantity]*(1-[Discount])/100)*100) FROM "
          "Orders INNER JOIN [Order Details] ON Orders.OrderID = [Order Details].OrderID WHERE "
          "Orders.OrderDate Between #1/1/95# And #12/31/95#");
  ASSERT_FALSE(total.rows.empty());
  EXPECT_EQ(Value(Currency{cells}), total.rows[0][0]);
}

}  // namespace
}  // namespace tablift::jet::testing
