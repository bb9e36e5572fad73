// The condition dialog and the source tree's tool tip in the window, over
// the real Northwind file: a condition must pass its test before it can be
// saved, what is saved is what was tested, and hovering a table shows it.
#include "ui/condition_dialog.h"

#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolTip>
#include <filesystem>
#include <optional>

#include "engine/connect_side.h"
#include "engine/migration_condition.h"
#include "tests/app/window_fixture.h"
#include "tests/support/jet_source.h"
#include "ui/command_ids.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFrance1996 = "OrderDate >= #1/1/1996# And ShipCountry = \"France\"";

class ConditionDialogTest : public WindowTest {
 protected:
  void SetUp() override {
    const std::optional<fs::path> fixtures = FixturesDirectory();
    if (!fixtures) GTEST_SKIP() << "no Access fixtures";
    mdb_ = *fixtures / "northwind-jet3.mdb";
    database_ = AccessDatabaseName(mdb_);
    Workbench& bench = window.workbench();
    bench.sourceProfile() = {"Microsoft Jet 4.0 OLE DB Provider",
                             "Microsoft.Jet.OLEDB.4.0",
                             mdb_.string(),
                             "",
                             "Admin",
                             ""};
    tablift::ConnectSource(bench);
    ASSERT_NE(bench.sourceSession(), nullptr);
    window.show();
    QCoreApplication::processEvents();
  }

  Path objectPath(NodeKind folder, NodeKind image, const std::string& name) const {
    return {{NodeKind::Root, mdb_.string()},
            {NodeKind::Database, database_},
            {folder, folder == NodeKind::TablesFolder ? "Tables" : "Views"},
            {image, name}};
  }
  Path tablePath(const std::string& table) const {
    return objectPath(NodeKind::TablesFolder, NodeKind::Table, table);
  }

  // Opens the dialog for the node at `path` from the menu bar, lets `drive`
  // work on it while it runs, then closes it with its Close button.
  void OpenDialog(const Path& path, const std::function<void(ConditionDialog&)>& drive) {
    Click(window.sourceTreeView(), path);
    bool opened = false;
    window.setDialogHook([&](QDialog& shown) {
      auto* dialog = dynamic_cast<ConditionDialog*>(&shown);
      ASSERT_NE(dialog, nullptr);
      opened = true;
      QTimer::singleShot(0, dialog, [dialog, &drive] {
        drive(*dialog);
        dialog->control<QPushButton>(kConditionClose)->click();
      });
    });
    window.runCommand(kCmdMigrationCondition);
    window.setDialogHook({});
    EXPECT_TRUE(opened);
  }

  static QPlainTextEdit* Edit(ConditionDialog& dialog) {
    return dialog.control<QPlainTextEdit>(kConditionEdit);
  }
  static QPushButton* Button(ConditionDialog& dialog, int id) {
    return dialog.control<QPushButton>(id);
  }

  // The source tree's tool tip after the mouse moved onto the node at `path`.
  QString ToolTipOver(const Path& path) {
    CDBTreeView* view = window.sourceTreeView();
    QTreeWidgetItem* item = view->itemAtPath(path);
    EXPECT_NE(item, nullptr);
    if (item == nullptr) return QStringLiteral("<no node>");
    view->scrollToItem(item);
    const QPoint position = view->visualItemRect(item).center();
    QMouseEvent move(QEvent::MouseMove, position, view->viewport()->mapToGlobal(position),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &move);
    EXPECT_EQ(view->toolTipAt(position), view->toolTip());
    return view->toolTip();
  }

  fs::path mdb_;
  std::string database_;
  ScopedEnvironment userProfile_{"USERPROFILE", home.path().string()};
};

TEST_F(ConditionDialogTest, OnlyATestedConditionCanBeSaved) {
  const std::string expected = TestCondition(window.workbench(), "Orders", kFrance1996).result;
  ASSERT_TRUE(QString::fromStdString(expected).contains(
      QRegularExpression(QStringLiteral("^Test successfully!\r\n  [1-9][0-9]* Records can be "
                                        "converted\\.$"))))
      << expected;

  OpenDialog(tablePath("Orders"), [&](ConditionDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Migration Condition"));
    EXPECT_EQ(dialog.control<QLabel>(kConditionSelectLabel)->text(),
              QStringLiteral("select * from Orders where"));
    EXPECT_EQ(Edit(dialog)->toPlainText(), QString());
    EXPECT_FALSE(Button(dialog, kConditionSave)->isEnabled());

    Edit(dialog)->setPlainText(QString::fromUtf8(kFrance1996));
    Button(dialog, kConditionTest)->click();
    EXPECT_EQ(dialog.resultText(), expected);
    EXPECT_EQ(dialog.control<QPlainTextEdit>(kConditionResult)->toPlainText().toStdString(),
              QString::fromStdString(expected)
                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                  .toStdString());
    EXPECT_TRUE(Button(dialog, kConditionSave)->isEnabled());

    // A changed text has to be tested again before it can be saved.
    Edit(dialog)->insertPlainText(QStringLiteral(" And Freight > 1000000"));
    EXPECT_FALSE(Button(dialog, kConditionSave)->isEnabled());
    Edit(dialog)->setPlainText(QStringLiteral("NoSuchColumn = 1"));
    Button(dialog, kConditionTest)->click();
    EXPECT_EQ(dialog.resultText().rfind("Test failed!\r\n  Because:  ", 0), 0u)
        << dialog.resultText();
    EXPECT_FALSE(Button(dialog, kConditionSave)->isEnabled());

    Edit(dialog)->setPlainText(QString::fromUtf8(kFrance1996));
    Button(dialog, kConditionTest)->click();
    Button(dialog, kConditionSave)->click();
    EXPECT_FALSE(Button(dialog, kConditionSave)->isEnabled());
  });
  EXPECT_EQ(LoadCondition(window.workbench(), database_, "Orders"), kFrance1996);
  EXPECT_EQ(window.workbench().conditionFile(), home.path() / "Condition.cfg");

  // Opened again it shows the saved condition; what Close leaves is not saved.
  OpenDialog(tablePath("Orders"), [&](ConditionDialog& dialog) {
    EXPECT_EQ(Edit(dialog)->toPlainText().toStdString(), kFrance1996);
    Edit(dialog)->setPlainText(QStringLiteral("OrderID > 1"));
    Button(dialog, kConditionTest)->click();
    EXPECT_TRUE(Button(dialog, kConditionSave)->isEnabled());
  });
  EXPECT_EQ(LoadCondition(window.workbench(), database_, "Orders"), kFrance1996);

  // The edit takes at most 1024 characters.
  OpenDialog(tablePath("Customers"), [&](ConditionDialog& dialog) {
    Edit(dialog)->setPlainText(QString(1100, QLatin1Char(' ')));
    EXPECT_EQ(Edit(dialog)->toPlainText().size(), 1024);
  });
}

TEST_F(ConditionDialogTest, HoveringATableShowsItsCondition) {
  EXPECT_EQ(ToolTipOver(tablePath("Orders")), QStringLiteral("Convert All"));
  ASSERT_TRUE(SaveCondition(window.workbench(), database_, "Orders", kFrance1996));
  ASSERT_TRUE(SaveCondition(window.workbench(), database_, "Invoices", "OrderID > 1"));
  EXPECT_EQ(ToolTipOver(tablePath("Customers")), QStringLiteral("Convert All"));
  EXPECT_EQ(ToolTipOver(tablePath("Orders")),
            QStringLiteral("Condition : ") + QString::fromUtf8(kFrance1996));
  EXPECT_EQ(ToolTipOver(objectPath(NodeKind::ViewsFolder, NodeKind::View, "Invoices")), QString());
  EXPECT_EQ(ToolTipOver({{NodeKind::Root, mdb_.string()}, {NodeKind::Database, database_}}),
            QString());

  // The tip shown is read when it shows: a condition saved while the mouse
  // rests on the table is not hidden behind the text of the last move.
  ASSERT_TRUE(SaveCondition(window.workbench(), database_, "Orders", "OrderID < 10300"));
  CDBTreeView* view = window.sourceTreeView();
  const QPoint position = view->visualItemRect(view->itemAtPath(tablePath("Orders"))).center();
  QHelpEvent help(QEvent::ToolTip, position, view->viewport()->mapToGlobal(position));
  QCoreApplication::sendEvent(view->viewport(), &help);
  EXPECT_EQ(QToolTip::text().toStdString(), "Condition : OrderID < 10300");

  // A view opens the dialog too, with its own name.
  OpenDialog(objectPath(NodeKind::ViewsFolder, NodeKind::View, "Invoices"),
             [](ConditionDialog& dialog) {
               EXPECT_EQ(dialog.subject().table, "Invoices");
               EXPECT_EQ(Edit(dialog)->toPlainText(), QStringLiteral("OrderID > 1"));
             });
}

// A condition whose error is well inside it: the reason counts from the
// condition's first character, not the query's, and the edit selects that
// character, also after leading blanks and a line break.
TEST_F(ConditionDialogTest, AConditionErrorPointsAtItsCharacter) {
  OpenDialog(tablePath("Orders"), [&](ConditionDialog& dialog) {
    const QString condition = QStringLiteral("  ShipCountry = \"France\"\nAnd NoSuchColumn = 1");
    Edit(dialog)->setPlainText(condition);
    dialog.test();
    const int wrong = static_cast<int>(condition.indexOf(QStringLiteral("NoSuchColumn")));
    EXPECT_NE(
        dialog.resultText().find("position " + std::to_string(wrong + 1) + " of the condition"),
        std::string::npos)
        << dialog.resultText();
    const QTextCursor cursor = Edit(dialog)->textCursor();
    EXPECT_EQ(cursor.selectionStart(), wrong);
    EXPECT_EQ(cursor.selectedText(), QStringLiteral("N"));
    EXPECT_FALSE(dialog.control<QPushButton>(kConditionSave)->isEnabled());
  });
}

// The position mapping on its own: positions before the condition are the
// query's and stay; later ones count from the condition's first character.
TEST(ConditionReasonTest, PositionsCountFromTheCondition) {
  std::size_t first = 0;
  EXPECT_EQ(ReasonInCondition("Syntax error near 'x' at position 40", 31, first),
            "Syntax error near 'x' at position 10 of the condition");
  EXPECT_EQ(first, 10u);
  EXPECT_EQ(ReasonInCondition("Unknown table at position 22", 31, first),
            "Unknown table at position 22");
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(ReasonInCondition("no place named", 31, first), "no place named");
}

}  // namespace
}  // namespace tablift::test
