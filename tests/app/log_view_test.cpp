#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <fstream>
#include <iterator>
#include <string>

#include "core/write_line.h"
#include "tests/app/window_fixture.h"
#include "ui/log_view.h"

namespace tablift::test {
namespace {

TEST_F(WindowTest, LogLinesCarryTheirColoursAndTheFullTextAsToolTip) {
  LogView* log = window.logView();
  WriteLine(window.workbench(), "E::TABLE: Create [%s].[%s] ERROR !", "shop", "Orders");
  WriteLine(window.workbench(), "S::Create table [%s] SUCCESSFULLY!!!", "Orders");
  WriteLine(window.workbench(), "T::%s", "Table 'orders' already exists 100%");
  WriteLine(window.workbench(), "Select Database [%s]", "shop");
  log->flushPending();
  ASSERT_GE(log->count(), 4);
  const int first = log->count() - 4;
  const QColor expected[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(255, 128, 0),
                             QColor(0, 0, 0)};
  for (int i = 0; i < 4; ++i) {
    const QListWidgetItem* item = log->item(first + i);
    EXPECT_EQ(item->foreground().color(), expected[i]) << i;
    EXPECT_EQ(item->background().color(), QColor(255, 255, 255)) << i;
    EXPECT_EQ(item->toolTip(), item->text());
  }
  EXPECT_TRUE(
      log->item(first)->text().endsWith(QStringLiteral(" TABLE: Create [shop].[Orders] ERROR !")));
  EXPECT_TRUE(log->item(first + 2)->text().endsWith(QStringLiteral("already exists 100%")));
  EXPECT_TRUE(log->item(first)->data(LogView::kHasRecordRole).toBool());
  EXPECT_FALSE(log->item(first + 3)->data(LogView::kHasRecordRole).toBool());
}

TEST_F(WindowTest, ASelectedLineIsDrawnWithItsColoursSwapped) {
  window.outputTabs()->setCurrentIndex(kLogTab);
  window.show();
  LogView* log = window.logView();
  WriteLine(window.workbench(), "E::%s",
            "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  WriteLine(window.workbench(), "%s", "plain");
  log->flushPending();
  const int red = log->count() - 2;
  const auto backgroundOf = [&](int row) {
    const QRect rect = log->visualItemRect(log->item(row));
    const QImage image = log->viewport()->grab().toImage();
    return QColor(image.pixel(rect.right() - 2, rect.center().y()));
  };
  log->setCurrentRow(red);
  QCoreApplication::processEvents();
  EXPECT_EQ(backgroundOf(red), QColor(255, 0, 0));  // red text colour as background
  log->setCurrentRow(red + 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(backgroundOf(red), QColor(255, 255, 255));
  EXPECT_EQ(backgroundOf(red + 1), QColor(0, 0, 255));  // a plain line: white on blue
}

TEST_F(WindowTest, TheLogKeepsTheLatestLinesWithinItsBound) {
  LogView* log = window.logView();
  for (int i = 1; i <= 1500; ++i)
    WriteLine(window.workbench(), "line %d", i);
  log->flushPending();
  EXPECT_EQ(log->count(), 1001);
  EXPECT_TRUE(log->item(1000)->text().endsWith(QStringLiteral(" line 1500")));
  EXPECT_TRUE(log->item(0)->text().endsWith(QStringLiteral(" line 500")));
  EXPECT_EQ(log->currentRow(), 1000);
}

TEST_F(WindowTest, TheHorizontalRangeGrowsWithTheWidestLineOnly) {
  LogView* log = window.logView();
  WriteLine(window.workbench(), "%s", std::string(300, 'x').c_str());
  log->flushPending();
  const int wide = log->horizontalExtent();
  EXPECT_EQ(wide, log->fontMetrics().horizontalAdvance(log->item(log->count() - 1)->text()) + 10);
  WriteLine(window.workbench(), "short");
  log->flushPending();
  EXPECT_EQ(log->horizontalExtent(), wide);
}

}  // namespace
}  // namespace tablift::test

namespace tablift::test {
namespace {

// The log's context menu: copy several lines at once, select all, save the
// whole log, clear the view; successes are green.
TEST_F(WindowTest, TheLogCopiesSavesAndClearsFromItsMenu) {
  LogView* log = window.logView();
  Workbench& bench = window.workbench();
  log->flushPending();
  log->clearAction()->trigger();
  WriteLine(bench, "%s", "first line");
  WriteLine(bench, "%s", "Create table [Orders] SUCCESSFULLY!!!");
  WriteLine(bench, "%s", "E::third line");
  log->flushPending();
  ASSERT_EQ(log->count(), 3);
  EXPECT_EQ(log->item(1)->foreground().color(), QColor(0, 255, 0));

  log->item(0)->setSelected(true);
  log->item(2)->setSelected(true);
  log->copyAction()->trigger();
  EXPECT_EQ(log->selectedText(), log->item(0)->text() + QLatin1Char('\n') + log->item(2)->text());
  const QString copied = QApplication::clipboard()->text();
  // The offscreen platform may keep no clipboard; where it does, the copy is
  // the selected lines.
  if (!copied.isEmpty()) {
    EXPECT_EQ(copied, log->selectedText());
  }

  log->selectAllAction()->trigger();
  EXPECT_EQ(log->selectedItems().size(), 3);

  const auto file = home.path() / "saved.log";
  log->setSaveFileChooser([&] { return QString::fromStdString(file.string()); });
  log->saveAction()->trigger();
  std::ifstream saved(file);
  std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("first line\n"), std::string::npos);
  EXPECT_NE(text.find("SUCCESSFULLY!!!\n"), std::string::npos);
  EXPECT_NE(text.find("third line\n"), std::string::npos);
  // A folder that is not there: nothing written, and the view stays.
  QString error;
  EXPECT_FALSE(
      log->saveTo(QString::fromStdString((home.path() / "no" / "x.log").string()), &error));
  EXPECT_FALSE(error.isEmpty());

  log->clearAction()->trigger();
  EXPECT_EQ(log->count(), 0);
  WriteLine(bench, "%s", "after clearing");
  log->flushPending();
  ASSERT_EQ(log->count(), 1);
  EXPECT_TRUE(log->item(0)->text().endsWith(QStringLiteral("after clearing")));
}

}  // namespace
}  // namespace tablift::test
