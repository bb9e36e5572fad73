// The target tree's management commands as the desktop program offers them:
// the dialogs, the menu text of the storage engine, the in-place rename and
// the Delete button, against the private server.
#include <gmock/gmock.h>

#include <QAction>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <optional>

#include "engine/list_catalog.h"
#include "engine/target_settings.h"
#include "tests/app/window_fixture.h"
#include "tests/support/target_connection.h"
#include "ui/charset_dialog.h"
#include "ui/command_ids.h"
#include "ui/new_database_dialog.h"
#include "ui/qt_prompter.h"

namespace tablift::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Kind = ScriptedPrompter::Kind;

TEST(CharsetDialogTest, OpensOnTheCurrentNameAndHandsOnTheClickedOne) {
  Application();
  CharsetDialog latin("LATIN1");
  ASSERT_NE(latin.radio(1029), nullptr);
  EXPECT_TRUE(latin.radio(1029)->isChecked());
  EXPECT_EQ(latin.radio(1029)->text(), QStringLiteral("latin1"));
  EXPECT_EQ(latin.findChildren<QRadioButton*>().size(), 37);
  // "Select" untouched hands on the name it opened with.
  EXPECT_EQ(latin.chosenName(), "LATIN1");
  latin.radio(1027)->click();
  EXPECT_EQ(latin.chosenName(), "CP850");
  latin.radio(1026)->click();
  EXPECT_EQ(latin.chosenName(), "HP8");
  latin.radio(1060)->click();
  EXPECT_EQ(latin.chosenName(), "UTF8MB4");

  // A name not in the table (names are compared exactly) checks nothing.
  CharsetDialog lower("latin1");
  for (QRadioButton* radio : lower.findChildren<QRadioButton*>())
    EXPECT_FALSE(radio->isChecked());
  EXPECT_EQ(lower.chosenName(), "latin1");
}

TEST(NewDatabaseDialogTest, TheNameComesBackExactlyAsTyped) {
  Application();
  QtPrompter prompter(nullptr);
  const auto answer = [](bool accept) {
    QTimer::singleShot(0, [accept] {
      auto* dialog = qobject_cast<NewDatabaseDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->nameEdit()->objectName(), QStringLiteral("1023"));
      dialog->nameEdit()->setText(QStringLiteral(" shop `x` "));
      accept ? dialog->accept() : dialog->reject();
    });
  };
  answer(true);
  EXPECT_EQ(prompter.askText("New Database", "DB Name:"), std::optional<std::string>(" shop `x` "));
  answer(false);
  EXPECT_EQ(prompter.askText("New Database", "DB Name:"), std::nullopt);
}

class TargetCommandsTest : public WindowTest {
 protected:
  void SetUp() override {
    const auto server = PrivateServerFromEnvironment();
    ASSERT_TRUE(server) << "the private server is not running";
    Workbench& bench = window.workbench();
    ASSERT_TRUE(ConnectTarget(bench, *server));
    bench.targetTree().setDbmsKind(kDbmsMySql);
    shop.emplace(bench, "tl_gui");
    ExecuteOrFail(bench, "create table `" + shop->name() + "`.orders (id int)");
    ExecuteOrFail(bench, "create table `" + shop->name() + "`.notes (id int)");
    bench.targetTree().setCurrentDatabase(shop->name());
    ListCatalog(bench, bench.targetTree());
    QCoreApplication::processEvents();
  }

  Path tablePath(const std::string& table) {
    return {{NodeKind::Root, window.workbench().targetTree().nodes().text},
            {NodeKind::Database, shop->name()},
            {NodeKind::TablesFolder, "Tables"},
            {NodeKind::Table, table}};
  }
  std::vector<std::string> tables() {
    return QueryColumn(window.workbench(),
                       "select table_name from information_schema.tables where table_schema = '" +
                           shop->name() + "' order by 1");
  }

  // Starts the in-place rename of a table and types `text` into its editor.
  QLineEdit* startRename(const std::string& table, const QString& text) {
    Click(window.targetTreeView(), tablePath(table));
    window.runCommand(kCmdRenameTable);
    CDBTreeView* view = window.targetTreeView();
    auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(view->currentIndex()));
    EXPECT_NE(editor, nullptr);
    if (editor != nullptr) editor->setText(text);
    return editor;
  }
  static void Press(QWidget* editor, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(editor, &press);
    QCoreApplication::processEvents();
  }
  QString label(const std::string& table) {
    QTreeWidgetItem* item = window.targetTreeView()->itemAtPath(tablePath(table));
    return item == nullptr ? QString() : item->text(0);
  }

  std::optional<ScratchDatabase> shop;
};

TEST_F(TargetCommandsTest, ChangeCharsetRunsTheDialogAndChangesTheSession) {
  window.setDialogHook([&](QDialog& opened) {
    auto* dialog = dynamic_cast<CharsetDialog*>(&opened);
    ASSERT_NE(dialog, nullptr);
    QTimer::singleShot(0, dialog, [dialog] {
      EXPECT_TRUE(dialog->radio(1060)->isChecked());
      dialog->radio(1045)->click();
      dialog->selectButton()->click();
    });
  });
  window.targetTreeView()->runCommand(kCmdChangeCharset);
  EXPECT_EQ(window.workbench().charset(), "UTF8");
  EXPECT_EQ(window.workbench().targetSession()->clientCharset(), "utf8");
  EXPECT_THAT(QueryColumn(window.workbench(), "select @@character_set_server"),
              ElementsAre("utf8mb3"));

  // Cancel changes nothing.
  window.setDialogHook(
      [&](QDialog& opened) { QTimer::singleShot(0, &opened, [&opened] { opened.reject(); }); });
  window.targetTreeView()->runCommand(kCmdChangeCharset);
  EXPECT_EQ(window.workbench().charset(), "UTF8");
}

TEST_F(TargetCommandsTest, TheEngineEntryShowsTheEngineNewTablesGet) {
  QAction* entry = window.commandAction(kCmdStorageEngine);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->text(), QStringLiteral("Change Storage Engine(InnoDB)"));
  window.runCommand(kCmdStorageEngine);
  EXPECT_EQ(entry->text(), QStringLiteral("Change Storage Engine(MyISAM)"));
  EXPECT_EQ(window.workbench().targetTree().storageEngine(), "MyISAM");
  window.runCommand(kCmdStorageEngine);
  EXPECT_EQ(entry->text(), QStringLiteral("Change Storage Engine(InnoDB)"));
  EXPECT_EQ(window.workbench().targetTree().storageEngine(), "InnoDB");
  EXPECT_THAT(prompter.texts(Kind::Message), ElementsAre("Now Storage Engine of MySQL is MyISAM!",
                                                         "Now Storage Engine of MySQL is InnoDB!"));
}

// A new window starts as the command line does; the user's choices of engine
// and character set outlive the window, and the Migrate question names them.
TEST_F(TargetCommandsTest, EngineAndCharsetStartAsOnTheCommandLineAndAreKept) {
  EXPECT_EQ(window.workbench().targetTree().storageEngine(), "InnoDB");
  EXPECT_EQ(window.workbench().charset(), "UTF8MB4");
  window.runCommand(kCmdStorageEngine);
  window.setDialogHook([](QDialog& opened) {
    auto* dialog = dynamic_cast<CharsetDialog*>(&opened);
    ASSERT_NE(dialog, nullptr);
    QTimer::singleShot(0, dialog, [dialog] {
      dialog->radio(1027)->click();
      dialog->selectButton()->click();
    });
  });
  window.targetTreeView()->runCommand(kCmdChangeCharset);
  ASSERT_EQ(window.workbench().charset(), "CP850");

  ScriptedPrompter answers;
  MainWindow next(&answers);
  EXPECT_EQ(next.workbench().targetTree().storageEngine(), "MyISAM");
  EXPECT_EQ(next.workbench().charset(), "CP850");
  EXPECT_EQ(next.commandAction(kCmdStorageEngine)->text(),
            QStringLiteral("Change Storage Engine(MyISAM)"));

  CatalogNode source{NodeKind::Root, "Access", false, {}};
  source.add(NodeKind::Database, "/data/Nordwind")
      .add(NodeKind::TablesFolder, "Tables")
      .add(NodeKind::Table, "Customers");
  window.workbench().sourceTree().setDbmsKind(kDbmsAccess);
  window.workbench().sourceTree().replace(source);
  QCoreApplication::processEvents();
  Click(window.sourceTreeView(), kSourceTablePath);
  Click(window.targetTreeView(), {{NodeKind::Root, window.workbench().targetTree().nodes().text},
                                  {NodeKind::Database, shop->name()}});
  prompter.queueAnswer(false);
  window.runCommand(kCmdMigrate);
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Convert table [Customers] into Target database [" + shop->name() +
                          "]?\nNew tables: storage engine MyISAM, character set CP850."));
}

TEST_F(TargetCommandsTest, EnterRenamesEscapeAndClickingAwayDoNot) {
  window.show();
  window.activateWindow();
  QLineEdit* editor = startRename("orders", QStringLiteral("purchases"));
  ASSERT_NE(editor, nullptr);
  Press(editor, Qt::Key_Escape);
  EXPECT_EQ(label("orders"), QStringLiteral("orders"));
  EXPECT_THAT(tables(), ElementsAre("notes", "orders"));

  editor = startRename("orders", QStringLiteral("purchases"));
  ASSERT_NE(editor, nullptr);
  // Clicking elsewhere takes the focus from the editor.
  ASSERT_TRUE(ProcessEventsUntil([&] { return editor->hasFocus(); }));
  window.sourceTreeView()->setFocus();
  ASSERT_TRUE(ProcessEventsUntil([&] { return window.sourceTreeView()->hasFocus(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(label("orders"), QStringLiteral("orders"));
  EXPECT_THAT(tables(), ElementsAre("notes", "orders"));

  editor = startRename("orders", QStringLiteral("purchases"));
  ASSERT_NE(editor, nullptr);
  Press(editor, Qt::Key_Return);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !label("purchases").isEmpty(); }));
  EXPECT_THAT(tables(), ElementsAre("notes", "purchases"));
  EXPECT_TRUE(label("orders").isEmpty());
  EXPECT_TRUE(window.isVisible());

  // A name the server refuses leaves the old label.
  editor = startRename("purchases", QStringLiteral("notes"));
  ASSERT_NE(editor, nullptr);
  Press(editor, Qt::Key_Enter);
  QCoreApplication::processEvents();
  EXPECT_EQ(label("purchases"), QStringLiteral("purchases"));
  EXPECT_THAT(tables(), ElementsAre("notes", "purchases"));
}

TEST_F(TargetCommandsTest, TheDeleteButtonDropsTheSelectedTable) {
  Click(window.targetTreeView(), tablePath("notes"));
  window.runCommand(kCmdToolDelete);
  EXPECT_THAT(tables(), ElementsAre("orders"));
  ASSERT_TRUE(ProcessEventsUntil(
      [&] { return window.targetTreeView()->itemAtPath(tablePath("notes")) == nullptr; }));
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Delete the table [" + shop->name() + ".notes]?"));
}

// A drop the server refuses is told in a message box with the server's
// reason, not only as a line in the log.
TEST_F(TargetCommandsTest, ARefusedDropIsToldInAMessageBox) {
  Workbench& bench = window.workbench();
  ExecuteOrFail(bench, "create table `" + shop->name() + "`.parent (id int primary key)");
  ExecuteOrFail(bench, "create table `" + shop->name() +
                           "`.child (id int, foreign key (id) references parent (id))");
  ListCatalog(bench, bench.targetTree());
  QCoreApplication::processEvents();
  Click(window.targetTreeView(), tablePath("parent"));
  window.runCommand(kCmdToolDelete);
  EXPECT_THAT(tables(), Contains("parent"));
  const std::vector<std::string> messages = prompter.texts(Kind::Message);
  ASSERT_FALSE(messages.empty());
  EXPECT_THAT(messages.back(), HasSubstr("foreign key constraint"));

  // A drop that works shows no box.
  const std::size_t shown = prompter.texts(Kind::Message).size();
  Click(window.targetTreeView(), tablePath("notes"));
  window.runCommand(kCmdToolDelete);
  EXPECT_EQ(prompter.texts(Kind::Message).size(), shown);
}

TEST_F(TargetCommandsTest, NewDatabaseFromTheRootListsTheTreeAnew) {
  const std::string name = shop->name() + "_new";
  Click(window.targetTreeView(), {tablePath("notes").front()});
  prompter.queueChoice(name);
  window.runCommand(kCmdNewDatabase);
  EXPECT_THAT(QueryColumn(window.workbench(),
                          "select schema_name from information_schema.schemata where "
                          "schema_name = '" +
                              name + "'"),
              ElementsAre(name));
  ASSERT_TRUE(ProcessEventsUntil([&] {
    return window.targetTreeView()->itemAtPath(
               {tablePath("notes").front(), {NodeKind::Database, name}}) != nullptr;
  }));
  ExecuteOrFail(window.workbench(), "drop database `" + name + "`");
}

}  // namespace
}  // namespace tablift::test
