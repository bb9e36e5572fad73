#include <gtest/gtest.h>

#include <QImage>

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
