#include <gtest/gtest.h>

#include "core/scripted_prompter.h"
#include "engine/use_database.h"
#include "mysql/catalog_statements.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"
#include "tests/support/target_connection.h"

namespace tablift {
namespace {

using test::ExecuteOrFail;
using test::QueryColumn;

class CatalogStatementsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto server = test::PrivateServerFromEnvironment();
    ASSERT_TRUE(server) << "the private server is not running";
    ASSERT_TRUE(test::ConnectTarget(window, *server));
  }

  bool DatabaseExists(const std::string& name) {
    return !QueryColumn(window,
                        "select schema_name from information_schema.schemata where "
                        "schema_name = " +
                            StringLiteral(name))
                .empty();
  }

  Session* session() { return window.targetConnection().openSession(); }

  ScriptedPrompter prompter;
  Workbench window{prompter};
};

TEST_F(CatalogStatementsTest, CreateDatabaseFromASourcePathUsesItsLastComponent) {
  ASSERT_TRUE(CreateTargetDatabase(window, window.targetSession(), "D:/x/y/tl sales.mdb", true));
  EXPECT_TRUE(DatabaseExists("tl sales.mdb"));
  ASSERT_TRUE(CreateTargetDatabase(window, window.targetSession(), "C:\\data\\tl_shop", true));
  EXPECT_TRUE(DatabaseExists("tl_shop"));
  ASSERT_TRUE(CreateTargetDatabase(window, window.targetSession(), "tl_plain", true));
  EXPECT_TRUE(DatabaseExists("tl_plain"));

  EXPECT_FALSE(CreateTargetDatabase(window, window.targetSession(), "/elsewhere/tl_plain",
                                    true));  // exists already
  window.targetProfile().catalogName = "tl_plain";
  for (const char* name : {"tl sales.mdb", "tl_shop", "tl_plain"}) {
    EXPECT_TRUE(DropTargetDatabase(window, window.targetSession(), name)) << name;
    EXPECT_FALSE(DatabaseExists(name));
  }
  EXPECT_FALSE(
      DropTargetDatabase(window, window.targetSession(), "tl_plain"));  // gone: refused, quietly
  EXPECT_EQ(window.output().size(), 0u);
}

TEST_F(CatalogStatementsTest, CreateDatabaseAsksForANameAndSendsItAsTyped) {
  prompter.queueChoice("tl_typed default character set utf8mb4");
  ASSERT_TRUE(CreateTargetDatabase(window, window.targetSession(), "", false));
  EXPECT_TRUE(DatabaseExists("tl_typed"));
  EXPECT_EQ(QueryColumn(window,
                        "select default_character_set_name from "
                        "information_schema.schemata where schema_name = 'tl_typed'"),
            (std::vector<std::string>{"utf8mb4"}));
  EXPECT_TRUE(DropTargetDatabase(window, window.targetSession(), "tl_typed"));

  EXPECT_FALSE(CreateTargetDatabase(window, window.targetSession(), "",
                                    false));  // the user cancels: nothing runs
  EXPECT_EQ(prompter.texts(ScriptedPrompter::Kind::Text).size(), 2u);
}

TEST_F(CatalogStatementsTest, TablesAndViewsWithAwkwardNamesAreDroppedAndRenamed) {
  test::ScratchDatabase database(window, "tl_catalog");
  ASSERT_TRUE(UseDatabase(window, "C:\\where\\ever\\" + database.name(), kTargetSide));
  EXPECT_EQ(window.targetProfile().catalogName, database.name());

  ExecuteOrFail(window, "create table `Order` (id int primary key)");
  ExecuteOrFail(window, "create view `Group` as select id from `Order`");
  EXPECT_TRUE(RenameTargetTable(window, session(), "Order", "Bestellung `alt`"));
  EXPECT_EQ(QueryColumn(window, "show tables like 'Bestellung%'"),
            (std::vector<std::string>{"Bestellung `alt`"}));
  EXPECT_TRUE(DropTargetView(window, window.targetSession(), "Group"));
  EXPECT_TRUE(DropTargetTable(window, window.targetSession(), "not used", "Bestellung `alt`"));
  EXPECT_FALSE(
      DropTargetTable(window, window.targetSession(), database.name(), "Bestellung `alt`"));
  EXPECT_FALSE(UseDatabase(window, "tl_no_such_database", kTargetSide));
}

TEST_F(CatalogStatementsTest, MissingSessionIsReported) {
  ScriptedPrompter otherPrompter;
  Workbench unconnected(otherPrompter);
  EXPECT_FALSE(RenameTargetTable(unconnected, nullptr, "a", "b"));
  EXPECT_EQ(ShowCreateTable(unconnected, nullptr, "a"), "");
  EXPECT_EQ(ShowCreateView(unconnected, nullptr, "a"), "No Connection!");
  EXPECT_EQ(ReadServerVersion(unconnected, nullptr), "No Connection!");
  const auto lines = unconnected.output().lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[0].text.find("No Connection! \r\n failed with error code:[0x"),
            std::string::npos);
  EXPECT_FALSE(DropTargetTable(unconnected, nullptr, "db", "t"));
  EXPECT_NE(unconnected.output().lastLine().text.find("No Connection!"), std::string::npos);
}

TEST_F(CatalogStatementsTest, ShowCreateTableGivesTheWholeDefinition) {
  test::ScratchDatabase database(window, "tl_show");
  ASSERT_TRUE(UseDatabase(window, database.name(), kTargetSide));
  std::string columns;
  for (int i = 0; i < 300; ++i) {
    columns += ", column_with_a_long_name_" + std::to_string(i) + " int default 0";
  }
  ExecuteOrFail(window, "create table wide (id int primary key" + columns + ")");

  const std::string definition = ShowCreateTable(window, session(), "wide");
  EXPECT_GT(definition.size(), 8191u);  // longer than a text slot, and still whole
  EXPECT_EQ(definition.rfind("CREATE TABLE `wide`", 0), 0u);
  EXPECT_NE(definition.find("column_with_a_long_name_299"), std::string::npos);
  EXPECT_NE(definition.find("ENGINE="), std::string::npos);

  const std::string missing = ShowCreateTable(window, session(), "nope");
  EXPECT_NE(missing.find("doesn't exist"), std::string::npos) << missing;
}

TEST_F(CatalogStatementsTest, ShowCreateViewReplaysAndServerVersionReads) {
  test::ScratchDatabase database(window, "tl_view");
  ASSERT_TRUE(UseDatabase(window, database.name(), kTargetSide));
  ExecuteOrFail(window, "create table a (id int)");
  ExecuteOrFail(window, "create table b (id int)");
  ExecuteOrFail(window, "create view ab as select a.id from a join b");
  const std::string definition = ShowCreateView(window, session(), "ab");
  ASSERT_EQ(definition.rfind("CREATE ", 0), 0u) << definition;
  ExecuteOrFail(window, "drop view ab");
  ExecuteOrFail(window, definition);  // the definition as read replays

  const std::string version = ReadServerVersion(window, session());
  EXPECT_NE(version.find("MariaDB"), std::string::npos) << version;
}

TEST(FlattenParenthesisedJoinsTest, RewritesTheLastGroupAndItsCopies) {
  EXPECT_EQ(FlattenParenthesisedJoins("select * from (`a` join `b`)"), "select * from `a` , `b`");
  // Only the last group found is rewritten, with every copy of it.
  EXPECT_EQ(FlattenParenthesisedJoins("x (`a` join `b`) y (`c` join `d`) z (`c` join `d`)"),
            "x (`a` join `b`) y `c` , `d` z `c` , `d`");
  // "join" inside a name of the group loses its letters too.
  EXPECT_EQ(FlattenParenthesisedJoins("(`joiner` join `b`)"), "`,er` , `b`");
  EXPECT_EQ(FlattenParenthesisedJoins("select 1"), "select 1");
}

}  // namespace
}  // namespace tablift
