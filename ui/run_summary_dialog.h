#pragma once

#include <QDialog>
#include <functional>

#include "migration/run_summary.h"

class QPlainTextEdit;
class QPushButton;

namespace tablift {

class Prompter;

// What a run of the task list did, shown when it ends: the same table of
// tables, rows, keys, relationships, views and procedures (made, refused,
// left out, with reasons) that the command line prints. "Save…" writes it
// to a file the user picks: as JSON when the name ends in ".json", else as
// text.
class RunSummaryDialog : public QDialog {
  Q_OBJECT
 public:
  // Asks where to save; an empty text when the user cancelled.
  using SavePathChooser = std::function<QString(QWidget* parent, const QString& suggested)>;

  RunSummaryDialog(RunSummary summary, Prompter& prompter, QWidget* parent = nullptr);

  const RunSummary& summary() const { return summary_; }
  QString shownText() const;
  QPushButton* saveButton() const { return save_; }
  // The file dialog unless set otherwise.
  void setSavePathChooser(SavePathChooser chooser) { chooser_ = std::move(chooser); }
  // Asks for a file and writes the summary there; a file that cannot be
  // written is said in a message box.
  void save();

 private:
  RunSummary summary_;
  Prompter& prompter_;
  QPlainTextEdit* text_ = nullptr;
  QPushButton* save_ = nullptr;
  SavePathChooser chooser_;
};

}  // namespace tablift
