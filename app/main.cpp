// tablift: the desktop program.
#include <QApplication>
#include <QDialog>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/main_window.h"
#include "engine/connect_side.h"
#include "engine/standard_options.h"
#include "tablift_version.h"
#include "ui/command_ids.h"
#include "ui/log_view.h"

namespace {

// Opens an Access file in the source tree, as connecting with a profile for it
// would.
void OpenSource(tablift::Workbench& window, const QString& path) {
  tablift::ConnectionProfile& source = window.sourceProfile();
  source.providerName = "Microsoft Jet 4.0 OLE DB Provider";
  source.progId = "Microsoft.Jet.OLEDB.4.0";
  source.sourceName = std::filesystem::absolute(path.toStdString()).string();
  source.catalogName.clear();
  source.userId = "Admin";
  source.password.clear();
  tablift::ConnectSource(window);
}

constexpr char kUsage[] =
    "Usage: tablift [--help] [--version] [--source FILE.mdb|FILE.accdb] [--screenshot FILE [--tab "
    "log|tasks]\n"
    "               [--dialog config|drivers]]\n"
    "               [Qt options]";

// Renders the main window as it is after start-up into a PNG file.
int SaveScreenshot(tablift::MainWindow& window, const QString& file, const QString& tab) {
  window.resize(1024, 768);
  window.show();
  if (tab == QStringLiteral("log")) window.outputTabs()->setCurrentIndex(tablift::kLogTab);
  if (tab == QStringLiteral("tasks")) window.outputTabs()->setCurrentIndex(tablift::kTaskListTab);
  for (int i = 0; i < 5; ++i)
    QCoreApplication::processEvents();
  window.logView()->flushPending();
  window.tick();
  QCoreApplication::processEvents();
  if (!window.grab().save(file, "PNG")) {
    fprintf(stderr, "tablift: cannot write %s\n", file.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}

// Renders one of the window's dialogs, as it opens, into a PNG file.
int SaveDialogScreenshot(tablift::MainWindow& window, const QString& file, const QString& dialog) {
  int result = 1;
  window.setDialogHook([&](QDialog& opened) {
    QTimer::singleShot(0, &opened, [&result, &opened, file] {
      QCoreApplication::processEvents();
      if (opened.grab().save(file, "PNG"))
        result = 0;
      else
        fprintf(stderr, "tablift: cannot write %s\n", file.toLocal8Bit().constData());
      opened.reject();
    });
  });
  if (dialog == QStringLiteral("config")) {
    window.openConfigDialog();
  } else if (dialog == QStringLiteral("drivers")) {
    window.openDriverCheckDialog();
  } else {
    fprintf(stderr, "tablift: no dialog %s\n", dialog.toLocal8Bit().constData());
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so that they work without a display.
  for (int i = 1; i < argc; ++i) {
    if (tablift::AnswerStandardOption(argv[i], "tablift", kUsage)) return 0;
  }
  QString screenshot;
  QString tab;
  QString source;
  QString dialog;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
      screenshot = QString::fromLocal8Bit(argv[++i]);
    else if (std::strcmp(argv[i], "--source") == 0 && i + 1 < argc)
      source = QString::fromLocal8Bit(argv[++i]);
    else if (std::strcmp(argv[i], "--tab") == 0 && i + 1 < argc)
      tab = QString::fromLocal8Bit(argv[++i]);
    else if (std::strcmp(argv[i], "--dialog") == 0 && i + 1 < argc)
      dialog = QString::fromLocal8Bit(argv[++i]);
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tablift"));
  QApplication::setApplicationVersion(QStringLiteral(TABLIFT_VERSION));
  tablift::MainWindow window;
  // A screenshot is taken without anyone to click a message box away.
  if (!screenshot.isEmpty()) window.setUnattended();
  if (!source.isEmpty()) OpenSource(window.workbench(), source);
  if (!screenshot.isEmpty() && !dialog.isEmpty())
    return SaveDialogScreenshot(window, screenshot, dialog);
  if (!screenshot.isEmpty()) return SaveScreenshot(window, screenshot, tab);
  window.show();
  // The driver check opens by itself once the window shows when drivers are
  // missing, so that this is seen before the first connection.
  QTimer::singleShot(0, &window, [&window] { window.openDriverCheckAtStart(); });
  return QApplication::exec();
}
