// tablift: the desktop program.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "tablift_version.h"

namespace {

constexpr const char* kUsage =
    "Usage: tablift [--help] [--version] [Qt options]\n"
    "\n"
    "Moves a Microsoft Access database (.mdb) into a MySQL-compatible server.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so that they work without a display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-V") == 0) {
      std::printf("tablift %s\n", TABLIFT_VERSION);
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
