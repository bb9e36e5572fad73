// Access SELECT statements, as union queries and subqueries keep them, run
// on the server after translation and give the rows Access gives.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/private_server.h"
#include "tests/support/target_connection.h"
#include "tests/translate/server_rows.h"
#include "translate/access_select.h"
#include "translate/mysql_names.h"

namespace tablift {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class AccessSelectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = test::PrivateServerFromEnvironment();
    if (!server_) GTEST_SKIP() << "no private MariaDB server";
    ASSERT_TRUE(test::ConnectTarget(window_, *server_));
    scratch_.emplace(window_, "access_select");
    ASSERT_TRUE(test::ConnectTarget(window_, *server_, scratch_->name()));
    for (const char* statement : {
             "create table Customers (CustomerID varchar(5), CompanyName varchar(40), "
             "City varchar(20), `Order Count` int)",
             "insert into Customers values ('ALFKI', 'Alfreds', 'Berlin', 2), "
             "('ANATR', 'Ana Trujillo', 'Mexico', 1), ('BOLID', 'Bolido', 'Madrid', 0)",
             "create table Suppliers (SupplierID int, CompanyName varchar(40), City varchar(20))",
             "insert into Suppliers values (1, 'Exotic Liquids', 'London'), "
             "(2, 'Tokyo Traders', 'Berlin')",
             "create table Products (ProductID int, ProductName varchar(40), SupplierID int, "
             "CategoryID int, UnitPrice decimal(19,4))",
             "insert into Products values (1, 'Chai', 1, 1, 18), (2, 'Chang', 1, 1, 19), "
             "(3, 'Aniseed Syrup', 2, 2, 10), (4, 'Ikura', 2, 3, 31), (5, 'Tofu', NULL, 3, 23.25)",
             "create table Categories (CategoryID int, CategoryName varchar(20))",
             "insert into Categories values (1, 'Beverages'), (2, 'Condiments'), (3, 'Seafood'), "
             "(4, 'Empty')",
             "create table `Order Details` (OrderID int, ProductID int, Quantity int)",
             "insert into `Order Details` values (10, 1, 5), (10, 2, 3), (11, 1, 7), (12, 4, 1)",
         })
      test::ExecuteOrFail(window_, statement);
  }

  // The rows of the translated statement, each as its values joined by |.
  std::vector<std::string> rows(const std::string& accessSql, NameRule rule = NameRule::Keep) {
    const Result<std::string> translated = TranslateAccessSelect(
        accessSql, [rule](const std::string& name) { return MySqlName(name, rule); });
    EXPECT_TRUE(translated.ok()) << accessSql << ": " << translated.message();
    if (!translated.ok()) return {};
    return test::ServerRows(window_, translated.value());
  }

  std::string problem(const std::string& accessSql) {
    const Result<std::string> translated = TranslateAccessSelect(accessSql, {});
    EXPECT_FALSE(translated.ok()) << accessSql << " gave " << translated.value_or("");
    return translated.message();
  }

  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
  std::optional<test::PrivateServer> server_;
  std::optional<test::ScratchDatabase> scratch_;
};

TEST_F(AccessSelectTest, UnionQueriesSortTheWholeUnion) {
  EXPECT_THAT(rows("SELECT City, CompanyName, \"Customers\" AS [Relationship]\r\n"
                   "FROM Customers\r\nUNION SELECT City, CompanyName, \"Suppliers\"\r\n"
                   "FROM Suppliers\r\nORDER BY City, CompanyName;\r\n"),
              ElementsAre("Berlin|Alfreds|Customers", "Berlin|Tokyo Traders|Suppliers",
                          "London|Exotic Liquids|Suppliers", "Madrid|Bolido|Customers",
                          "Mexico|Ana Trujillo|Customers"));
  // The union's columns are sorted by their names, whichever table named them.
  EXPECT_THAT(rows("SELECT [Customers].[City] FROM Customers UNION SELECT Suppliers.City FROM "
                   "Suppliers ORDER BY [Customers].[City] DESC"),
              ElementsAre("Mexico", "Madrid", "London", "Berlin"));
  // Parts kept as statements of their own, each with its ;.
  EXPECT_THAT(rows("SELECT City FROM Customers;\r\nUNION\r\nSELECT City FROM Suppliers;\r\n"
                   "ORDER BY City;"),
              ElementsAre("Berlin", "London", "Madrid", "Mexico"));
  // UNION removes duplicates, UNION ALL keeps them; TABLE reads a whole table.
  EXPECT_THAT(rows("SELECT City FROM Customers WHERE City='Berlin' UNION SELECT City FROM "
                   "Suppliers WHERE City='Berlin'"),
              ElementsAre("Berlin"));
  EXPECT_THAT(rows("SELECT City FROM Customers WHERE City='Berlin' UNION ALL SELECT City FROM "
                   "Suppliers WHERE City='Berlin'"),
              ElementsAre("Berlin", "Berlin"));
  EXPECT_THAT(rows("TABLE Categories UNION ALL SELECT 9, 'Extra' FROM Suppliers WHERE "
                   "SupplierID = 1 ORDER BY 1 DESC"),
              ElementsAre("9|Extra", "4|Empty", "3|Seafood", "2|Condiments", "1|Beverages"));
  // TOP in a part limits that part alone.
  EXPECT_THAT(rows("SELECT TOP 1 ProductName FROM Products ORDER BY UnitPrice DESC UNION ALL "
                   "SELECT CategoryName FROM Categories WHERE CategoryID = 4"),
              ElementsAre("Ikura", "Empty"));
}

TEST_F(AccessSelectTest, JoinsNestedInParenthesesAndAliases) {
  // DISTINCTROW reading every table of a join removes nothing; reading only
  // some, it would keep one row per record of those, which MySQL cannot say.
  EXPECT_THAT(problem("SELECT DISTINCTROW c.CategoryName FROM Categories AS c INNER JOIN "
                      "Products AS p ON c.CategoryID = p.CategoryID"),
              HasSubstr("DISTINCTROW"));
  EXPECT_THAT(rows("SELECT DISTINCTROW c.CategoryName, [p].ProductName FROM Categories AS c "
                   "INNER JOIN Products AS p ON c.CategoryID = p.CategoryID WHERE c.CategoryID = "
                   "1 ORDER BY 2"),
              ElementsAre("Beverages|Chai", "Beverages|Chang"));
  EXPECT_THAT(rows("SELECT DISTINCTROW c.CategoryName, Count(*) FROM Categories AS c INNER JOIN "
                   "Products AS p ON c.CategoryID = p.CategoryID GROUP BY c.CategoryName ORDER "
                   "BY 1"),
              ElementsAre("Beverages|2", "Condiments|1", "Seafood|2"));
  EXPECT_THAT(rows("SELECT c.CategoryName, p.ProductName, s.CompanyName AS Supplier "
                   "FROM (Categories AS c INNER JOIN Products AS p ON c.CategoryID = "
                   "p.CategoryID) LEFT JOIN Suppliers s ON p.SupplierID = s.SupplierID "
                   "WHERE p.UnitPrice >= 19 ORDER BY p.ProductName"),
              ElementsAre("Beverages|Chang|Exotic Liquids", "Seafood|Ikura|Tokyo Traders",
                          "Seafood|Tofu|NULL"));
  // A category without products stays with a RIGHT JOIN; names with blanks
  // follow the naming rule.
  EXPECT_THAT(rows("SELECT Categories.CategoryName, Count([Order Details].OrderID) AS Lines "
                   "FROM ([Order Details] INNER JOIN Products ON [Order Details].ProductID = "
                   "Products.ProductID) RIGHT JOIN Categories ON Products.CategoryID = "
                   "Categories.CategoryID GROUP BY Categories.CategoryName "
                   "HAVING Count([Order Details].OrderID) < 3 ORDER BY Categories.CategoryName"),
              ElementsAre("Condiments|0", "Empty|0", "Seafood|1"));
  // Access nests every further join in one more pair of parentheses.
  EXPECT_THAT(rows("SELECT Categories.CategoryName, Suppliers.CompanyName, Sum([Order "
                   "Details].Quantity) AS Units FROM ((Categories INNER JOIN Products ON "
                   "Categories.CategoryID = Products.CategoryID) INNER JOIN [Order Details] ON "
                   "Products.ProductID = [Order Details].ProductID) INNER JOIN Suppliers ON "
                   "(Products.SupplierID = Suppliers.SupplierID) GROUP BY "
                   "Categories.CategoryName, Suppliers.CompanyName ORDER BY 3 DESC;"),
              ElementsAre("Beverages|Exotic Liquids|15", "Seafood|Tokyo Traders|1"));
  // A bare * after other items still reads every column.
  EXPECT_THAT(rows("SELECT CategoryName AS Name, * FROM Categories WHERE CategoryID = 2"),
              ElementsAre("2|Condiments|Condiments"));
  test::ExecuteOrFail(window_, "rename table `Order Details` to `Order_Details`");
  EXPECT_THAT(
      rows("SELECT Sum([Order Details].[Quantity]) FROM [Order Details]", NameRule::Underscore),
      ElementsAre("16"));
}

TEST_F(AccessSelectTest, SubqueriesAndDerivedTables) {
  EXPECT_THAT(rows("SELECT ProductName FROM Products WHERE UnitPrice > (SELECT AVG([UnitPrice]) "
                   "From Products) ORDER BY ProductName"),
              ElementsAre("Ikura", "Tofu"));
  EXPECT_THAT(rows("SELECT CategoryName FROM Categories WHERE CategoryID Not In (SELECT "
                   "CategoryID FROM Products) OR CategoryID In (1, 2) ORDER BY 1"),
              ElementsAre("Beverages", "Condiments", "Empty"));
  EXPECT_THAT(rows("SELECT c.CompanyName FROM Suppliers AS c WHERE EXISTS (SELECT * FROM "
                   "Products p WHERE p.SupplierID = c.SupplierID AND p.UnitPrice > 30)"),
              ElementsAre("Tokyo Traders"));
  EXPECT_THAT(rows("SELECT t.CategoryID, t.Most FROM (SELECT CategoryID, Max(UnitPrice) AS Most "
                   "FROM Products GROUP BY CategoryID) AS t WHERE t.Most > 20 ORDER BY 1"),
              ElementsAre("3|31.0000"));
  // Access 97 kept a derived table in brackets with a trailing dot.
  EXPECT_THAT(rows("SELECT q.n FROM [SELECT Count(*) AS n FROM Products]. AS q"), ElementsAre("5"));
}

TEST_F(AccessSelectTest, TopKeepsTheRowsThatTieWithTheLastAsAccessDoes) {
  test::ExecuteOrFail(window_, "insert into Products values (6, 'Konbu', 2, 3, 23.25)");
  EXPECT_THAT(rows("SELECT TOP 2 ProductName, UnitPrice FROM Products ORDER BY UnitPrice DESC;"),
              ElementsAre("Ikura|31.0000", "Tofu|23.2500", "Konbu|23.2500"));
  // Nulls sort first; the rows that tie on the second key come along.
  EXPECT_THAT(rows("SELECT TOP 2 ProductName FROM Products ORDER BY SupplierID, CategoryID"),
              ElementsAre("Tofu", "Chai", "Chang"));
  EXPECT_THAT(rows("SELECT TOP 3 ProductName AS Name FROM Products WHERE ProductID > 1 ORDER BY "
                   "SupplierID DESC, Name"),
              ElementsAre("Aniseed Syrup", "Ikura", "Konbu"));
  // Grouped rows, sorted by place in the list.
  EXPECT_THAT(rows("SELECT TOP 1 CategoryID, Count(*) AS N FROM Products GROUP BY CategoryID "
                   "HAVING Count(*) > 0 ORDER BY 2 DESC, 1"),
              ElementsAre("3|3"));
  EXPECT_THAT(rows("SELECT TOP 1 CategoryID FROM Products GROUP BY CategoryID ORDER BY "
                   "Count(*) DESC"),
              ElementsAre("3"));
  // Fewer rows than asked for: all of them.
  EXPECT_THAT(rows("SELECT TOP 10 ProductID FROM Products WHERE UnitPrice > 20 ORDER BY 1"),
              ElementsAre("4", "5", "6"));
  EXPECT_THAT(rows("SELECT TOP 0 ProductID FROM Products ORDER BY 1"), testing::IsEmpty());
}

TEST_F(AccessSelectTest, TopDistinctAndWhatCannotBeTranslated) {
  EXPECT_THAT(rows("SELECT DISTINCT CategoryID FROM Products ORDER BY CategoryID"),
              ElementsAre("1", "2", "3"));
  EXPECT_THAT(rows("SELECT DISTINCTROW * FROM Categories WHERE CategoryName Like \"*o*\" "
                   "WITH OWNERACCESS OPTION;"),
              ElementsAre("2|Condiments", "3|Seafood"));
  EXPECT_THAT(problem("SELECT TOP 10 PERCENT * FROM Products"), HasSubstr("PERCENT"));
  EXPECT_THAT(problem("PARAMETERS [Which] Text; SELECT * FROM Products"), HasSubstr("PARAMETERS"));
  EXPECT_THAT(problem("SELECT * FROM Products IN 'C:\\other.mdb'"), HasSubstr("another database"));
  EXPECT_THAT(problem("SELECT First(ProductName) FROM Products"), HasSubstr("First"));
  EXPECT_THAT(problem("TRANSFORM Sum(UnitPrice) SELECT CategoryID FROM Products GROUP BY "
                      "CategoryID PIVOT SupplierID"),
              HasSubstr("crosstab"));
  EXPECT_THAT(problem("SELECT * INTO Copy FROM Products"), HasSubstr("INTO"));
  EXPECT_THAT(problem("DELETE * FROM Products"), HasSubstr("DELETE"));
  EXPECT_THAT(problem("SELECT * FROM Products WHERE"), HasSubstr("ends"));
  EXPECT_THAT(problem("SELECT * FROM Products ORDER BY ProductName UNION SELECT * FROM Products"),
              HasSubstr("ORDER BY"));
}

}  // namespace
}  // namespace tablift
