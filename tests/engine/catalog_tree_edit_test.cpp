// Removing and renaming single nodes, as the management commands do after a
// drop or a rename.
#include <gtest/gtest.h>

#include "engine/catalog_tree.h"

namespace tablift {
namespace {

using Path = std::vector<CatalogStep>;

const Path kShop = {{NodeKind::Root, "DATABASES"}, {NodeKind::Database, "shop"}};
const Path kTables = {kShop[0], kShop[1], {NodeKind::TablesFolder, "Tables"}};
const Path kOrders = {kTables[0], kTables[1], kTables[2], {NodeKind::Table, "orders"}};
const Path kOrdersId = {kOrders[0],
                        kOrders[1],
                        kOrders[2],
                        kOrders[3],
                        {NodeKind::FieldsFolder, "Fields"},
                        {NodeKind::Field, "id"}};

CatalogNode ShopTree() {
  CatalogNode root{NodeKind::Root, "DATABASES", true, {}};
  CatalogNode& tables = root.add(NodeKind::Database, "shop").add(NodeKind::TablesFolder, "Tables");
  tables.add(NodeKind::Table, "customers");
  tables.add(NodeKind::Table, "orders")
      .add(NodeKind::FieldsFolder, "Fields")
      .add(NodeKind::Field, "id");
  tables.add(NodeKind::Table, "notes");
  // A view named like a table: kinds keep them apart.
  root.children[0].add(NodeKind::ViewsFolder, "Views").add(NodeKind::View, "orders");
  return root;
}

std::vector<std::string> Tables(const CatalogTree& tree) {
  std::vector<std::string> names;
  const CatalogNode root = tree.nodes();
  for (const CatalogNode& table : CatalogTree::Find(root, kTables)->children)
    names.push_back(table.text);
  return names;
}

TEST(CatalogTreeEditTest, RemovingANodeTakesItsSubtreeAndASelectionInIt) {
  CatalogTree tree(1);
  int changes = 0;
  tree.setChangeListener([&] { ++changes; });
  tree.replace(ShopTree());
  ASSERT_TRUE(tree.select(kOrdersId));
  ASSERT_TRUE(tree.remove(kOrders));
  EXPECT_EQ(Tables(tree), (std::vector<std::string>{"customers", "notes"}));
  EXPECT_TRUE(tree.selection().empty());
  // The view of the same name is another node.
  const CatalogNode root = tree.nodes();
  EXPECT_NE(
      CatalogTree::Find(
          root, {kShop[0], kShop[1], {NodeKind::ViewsFolder, "Views"}, {NodeKind::View, "orders"}}),
      nullptr);
  EXPECT_EQ(changes, 3);

  // A selection elsewhere stays; a node that is not there, or the root, is
  // not removed.
  ASSERT_TRUE(tree.select(kTables));
  EXPECT_FALSE(tree.remove(kOrders));
  EXPECT_FALSE(tree.remove({kShop[0]}));
  EXPECT_TRUE(tree.remove({kTables[0], kTables[1], kTables[2], {NodeKind::Table, "notes"}}));
  EXPECT_EQ(tree.selection().path, kTables);
  EXPECT_EQ(Tables(tree), std::vector<std::string>{"customers"});
}

TEST(CatalogTreeEditTest, ARenamedNodeKeepsItsPlaceChildrenAndSelection) {
  CatalogTree tree(1);
  tree.replace(ShopTree());
  ASSERT_TRUE(tree.select(kOrdersId));
  ASSERT_TRUE(tree.rename(kOrders, "purchases"));
  EXPECT_EQ(Tables(tree), (std::vector<std::string>{"customers", "purchases", "notes"}));
  Path renamedId = kOrdersId;
  renamedId[3].text = "purchases";
  EXPECT_EQ(tree.selection().path, renamedId);
  const CatalogNode root = tree.nodes();
  EXPECT_NE(CatalogTree::Find(root, renamedId), nullptr);
  EXPECT_FALSE(tree.rename(kOrders, "again"));
}

}  // namespace
}  // namespace tablift
