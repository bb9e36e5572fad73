#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <vector>

#include "app/main_window.h"
#include "core/connection_profile.h"
#include "core/scripted_prompter.h"
#include "engine/catalog_tree.h"
#include "tests/app/gui_test_support.h"
#include "tests/support/test_paths.h"
#include "ui/db_tree_view.h"

namespace tablift::test {

using Path = std::vector<CatalogStep>;

inline const CatalogStep kSourceRoot{NodeKind::Root, "Access"};
inline const CatalogStep kSourceDatabase{NodeKind::Database, "/data/Nordwind"};
inline const CatalogStep kSourceTables{NodeKind::TablesFolder, "Tables"};
inline const CatalogStep kSourceViews{NodeKind::ViewsFolder, "Views"};
inline const Path kSourceDatabasePath{kSourceRoot, kSourceDatabase};
inline const Path kSourceTablePath{
    kSourceRoot, kSourceDatabase, kSourceTables, {NodeKind::Table, "Customers"}};
inline const Path kSourceFieldsPath{kSourceRoot,
                                    kSourceDatabase,
                                    kSourceTables,
                                    {NodeKind::Table, "Customers"},
                                    {NodeKind::FieldsFolder, "Fields"}};
inline const Path kSourceViewPath{
    kSourceRoot, kSourceDatabase, kSourceViews, {NodeKind::View, "Big Orders"}};

inline const CatalogStep kTargetRoot{NodeKind::Root, "DATABASES"};
inline const Path kTargetRootPath{kTargetRoot};
inline const Path kShopPath{kTargetRoot, {NodeKind::Database, "shop"}};
inline const Path kShopTablesPath{
    kTargetRoot, {NodeKind::Database, "shop"}, {NodeKind::TablesFolder, "Tables"}};
inline const Path kShopTablePath{kTargetRoot,
                                 {NodeKind::Database, "shop"},
                                 {NodeKind::TablesFolder, "Tables"},
                                 {NodeKind::Table, "orders"}};
inline const Path kShopViewPath{kTargetRoot,
                                {NodeKind::Database, "shop"},
                                {NodeKind::ViewsFolder, "Views"},
                                {NodeKind::View, "late_orders"}};

// A main window of its own for one test: its program directory is a fresh
// temporary one and its questions are answered by a script (OK unless told
// otherwise). The trees are filled by hand, as the catalog listing would.
class WindowTest : public ::testing::Test {
 protected:
  void FillTrees() {
    CatalogNode source{NodeKind::Root, "Access", false, {}};
    CatalogNode& database = source.add(NodeKind::Database, "/data/Nordwind");
    CatalogNode& table =
        database.add(NodeKind::TablesFolder, "Tables").add(NodeKind::Table, "Customers");
    table.add(NodeKind::FieldsFolder, "Fields").add(NodeKind::Field, "Id");
    table.add(NodeKind::IndexesFolder, "Indexes").add(NodeKind::Index, "PrimaryKey");
    database.add(NodeKind::ViewsFolder, "Views").add(NodeKind::View, "Big Orders");
    window.workbench().sourceTree().setDbmsKind(kDbmsAccess);
    window.workbench().sourceTree().replace(source);

    CatalogNode target{NodeKind::Root, "DATABASES", false, {}};
    CatalogNode& shop = target.add(NodeKind::Database, "shop");
    shop.add(NodeKind::TablesFolder, "Tables").add(NodeKind::Table, "orders");
    shop.add(NodeKind::ViewsFolder, "Views").add(NodeKind::View, "late_orders");
    target.add(NodeKind::Database, "archive");
    window.workbench().targetTree().setDbmsKind(kDbmsMySql);
    window.workbench().targetTree().replace(target);
    QCoreApplication::processEvents();
  }

  // Selects a node as the user would, by clicking it in the view.
  QTreeWidgetItem* Click(CDBTreeView* view, const Path& path) {
    QTreeWidgetItem* item = view->itemAtPath(path);
    EXPECT_NE(item, nullptr);
    if (item != nullptr) {
      view->setCurrentItem(item);
      emit view->itemClicked(item, 0);
    }
    return item;
  }

  // First: the window needs the application.
  QApplication& application = Application();
  ScopedTempDir home;
  ScopedEnvironment homeVariable{"TABLIFT_HOME", home.path().string()};
  CurrentDirectoryGuard directory;
  ScriptedPrompter prompter;
  MainWindow window{&prompter};
};

}  // namespace tablift::test
