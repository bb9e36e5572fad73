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

inline const CatalogStep kSourceRoot{kImageRoot, "Access"};
inline const CatalogStep kSourceDatabase{kImageDatabase, "/data/Nordwind"};
inline const CatalogStep kSourceTables{kImageTablesFolder, "Tables"};
inline const CatalogStep kSourceViews{kImageViewsFolder, "Views"};
inline const Path kSourceDatabasePath{kSourceRoot, kSourceDatabase};
inline const Path kSourceTablePath{
    kSourceRoot, kSourceDatabase, kSourceTables, {kImageTable, "Customers"}};
inline const Path kSourceFieldsPath{kSourceRoot,
                                    kSourceDatabase,
                                    kSourceTables,
                                    {kImageTable, "Customers"},
                                    {kImageFieldsFolder, "Fields"}};
inline const Path kSourceViewPath{
    kSourceRoot, kSourceDatabase, kSourceViews, {kImageView, "Big Orders"}};

inline const CatalogStep kTargetRoot{kImageRoot, "DATABASES"};
inline const Path kTargetRootPath{kTargetRoot};
inline const Path kShopPath{kTargetRoot, {kImageDatabase, "shop"}};
inline const Path kShopTablesPath{
    kTargetRoot, {kImageDatabase, "shop"}, {kImageTablesFolder, "Tables"}};
inline const Path kShopTablePath{
    kTargetRoot, {kImageDatabase, "shop"}, {kImageTablesFolder, "Tables"}, {kImageTable, "orders"}};
inline const Path kShopViewPath{kTargetRoot,
                                {kImageDatabase, "shop"},
                                {kImageViewsFolder, "Views"},
                                {kImageView, "late_orders"}};

// A main window of its own for one test: its program directory is a fresh
// temporary one and its questions are answered by a script (OK unless told
// otherwise). The trees are filled by hand, as the catalog listing would.
class WindowTest : public ::testing::Test {
 protected:
  void FillTrees() {
    CatalogNode source{kImageRoot, "Access", false, {}};
    CatalogNode& database = source.add(kImageDatabase, "/data/Nordwind");
    CatalogNode& table = database.add(kImageTablesFolder, "Tables").add(kImageTable, "Customers");
    table.add(kImageFieldsFolder, "Fields").add(kImageField, "Id");
    table.add(kImageIndexesFolder, "Indexes").add(kImageIndex, "PrimaryKey");
    database.add(kImageViewsFolder, "Views").add(kImageView, "Big Orders");
    window.workbench().sourceTree().setDbmsKind(kDbmsAccess);
    window.workbench().sourceTree().replace(source);

    CatalogNode target{kImageRoot, "DATABASES", false, {}};
    CatalogNode& shop = target.add(kImageDatabase, "shop");
    shop.add(kImageTablesFolder, "Tables").add(kImageTable, "orders");
    shop.add(kImageViewsFolder, "Views").add(kImageView, "late_orders");
    target.add(kImageDatabase, "archive");
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
