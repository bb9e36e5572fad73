#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/jet_writer/libmdb_reading.h"
#include "tests/jet_writer/written_database.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;

TableDesign Customers() {
  TableDesign design;
  design.name = "Customers";
  design.description = "People who order";
  design.columns = {
      {.name = "Id",
       .type = JetType::Long,
       .required = true,
       .autoNumber = true,
       .description = "Number given by the database"},
      {.name = "Name",
       .type = JetType::Text,
       .size = 40,
       .required = true,
       .defaultValue = "\"unknown\""},
      {.name = "Active", .type = JetType::Boolean, .defaultValue = "=No"},
      {.name = "Since",
       .type = JetType::DateTime,
       .defaultValue = "=Now()",
       .description = "Kunde seit — erster Auftrag"},
  };
  return design;
}

class ColumnPropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = directory_.path() / "properties.mdb";
    ASSERT_TRUE(test::WriteDatabase(
        path_, {{Customers(), {{Null{}, std::string("Ann"), true, DateTime{45000}}}}}));
  }
  tablift::test::ScopedTempDir directory_;
  std::filesystem::path path_;
};

TEST_F(ColumnPropertiesTest, LibmdbAttachesThePropertiesToTheirColumns) {
  test::LibmdbDatabase mdb(path_);
  const auto table = mdb.readTable("Customers");
  ASSERT_TRUE(table.has_value());
  ASSERT_EQ(table->columns.size(), 4u);
  EXPECT_THAT(
      table->columns[0].properties,
      ElementsAre(Pair("Description", "Number given by the database"), Pair("Required", "yes")));
  EXPECT_THAT(table->columns[1].properties,
              ElementsAre(Pair("DefaultValue", "\"unknown\""), Pair("Required", "yes")));
  EXPECT_THAT(table->columns[2].properties,
              ElementsAre(Pair("DefaultValue", "=No"), Pair("Required", "no")));
  EXPECT_THAT(
      table->columns[3].properties,
      ElementsAre(Pair("DefaultValue", "=Now()"),
                  Pair("Description", "Kunde seit — erster Auftrag"), Pair("Required", "no")));
  ASSERT_EQ(table->rows.size(), 1u);
  EXPECT_EQ(table->rows[0][1].text, "Ann");
}

TEST_F(ColumnPropertiesTest, MdbPropListsTableAndColumnProperties) {
  const auto listed = test::RunMdbTool("mdb-prop", {path_.string(), "Customers"});
  EXPECT_EQ(listed.exitCode, 0);
  EXPECT_THAT(listed.out, HasSubstr("name: (none)\n\tDescription: People who order\n"));
  EXPECT_THAT(listed.out, HasSubstr("name: Active\n"));
  EXPECT_THAT(listed.out, HasSubstr("\tDefaultValue: =No\n"));
  EXPECT_THAT(listed.out, HasSubstr("\tDescription: Kunde seit — erster Auftrag\n"));

  // Required reaches the generated schema as NOT NULL.
  const auto schema = test::RunMdbTool("mdb-schema", {"-T", "Customers", path_.string(), "mysql"});
  EXPECT_THAT(schema.out, HasSubstr("`Name`\t\t\tvarchar (40) NOT NULL"));
}

TEST(ColumnPropertiesRefusedTest, PropertyTextsAreLimitedTo255Characters) {
  tablift::test::ScopedTempDir directory;
  JetDatabaseWriter writer;
  ASSERT_TRUE(writer.create(directory.path() / "long.mdb").ok());
  TableDesign design{"T",
                     {{.name = "A", .type = JetType::Long, .description = std::string(256, 'd')}}};
  EXPECT_THAT(writer.addTable(design).message(), HasSubstr("longer than 255 characters"));
  design.columns[0].description.reset();
  design.columns[0].defaultValue = std::string("\xC3");
  EXPECT_THAT(writer.addTable(design).message(), HasSubstr("default value is not valid UTF-8"));
  design.columns[0].defaultValue = std::string(255, 'v');
  EXPECT_TRUE(writer.addTable(design).ok());
}

}  // namespace
}  // namespace tablift::jet
