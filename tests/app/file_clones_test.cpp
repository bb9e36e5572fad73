// Several Access files dropped on the window or chosen in its file dialog:
// one clone task each, into a database named after the file, every file read
// by its own task whatever the source side was connected to.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/workbench.h"
#include "tests/app/window_fixture.h"
#include "tests/support/private_server.h"
#include "tests/support/target_connection.h"
#include "ui/command_ids.h"

namespace tablift::test {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

class FileClonesTest : public WindowTest {
 protected:
  void SetUp() override {
    server_ = PrivateServerFromEnvironment();
    ASSERT_TRUE(server_) << "the private server is not running";
    fixtures_ = FixturesDirectory();
    if (!fixtures_) GTEST_SKIP() << "no fixtures";
    // Only the server is connected: the source side was never set up.
    ASSERT_TRUE(ConnectTarget(window.workbench(), *server_));
  }
  void TearDown() override {
    for (const std::string& database : databases_)
      ExecuteOrFail(window.workbench(), "DROP DATABASE IF EXISTS `" + database + "`");
  }

  QString copy(const std::string& fixture, const std::string& stem, const std::string& ending) {
    const std::string database = "fc" + std::to_string(::getpid()) + "_" + stem;
    const std::filesystem::path file = home.path() / (database + ending);
    std::filesystem::copy_file(*fixtures_ / fixture, file);
    databases_.push_back(database);
    return QString::fromStdString(file.string());
  }

  // Drops the files on the window as a file manager would.
  void drop(const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files)
      urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    entered_ = enter.isAccepted();
    if (!entered_) return;
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &dropped);
    QCoreApplication::processEvents();
  }

  void waitForTasks() {
    Workbench& bench = window.workbench();
    for (int i = 0; i < 1200 && bench.runState().load() != RunState::Idle; ++i) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(50ms);
    }
    ASSERT_EQ(bench.runState().load(), RunState::Idle);
  }

  std::string count(const std::string& database, const std::string& table) {
    const std::vector<std::string> rows =
        QueryColumn(window.workbench(), "SELECT COUNT(*) FROM `" + database + "`.`" + table + "`");
    return rows.empty() ? std::string() : rows.front();
  }

  std::optional<PrivateServer> server_;
  std::optional<std::filesystem::path> fixtures_;
  std::vector<std::string> databases_;
  bool entered_ = false;
};

TEST_F(FileClonesTest, DroppedFilesQueueOneCloneEachAndEveryFileArrives) {
  const QStringList files{copy("keys-relationships-jet4.mdb", "keys", ".mdb"),
                          copy("types-ace12.accdb", "ace12", ".accdb")};
  drop(files);
  ASSERT_TRUE(entered_);
  const auto tasks = window.workbench().tasks().snapshot();
  ASSERT_EQ(tasks.size(), 2u);
  // Asked once, naming every file and its database.
  const std::vector<std::string> asked = prompter.texts(ScriptedPrompter::Kind::OkCancel);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_THAT(asked[0], HasSubstr("Clone 2 Access files"));
  EXPECT_THAT(asked[0], HasSubstr(databases_[1] + ".accdb \u2192 " + databases_[1]));
  waitForTasks();
  for (const auto& task : tasks) {
    EXPECT_EQ(task->type(), CloneDatabase);
    EXPECT_EQ(task->stateText(), kStateSuccess) << task->sourceDatabase();
  }
  EXPECT_EQ(count(databases_[0], "Table1"), "4");
  EXPECT_EQ(count(databases_[0], "Table2"), "3");
  EXPECT_EQ(count(databases_[1], "Table1"), "2");
}

TEST_F(FileClonesTest, FilesChosenInTheDialogAreClonedAndMixedDropsAreRefused) {
  const QString mdb = copy("types-jet3.mdb", "jet3", ".mdb");
  const QString twin = QString::fromStdString((home.path() / (databases_[0] + ".accdb")).string());
  std::filesystem::copy_file(*fixtures_ / "types-ace12.accdb", twin.toStdString());

  // A drag that carries anything but Access files is not taken.
  drop({mdb, QString::fromStdString((home.path() / "notes.txt").string())});
  EXPECT_FALSE(entered_);
  // Two files that would clone into one database: refused before any task.
  window.setFilesChooser([&] { return QStringList{mdb, twin}; });
  window.commandAction(kCmdCloneFiles)->trigger();
  EXPECT_TRUE(window.workbench().tasks().snapshot().empty());
  EXPECT_THAT(prompter.texts(ScriptedPrompter::Kind::Hint).back(),
              HasSubstr("would both be cloned into the database [" + databases_[0] + "]"));
  // The user cancels: nothing is queued.
  window.setFilesChooser([&] { return QStringList{mdb}; });
  prompter.queueAnswer(false);
  window.commandAction(kCmdCloneFiles)->trigger();
  EXPECT_TRUE(window.workbench().tasks().snapshot().empty());

  window.commandAction(kCmdCloneFiles)->trigger();
  const auto tasks = window.workbench().tasks().snapshot();
  ASSERT_EQ(tasks.size(), 1u);
  waitForTasks();
  EXPECT_EQ(tasks[0]->stateText(), kStateSuccess);
  EXPECT_EQ(count(databases_[0], "Table1"), "2");
}

}  // namespace
}  // namespace tablift::test
