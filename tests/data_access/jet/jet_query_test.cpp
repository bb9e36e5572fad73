// Statements through the Jet provider's commands: the bookmark column the
// callers skip, the statements the migration sends, and every value in the
// provider's text form, held against mdbtools' own mdb-export where it
// can say the same thing.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "data_access/text_query.h"
#include "tests/data_access/jet/jet_test_database.h"
#include "tests/support/mdb_export_table.h"

namespace tablift::test {
namespace {

class JetNorthwindQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> path = JetFixture("northwind-jet3.mdb");
    if (!path) GTEST_SKIP() << "no Northwind fixture";
    path_ = *path;
    ASSERT_EQ(OpenJet(path_, "", connection_), S_OK);
  }

  QueryRows run(const std::string& sql) { return RunQuery(connection_.session, sql); }

  std::string path_;
  JetConnection connection_;
};

TEST_F(JetNorthwindQuery, RowsetsBeginWithTheBookmarkColumn) {
  const QueryRows result = run("select ProductID, ProductName from Products where ProductID = 1");
  ASSERT_EQ(result.error, "");
  ASSERT_EQ(result.columns.size(), 3u);
  EXPECT_EQ(result.columns[0].ordinal, 0u);
  EXPECT_NE(result.columns[0].flags & DBCOLUMNFLAGS_ISBOOKMARK, 0u);
  EXPECT_EQ(result.columns[1].name, "ProductID");
  EXPECT_EQ(result.columns[1].ordinal, 1u);
  EXPECT_EQ(result.columns[1].type, DBTYPE_I4);
  EXPECT_EQ(result.columns[2].type, DBTYPE_WSTR);
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0][0].text, "1");
  EXPECT_EQ(result.rows[0][1].text, "Chai");

  // The text accessor keeps slot k for column k: column count minus one
  // values, and entry k of the column information describes column k.
  const PropertySet properties = QueryRowsetProperties();
  std::vector<std::string> slots;
  RunTextQuery(
      &connection_.session, "select ProductName, UnitPrice from Products where ProductID = 2",
      &properties, [&](const TextRow& row) {
        for (std::size_t k = 1; k < row.columnCount(); ++k)
          slots.push_back(std::string(row.text(k)) + "/" + std::to_string(row.column(k).type));
        return true;
      });
  EXPECT_EQ(slots, (std::vector<std::string>{"Chang/130", "19.0000/6"}));
}

TEST_F(JetNorthwindQuery, TheRelationshipSelectOfTheForeignKeyMigration) {
  const QueryRows result =
      run("select szRelationship,szObject,szColumn,szReferencedObject,szReferencedColumn from "
          "MSysRelationShips \t\twhere szObject='Orders'");
  ASSERT_EQ(result.error, "");
  std::vector<std::string> relationships;
  for (const auto& row : result.rows)
    relationships.push_back(row[0].text + ":" + row[2].text + "->" + row[3].text + "." +
                            row[4].text);
  std::sort(relationships.begin(), relationships.end());
  EXPECT_EQ(relationships,
            (std::vector<std::string>{"CustomersOrders:CustomerID->Customers.CustomerID",
                                      "EmployeesOrders:EmployeeID->Employees.EmployeeID",
                                      "ShippersOrders:ShipVia->Shippers.ShipperID"}));
}

TEST_F(JetNorthwindQuery, ACountWithAConditionAgreesWithMdbExport) {
  const std::optional<ExportedTable> exported = MdbExport(path_, "Orders");
  if (!exported) GTEST_SKIP() << "mdb-export is not available";
  const auto column = [&](const char* name) {
    return std::find(exported->header.begin(), exported->header.end(), name) -
           exported->header.begin();
  };
  const auto country = column("ShipCountry");
  const auto freight = column("Freight");
  int expected = 0;
  for (const auto& row : exported->rows) {
    if (row[country] == "Germany" && row[freight] && std::stod(*row[freight]) > 50) ++expected;
  }
  ASSERT_GT(expected, 0);
  const QueryRows result =
      run("select count(*) from Orders where ShipCountry = 'Germany' and Freight > 50");
  ASSERT_EQ(result.error, "");
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0][0].text, std::to_string(expected));
}

TEST_F(JetNorthwindQuery, Jet3TextIsDecodedWithTheDatabasesCodePage) {
  const QueryRows result =
      run("select ShipName, ShipCity from [Ums\xC3\xA4tze] where OrderID = 10332");
  ASSERT_EQ(result.error, "");
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0][0].text, "M\xC3\xA8re Paillarde");
  EXPECT_EQ(result.rows[0][1].text,
            "Montr\xC3\xA9"
            "al");
}

TEST_F(JetNorthwindQuery, NumbersCurrencyYesNoAndNullInTheirTextForms) {
  QueryRows result =
      run("select UnitPrice, Discount, Quantity from [Order Details] where OrderID = 10250 and "
          "ProductID = 51");
  ASSERT_EQ(result.error, "");
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0][0].text, "42.4000");
  EXPECT_EQ(result.columns[2].type, DBTYPE_R4);
  // A Single prints as the float it is, not as the double nearest to it.
  EXPECT_EQ(result.rows[0][1].text, "0.15");
  EXPECT_EQ(result.rows[0][2].text, "35");

  result = run("select Discontinued, ReorderLevel from Products where ProductID in (5, 1)");
  ASSERT_EQ(result.rows.size(), 2u);
  std::map<std::string, std::string> discontinued;
  for (const auto& row : result.rows)
    discontinued[row[1].text] = row[0].text;
  EXPECT_EQ(discontinued["0"], "True");
  EXPECT_EQ(discontinued["10"], "False");

  result = run("select ShipRegion from Orders where OrderID = 10331");
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_TRUE(result.rows[0][0].null);
}

TEST_F(JetNorthwindQuery, LongValuesArriveWholeAndTheTextSlotCutsThem) {
  const std::optional<ExportedTable> exported = MdbExport(path_, "Categories");
  if (!exported) GTEST_SKIP() << "mdb-export is not available";
  const QueryRows result = run("select CategoryID, Picture from Categories");
  ASSERT_EQ(result.error, "");
  ASSERT_EQ(result.rows.size(), exported->rows.size());
  for (std::size_t i = 0; i < result.rows.size(); ++i) {
    EXPECT_EQ(result.rows[i][0].text, exported->rows[i][0]);
    EXPECT_GT(result.rows[i][1].text.size(), 8192u);
    EXPECT_EQ(result.rows[i][1].text, exported->rows[i][3]) << "picture " << i;
  }

  const PropertySet properties = QueryRowsetProperties();
  RunTextQuery(&connection_.session, "select Picture from Categories where CategoryID = 1",
               &properties, [&](const TextRow& row) {
                 EXPECT_EQ(row.text(1).size(), 8191u);
                 return false;
               });
}

TEST_F(JetNorthwindQuery, EveryTableReadsAsMdbExportReadsIt) {
  for (const char* table : {"Categories", "Customers", "Employees", "Order Details", "Orders",
                            "Products", "Shippers", "Suppliers", "Ums\xC3\xA4tze"}) {
    ExpectSameAsMdbExport(connection_.session, path_, table);
  }
}

TEST(JetQueryTest, Jet4TablesReadAsMdbExportReadsThem) {
  TABLIFT_JET_FIXTURE_OR_SKIP(types, "types-ole-jet4.mdb");
  TABLIFT_JET_FIXTURE_OR_SKIP(decimals, "decimal-jet4.mdb");
  for (const auto& [path, table] : {std::pair{types, "Table1"}, std::pair{decimals, "test"}}) {
    JetConnection connection;
    ASSERT_EQ(OpenJet(path, "", connection), S_OK);
    ExpectSameAsMdbExport(connection.session, path, table);
  }
}

TEST(JetQueryTest, DatesBeforeAndFarAfterTheEpochAndDecimals) {
  TABLIFT_JET_FIXTURE_OR_SKIP(dates, "dates-jet4.mdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(dates, "", connection), S_OK);
  QueryRows result =
      RunQuery(connection.session, "select IDCol, DateTimeCol, DateCol, TimeCol from DateTest");
  ASSERT_EQ(result.error, "");
  std::map<std::string, std::vector<std::string>> byId;
  for (const auto& row : result.rows)
    byId[row[0].text] = {row[1].text, row[2].text, row[3].text};
  EXPECT_EQ(byId["1"], (std::vector<std::string>{"2021-12-02 00:00:00", "2021-12-02 00:00:00",
                                                 "2021-12-02 00:00:00"}));
  EXPECT_EQ(byId["2"][0], "9999-01-01 00:00:00");
  EXPECT_EQ(byId["3"], (std::vector<std::string>{"1898-01-01 00:00:00", "1899-01-01 00:00:00",
                                                 "1900-01-01 00:00:00"}));
  EXPECT_EQ(byId["4"][0], "0632-01-01 00:00:00");
  EXPECT_EQ(result.columns[2].type, DBTYPE_DATE);

  TABLIFT_JET_FIXTURE_OR_SKIP(decimals, "decimal-jet4.mdb");
  JetConnection decimalConnection;
  ASSERT_EQ(OpenJet(decimals, "", decimalConnection), S_OK);
  result = RunQuery(decimalConnection.session, "select col2, col6 from test");
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.columns[1].type, DBTYPE_NUMERIC);
  EXPECT_EQ(result.rows[0][0].text, "1");
  EXPECT_EQ(result.rows[0][1].text, "-1");
}

TEST(JetQueryTest, TheViewReaderJoinOfMSysObjectsAndMSysQueries) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "queries-jet4.mdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  const QueryRows result = RunQuery(connection.session,
                                    "select Q.* from MSysObjects O,MSysQueries Q \t\twhere "
                                    "O.name='SelectQuery' and O.Id=Q.ObjectId");
  ASSERT_EQ(result.error, "");
  // Jet 4 keeps MSysQueries' columns in this order: the element kind, the
  // expression, the flag, ..., the first name fifth.
  ASSERT_GE(result.columns.size(), 6u);
  EXPECT_EQ(result.columns[1].name, "Attribute");
  EXPECT_EQ(result.columns[2].name, "Expression");
  EXPECT_EQ(result.columns[3].name, "Flag");
  EXPECT_EQ(result.columns[5].name, "Name1");
  std::vector<std::string> inputs;
  std::vector<std::string> outputs;
  for (const auto& row : result.rows) {
    if (row[0].text == "5") inputs.push_back(row[4].text);
    if (row[0].text == "6") outputs.push_back(row[1].text);
  }
  std::sort(inputs.begin(), inputs.end());
  EXPECT_EQ(inputs, (std::vector<std::string>{"Table1", "Table2", "Table3"}));
  EXPECT_NE(std::find(outputs.begin(), outputs.end(), "Table2.col1"), outputs.end());
}

TEST(JetQueryTest, AStatementThatCannotRunFailsWithTheReason) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "types-jet3.mdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  const QueryRows result = RunQuery(connection.session, "select * from NoSuchTable");
  EXPECT_NE(result.error, "");
  EXPECT_NE(result.error.find("NoSuchTable"), std::string::npos) << result.error;
  EXPECT_TRUE(result.rows.empty());
}

}  // namespace
}  // namespace tablift::test
