#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "engine/main_controller.h"
#include "tests/app/gui_test_support.h"
#include "tests/support/test_paths.h"

// The window's own prompter puts the controller thread's questions to the
// user on the user-interface thread and waits for the answer. A window that
// goes away while such a question is pending must not wait for a thread that
// waits for it.
namespace tablift::test {
namespace {

using namespace std::chrono_literals;

TEST(ClosingTest, TheWindowGoesAwayWhileTheControllerWaitsForAnAnswer) {
  Application();
  ScopedTempDir home;
  ScopedEnvironment homeVariable{"TABLIFT_HOME", home.path().string()};
  CurrentDirectoryGuard directory;
  auto window = std::make_unique<MainWindow>();  // with the Qt prompter
  std::atomic<bool> asking{false};
  std::atomic<bool> answered{false};
  std::atomic<bool> answer{true};
  window->workbench().setTaskRunners([&](TaskType) -> TaskRunner {
    return [&](Workbench& bench, const ControllerContext&) {
      asking = true;
      answer = bench.prompter().askOkCancel("Still there?");
      answered = true;
      return true;
    };
  });
  window->workbench().tasks().append(
      std::make_shared<MigrationTask>(ConvertTable, MigrationTask::Names{}));
  StartController(window->workbench());
  for (int i = 0; i < 200 && !asking; ++i)
    std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(asking.load());
  // The question is queued for this thread, which has not looked at it yet.
  window.reset();
  EXPECT_TRUE(answered.load());
  EXPECT_FALSE(answer.load());  // nobody said OK
}

}  // namespace
}  // namespace tablift::test
