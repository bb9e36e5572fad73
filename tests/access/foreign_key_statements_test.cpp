// Relationships read from MSysRelationships and written as FOREIGN KEY
// constraints.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/sample_database.h"
#include "core/scripted_prompter.h"
#include "data_access/jet/writer/jet_database_writer.h"
#include "engine/workbench.h"
#include "tests/support/jet_source.h"
#include "tests/support/test_paths.h"
#include "translate/foreign_key_statements.h"

namespace tablift {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(ForeignKeyTextTest, TwoRelationshipsReadAsTwoStatementsSeparatedBySemicolon) {
  std::vector<std::string> notEnforced;
  const std::string text = ForeignKeyStatementsFromRows(
      "T", {{"R1", "a", "U", "x", 0, 0}, {"R1", "b", "U", "y", 1, 0}, {"R2", "c", "V", "z", 0, 0}},
      notEnforced);
  EXPECT_EQ(text,
            "Alter Table `T` ADD CONSTRAINT `R1` FOREIGN KEY (`a`, `b`)\n"
            " REFERENCES `U`(`x`, `y`);\n"
            "Alter Table `T` ADD CONSTRAINT `R2` FOREIGN KEY (`c`)\n"
            " REFERENCES `V`(`z`)\n");
  EXPECT_TRUE(notEnforced.empty());
  EXPECT_EQ(ForeignKeyStatementsFromRows("T", {}, notEnforced), "");
}

TEST(ForeignKeyTextTest, ScatteredRowsOfOneRelationshipMakeOneStatementInKeyOrder) {
  std::vector<std::string> notEnforced;
  const std::string text = ForeignKeyStatementsFromRows("T",
                                                        {{"Pair", "b", "U", "y", 1, 0},
                                                         {"Other", "c", "V", "z", 0, 0},
                                                         {"PAIR", "a", "U", "x", 0, 0}},
                                                        notEnforced);
  EXPECT_EQ(text,
            "Alter Table `T` ADD CONSTRAINT `Pair` FOREIGN KEY (`a`, `b`)\n"
            " REFERENCES `U`(`x`, `y`);\n"
            "Alter Table `T` ADD CONSTRAINT `Other` FOREIGN KEY (`c`)\n"
            " REFERENCES `V`(`z`)\n");
}

TEST(ForeignKeyTextTest, CascadesAreCarriedAndUnenforcedRelationshipsLeftOut) {
  std::vector<std::string> notEnforced;
  const std::string text =
      ForeignKeyStatementsFromRows("Order Lines",
                                   {{"Loose", "x", "U", "x", 0, kRelationshipNotEnforced},
                                    {"Both", "o`id", "Order", "id", 0,
                                     kRelationshipCascadeDeletes | kRelationshipCascadeUpdates}},
                                   notEnforced);
  EXPECT_EQ(text,
            "Alter Table `Order Lines` ADD CONSTRAINT `Both` FOREIGN KEY (`o``id`)\n"
            " REFERENCES `Order`(`id`) ON DELETE CASCADE ON UPDATE CASCADE\n");
  EXPECT_EQ(notEnforced, (std::vector<std::string>{"Loose"}));
}

class ForeignKeyReadTest : public ::testing::Test {
 protected:
  Result<std::string> build(const std::string& table) {
    return BuildForeignKeyStatements(window_, window_.sourceSession(), nullptr, window_.nameRule(),
                                     "unused", table);
  }
  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
};

TEST_F(ForeignKeyReadTest, WithoutASourceSessionNothingIsRead) {
  EXPECT_EQ(build("T").message(), "No Connection!");
  EXPECT_THAT(window_.output().lastLine().text, HasSubstr("No Connection!"));
}

TEST_F(ForeignKeyReadTest, TheSampleDatabasesRelationships) {
  test::ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "sample.mdb";
  SampleSummary summary;
  ASSERT_TRUE(WriteSampleDatabase(path, 20, summary));
  ASSERT_TRUE(test::ConnectSource(window_, path));
  const std::string order = build("Order").value();
  EXPECT_THAT(order, HasSubstr("Alter Table `Order` ADD CONSTRAINT `CustomersOrder` FOREIGN KEY "
                               "(`CustomerCode`)\n REFERENCES `Customers`(`CustomerCode`) ON "
                               "UPDATE CASCADE"));
  EXPECT_THAT(order, HasSubstr("Alter Table `Order` ADD CONSTRAINT `EmployeesOrder` FOREIGN KEY "
                               "(`EmployeeId`)\n REFERENCES `Employees`(`EmployeeId`)"));
  // Shippers are related without referential integrity.
  EXPECT_THAT(order, Not(HasSubstr("ShippersOrder")));
  EXPECT_THAT(window_.output().lastLine().text, HasSubstr("[ShippersOrder]"));
  EXPECT_EQ(build("Order Details").value(),
            "Alter Table `Order Details` ADD CONSTRAINT `OrderOrder Details` FOREIGN KEY "
            "(`OrderId`)\n REFERENCES `Order`(`OrderId`) ON DELETE CASCADE ON UPDATE CASCADE;\n"
            "Alter Table `Order Details` ADD CONSTRAINT `ProductsOrder Details` FOREIGN KEY "
            "(`ProductId`)\n REFERENCES `Products`(`ProductId`)\n");
  EXPECT_EQ(build("Categories").value(), "");
}

TEST_F(ForeignKeyReadTest, CompositeRelationshipsAndQuotesInTableNames) {
  test::ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "composite.mdb";
  {
    jet::JetDatabaseWriter writer;
    ASSERT_TRUE(writer.create(path));
    ASSERT_TRUE(
        writer.addTable({"Head",
                         {{"A", jet::JetType::Long}, {"B", jet::JetType::Long}},
                         std::nullopt,
                         {{"PrimaryKey", {{"A", true}, {"B", true}}, true, true, false, true}}}));
    ASSERT_TRUE(writer.addTable({"Bob's Lines",
                                 {{"HeadA", jet::JetType::Long}, {"HeadB", jet::JetType::Long}},
                                 std::nullopt,
                                 {}}));
    ASSERT_TRUE(writer.addRelationship(
        {"HeadLines", "Bob's Lines", {"HeadA", "HeadB"}, "Head", {"A", "B"}, true, false, false}));
    ASSERT_TRUE(writer.finish());
  }
  ASSERT_TRUE(test::ConnectSource(window_, path));
  EXPECT_EQ(build("Bob's Lines").value(),
            "Alter Table `Bob's Lines` ADD CONSTRAINT `HeadLines` FOREIGN KEY (`HeadA`, `HeadB`)\n"
            " REFERENCES `Head`(`A`, `B`)\n");
  // A name cannot widen the selection.
  EXPECT_EQ(build("x' or szObject<>'").value(), "");
}

TEST_F(ForeignKeyReadTest, FixtureRelationshipsWithTheirCascades) {
  const auto fixtures = test::FixturesDirectory();
  if (!fixtures) GTEST_SKIP() << "no fixtures";
  ASSERT_TRUE(test::ConnectSource(window_, *fixtures / "northwind-jet3.mdb"));
  const std::string orders = build("Orders").value();
  EXPECT_THAT(orders, HasSubstr("ADD CONSTRAINT `CustomersOrders` FOREIGN KEY (`CustomerID`)\n "
                                "REFERENCES `Customers`(`CustomerID`) ON UPDATE CASCADE"));
  EXPECT_THAT(orders, HasSubstr("ADD CONSTRAINT `ShippersOrders` FOREIGN KEY (`ShipVia`)\n "
                                "REFERENCES `Shippers`(`ShipperID`)"));

  ASSERT_TRUE(test::ConnectSource(window_, *fixtures / "keys-relationships-jet4.mdb"));
  const std::string table1 = build("Table1").value();
  EXPECT_THAT(table1, HasSubstr("ADD CONSTRAINT `Table2Table1` FOREIGN KEY (`otherfk1`)\n "
                                "REFERENCES `Table2`(`id`) ON DELETE CASCADE"));
  EXPECT_THAT(table1, HasSubstr("ADD CONSTRAINT `Table3Table1` FOREIGN KEY (`otherfk2`)\n "
                                "REFERENCES `Table3`(`id`) ON UPDATE CASCADE"));
}

}  // namespace
}  // namespace tablift
