#pragma once

#include <QApplication>
#include <QElapsedTimer>

namespace tablift::test {

// One QApplication for the whole test program, on the offscreen platform. It is
// never destroyed: Qt must not be torn down by static destructors at exit.
inline QApplication& Application() {
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

}  // namespace tablift::test
