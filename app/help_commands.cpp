#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "app/main_window.h"
#include "core/prompter.h"
#include "engine/program_versions.h"
#include "tablift_version.h"

namespace tablift {
namespace {

// Where the manual is: beside the program in a build, in the package's
// documentation folder once installed.
QStringList InstalledManuals() {
  const QDir program(QCoreApplication::applicationDirPath());
  return {program.filePath(QStringLiteral("manual.html")),
          program.filePath(QStringLiteral("../share/doc/tablift/manual.html")),
          QStringLiteral("/usr/share/doc/tablift/manual.html")};
}

}  // namespace

void MainWindow::openManual() {
  const QStringList candidates =
      manualCandidates_.isEmpty() ? InstalledManuals() : manualCandidates_;
  QString manual;
  for (const QString& candidate : candidates) {
    if (QFileInfo(candidate).isFile()) {
      manual = QFileInfo(candidate).absoluteFilePath();
      break;
    }
  }
  Prompter& prompter = workbench_->prompter();
  if (manual.isEmpty()) {
    prompter.showMessage(
        ("The manual was not found. It is looked for in:\n" + candidates.join(QLatin1Char('\n')))
            .toStdString(),
        MessageIcon::Warning);
    return;
  }
  const QUrl url = QUrl::fromLocalFile(manual);
  const bool opened = urlOpener_ ? urlOpener_(url) : QDesktopServices::openUrl(url);
  if (!opened) {
    prompter.showMessage(
        ("The manual " + manual + " could not be opened: no program to show HTML pages is set up.")
            .toStdString(),
        MessageIcon::Warning);
  }
}

QString MainWindow::aboutText() const {
  const ProgramVersions versions = ReadProgramVersions(*workbench_);
  return QStringLiteral(
             "<h3>Tablift %1</h3>"
             "<p>Moves Microsoft Access databases into MySQL and MariaDB: tables, keys, rows, "
             "relationships and saved queries.</p>"
             "<p>Qt %2<br>libmdb %3<br>MySQL ODBC driver: %4</p>"
             "<p>Licence: %5</p>")
      .arg(QStringLiteral(TABLIFT_VERSION), QString::fromLatin1(qVersion()),
           QString::fromStdString(versions.libmdb),
           QString::fromStdString(versions.mysqlDriver).toHtmlEscaped(),
           QStringLiteral(TABLIFT_LICENSE));
}

void MainWindow::showAbout() {
  QMessageBox::about(this, QStringLiteral("About Tablift"), aboutText());
}

}  // namespace tablift
