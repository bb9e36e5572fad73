// The target tree's management commands against the private server: what
// each asks, what it sends, what the server then holds and how the tree
// follows.
#include "engine/target_management.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/connection_profile.h"
#include "core/scripted_prompter.h"
#include "engine/list_catalog.h"
#include "engine/workbench.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using Kind = ScriptedPrompter::Kind;
using Path = std::vector<CatalogStep>;

class TargetManagementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = test::PrivateServerFromEnvironment();
    ASSERT_TRUE(server_) << "the private server is not running";
    ASSERT_TRUE(test::ConnectTarget(window, *server_));
    window.targetTree().setDbmsKind(kDbmsMySql);
    shop.emplace(window, "tl_shop");
    other.emplace(window, "tl_other");
    const std::string db = "`" + shop->name() + "`.";
    for (const std::string& sql :
         {"create table " + db + "customers (id int primary key, name varchar(20))",
          "create table " + db +
              "orders (id int primary key, customer int, "
              "foreign key (customer) references customers (id)) engine=InnoDB",
          "create table " + db + "notes (id int)",
          "insert into " + db + "customers values (1, 'a')",
          "insert into " + db + "orders values (10, 1)", "insert into " + db + "notes values (7)",
          "create view " + db + "big_orders as select id from " + db + "orders where id > 5",
          // The same table name in another database, which the session is left in.
          "create table `" + other->name() + "`.notes (id int)"}) {
      test::ExecuteOrFail(window, sql);
    }
    ExecuteOrFail("use `" + other->name() + "`");
    list(shop->name());
  }

  void ExecuteOrFail(const std::string& sql) { test::ExecuteOrFail(window, sql); }

  // Lists the tree with `database` opened, as a double click does.
  void list(const std::string& database) {
    window.targetTree().setCurrentDatabase(database);
    ListCatalog(window, window.targetTree());
  }

  std::string rootText() { return window.targetTree().nodes().text; }
  Path databasePath(const std::string& name) {
    return {{NodeKind::Root, rootText()}, {NodeKind::Database, name}};
  }
  Path folderPath(NodeKind folder) {
    Path path = databasePath(shop->name());
    path.push_back({folder, folder == NodeKind::TablesFolder ? "Tables" : "Views"});
    return path;
  }
  Path objectPath(NodeKind image, const std::string& name) {
    Path path =
        folderPath(image == NodeKind::View ? NodeKind::ViewsFolder : NodeKind::TablesFolder);
    path.push_back({image, name});
    return path;
  }
  CatalogSelection node(const Path& path) { return CatalogSelection{path}; }
  void select(const Path& path) {
    ASSERT_TRUE(window.targetTree().select(path)) << path.back().text;
  }

  // The texts of the children of a node the tree shows; nothing when the
  // node is not there.
  std::optional<std::vector<std::string>> shown(const Path& path) {
    const CatalogNode root = window.targetTree().nodes();
    const CatalogNode* found = CatalogTree::Find(root, path);
    if (found == nullptr) return std::nullopt;
    std::vector<std::string> texts;
    for (const CatalogNode& child : found->children)
      texts.push_back(child.text);
    return texts;
  }
  bool shows(const Path& path) { return shown(path).has_value(); }

  std::vector<std::string> objects(const std::string& database, const char* type) {
    return test::QueryColumn(window,
                             "select table_name from information_schema.tables where "
                             "table_schema = '" +
                                 database + "' and table_type = '" + type + "' order by 1");
  }
  std::vector<std::string> tables() { return objects(shop->name(), "BASE TABLE"); }
  std::vector<std::string> views() { return objects(shop->name(), "VIEW"); }
  bool databaseExists(const std::string& name) {
    return !test::QueryColumn(window,
                              "select schema_name from information_schema.schemata where "
                              "schema_name = '" +
                                  name + "'")
                .empty();
  }

  // The log's texts without their time stamps.
  std::vector<std::string> log() {
    std::vector<std::string> texts;
    for (const LogLine& line : window.output().lines()) {
      const std::size_t date = line.text.find(' ');
      const std::size_t time = date == std::string::npos ? date : line.text.find(' ', date + 1);
      texts.push_back(time == std::string::npos ? line.text : line.text.substr(time + 1));
    }
    return texts;
  }

  std::optional<test::PrivateServer> server_;
  ScriptedPrompter prompter;
  Workbench window{prompter};
  std::optional<test::ScratchDatabase> shop;
  std::optional<test::ScratchDatabase> other;
};

TEST_F(TargetManagementTest, NewDatabaseSendsTheNameAsTypedAndListsTheTreeAnew) {
  const std::string name = shop->name() + "_new";
  // Typed with a clause of its own: the text reaches the server unquoted.
  prompter.queueChoice(name + " character set utf8mb4");
  ASSERT_TRUE(NewDatabaseCommand(window));
  EXPECT_THAT(prompter.texts(Kind::Text), ElementsAre("New Database"));
  EXPECT_TRUE(databaseExists(name));
  EXPECT_THAT(test::QueryColumn(window,
                                "select default_character_set_name from "
                                "information_schema.schemata where schema_name = '" +
                                    name + "'"),
              ElementsAre("utf8mb4"));
  EXPECT_TRUE(shows(databasePath(name)));
  ExecuteOrFail("drop database `" + name + "`");

  // Cancelled: nothing is sent. Refused: the server's reason is logged.
  EXPECT_FALSE(NewDatabaseCommand(window));
  prompter.queueChoice(shop->name());
  EXPECT_FALSE(NewDatabaseCommand(window));
  EXPECT_THAT(log().back(), HasSubstr("database exists"));
}

TEST_F(TargetManagementTest, DeleteDatabaseNeedsADatabaseAndBothAnswers) {
  EXPECT_FALSE(DeleteDatabaseCommand(window, node(objectPath(NodeKind::Table, "notes"))));
  EXPECT_FALSE(DeleteDatabaseCommand(
      window, node({{NodeKind::Root, rootText()}, {NodeKind::Database, "  "}})));
  EXPECT_THAT(prompter.texts(Kind::Message),
              ElementsAre("No Database in TARGET Side be Selected!",
                          "No Database in TARGET Side be Selected!"));

  const std::string name = other->name();
  prompter.queueAnswer(false);  // Cancel
  EXPECT_FALSE(DeleteDatabaseCommand(window, node(databasePath(name))));
  prompter.queueAnswer(true);
  prompter.queueAnswer(false);  // No
  EXPECT_FALSE(DeleteDatabaseCommand(window, node(databasePath(name))));
  EXPECT_TRUE(databaseExists(name));

  EXPECT_TRUE(DeleteDatabaseCommand(window, node(databasePath(name))));
  EXPECT_FALSE(databaseExists(name));
  EXPECT_FALSE(shows(databasePath(name)));
  EXPECT_TRUE(shows(databasePath(shop->name())));
  EXPECT_THAT(prompter.texts(Kind::OkCancel), Contains("Remove database [" + name + "]?"));
  EXPECT_THAT(prompter.texts(Kind::YesNo),
              Contains("After remove, you can not restore [" + name +
                       "] again! Continue?\nPress YES to Continue Removing!"));
}

TEST_F(TargetManagementTest, ClearAllTablesDropsTheListedViewsThenTables) {
  EXPECT_TRUE(ClearAllTablesCommand(window, node(databasePath(shop->name()))));
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Remove all the tables of [" + shop->name() + "]?"));
  // "customers" is still referred to when it comes up in tree order; it
  // stays, and says why.
  EXPECT_THAT(tables(), ElementsAre("customers"));
  EXPECT_THAT(views(), IsEmpty());
  EXPECT_THAT(log(), Contains(HasSubstr("foreign key constraint fails")));
  EXPECT_THAT(shown(folderPath(NodeKind::TablesFolder)),
              ::testing::Optional(ElementsAre("customers")));
  // The same-named table of the database the session was in is untouched.
  EXPECT_THAT(objects(other->name(), "BASE TABLE"), ElementsAre("notes"));
}

TEST_F(TargetManagementTest, ClearAllTablesOnADatabaseTheTreeNeverOpenedDropsNothing) {
  list(other->name());
  EXPECT_TRUE(ClearAllTablesCommand(window, node(databasePath(shop->name()))));
  EXPECT_THAT(tables(), ElementsAre("customers", "notes", "orders"));
  EXPECT_THAT(views(), ElementsAre("big_orders"));
}

TEST_F(TargetManagementTest, ClearAllDataEmptiesTheTablesAndKeepsThemAndTheViews) {
  ExecuteOrFail("insert into `" + other->name() + "`.notes values (1)");
  prompter.queueAnswer(true);
  prompter.queueAnswer(false);
  EXPECT_FALSE(ClearAllDataCommand(window, node(databasePath(shop->name()))));
  EXPECT_THAT(test::QueryColumn(window, "select count(*) from `" + shop->name() + "`.orders"),
              ElementsAre("1"));

  EXPECT_TRUE(ClearAllDataCommand(window, node(databasePath(shop->name()))));
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Delete all the data of [" + shop->name() + "]?",
                          "Delete all the data of [" + shop->name() + "]?"));
  EXPECT_THAT(tables(), ElementsAre("customers", "notes", "orders"));
  EXPECT_THAT(views(), ElementsAre("big_orders"));
  for (const char* table : {"customers", "orders", "notes"}) {
    EXPECT_THAT(test::QueryColumn(window, "select count(*) from `" + shop->name() + "`." + table),
                ElementsAre("0"))
        << table;
  }
  EXPECT_EQ(log().back(), "[3] tables emptied!");
  // Rows elsewhere stay, and the session checks foreign keys again.
  EXPECT_THAT(test::QueryColumn(window, "select @@foreign_key_checks"), ElementsAre("1"));
  EXPECT_THAT(test::QueryColumn(window, "select count(*) from `" + other->name() + "`.notes"),
              ElementsAre("1"));
}

TEST_F(TargetManagementTest, DropTableAndViewAskNothingAndDropInTheNodesDatabase) {
  test::ExecuteOrFail(window, "insert into `" + other->name() + "`.notes values (1)");
  EXPECT_TRUE(DropTableCommand(window, node(objectPath(NodeKind::Table, "notes"))));
  EXPECT_TRUE(DropViewCommand(window, node(objectPath(NodeKind::View, "big_orders"))));
  EXPECT_THAT(prompter.prompts(), IsEmpty());
  EXPECT_THAT(tables(), ElementsAre("customers", "orders"));
  EXPECT_THAT(views(), IsEmpty());
  EXPECT_THAT(objects(other->name(), "BASE TABLE"), ElementsAre("notes"));
  EXPECT_FALSE(shows(objectPath(NodeKind::Table, "notes")));
  EXPECT_FALSE(shows(objectPath(NodeKind::View, "big_orders")));

  // A drop the server refuses keeps the node and logs the reason.
  EXPECT_FALSE(DropTableCommand(window, node(objectPath(NodeKind::Table, "customers"))));
  EXPECT_TRUE(shows(objectPath(NodeKind::Table, "customers")));
  EXPECT_THAT(log().back(), HasSubstr("foreign key constraint fails"));
  // Commands of the wrong node kind do nothing.
  EXPECT_FALSE(DropViewCommand(window, node(objectPath(NodeKind::Table, "orders"))));
  EXPECT_TRUE(shows(objectPath(NodeKind::Table, "orders")));
}

TEST_F(TargetManagementTest, RenameTableRenamesTheNodeOnlyWhenTheServerDid) {
  select(objectPath(NodeKind::Table, "notes"));
  EXPECT_TRUE(RenameTableCommand(window, node(objectPath(NodeKind::Table, "notes")), "memo"));
  EXPECT_THAT(tables(), ElementsAre("customers", "memo", "orders"));
  EXPECT_THAT(objects(other->name(), "BASE TABLE"), ElementsAre("notes"));
  EXPECT_TRUE(shows(objectPath(NodeKind::Table, "memo")));
  EXPECT_FALSE(shows(objectPath(NodeKind::Table, "notes")));
  EXPECT_EQ(window.targetTree().selection().text(), "memo");

  EXPECT_FALSE(RenameTableCommand(window, node(objectPath(NodeKind::Table, "memo")), "orders"));
  EXPECT_THAT(log().back(), HasSubstr("already exists"));
  EXPECT_TRUE(shows(objectPath(NodeKind::Table, "memo")));
  // Unchanged or empty names send nothing.
  const std::size_t lines = log().size();
  EXPECT_FALSE(RenameTableCommand(window, node(objectPath(NodeKind::Table, "memo")), "memo"));
  EXPECT_FALSE(RenameTableCommand(window, node(objectPath(NodeKind::Table, "memo")), ""));
  EXPECT_EQ(log().size(), lines);
}

TEST_F(TargetManagementTest, DeleteRefusesWithoutConnectionOrSelection) {
  DeleteSelectedCommand(window);
  EXPECT_THAT(prompter.texts(Kind::Hint),
              ElementsAre("Please select a table, tables, views or database on target Database "
                          "Tree!"));
  EXPECT_THAT(prompter.texts(Kind::Message), ElementsAre("No selected Object to delete!"));

  ScriptedPrompter alone;
  Workbench unconnected(alone);
  DeleteSelectedCommand(unconnected);
  EXPECT_THAT(alone.texts(Kind::Hint),
              ElementsAre("Press Config button, and get a successful target Connection!"));
  EXPECT_THAT(alone.texts(Kind::Message), ElementsAre("No Target DataSource Connection!"));
}

TEST_F(TargetManagementTest, DeleteWhileTasksRunOffersToStopThemAndDeletesNothing) {
  select(objectPath(NodeKind::Table, "notes"));
  window.runState().store(RunState::StopRequested);
  DeleteSelectedCommand(window);
  EXPECT_THAT(prompter.texts(Kind::Message),
              ElementsAre("Some Tasks is Stopping, Please try again later!!!"));
  window.runState().store(RunState::Idle);
  EXPECT_THAT(tables(), Contains("notes"));
}

TEST_F(TargetManagementTest, DeleteATableOrViewAfterTwoAnswers) {
  const std::string qualified = "[" + shop->name() + ".notes]";
  select(objectPath(NodeKind::Table, "notes"));
  prompter.queueAnswer(true);
  prompter.queueAnswer(false);
  DeleteSelectedCommand(window);
  EXPECT_THAT(tables(), Contains("notes"));
  DeleteSelectedCommand(window);
  EXPECT_THAT(tables(), Not(Contains("notes")));
  EXPECT_FALSE(shows(objectPath(NodeKind::Table, "notes")));
  EXPECT_THAT(objects(other->name(), "BASE TABLE"), ElementsAre("notes"));
  EXPECT_THAT(prompter.texts(Kind::OkCancel), ElementsAre("Delete the table " + qualified + "?",
                                                          "Delete the table " + qualified + "?"));
  EXPECT_THAT(prompter.texts(Kind::YesNo),
              Contains("After remove, you can not restore the table " + qualified +
                       "! Continue?\nPress YES to Continue Removing!"));
  EXPECT_THAT(log(), Contains("Delete the table " + qualified + "?"));

  select(objectPath(NodeKind::View, "big_orders"));
  DeleteSelectedCommand(window);
  EXPECT_THAT(views(), IsEmpty());
  EXPECT_THAT(prompter.texts(Kind::YesNo),
              Contains("After remove, you can not restore the view [" + shop->name() +
                       ".big_orders] again! Continue?\nPress YES to Continue Removing!"));
}

TEST_F(TargetManagementTest, DeletingAFolderCountsOnlyTheSuccessfulDrops) {
  // Gone behind the tree's back: its drop fails and its node stays.
  ExecuteOrFail("drop table `" + shop->name() + "`.notes");
  select(folderPath(NodeKind::TablesFolder));
  DeleteSelectedCommand(window);
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Delete all the tables of [" + shop->name() + "]?"));
  const auto lines = log();
  EXPECT_THAT(lines, Contains("Delete all the tables of [" + shop->name() + "]?"));
  // customers is referred to by orders when its turn comes; orders goes.
  EXPECT_EQ(lines.back(), "[1] tables removed!");
  EXPECT_THAT(shown(folderPath(NodeKind::TablesFolder)),
              ::testing::Optional(ElementsAre("customers", "notes")));
  EXPECT_THAT(tables(), ElementsAre("customers"));

  select(folderPath(NodeKind::ViewsFolder));
  DeleteSelectedCommand(window);
  EXPECT_EQ(log().back(), "[1] views removed!");
  EXPECT_THAT(shown(folderPath(NodeKind::ViewsFolder)), ::testing::Optional(IsEmpty()));
  EXPECT_THAT(prompter.texts(Kind::YesNo),
              Contains("After remove, you can not restore the views of [" + shop->name() +
                       "] again! Continue?\nPress YES to Continue Removing!"));
}

TEST_F(TargetManagementTest, DeleteADatabaseRemovesItsNodeAndTheRootDoesNothing) {
  const std::string name = other->name();
  select(databasePath(name));
  DeleteSelectedCommand(window);
  EXPECT_THAT(prompter.texts(Kind::OkCancel), ElementsAre("Delete database [" + name + "]?"));
  EXPECT_THAT(log(), Contains("Remove Database [" + name + "]!"));
  EXPECT_FALSE(databaseExists(name));
  EXPECT_FALSE(shows(databasePath(name)));

  select({{NodeKind::Root, rootText()}});
  const std::size_t lines = log().size();
  DeleteSelectedCommand(window);
  EXPECT_EQ(log().size(), lines);
  EXPECT_EQ(prompter.texts(Kind::OkCancel).size(), 1u);
}

}  // namespace
}  // namespace tablift
