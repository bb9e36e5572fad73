#include "engine/list_catalog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "access/sample_database.h"
#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/jet_source.h"
#include "tests/support/test_paths.h"

namespace tablift {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

std::vector<std::string> Texts(const CatalogNode& node) {
  std::vector<std::string> texts;
  for (const CatalogNode& child : node.children)
    texts.push_back(child.text);
  return texts;
}

// The Access tree as connecting leaves it: the file as root, the file without
// ".mdb" as the one database, its tables (never those with a blank in their
// name) with fields and indexes, and its saved queries as views.
TEST(ListCatalogAccessTest, AccessFileIsRootDatabaseTablesAndViews) {
  test::ScopedTempDir directory;
  const auto path = directory.path() / "shop.mdb";
  SampleSummary summary;
  ASSERT_TRUE(WriteSampleDatabase(path, 10, summary).ok());

  ScriptedPrompter prompter;
  Workbench window(prompter);
  ASSERT_TRUE(test::ConnectSource(window, path));
  CatalogTree& tree = window.sourceTree();
  tree.setDbmsKind(kDbmsAccess);
  tree.setCurrentDatabase(path.string());  // connecting hands over the file name
  ListCatalog(window, tree);

  const CatalogNode root = tree.nodes();
  EXPECT_EQ(root.text, path.string());
  const std::string database = (directory.path() / "shop").string();
  ASSERT_THAT(Texts(root), ElementsAre(database));
  EXPECT_EQ(tree.currentDatabase(), database);
  const CatalogNode& shop = root.children[0];
  ASSERT_THAT(Texts(shop), ElementsAre("Tables", "Views"));

  const std::vector<std::string> tables = Texts(shop.children[0]);
  EXPECT_THAT(tables, Contains("Order"));
  EXPECT_THAT(tables, Contains("Customers"));
  // Names with blanks are tables like any other.
  EXPECT_THAT(tables, Contains("Order Details"));
  EXPECT_THAT(tables, Contains("Awkward Values"));
  for (const CatalogNode& table : shop.children[0].children) {
    EXPECT_EQ(table.kind, NodeKind::Table);
    ASSERT_THAT(Texts(table), ElementsAre("Fields", "Indexes")) << table.text;
    EXPECT_THAT(Texts(table.children[0]), Not(IsEmpty())) << table.text;
  }
  EXPECT_THAT(Texts(shop.children[1]), Contains("Customer List"));
  EXPECT_THAT(prompter.texts(ScriptedPrompter::Kind::Message), IsEmpty());
}

}  // namespace
}  // namespace tablift
