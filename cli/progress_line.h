#pragma once

#include <cstdint>
#include <string>

namespace tablift {

// How far the rows of one running table have got.
struct RowProgress {
  std::string table;
  std::int64_t done = 0;
  std::int64_t total = 0;  // 0 while the table's size is unknown
  double seconds = 0;      // since the table's rows began
};

// What the live line shows of a RowProgress.
struct ProgressFigures {
  int percent = -1;          // -1 while the total is unknown
  double rowsPerSecond = 0;  // 0 before any time has passed
  double secondsLeft = -1;   // -1 while it cannot be told
};

// The arithmetic of the progress line: the percent done (never above 100, a
// table that grew while read stays at 100), the rate over the time so far
// and the time left at that rate.
ProgressFigures Figures(const RowProgress& progress);

// The live line of a table: "[Order] 120000/300000 rows  40 %  85000 rows/s
// 2 s left", or "[Order] 120000 rows  85000 rows/s" while the total is
// unknown.
std::string ProgressLineText(const RowProgress& progress);

// "2 s", "1 min 05 s", "1 h 02 min": a time left as a person reads it.
std::string Duration(double seconds);

}  // namespace tablift
