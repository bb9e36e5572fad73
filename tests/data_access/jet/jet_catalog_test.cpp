// The catalog rowsets of the Jet provider on real Access files: which objects
// are tables, system tables and views, and each column and index as the
// CREATE TABLE generation and the key migration read them.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "data_access/jet/index_definitions.h"
#include "data_access/schema_rowsets.h"
#include "tests/data_access/jet/jet_test_database.h"

namespace tablift::test {
namespace {

std::vector<std::string> Names(const std::vector<TableRow>& rows) {
  std::vector<std::string> names;
  for (const TableRow& row : rows)
    names.push_back(row.tableName);
  return names;
}

class JetNorthwindCatalog : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> path = JetFixture("northwind-jet3.mdb");
    if (!path) GTEST_SKIP() << "no Northwind fixture";
    ASSERT_EQ(OpenJet(*path, "", connection_), S_OK);
  }

  Session& session() { return connection_.session; }

  JetConnection connection_;
};

TEST_F(JetNorthwindCatalog, ListsItsNineTablesByNameWithUtf8Names) {
  const std::vector<TableRow> tables = ListTables(session(), "TABLE");
  EXPECT_EQ(Names(tables), (std::vector<std::string>{"Categories", "Customers", "Employees",
                                                     "Order Details", "Orders", "Products",
                                                     "Shippers", "Suppliers", "Ums\xC3\xA4tze"}));
  for (const TableRow& table : tables) {
    EXPECT_EQ(table.tableType, "TABLE");
    EXPECT_TRUE(table.tableCatalog.empty());
  }
  EXPECT_EQ(tables[5].description, "Product names, suppliers, prices, and units in stock.");
}

TEST_F(JetNorthwindCatalog, EverySavedQueryIsListedAsAView) {
  const std::vector<std::string> views = Names(ListTables(session(), "VIEW"));
  EXPECT_EQ(views.size(), 22u);
  const std::set<std::string> listed(views.begin(), views.end());
  // Parameters, a crosstab and a union no longer keep a query out of the
  // list: the migration decides what each becomes.
  for (const char* query :
       {"Invoices", "Ten Most Expensive Products", "Employee Sales by Country", "Sales by Year",
        "Quarterly Orders by Product", "Customers and Suppliers by City"}) {
    EXPECT_TRUE(listed.count(query)) << query;
  }
}

TEST_F(JetNorthwindCatalog, SystemTablesAndRestrictionsAsInOleDb) {
  const std::vector<std::string> system = Names(ListTables(session(), "SYSTEM TABLE"));
  EXPECT_NE(std::find(system.begin(), system.end(), "MSysObjects"), system.end());
  EXPECT_NE(std::find(system.begin(), system.end(), "MSysRelationships"), system.end());

  TablesRowset byName;
  ASSERT_EQ(byName.open(session(), {}, {}, "order details"), S_OK);
  ASSERT_EQ(byName.moveNext(), S_OK);
  EXPECT_EQ(byName.row().tableName, "Order Details");
  EXPECT_EQ(byName.moveNext(), DB_S_ENDOFROWSET);

  TablesRowset inASchema;
  ASSERT_EQ(inASchema.open(session(), {}, "dbo"), S_OK);
  EXPECT_EQ(inASchema.moveNext(), DB_S_ENDOFROWSET);

  // Without a type restriction everything comes, ordered by type then name.
  const std::vector<TableRow> all = ListTables(session());
  EXPECT_EQ(all.size(), 9u + 22u + system.size());
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const TableRow& a, const TableRow& b) {
    return a.tableType < b.tableType;
  }));
}

struct ExpectedColumn {
  const char* name;
  std::uint16_t dataType;
  std::uint32_t flags;
  bool nullable;
  std::uint32_t maximumLength;
  const char* defaultValue;  // null: none
};

TEST_F(JetNorthwindCatalog, ProductsColumnsFollowTheJetProvidersView) {
  const std::vector<ExpectedColumn> expected = {{"ProductID", 3, 24, false, 0, nullptr},
                                                {"ProductName", 130, 74, false, 40, nullptr},
                                                {"SupplierID", 3, 122, true, 0, nullptr},
                                                {"CategoryID", 3, 122, true, 0, nullptr},
                                                {"QuantityPerUnit", 130, 106, true, 20, nullptr},
                                                {"UnitPrice", 6, 122, true, 0, "0"},
                                                {"UnitsInStock", 2, 122, true, 0, "0"},
                                                {"UnitsOnOrder", 2, 122, true, 0, "0"},
                                                {"ReorderLevel", 2, 122, true, 0, "0"},
                                                {"Discontinued", 11, 90, false, 0, "=No"}};
  const std::vector<ColumnRow> columns = ListColumns(session(), "Products");
  ASSERT_EQ(columns.size(), expected.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnRow& column = columns[i];
    SCOPED_TRACE(column.columnName);
    EXPECT_EQ(column.tableName, "Products");
    EXPECT_EQ(column.columnName, expected[i].name);
    EXPECT_EQ(column.ordinalPosition, i + 1);
    EXPECT_EQ(column.dataType, expected[i].dataType);
    EXPECT_EQ(column.columnFlags, expected[i].flags);
    EXPECT_EQ(column.isNullable, expected[i].nullable);
    EXPECT_EQ(column.characterMaximumLength, expected[i].maximumLength);
    EXPECT_EQ(column.columnHasDefault, expected[i].defaultValue != nullptr);
    EXPECT_EQ(column.columnDefault, expected[i].defaultValue ? expected[i].defaultValue : "");
  }
  EXPECT_EQ(columns[0].description, "Number automatically assigned to new product.");
  EXPECT_EQ(columns[5].numericPrecision, 19);
}

TEST_F(JetNorthwindCatalog, LongColumnsAndAColumnRestriction) {
  ColumnsRowset rowset;
  ASSERT_EQ(rowset.open(session(), {}, {}, "categories", "picture"), S_OK);
  ASSERT_EQ(rowset.moveNext(), S_OK);
  EXPECT_EQ(rowset.row().columnName, "Picture");
  EXPECT_EQ(rowset.row().dataType, 128);
  EXPECT_EQ(rowset.row().columnFlags, 234u);
  EXPECT_EQ(rowset.row().ordinalPosition, 4u);
  EXPECT_EQ(rowset.moveNext(), DB_S_ENDOFROWSET);

  const std::vector<ColumnRow> employees = ListColumns(session(), "Employees");
  const auto notes = std::find_if(employees.begin(), employees.end(),
                                  [](const ColumnRow& c) { return c.columnName == "Notes"; });
  ASSERT_NE(notes, employees.end());
  EXPECT_EQ(notes->dataType, 130);
  EXPECT_EQ(notes->columnFlags, 234u);
  EXPECT_EQ(notes->characterMaximumLength, 0u);
}

TEST_F(JetNorthwindCatalog, IndexesNameTheirColumnsInKeyOrder) {
  std::map<std::string, std::vector<IndexRow>> indexes;
  for (const IndexRow& row : ListIndexes(session(), "Order Details"))
    indexes[row.indexName].push_back(row);
  ASSERT_EQ(indexes.count("PrimaryKey"), 1u);
  const std::vector<IndexRow>& key = indexes["PrimaryKey"];
  ASSERT_EQ(key.size(), 2u);
  EXPECT_TRUE(key[0].primaryKey);
  EXPECT_TRUE(key[0].unique);
  EXPECT_EQ(key[0].columnName, "OrderID");
  EXPECT_EQ(key[0].ordinalPosition, 1u);
  EXPECT_EQ(key[1].columnName, "ProductID");
  EXPECT_EQ(key[1].ordinalPosition, 2u);
  EXPECT_FALSE(indexes["OrderID"].at(0).unique);

  bool categoryNameUnique = false;
  for (const IndexRow& row : ListIndexes(session(), "Categories")) {
    if (row.indexName == "CategoryName") categoryNameUnique = row.unique && !row.primaryKey;
  }
  EXPECT_TRUE(categoryNameUnique);
}

TEST(JetCatalogTest, Jet4TypesAndKeys) {
  TABLIFT_JET_FIXTURE_OR_SKIP(types, "types-ole-jet4.mdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(types, "", connection), S_OK);
  std::vector<std::pair<std::uint16_t, std::uint32_t>> seen;
  for (const ColumnRow& column : ListColumns(connection.session, "Table1"))
    seen.emplace_back(column.dataType, column.characterMaximumLength);
  // Text(50), Text(100) in characters, Byte, Integer, Long, Double, Date,
  // Currency, Yes/No.
  EXPECT_EQ(seen,
            (std::vector<std::pair<std::uint16_t, std::uint32_t>>{
                {130, 50}, {130, 100}, {17, 0}, {2, 0}, {3, 0}, {5, 0}, {7, 0}, {6, 0}, {11, 0}}));
  const std::vector<ColumnRow> guid = ListColumns(connection.session, "Table4");
  ASSERT_EQ(guid.size(), 2u);
  EXPECT_EQ(guid[1].dataType, 72);
  EXPECT_EQ(guid[1].columnFlags, 122u);
  EXPECT_EQ(guid[1].columnDefault, "GenGUID()");

  const std::vector<IndexRow> keys = ListIndexes(connection.session, "Table1");
  const auto primary =
      std::find_if(keys.begin(), keys.end(), [](const IndexRow& row) { return row.primaryKey; });
  ASSERT_NE(primary, keys.end());
  EXPECT_TRUE(primary->unique);
  EXPECT_EQ(primary->columnName, "A");
}

TEST(JetCatalogTest, DecimalColumnsCarryPrecisionAndScale) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "decimal-jet4.mdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  const std::vector<ColumnRow> columns = ListColumns(connection.session, "test");
  ASSERT_EQ(columns.size(), 7u);
  EXPECT_EQ(columns[1].dataType, 131);
  EXPECT_EQ(columns[1].numericPrecision, 18);
  EXPECT_EQ(columns[1].numericScale, 0);
  EXPECT_EQ(columns[0].columnFlags, 234u);  // a Memo
}

TEST(JetCatalogTest, QueriesOfEveryKindAreViewsInAJet4File) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "queries-jet4.mdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  EXPECT_EQ(Names(ListTables(connection.session, "VIEW")),
            (std::vector<std::string>{"AppendQuery", "CrosstabQuery", "DataDefinitionQuery",
                                      "DeleteQuery", "MakeTableQuery", "PassthroughQuery",
                                      "SelectQuery", "UnionQuery", "UpdateQuery"}));
}

TEST(JetIndexDefinitionsTest, GiveNamesFieldsAndFlagsAsTheKeyMigrationNeedsThem) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "northwind-jet3.mdb");
  std::vector<jet::IndexDefinition> indexes;
  std::string error;
  ASSERT_EQ(jet::ReadIndexDefinitions(path, "Products", indexes, error), S_OK) << error;
  std::map<std::string, jet::IndexDefinition> byName;
  for (const jet::IndexDefinition& index : indexes)
    byName[index.name] = index;
  // Products references Categories and Suppliers and is referenced by Order
  // Details; only its own side's indexes are listed.
  EXPECT_EQ(byName.size(), 6u);
  EXPECT_TRUE(byName["PrimaryKey"].primaryKey);
  EXPECT_TRUE(byName["PrimaryKey"].unique);
  ASSERT_EQ(byName["PrimaryKey"].columns.size(), 1u);
  EXPECT_EQ(byName["PrimaryKey"].columns[0].name, "ProductID");
  EXPECT_TRUE(byName["CategoriesProducts"].foreign);
  EXPECT_EQ(byName["CategoriesProducts"].columns.at(0).name, "CategoryID");
  EXPECT_TRUE(byName["SuppliersProducts"].foreign);
  EXPECT_FALSE(byName["ProductName"].foreign);
  EXPECT_FALSE(byName["ProductName"].unique);

  EXPECT_TRUE(Failed(jet::ReadIndexDefinitions(path, "No Such Table", indexes, error)));
  EXPECT_NE(error.find("'No Such Table'"), std::string::npos) << error;
}

TEST(JetIndexDefinitionsTest, ADescendingIndexSaysSo) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "composite-index-jet4.mdb");
  std::vector<jet::IndexDefinition> indexes;
  std::string error;
  ASSERT_EQ(jet::ReadIndexDefinitions(path, "Table1", indexes, error), S_OK) << error;
  ASSERT_EQ(indexes.size(), 1u);
  ASSERT_EQ(indexes[0].columns.size(), 1u);
  EXPECT_EQ(indexes[0].columns[0].name, "CD_AGENTE");
  EXPECT_FALSE(indexes[0].columns[0].ascending);

  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  const std::vector<IndexRow> rows = ListIndexes(connection.session, "Table1");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].collation, DB_COLLATION_DESC);
}

TEST(JetIndexDefinitionsTest, RelationshipIndexesAreForeignInJet4Too) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "keys-relationships-jet4.mdb");
  std::vector<jet::IndexDefinition> indexes;
  std::string error;
  ASSERT_EQ(jet::ReadIndexDefinitions(path, "Table1", indexes, error), S_OK) << error;
  std::vector<std::string> foreign;
  for (const jet::IndexDefinition& index : indexes) {
    if (index.foreign) foreign.push_back(index.name + "(" + index.columns.at(0).name + ")");
  }
  EXPECT_EQ(foreign,
            (std::vector<std::string>{"Table2Table1(otherfk1)", "Table3Table1(otherfk2)"}));
}

}  // namespace
}  // namespace tablift::test
