#pragma once

#include <QListWidget>
#include <mutex>
#include <vector>

#include "engine/output_pane.h"

namespace tablift {

// The "Log" tab: a view over the workbench's OutputPane. Lines are written on
// any thread; the view collects them and adds them in batches on its own
// thread, so that a writer never waits for the user interface. The view keeps
// the pane's bound of lines, selects the newest line, shows a line's full text
// as its tool tip, and draws a selected line with its colours swapped.
class LogView : public QListWidget, private OutputListener {
  Q_OBJECT
 public:
  LogView(OutputPane& pane, QWidget* parent = nullptr);
  ~LogView() override;

  // The line record's colours, as the view keeps them for each item.
  static constexpr int kHasRecordRole = Qt::UserRole + 1;

  // Adds the lines written so far but not yet shown (the event loop does this
  // by itself; tests and the screenshot call it to be sure).
  void flushPending();
  // The widest line so far plus 10 pixels: the horizontal scroll range.
  int horizontalExtent() const { return widest_; }

 private:
  void lineAdded(const LogLine& line) override;
  void addLine(const LogLine& line);

  OutputPane& pane_;
  std::mutex pendingMutex_;
  std::vector<LogLine> pending_;
  int widest_ = 0;
  std::uint64_t lastSequence_ = 0;
};

}  // namespace tablift
