// Access names arrive as they are, or with blanks turned into "_" in every
// object at once: tables, columns, keys, foreign keys and views, and the
// names inside the views, so that every reference still matches.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data_access/jet/writer/jet_database_writer.h"
#include "engine/use_database.h"
#include "migration/table_verification.h"
#include "tests/migration/migration_fixture.h"
#include "translate/mysql_names.h"

namespace tablift::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

// Blanks, quotes and letters beyond ASCII in every kind of object. (Access
// refuses a backquote in any name; the statements' handling of one is
// checked where they are built.)
const std::string kCustomers =
    "Kunden \"\xC3\x9C"
    "bersicht\"";  // Kunden "Übersicht"
const std::string kCustomerNumber = "Kunden Nr";
const std::string kOrderLines = "Order Details";
const std::string kOrderId = "Order ID";
const std::string kUnitPrice = "Unit Price";
const std::string kProductName = "Product's Name";
const std::string kSize =
    "Gr\xC3\xB6\xC3\x9F"
    "e";  // Größe
const std::string kLinesKey = "Primary Key";
const std::string kProductIndex = "Product's Index";
const std::string kRelationship = "Kunden Order Details";
const std::string kPriceView = "Order's Prices";
const std::string kViewOnView =
    "\xC3\x9C"
    "ber Prices";  // Über Prices
const std::string kDoubledPrice = "Doubled Price";
const std::string kTemporary = "~TMPCLP41731";

class ObjectNamesTest : public MigrationTest, public ::testing::WithParamInterface<NameRule> {
 protected:
  std::filesystem::path writeDatabase() {
    const std::filesystem::path path = temp_.path() / (UniqueName("names") + ".mdb");
    jet::JetDatabaseWriter writer;
    EXPECT_TRUE(writer.create(path).ok());
    jet::TableDesign customers{kCustomers,
                               {{.name = kCustomerNumber, .type = jet::JetType::Long},
                                {.name = "Name", .type = jet::JetType::Text, .size = 50}}};
    customers.indexes.push_back({.name = kLinesKey,
                                 .columns = {{kCustomerNumber}},
                                 .primaryKey = true,
                                 .unique = true,
                                 .required = true});
    jet::TableDesign lines{kOrderLines,
                           {{.name = kOrderId, .type = jet::JetType::Long},
                            {.name = kCustomerNumber, .type = jet::JetType::Long},
                            {.name = kUnitPrice, .type = jet::JetType::Currency},
                            {.name = kProductName, .type = jet::JetType::Text, .size = 50},
                            {.name = kSize, .type = jet::JetType::Text, .size = 20}}};
    lines.indexes.push_back({.name = kLinesKey,
                             .columns = {{kOrderId}},
                             .primaryKey = true,
                             .unique = true,
                             .required = true});
    lines.indexes.push_back(
        {.name = kProductIndex, .columns = {{kProductName}}, .unique = true, .ignoreNulls = true});
    const jet::TableDesign temporary{kTemporary,
                                     {{.name = "Left Over", .type = jet::JetType::Long}}};
    for (const jet::TableDesign& design : {customers, lines, temporary}) {
      const jet::WriteStatus added = writer.addTable(design);
      EXPECT_TRUE(added.ok()) << design.name << ": " << added.message();
    }
    EXPECT_TRUE(writer
                    .addRelationship({.name = kRelationship,
                                      .table = kOrderLines,
                                      .columns = {kCustomerNumber},
                                      .referencedTable = kCustomers,
                                      .referencedColumns = {kCustomerNumber}})
                    .ok());
    EXPECT_TRUE(writer
                    .addQuery({.name = kPriceView,
                               .tables = {{kOrderLines, ""}},
                               .columns = {{"[" + kOrderLines + "].[" + kOrderId + "]", ""},
                                           {"[" + kUnitPrice + "]*2", kDoubledPrice},
                                           {"[" + kSize + "]", ""}}})
                    .ok());
    EXPECT_TRUE(writer
                    .addQuery({.name = kViewOnView,
                               .tables = {{kPriceView, "P Q"}},
                               .columns = {{"[P Q].[" + kDoubledPrice + "]", ""}},
                               .where = "[P Q].[" + kSize + "] = 'XL'"})
                    .ok());
    const std::vector<std::vector<jet::Value>> customerRows = {
        {std::int64_t{7}, std::string("M\xC3\xBCller \xF0\x9F\x98\x80")},
        {std::int64_t{8}, jet::Null{}}};
    for (const auto& row : customerRows)
      EXPECT_TRUE(writer.appendRow(kCustomers, row).ok());
    const std::vector<std::vector<jet::Value>> lineRows = {
        {std::int64_t{1}, std::int64_t{7}, jet::Currency{125000}, std::string("Chai"),
         std::string("XL")},
        {std::int64_t{2}, std::int64_t{8}, jet::Currency{30000}, std::string("Chang"),
         std::string("S")},
        {std::int64_t{3}, std::int64_t{7}, jet::Currency{1}, jet::Null{}, std::string("XL")}};
    for (const auto& row : lineRows) {
      const jet::WriteStatus appended = writer.appendRow(kOrderLines, row);
      EXPECT_TRUE(appended.ok()) << appended.message();
    }
    EXPECT_TRUE(writer.appendRow(kTemporary, {std::int64_t{1}}).ok());
    EXPECT_TRUE(writer.finish().ok());
    return path;
  }

  std::string name(const std::string& access) const { return MySqlName(access, GetParam()); }
};

TEST_P(ObjectNamesTest, EveryObjectArrivesUnderTheChosenName) {
  window_.setNameRule(GetParam());
  connect(writeDatabase(), "", "InnoDB");
  if (HasFatalFailure()) return;
  const std::string database = createTargetDatabase("names");
  const TaskPtr task = migrate("", "", database);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->stateText(), kStateSuccess);
  EXPECT_THAT(linesWith("E::"), IsEmpty());
  EXPECT_THAT(linesWith("failure"), IsEmpty());

  // Tables and columns; the temporary table Access left behind stays out,
  // and the log says so.
  EXPECT_THAT(targetTables(database), UnorderedElementsAre(name(kCustomers), name(kOrderLines)));
  EXPECT_THAT(linesWith("Table [" + kTemporary + "] left out"), Not(IsEmpty()));
  EXPECT_THAT(
      query("select column_name from information_schema.columns where table_schema = '" + database +
            "' and table_name = '" + name(kOrderLines) + "' order by ordinal_position"),
      ElementsAre(name(kOrderId), name(kCustomerNumber), name(kUnitPrice), name(kProductName),
                  name(kSize)));

  // The primary key, the unique index by its name, the foreign key by its.
  EXPECT_THAT(
      query("select concat(index_name, '|', column_name) from "
            "information_schema.statistics where table_schema = '" +
            database + "' and table_name = '" + name(kOrderLines) +
            "' and non_unique = 0 order by index_name"),
      ElementsAre("PRIMARY|" + name(kOrderId), name(kProductIndex) + "|" + name(kProductName)));
  EXPECT_THAT(query("select concat(constraint_name, '|', table_name, '|', column_name, '|', "
                    "referenced_table_name, '|', referenced_column_name) from "
                    "information_schema.key_column_usage where table_schema = '" +
                    database + "' and referenced_table_name is not null"),
              ElementsAre(Joined({name(kRelationship), name(kOrderLines), name(kCustomerNumber),
                                  name(kCustomers), name(kCustomerNumber)})));

  // Every row, value for value, compared under the same rule.
  ASSERT_TRUE(UseDatabase(window_, database, Workbench::kTargetSide));
  for (const std::string& table : {kCustomers, kOrderLines}) {
    const TableVerification verified = VerifyTable(
        window_, window_.sourceSession(), window_.targetSession(), sourceDatabase(), table);
    EXPECT_TRUE(verified.matches()) << table << ": " << verified.error;
  }

  // The views, the second reading the first through an alias with a blank.
  EXPECT_THAT(targetTables(database, true),
              UnorderedElementsAre(name(kPriceView), name(kViewOnView)));
  EXPECT_THAT(query("select `" + name(kDoubledPrice) + "` from `" + database + "`.`" +
                    name(kViewOnView) + "` order by 1"),
              ElementsAre("0.0002", "25.0000"));
}

INSTANTIATE_TEST_SUITE_P(Rules, ObjectNamesTest,
                         ::testing::Values(NameRule::Keep, NameRule::Underscore),
                         [](const ::testing::TestParamInfo<NameRule>& info) {
                           return std::string(NameRuleText(info.param));
                         });

}  // namespace
}  // namespace tablift::test
