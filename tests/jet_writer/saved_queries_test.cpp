#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

QueryDesign SalesByCity() {
  return {.name = "Sales by City",
          .parameters = {{"Since", JetType::DateTime}},
          .tables = {{"Customers", "C"}, {"Orders", ""}},
          .columns = {{"C.City", ""}, {"Sum(Orders.Amount)", "Total"}},
          .joins = {{"C", "Orders", "C.CustomerId = Orders.CustomerId", QueryJoinKind::Left}},
          .where = "Orders.OrderDate >= [Since]",
          .groupBy = {"C.City"},
          .having = "Sum(Orders.Amount) > 100",
          .orderBy = {{"Sum(Orders.Amount)", true}, {"C.City", false}}};
}

class SavedQueriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = directory_.path() / "queries.mdb";
    ASSERT_TRUE(writer_.create(path_).ok());
    ASSERT_TRUE(writer_
                    .addTable({"Customers",
                               {{.name = "CustomerId", .type = JetType::Text, .size = 5},
                                {.name = "City", .type = JetType::Text, .size = 20}}})
                    .ok());
    ASSERT_TRUE(writer_
                    .addTable({"Orders",
                               {{.name = "OrderId", .type = JetType::Long, .autoNumber = true},
                                {.name = "CustomerId", .type = JetType::Text, .size = 5},
                                {.name = "Amount", .type = JetType::Currency},
                                {.name = "OrderDate", .type = JetType::DateTime}}})
                    .ok());
  }

  tablift::test::ScopedTempDir directory_;
  std::filesystem::path path_;
  JetDatabaseWriter writer_;
};

TEST_F(SavedQueriesTest, QueriesAreCatalogObjectsWithTheirDesignInMSysQueries) {
  ASSERT_TRUE(writer_.addQuery(SalesByCity()).ok());
  ASSERT_TRUE(writer_
                  .addQuery({.name = "Cities",
                             .distinct = true,
                             .tables = {{"Sales by City", ""}},
                             .columns = {{"[Sales by City].City", ""}}})
                  .ok());
  ASSERT_TRUE(writer_.finish().ok());

  test::LibmdbDatabase mdb(path_);
  EXPECT_THAT(mdb.userTables(), ElementsAre("Customers", "Orders"));
  const auto objects = mdb.readTable("MSysObjects");
  ASSERT_TRUE(objects.has_value());
  std::vector<std::string> queries;
  for (const auto& row : objects->rows) {
    if (row[3].text == "5") queries.push_back(row[0].text + " " + row[1].text + " " + row[2].text);
  }
  EXPECT_THAT(queries,
              ElementsAre("-2147483648 251658241 Sales by City", "-2147483647 251658241 Cities"));

  const auto rows = mdb.readTable("MSysQueries");
  ASSERT_TRUE(rows.has_value());
  std::vector<std::string> lines;
  for (const auto& row : rows->rows) {
    if (row[0].text != "-2147483648") continue;
    std::string line;
    for (std::size_t i = 1; i < row.size(); ++i) {
      if (i != 2) line += (row[i].null ? "-" : row[i].text) + "|";
    }
    lines.push_back(line);
  }
  EXPECT_THAT(lines,
              ElementsAre("0|-|-|-|0|-|", "1|-|-|-|1|-|", "2|Since|-|-|8|-|", "3|-|-|-|0|-|",
                          "5|Customers|C|-|-|-|", "5|Orders|-|-|-|-|", "6|-|-|C.City|0|-|",
                          "6|Total|-|Sum(Orders.Amount)|0|-|",
                          "7|C|Orders|C.CustomerId = Orders.CustomerId|2|-|",
                          "8|-|-|Orders.OrderDate >= [Since]|-|-|", "9|-|-|C.City|0|-|",
                          "10|-|-|Sum(Orders.Amount) > 100|-|-|", "11|D|-|Sum(Orders.Amount)|-|-|",
                          "11|-|-|C.City|-|-|", "255|-|-|-|-|-|"));

  const auto listed = test::RunMdbTool("mdb-queries", {"-1", "-L", path_.string()});
  EXPECT_EQ(listed.out, "Sales by City\nCities\n");
  const auto sql = test::RunMdbTool("mdb-queries", {path_.string(), "Cities"});
  EXPECT_THAT(sql.out, HasSubstr("SELECT DISTINCT [Sales by City].City FROM [Sales by City]"));
  EXPECT_THAT(sql.err, IsEmpty());
}

TEST_F(SavedQueriesTest, QueriesTheDatabaseCannotHoldAreRefused) {
  const auto refused = [&](QueryDesign design, const std::string& why) {
    const WriteStatus status = writer_.addQuery(design);
    EXPECT_EQ(status.error(), WriteError::InvalidDesign) << why;
    EXPECT_THAT(status.message(), HasSubstr(why));
  };
  QueryDesign design = SalesByCity();
  design.name = "orders";
  refused(design, "name of a table or query that already exists");
  design = SalesByCity();
  design.tables.push_back({"Missing", ""});
  refused(design, "reads [Missing], which is neither a table nor a query");
  design = SalesByCity();
  design.columns[0].alias = std::string(256, 'a');
  refused(design, "cannot keep its Name1 text");
  design = SalesByCity();
  design.columns.clear();
  refused(design, "at least one table and one output column");
  ASSERT_TRUE(writer_.addQuery(SalesByCity()).ok());
  refused(SalesByCity(), "already exists");
  EXPECT_THAT(writer_.addTable({"SALES BY CITY", {{.name = "A", .type = JetType::Long}}}).message(),
              HasSubstr("already exists"));
}

}  // namespace
}  // namespace tablift::jet
