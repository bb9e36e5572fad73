#include "engine/list_catalog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/private_server.h"
#include "tests/support/target_connection.h"

namespace tablift {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

std::vector<std::string> Texts(const CatalogNode& node) {
  std::vector<std::string> texts;
  for (const CatalogNode& child : node.children)
    texts.push_back(child.text);
  return texts;
}

const CatalogNode* Child(const CatalogNode& node, const std::string& text) {
  for (const CatalogNode& child : node.children) {
    if (child.text == text) return &child;
  }
  return nullptr;
}

TEST(ListCatalogTest, MySqlTreeShowsDatabasesAndTheCurrentDatabasesObjects) {
  const auto server = test::PrivateServerFromEnvironment();
  if (!server) GTEST_SKIP() << "no private MariaDB server";
  ScriptedPrompter prompter;
  Workbench window(prompter);
  ASSERT_TRUE(test::ConnectTarget(window, *server));
  test::ScratchDatabase database(window, "list_catalog");
  test::ScratchDatabase other(window, "list_catalog_other");
  test::ExecuteOrFail(window, "use `" + database.name() + "`");
  test::ExecuteOrFail(window,
                      "create table Orders (Id int primary key, Note varchar(20), "
                      "unique key ByNote (Note, Id))");
  test::ExecuteOrFail(window, "create table `Order Details` (Id int)");
  test::ExecuteOrFail(window, "create view `Big Orders` as select Id from Orders");

  CatalogTree& tree = window.targetTree();
  tree.setDbmsKind(kDbmsMySql);
  tree.setCurrentDatabase(database.name());
  ListCatalog(window, tree);

  const CatalogNode root = tree.nodes();
  EXPECT_FALSE(tree.busy());
  EXPECT_EQ(root.text, "DATABASES");  // a driver connection has no data source name
  EXPECT_THAT(Texts(root), Contains(database.name()));
  // The server's own schemas are no targets: the tree leaves them out.
  for (const char* system : {"mysql", "sys", "information_schema", "performance_schema"})
    EXPECT_THAT(Texts(root), Not(Contains(system)));
  const CatalogNode* shop = Child(root, database.name());
  ASSERT_NE(shop, nullptr);
  ASSERT_THAT(Texts(*shop), ElementsAre("Tables", "Views"));
  EXPECT_EQ(shop->children[0].kind, NodeKind::TablesFolder);
  EXPECT_EQ(shop->children[1].kind, NodeKind::ViewsFolder);

  const CatalogNode& tables = shop->children[0];
  // A name with a blank is listed like any other.
  ASSERT_THAT(Texts(tables), ElementsAre("Order Details", "Orders"));
  EXPECT_THAT(Texts(tables.children[0].children[0]), ElementsAre("Id"));
  const CatalogNode& orders = tables.children[1];
  ASSERT_THAT(Texts(orders), ElementsAre("Fields", "Indexes"));
  EXPECT_THAT(Texts(orders.children[0]), ElementsAre("Id", "Note"));
  // One node per index, not per indexed column.
  EXPECT_THAT(Texts(orders.children[1]), UnorderedElementsAre("PRIMARY", "ByNote"));

  const CatalogNode& views = shop->children[1];
  EXPECT_THAT(Texts(views), ElementsAre("Big Orders"));
  EXPECT_THAT(Texts(views.children[0]), ElementsAre("Fields"));
  EXPECT_THAT(Texts(views.children[0].children[0]), ElementsAre("Id"));

  // Databases other than the current one are listed without children.
  const CatalogNode* another = Child(root, other.name());
  ASSERT_NE(another, nullptr);
  EXPECT_TRUE(another->children.empty());
  EXPECT_THAT(prompter.texts(ScriptedPrompter::Kind::Message),
              Not(Contains("Get Datasource Name Error!")));
}

TEST(ListCatalogTest, WithoutAConnectionTheTreeStaysEmpty) {
  ScriptedPrompter prompter;
  Workbench window(prompter);
  window.targetTree().replace(CatalogNode{NodeKind::Root, "stale", true, {}});
  ListCatalog(window, window.targetTree());
  EXPECT_TRUE(window.targetTree().isEmpty());
  EXPECT_FALSE(window.targetTree().busy());
}

}  // namespace
}  // namespace tablift
