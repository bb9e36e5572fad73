#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QElapsedTimer>
#include <QStatusBar>
#include <thread>

#include "Converters/write_line.h"
#include "app/main_window.h"

namespace tablift {
namespace {

// One QApplication for the whole test program, on the offscreen platform. It is
// never destroyed: Qt must not be torn down by static destructors at exit.
QApplication& Application() {
  static int argc = 1;
  static char name[] = "tests_app";
  static char* argv[] = {name, nullptr};
  static auto* application = new QApplication(argc, argv);
  return *application;
}

// Runs the event loop until the condition holds; false after 10 seconds.
template <typename Condition>
bool ProcessEventsUntil(Condition condition) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > 10000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return true;
}

TEST(MainWindowTest, LogShowsLinesFromTheControllerThreadInColour) {
  Application();
  MainWindow window;
  window.show();
  QCoreApplication::processEvents();  // the start-up line
  auto* log = window.findChild<QListWidget*>(QStringLiteral("OutputPane"));
  ASSERT_NE(log, nullptr);
  const int before = log->count();

  std::thread controller([&] {
    WriteLine(window.workbench(), "E::TABLE: Create [%s].[%s] ERROR !", "shop", "Orders");
    WriteLine(window.workbench(), "Operation completed SUCCESSFULLY!");
  });
  controller.join();
  ASSERT_TRUE(ProcessEventsUntil([&] { return log->count() == before + 2; }));

  const QListWidgetItem* error = log->item(before);
  EXPECT_TRUE(error->text().endsWith(QStringLiteral("TABLE: Create [shop].[Orders] ERROR !")));
  EXPECT_EQ(error->foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(log->currentRow(), before + 1);  // the newest line is selected
}

TEST(MainWindowTest, StatusTextFromAnotherThreadReachesTheStatusBar) {
  Application();
  MainWindow window;
  std::thread controller([&] { window.workbench().setStatusText("Some Tasks are WORKING!!!"); });
  controller.join();
  EXPECT_TRUE(ProcessEventsUntil([&] {
    return window.statusBar()->currentMessage() == QStringLiteral("Some Tasks are WORKING!!!");
  }));
}

}  // namespace
}  // namespace tablift
