#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

TableDesign Customers() {
  return {"Customers",
          {{.name = "CustomerId", .type = JetType::Text, .size = 5},
           {.name = "Name", .type = JetType::Text, .size = 40}},
          std::nullopt,
          {{.name = "PrimaryKey", .columns = {{"CustomerId"}}, .primaryKey = true}}};
}

TableDesign Employees() {
  return {
      "Employees",
      {{.name = "EmployeeId", .type = JetType::Long}, {.name = "ManagerId", .type = JetType::Long}},
      std::nullopt,
      {{.name = "PrimaryKey", .columns = {{"EmployeeId"}}, .primaryKey = true}}};
}

TableDesign Orders() {
  return {"Orders",
          {{.name = "OrderId", .type = JetType::Long, .autoNumber = true},
           {.name = "CustomerId", .type = JetType::Text, .size = 5},
           {.name = "EmployeeId", .type = JetType::Long},
           {.name = "Note", .type = JetType::Long}},
          std::nullopt,
          {{.name = "PrimaryKey", .columns = {{"OrderId"}}, .primaryKey = true},
           {.name = "EmployeeId", .columns = {{"EmployeeId"}}}}};
}

RelationshipDesign CustomersOrders() {
  return {.name = "CustomersOrders",
          .table = "Orders",
          .columns = {"CustomerId"},
          .referencedTable = "Customers",
          .referencedColumns = {"CustomerId"},
          .cascadeUpdates = true};
}

class RelationshipsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = directory_.path() / "related.mdb";
    ASSERT_TRUE(writer_.create(path_).ok());
    for (const TableDesign& design : {Customers(), Employees(), Orders()}) {
      ASSERT_TRUE(writer_.addTable(design).ok());
    }
  }

  void writeRows() {
    for (const char* id : {"BONAP", "ALFKI", "QUICK"}) {
      ASSERT_TRUE(writer_.appendRow("Customers", {std::string(id), std::string("N")}).ok());
    }
    ASSERT_TRUE(writer_.appendRow("Employees", {std::int64_t{1}, Null{}}).ok());
    ASSERT_TRUE(writer_.appendRow("Employees", {std::int64_t{2}, std::int64_t{1}}).ok());
    for (const char* customer : {"QUICK", "ALFKI", "BONAP", "ALFKI"}) {
      ASSERT_TRUE(writer_
                      .appendRow("Orders",
                                 {Null{}, std::string(customer), std::int64_t{2}, std::int64_t{7}})
                      .ok());
    }
  }

  tablift::test::ScopedTempDir directory_;
  std::filesystem::path path_;
  JetDatabaseWriter writer_;
};

TEST_F(RelationshipsTest, RelationshipsReachMSysRelationshipsAndBothTablesIndexes) {
  ASSERT_TRUE(writer_.addRelationship(CustomersOrders()).ok());
  ASSERT_TRUE(writer_
                  .addRelationship({.name = "EmployeesOrders",
                                    .table = "Orders",
                                    .columns = {"EmployeeId"},
                                    .referencedTable = "Employees",
                                    .referencedColumns = {"EmployeeId"},
                                    .cascadeDeletes = true})
                  .ok());
  ASSERT_TRUE(writer_
                  .addRelationship({.name = "EmployeesEmployees",
                                    .table = "Employees",
                                    .columns = {"ManagerId"},
                                    .referencedTable = "Employees",
                                    .referencedColumns = {"EmployeeId"}})
                  .ok());
  ASSERT_TRUE(writer_
                  .addRelationship({.name = "NotesOnly",
                                    .table = "Orders",
                                    .columns = {"Note"},
                                    .referencedTable = "Employees",
                                    .referencedColumns = {"EmployeeId"},
                                    .enforced = false})
                  .ok());
  writeRows();
  ASSERT_TRUE(writer_.finish().ok());

  test::LibmdbDatabase mdb(path_);
  const auto rows = mdb.readTable("MSysRelationships");
  ASSERT_TRUE(rows.has_value());
  std::vector<std::string> lines;
  for (const auto& row : rows->rows) {
    std::string line;
    for (const auto& cell : row)
      line += cell.text + ";";
    lines.push_back(line);
  }
  EXPECT_THAT(lines,
              ElementsAre("CustomersOrders;256;1;0;Orders;CustomerId;Customers;CustomerId;",
                          "EmployeesOrders;4096;1;0;Orders;EmployeeId;Employees;EmployeeId;",
                          "EmployeesEmployees;0;1;0;Employees;ManagerId;Employees;EmployeeId;",
                          "NotesOnly;2;1;0;Orders;Note;Employees;EmployeeId;"));

  const auto describe = [&](const std::string& table) {
    std::vector<std::string> described;
    for (const auto& index : mdb.readIndexes(table)) {
      std::string text = index.name + ":" + std::to_string(index.type);
      for (const auto& column : index.columns)
        text += ":" + column;
      described.push_back(text);
    }
    return described;
  };
  // libmdb lists the key columns of primary key and ordinary indexes only.
  EXPECT_THAT(describe("Orders"),
              UnorderedElementsAre("PrimaryKey:1:OrderId", "EmployeeId:0:EmployeeId",
                                   "CustomersOrders:2", "EmployeesOrders:2"));
  EXPECT_THAT(describe("Customers"), UnorderedElementsAre("PrimaryKey:1:CustomerId", ".rB:2"));
  EXPECT_THAT(
      describe("Employees"),
      UnorderedElementsAre("PrimaryKey:1:EmployeeId", "EmployeesEmployees:2", ".rB:2", ".rD:2"));
  // Foreign keys add no rows of their own to the indexes they share.
  const auto byEmployee = mdb.walkIndex("Orders", "EmployeeId");
  ASSERT_TRUE(byEmployee.has_value());
  EXPECT_EQ(byEmployee->size(), 4u);
}

TEST_F(RelationshipsTest, MdbSchemaWritesTheForeignKey) {
  ASSERT_TRUE(writer_.addRelationship(CustomersOrders()).ok());
  writeRows();
  ASSERT_TRUE(writer_.finish().ok());
  const auto schema = test::RunMdbTool("mdb-schema", {path_.string(), "mysql"});
  EXPECT_THAT(schema.out,
              HasSubstr("ALTER TABLE `Orders` ADD CONSTRAINT `Orders_CustomerId_fk` FOREIGN KEY "
                        "(`CustomerId`) REFERENCES `Customers`(`CustomerId`) ON UPDATE CASCADE;"));
}

TEST_F(RelationshipsTest, RelationshipsTheTablesCannotBackAreRefused) {
  const auto refused = [&](RelationshipDesign design, WriteError error, const std::string& why) {
    const WriteStatus status = writer_.addRelationship(design);
    EXPECT_EQ(status.error(), error) << why;
    EXPECT_THAT(status.message(), HasSubstr(why));
  };
  RelationshipDesign design = CustomersOrders();
  design.referencedColumns = {"Name"};
  refused(design, WriteError::InvalidDesign, "need a primary key or unique index");
  design = CustomersOrders();
  design.columns = {"EmployeeId"};
  refused(design, WriteError::InvalidDesign, "are of different types");
  design.columns = {"Missing"};
  refused(design, WriteError::InvalidDesign, "table [Orders] has no column [Missing]");
  design = CustomersOrders();
  design.referencedTable = "Nowhere";
  refused(design, WriteError::UnknownTable, "no table named [Nowhere]");
  ASSERT_TRUE(writer_.addRelationship(CustomersOrders()).ok());
  refused(CustomersOrders(), WriteError::InvalidDesign, "already exists");

  // Once a table has rows, a relationship that needs a new index on it
  // comes too late; one that can use an existing index does not.
  writeRows();
  refused({.name = "Late",
           .table = "Orders",
           .columns = {"Note"},
           .referencedTable = "Employees",
           .referencedColumns = {"EmployeeId"}},
          WriteError::WrongState, "its relationships must be added first");
  EXPECT_TRUE(writer_
                  .addRelationship({.name = "Indexed",
                                    .table = "Orders",
                                    .columns = {"EmployeeId"},
                                    .referencedTable = "Employees",
                                    .referencedColumns = {"EmployeeId"}})
                  .ok());
  EXPECT_TRUE(writer_.finish().ok());
}

}  // namespace
}  // namespace tablift::jet
