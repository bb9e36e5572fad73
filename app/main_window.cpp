#include "app/main_window.h"

#include <QMetaObject>
#include <QStatusBar>

#include "Converters/write_line.h"
#include "tablift_version.h"

namespace tablift {

MainWindow::MainWindow() : prompter_(this), workbench_(std::make_unique<Workbench>(prompter_)) {
  setWindowTitle(QStringLiteral("Tablift"));
  resize(1000, 700);
  log_ = new QListWidget(this);
  log_->setObjectName(QStringLiteral("OutputPane"));
  setCentralWidget(log_);
  statusBar()->showMessage(QStringLiteral("Tablift Version: %1").arg(TABLIFT_VERSION));
  workbench_->output().addListener(this);
  workbench_->setStatusListener([this](const std::string& text) {
    const QString message = QString::fromStdString(text);
    QMetaObject::invokeMethod(
        this, [this, message] { statusBar()->showMessage(message); }, Qt::QueuedConnection);
  });
  WriteLine(*workbench_, "Tablift %s started", TABLIFT_VERSION);
}

MainWindow::~MainWindow() {
  workbench_->output().removeListener(this);
  workbench_->setStatusListener({});
}

void MainWindow::lineAdded(const LogLine& line) {
  QMetaObject::invokeMethod(
      this, [this, line] { showLine(line); }, Qt::QueuedConnection);
}

void MainWindow::showLine(const LogLine& line) {
  while (log_->count() >= static_cast<int>(OutputPane::kMaxLines))
    delete log_->takeItem(0);
  auto* item = new QListWidgetItem(QString::fromStdString(line.text), log_);
  if (line.hasRecord) {
    item->setForeground(QColor(line.textColour.red, line.textColour.green, line.textColour.blue));
    item->setBackground(QColor(line.backColour.red, line.backColour.green, line.backColour.blue));
  }
  log_->setCurrentItem(item);
}

}  // namespace tablift
