#include "engine/catalog_tree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tablift {
namespace {

CatalogNode ShopTree() {
  CatalogNode root{NodeKind::Root, "DATABASES", true, {}};
  CatalogNode& shop = root.add(NodeKind::Database, "shop");
  CatalogNode& tables = shop.add(NodeKind::TablesFolder, "Tables");
  // A table named like the folder: kinds keep the two apart.
  tables.add(NodeKind::Table, "Tables")
      .add(NodeKind::FieldsFolder, "Fields")
      .add(NodeKind::Field, "Id");
  shop.add(NodeKind::ViewsFolder, "Views").add(NodeKind::View, "Cheap");
  root.add(NodeKind::Database, "other");
  return root;
}

const std::vector<CatalogStep> kTablePath = {{NodeKind::Root, "DATABASES"},
                                             {NodeKind::Database, "shop"},
                                             {NodeKind::TablesFolder, "Tables"},
                                             {NodeKind::Table, "Tables"}};

TEST(CatalogTreeTest, SelectionNamesTheNodeAndItsAncestorsByKind) {
  CatalogTree tree(1);
  tree.replace(ShopTree());
  ASSERT_TRUE(tree.select(kTablePath));
  const CatalogSelection selection = tree.selection();
  EXPECT_EQ(selection.kind(), NodeKind::Table);
  EXPECT_EQ(selection.text(), "Tables");
  EXPECT_EQ(selection.nearest(NodeKind::Database), "shop");
  EXPECT_EQ(selection.nearest(NodeKind::View), "");

  // A path whose kinds do not match is no node, and the selection stays.
  EXPECT_FALSE(tree.select(
      {{NodeKind::Root, "DATABASES"}, {NodeKind::Database, "shop"}, {NodeKind::Table, "Tables"}}));
  EXPECT_EQ(tree.selection().path, kTablePath);
}

TEST(CatalogTreeTest, RefillKeepsASelectionOrDropTargetThatStillExistsAndDropsOneThatDoesNot) {
  CatalogTree tree(1);
  tree.replace(ShopTree());
  ASSERT_TRUE(tree.select(kTablePath));
  tree.setDropTarget(kTablePath);
  tree.replace(ShopTree());
  EXPECT_EQ(tree.selection().path, kTablePath);
  EXPECT_EQ(tree.dropTarget(), kTablePath);

  CatalogNode smaller{NodeKind::Root, "DATABASES", true, {}};
  smaller.add(NodeKind::Database, "shop");
  tree.replace(std::move(smaller));
  EXPECT_TRUE(tree.selection().empty());
  EXPECT_TRUE(tree.dropTarget().empty());

  tree.clear();
  EXPECT_TRUE(tree.isEmpty());
  EXPECT_FALSE(tree.select({{NodeKind::Root, ""}}));
}

TEST(CatalogTreeTest, ReadersOnOneThreadSeeWholeTreesWhileAnotherRefills) {
  CatalogTree tree(1);
  std::atomic<int> changes{0};
  tree.setChangeListener([&] { ++changes; });
  std::atomic<bool> done{false};
  std::thread refiller([&] {
    for (int i = 0; i < 200; ++i)
      tree.replace(ShopTree());
    done = true;
  });
  while (!done) {
    const CatalogNode nodes = tree.nodes();
    if (!nodes.children.empty()) {
      ASSERT_EQ(nodes.children.size(), 2u);
    }
  }
  refiller.join();
  EXPECT_EQ(changes.load(), 200);
  EXPECT_EQ(tree.storageEngine(), "MyISAM");
}

}  // namespace
}  // namespace tablift
