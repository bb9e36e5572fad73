// The arithmetic and wording of the live progress line.
#include "cli/progress_line.h"

#include <gtest/gtest.h>

namespace tablift {
namespace {

TEST(ProgressLine, PercentRateAndTimeLeftFollowTheRowsDone) {
  const ProgressFigures figures = Figures({"Order", 120000, 300000, 1.5});
  EXPECT_EQ(figures.percent, 40);
  EXPECT_DOUBLE_EQ(figures.rowsPerSecond, 80000);
  EXPECT_DOUBLE_EQ(figures.secondsLeft, 2.25);
  EXPECT_EQ(ProgressLineText({"Order", 120000, 300000, 1.5}),
            "[Order] 120000/300000 rows  40 %  80000 rows/s  3 s left");
}

TEST(ProgressLine, PercentRoundsDownSoThatOnlyAFinishedTableShowsAHundred) {
  EXPECT_EQ(Figures({"T", 299999, 300000, 1}).percent, 99);
  EXPECT_EQ(Figures({"T", 300000, 300000, 1}).percent, 100);
  EXPECT_DOUBLE_EQ(Figures({"T", 300000, 300000, 1}).secondsLeft, 0);
  // Rows added while the table was read: never above 100 %, nothing left.
  EXPECT_EQ(Figures({"T", 300010, 300000, 1}).percent, 100);
  EXPECT_DOUBLE_EQ(Figures({"T", 300010, 300000, 1}).secondsLeft, 0);
}

TEST(ProgressLine, WhatCannotBeToldIsLeftOut) {
  // The total unknown: no percent, no time left, the rate still.
  const ProgressFigures unknown = Figures({"T", 5000, 0, 2});
  EXPECT_EQ(unknown.percent, -1);
  EXPECT_DOUBLE_EQ(unknown.secondsLeft, -1);
  EXPECT_EQ(ProgressLineText({"T", 5000, 0, 2}), "[T] 5000 rows  2500 rows/s");
  // No time passed or no row done yet: no rate and no time left.
  EXPECT_EQ(ProgressLineText({"T", 0, 100, 0}), "[T] 0/100 rows  0 %");
  EXPECT_EQ(ProgressLineText({"T", 0, 100, 3}), "[T] 0/100 rows  0 %");
  // An empty table is done.
  EXPECT_EQ(Figures({"T", 0, 0, 1}).percent, -1);
}

TEST(ProgressLine, TimesLeftReadAsAPersonReadsThem) {
  EXPECT_EQ(Duration(0), "0 s");
  EXPECT_EQ(Duration(0.2), "1 s");
  EXPECT_EQ(Duration(59), "59 s");
  EXPECT_EQ(Duration(65), "1 min 05 s");
  EXPECT_EQ(Duration(3720), "1 h 02 min");
}

}  // namespace
}  // namespace tablift
