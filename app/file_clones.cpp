// The window's way to clone many Access files at once: chosen in the file
// dialog or dropped on the window, one clone task each.
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMetaObject>
#include <QMimeData>
#include <QUrl>

#include "app/main_window.h"
#include "engine/access_file_list.h"
#include "engine/queue_file_clones.h"

namespace tablift {
namespace {

// The local Access files a drag carries; empty when it carries anything else
// as well, so that a drop is either taken whole or refused.
QStringList AccessFilesOf(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  QStringList files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile() || !IsAccessFileName(url.toLocalFile().toStdString())) return {};
    files << url.toLocalFile();
  }
  return files;
}

}  // namespace

void MainWindow::cloneAccessFiles(const QStringList& files) {
  std::vector<std::string> paths;
  for (const QString& file : files)
    paths.push_back(file.toStdString());
  if (!paths.empty()) QueueFileClones(*workbench_, paths);
}

void MainWindow::chooseAccessFilesToClone() {
  const QStringList files =
      chooseFiles_
          ? chooseFiles_()
          : QFileDialog::getOpenFileNames(this, QStringLiteral("Clone Access Files"), QString(),
                                          QStringLiteral("Access File (*.mdb *.accdb)"));
  cloneAccessFiles(files);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (AccessFilesOf(event->mimeData()).isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (AccessFilesOf(event->mimeData()).isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QStringList files = AccessFilesOf(event->mimeData());
  if (files.isEmpty()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // The question is asked once the drop is over: a dialog inside the drop
  // would hold the program the files came from.
  QMetaObject::invokeMethod(
      this, [this, files] { cloneAccessFiles(files); }, Qt::QueuedConnection);
}

}  // namespace tablift
