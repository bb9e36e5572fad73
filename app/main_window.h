#pragma once

#include <QListWidget>
#include <QMainWindow>
#include <memory>

#include "Converters/output_pane.h"
#include "Converters/workbench.h"
#include "ui/qt_prompter.h"

namespace tablift {

// The desktop program's main window. It owns the workbench the engine runs on
// and shows the workbench's log.
class MainWindow : public QMainWindow, private OutputListener {
  Q_OBJECT
 public:
  MainWindow();
  ~MainWindow() override;

  Workbench& workbench() { return *workbench_; }

 private:
  // Called on whichever thread wrote the line; hands it to the window's thread.
  void lineAdded(const LogLine& line) override;
  void showLine(const LogLine& line);

  QtPrompter prompter_;
  std::unique_ptr<Workbench> workbench_;
  QListWidget* log_ = nullptr;
};

}  // namespace tablift
