// tablift: the desktop program.
#include <QApplication>

#include "Converters/standard_options.h"
#include "app/main_window.h"
#include "tablift_version.h"

int main(int argc, char** argv) {
  // Answered before Qt starts, so that they work without a display.
  for (int i = 1; i < argc; ++i) {
    if (tablift::AnswerStandardOption(argv[i], "tablift",
                                      "Usage: tablift [--help] [--version] [Qt options]")) {
      return 0;
    }
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tablift"));
  QApplication::setApplicationVersion(QStringLiteral(TABLIFT_VERSION));
  tablift::MainWindow window;
  window.show();
  return QApplication::exec();
}
