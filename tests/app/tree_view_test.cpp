#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <QTextEdit>
#include <filesystem>
#include <thread>

#include "engine/connect_side.h"
#include "engine/workbench.h"
#include "tests/app/window_fixture.h"
#include "tests/support/access_source.h"
#include "tests/support/target_connection.h"
#include "ui/command_ids.h"

namespace tablift::test {
namespace {

using ::testing::ElementsAre;
using Kind = ScriptedPrompter::Kind;

QStringList MenuTexts(CDBTreeView* view, const Path& path) {
  QTreeWidgetItem* item = view->itemAtPath(path);
  if (item == nullptr) return {QStringLiteral("<no node>")};
  std::unique_ptr<QMenu> menu(view->createContextMenu(item));
  QStringList texts;
  if (menu)
    for (const QAction* action : menu->actions())
      texts << action->text();
  return texts;
}

TEST_F(WindowTest, ContextMenusFitTheTreeAndTheNodeKind) {
  FillTrees();
  CDBTreeView* source = window.sourceTreeView();
  CDBTreeView* target = window.targetTreeView();
  EXPECT_EQ(MenuTexts(target, kTargetRootPath),
            (QStringList{"New Database", "Change Charset", "Storage Engines"}));
  EXPECT_EQ(MenuTexts(source, {kSourceRoot}),
            QStringList{});  // Access: no charset, no new database
  EXPECT_EQ(MenuTexts(target, kShopPath),
            (QStringList{"Delete Database", "Clear all tables", "Clear all Data"}));
  EXPECT_EQ(MenuTexts(source, kSourceDatabasePath), QStringList{});
  EXPECT_EQ(MenuTexts(target, kShopTablePath),
            (QStringList{"Drop Table orders", "Rename Table orders"}));
  EXPECT_EQ(MenuTexts(target, kShopViewPath), QStringList{"Drop View late_orders"});
  EXPECT_EQ(MenuTexts(source, kSourceTablePath), QStringList{"Migration Condition"});
  EXPECT_EQ(MenuTexts(source, kSourceViewPath), QStringList{"Migration Condition"});
  EXPECT_EQ(MenuTexts(target, kShopTablesPath), QStringList{});
  EXPECT_EQ(MenuTexts(source, kSourceFieldsPath), QStringList{});

  // A blank node text opens no menu.
  EXPECT_TRUE(ContextMenuFor(1, kDbmsMySql, NodeKind::Table, "   ").empty());
}

TEST_F(WindowTest, TheViewFollowsItsModelAndWritesTheSelectionBack) {
  FillTrees();
  CDBTreeView* target = window.targetTreeView();
  Click(target, kShopTablePath);
  EXPECT_EQ(window.workbench().targetTree().selection().path, kShopTablePath);

  // A refill on the controller thread shows once the event loop runs; the
  // selection stays where it was.
  std::thread controller([&] {
    CatalogNode root{NodeKind::Root, "DATABASES", false, {}};
    root.add(NodeKind::Database, "shop")
        .add(NodeKind::TablesFolder, "Tables")
        .add(NodeKind::Table, "orders");
    root.add(NodeKind::Database, "fresh");
    window.workbench().targetTree().replace(root);
  });
  controller.join();
  ASSERT_TRUE(ProcessEventsUntil([&] {
    return target->itemAtPath({kTargetRoot, {NodeKind::Database, "fresh"}}) != nullptr;
  }));
  EXPECT_EQ(target->itemAtPath({kTargetRoot, {NodeKind::Database, "archive"}}), nullptr);
  EXPECT_EQ(CDBTreeView::PathOf(target->currentItem()), kShopTablePath);
  EXPECT_EQ(CDBTreeView::KindOf(target->currentItem()), NodeKind::Table);
}

TEST_F(WindowTest, RenameTableEditsTheTargetLabelAndKeepsTheNameUntilRenamed) {
  FillTrees();
  CDBTreeView* target = window.targetTreeView();
  QTreeWidgetItem* item = Click(target, kShopTablePath);
  std::vector<std::pair<std::string, std::string>> renames;
  bool succeed = false;
  target->setRenameHandler([&](const std::string& from, const std::string& to) {
    renames.emplace_back(from, to);
    return succeed;
  });
  target->runCommand(kCmdRenameTable);
  item->setText(0, QStringLiteral("orders_old"));  // what the editor writes back
  EXPECT_EQ(item->text(0), QStringLiteral("orders"));
  succeed = true;
  target->runCommand(kCmdRenameTable);
  item->setText(0, QStringLiteral("orders_new"));
  EXPECT_EQ(item->text(0), QStringLiteral("orders_new"));
  EXPECT_EQ(renames, (std::vector<std::pair<std::string, std::string>>{{"orders", "orders_old"},
                                                                       {"orders", "orders_new"}}));
  // Without a pending rename a changed label is not a rename.
  item->setText(0, QStringLiteral("other"));
  EXPECT_EQ(renames.size(), 2u);
}

// The Migrate and drop tests need an open target session.
class GuiMigrateTest : public WindowTest {
 protected:
  void SetUp() override {
    const auto server = PrivateServerFromEnvironment();
    ASSERT_TRUE(server) << "the private server is not running";
    ASSERT_TRUE(ConnectTarget(window.workbench(), *server));
    window.workbench().sourceConnection().setDbmsName("ACCESS[04.00.0000]");
    // Queued records stay waiting: nothing is migrated for real.
    window.workbench().setTaskRunners([](TaskType) { return TaskRunner(); });
    FillTrees();
  }
};

TEST_F(GuiMigrateTest, MigrateFromTheToolBarQueuesTheSelectedTable) {
  Click(window.sourceTreeView(), kSourceTablePath);
  Click(window.targetTreeView(), kShopPath);
  window.commandAction(kCmdToolMigrate)->trigger();
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Convert table [Customers] into Target database [shop]?\n"
                          "New tables: storage engine InnoDB, character set UTF8MB4."));
  const auto tasks = window.workbench().tasks().snapshot();
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0]->type(), ConvertTable);
  EXPECT_EQ(tasks[0]->sourceDatabase(), "/data/Nordwind");
  EXPECT_EQ(tasks[0]->sourceObject(), "Customers");
  EXPECT_EQ(tasks[0]->targetDatabase(), "shop");

  // The menu entry does the same; Cancel queues nothing.
  prompter.queueAnswer(false);
  window.commandAction(kCmdMigrate)->trigger();
  EXPECT_EQ(window.workbench().tasks().size(), 1u);
}

void Drop(CDBTreeView* target, const Path& sourcePath, const Path& onto,
          Qt::KeyboardModifiers modifiers) {
  QTreeWidgetItem* item = target->itemAtPath(onto);
  ASSERT_NE(item, nullptr);
  target->scrollToItem(item);
  const QPointF position = target->visualItemRect(item).center();
  QMimeData data;
  QByteArray encoded = "0";
  for (const CatalogStep& step : sourcePath)
    encoded += '\n' + QByteArray::number(static_cast<int>(step.kind)) + '\t' +
               QByteArray::fromStdString(step.text);
  data.setData(kCatalogNodeMimeType, encoded);
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(position.toPoint(), actions, &data, Qt::NoButton, modifiers);
  QCoreApplication::sendEvent(target->viewport(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDragMoveEvent move(position.toPoint(), actions, &data, Qt::NoButton, modifiers);
  QCoreApplication::sendEvent(target->viewport(), &move);
  ASSERT_TRUE(move.isAccepted());
  EXPECT_EQ(move.dropAction(), (modifiers & Qt::ShiftModifier) ? Qt::MoveAction : Qt::CopyAction);
  QDropEvent drop(position, actions, &data, Qt::NoButton, modifiers);
  QCoreApplication::sendEvent(target->viewport(), &drop);
  ASSERT_TRUE(drop.isAccepted());
}

TEST_F(GuiMigrateTest, DroppingASourceNodeOnATargetDatabaseMigratesIt) {
  window.show();
  Click(window.sourceTreeView(), kSourceViewPath);
  Click(window.targetTreeView(), kTargetRootPath);
  Drop(window.targetTreeView(), kSourceViewPath, kShopPath, Qt::ShiftModifier);
  // The command runs after the drop has been delivered.
  ASSERT_TRUE(ProcessEventsUntil([&] { return window.workbench().tasks().size() == 1; }));
  const auto task = window.workbench().tasks().snapshot().front();
  EXPECT_EQ(task->type(), ConvertView);
  EXPECT_EQ(task->sourceObject(), "Big Orders");
  EXPECT_EQ(task->targetDatabase(), "shop");
  EXPECT_EQ(window.workbench().targetTree().selection().path, kShopPath);

  // The view follows the model's new selection, and so do the menus.
  EXPECT_TRUE(ProcessEventsUntil(
      [&] { return CDBTreeView::PathOf(window.targetTreeView()->currentItem()) == kShopPath; }));
  EXPECT_TRUE(window.menuAt(kDatabaseMenu)->menuAction()->isVisible());
  EXPECT_FALSE(window.menuAt(kDatabasesMenu)->menuAction()->isVisible());

  // With Shift the drag was a move: the node leaves the source display, not
  // the model, and stays away while the user goes on selecting.
  CDBTreeView* source = window.sourceTreeView();
  source->dragFinished(kSourceViewPath, Qt::MoveAction);
  EXPECT_EQ(source->itemAtPath(kSourceViewPath), nullptr);
  EXPECT_NE(CatalogTree::Find(window.workbench().sourceTree().nodes(), kSourceViewPath), nullptr);
  Click(source, kSourceTablePath);
  QCoreApplication::processEvents();
  EXPECT_EQ(source->itemAtPath(kSourceViewPath), nullptr);
  source->dragFinished(kSourceTablePath, Qt::CopyAction);  // a copy leaves it
  EXPECT_NE(source->itemAtPath(kSourceTablePath), nullptr);
}

TEST_F(GuiMigrateTest, ADropOnTheTargetRootClonesASourceDatabase) {
  window.show();
  Click(window.sourceTreeView(), kSourceDatabasePath);
  Drop(window.targetTreeView(), kSourceDatabasePath, kTargetRootPath, Qt::NoModifier);
  ASSERT_TRUE(ProcessEventsUntil([&] { return window.workbench().tasks().size() == 1; }));
  EXPECT_EQ(window.workbench().tasks().snapshot().front()->type(), CloneDatabase);
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Clone database [/data/Nordwind] of source tree?\n"
                          "New tables: storage engine InnoDB, character set UTF8MB4."));
}

TEST_F(GuiMigrateTest, SelectingAMySqlDatabaseUsesAndListsIt) {
  // A database of the user's: the server's own schemas are no targets and
  // not in the tree.
  ScratchDatabase shop(window.workbench(), "gui_select");
  ExecuteOrFail(window.workbench(), "create table `" + shop.name() + "`.items (id int)");
  const QString name = QString::fromStdString(shop.name());
  window.targetTreeView()->selectDatabase(shop.name());
  bool logged = false;
  for (const LogLine& line : window.workbench().output().lines())
    logged = logged || line.text.find("Select Database [" + shop.name() + "]") != std::string::npos;
  EXPECT_TRUE(logged);
  EXPECT_EQ(window.workbench().targetTree().currentDatabase(), shop.name());
  // The listing replaced the hand-filled tree with the server's databases,
  // the selected one opened with its folders.
  CDBTreeView* target = window.targetTreeView();
  ASSERT_TRUE(ProcessEventsUntil([&] {
    const QTreeWidgetItem* root = target->topLevelItem(0);
    if (root == nullptr) return false;
    for (int i = 0; i < root->childCount(); ++i)
      if (root->child(i)->text(0) == name && root->child(i)->childCount() > 0) return true;
    return false;
  }));
  EXPECT_EQ(target->itemAtPath({kTargetRoot, {NodeKind::Database, "archive"}}), nullptr);
  EXPECT_EQ(target->itemAtPath({kTargetRoot, {NodeKind::Database, "mysql"}}), nullptr);
}

}  // namespace
}  // namespace tablift::test

namespace tablift::test {
namespace {

TEST_F(WindowTest, SelectingAnAccessDatabaseConnectsTheSourceAnew) {
  ScopedEnvironment homeFolder{"HOME", (home.path() / "user").string()};
  ScopedEnvironment userProfile{"USERPROFILE", std::nullopt};
  std::filesystem::create_directories(home.path() / "user");
  const std::filesystem::path file = home.path() / "shop.mdb";
  WriteTables(file, {{"Orders", {{"Id", jet::JetType::Long}}}});
  ConnectionProfile& profile = window.workbench().sourceProfile();
  profile.progId = "Microsoft.Jet.OLEDB.4.0";
  profile.sourceName = file.string();
  profile.userId = "Admin";
  tablift::ConnectSource(window.workbench());
  ASSERT_NE(window.workbench().sourceSession(), nullptr);
  CDBTreeView* source = window.sourceTreeView();
  const std::string database = (home.path() / "shop").string();
  const auto tablePath = [&](const std::string& table) -> QTreeWidgetItem* {
    const QTreeWidgetItem* root = source->topLevelItem(0);
    if (root == nullptr) return nullptr;
    return source->itemAtPath({{NodeKind::Root, root->text(0).toStdString()},
                               {NodeKind::Database, database},
                               kSourceTables,
                               {NodeKind::Table, table}});
  };
  ASSERT_TRUE(ProcessEventsUntil([&] { return tablePath("Orders") != nullptr; }));

  // The file changes behind the program's back; selecting the database
  // reads it again.
  const std::filesystem::path changed = home.path() / "changed.mdb";
  WriteTables(changed,
              {{"Orders", {{"Id", jet::JetType::Long}}}, {"Lines", {{"Qty", jet::JetType::Long}}}});
  std::filesystem::copy_file(changed, file, std::filesystem::copy_options::overwrite_existing);
  source->selectDatabase(database);
  EXPECT_EQ(window.workbench().sourceTree().currentDatabase(), database);
  EXPECT_TRUE(ProcessEventsUntil([&] { return tablePath("Lines") != nullptr; }));
  bool logged = false;
  for (const LogLine& line : window.workbench().output().lines())
    logged = logged || line.text.ends_with("Select Database [" + database + "]");
  EXPECT_TRUE(logged);
}

TEST(TipsPaneTest, ARefusalHintGoesUnderTheFirstLineOfTheTipsTab) {
  Application();
  ScopedTempDir home;
  ScopedEnvironment homeVariable{"TABLIFT_HOME", home.path().string()};
  CurrentDirectoryGuard directory;
  MainWindow window;  // its own prompter: hints need no dialog
  window.workbench().prompter().showHint("Please Select a object in Target Tree!");
  QTabWidget* tabs = window.outputTabs();
  ASSERT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(kTipsTab), QStringLiteral("Tips"));
  EXPECT_EQ(tabs->currentIndex(), kTipsTab);
  EXPECT_TRUE(window.tipsPane()->toPlainText().startsWith(
      QStringLiteral("F1 to Help:\nPlease Select a object in Target Tree!\nBefore you fill")));
  window.setTipsShown(false);  // as the settings may say
  EXPECT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->indexOf(window.tipsPane()), -1);
}

}  // namespace
}  // namespace tablift::test
