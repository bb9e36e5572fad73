#pragma once

#include <QListWidget>
#include <functional>
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

  // The context menu's commands: "Copy" (the selected lines, one a line),
  // "Select All", "Save Log..." and "Clear" (the view only; new lines still
  // come).
  QAction* copyAction() const { return copy_; }
  QAction* selectAllAction() const { return selectAll_; }
  QAction* saveAction() const { return save_; }
  QAction* clearAction() const { return clear_; }
  // The selected lines' texts, in view order, one a line.
  QString selectedText() const;
  // Writes every line the view holds into `file`; false with `error` filled
  // when it cannot.
  bool saveTo(const QString& file, QString* error = nullptr) const;
  // Where "Save Log..." writes: asked of the user unless a test says.
  void setSaveFileChooser(std::function<QString()> chooser) { chooseFile_ = std::move(chooser); }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void saveLog();
  void lineAdded(const LogLine& line) override;
  void addLine(const LogLine& line);

  OutputPane& pane_;
  std::mutex pendingMutex_;
  std::vector<LogLine> pending_;
  int widest_ = 0;
  QAction* copy_ = nullptr;
  QAction* selectAll_ = nullptr;
  QAction* save_ = nullptr;
  QAction* clear_ = nullptr;
  std::function<QString()> chooseFile_;
  std::uint64_t lastSequence_ = 0;
};

}  // namespace tablift
