#include "cli/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tablift {

ProgressFigures Figures(const RowProgress& progress) {
  ProgressFigures figures;
  if (progress.total > 0) {
    const std::int64_t done = std::min(progress.done, progress.total);
    figures.percent = static_cast<int>(done * 100 / progress.total);
  }
  if (progress.seconds > 0 && progress.done > 0) {
    figures.rowsPerSecond = static_cast<double>(progress.done) / progress.seconds;
    if (progress.total > 0) {
      const std::int64_t left = std::max<std::int64_t>(0, progress.total - progress.done);
      figures.secondsLeft = static_cast<double>(left) / figures.rowsPerSecond;
    }
  }
  return figures;
}

std::string Duration(double seconds) {
  const auto whole = static_cast<long>(std::ceil(std::max(0.0, seconds)));
  char text[48];
  if (whole < 60) {
    std::snprintf(text, sizeof text, "%ld s", whole);
  } else if (whole < 3600) {
    std::snprintf(text, sizeof text, "%ld min %02ld s", whole / 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld h %02ld min", whole / 3600, whole % 3600 / 60);
  }
  return text;
}

std::string ProgressLineText(const RowProgress& progress) {
  const ProgressFigures figures = Figures(progress);
  std::string text = "[" + progress.table + "] " + std::to_string(progress.done);
  if (progress.total > 0) text += "/" + std::to_string(progress.total);
  text += " rows";
  if (figures.percent >= 0) text += "  " + std::to_string(figures.percent) + " %";
  if (figures.rowsPerSecond > 0)
    text += "  " + std::to_string(std::llround(figures.rowsPerSecond)) + " rows/s";
  if (figures.secondsLeft >= 0) text += "  " + Duration(figures.secondsLeft) + " left";
  return text;
}

}  // namespace tablift
