#include "tests/migration/migration_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "access/sample_database.h"
#include "access/source_tables.h"
#include "data_access/jet/jet_provider.h"
#include "data_access/text_query.h"
#include "engine/connect_side.h"
#include "engine/list_catalog.h"
#include "engine/queue_migration.h"
#include "mysql/execute_statement.h"
#include "mysql/target_init_properties.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace fs = std::filesystem;

void LogRecorder::lineAdded(const LogLine& line) {
  const std::size_t stamp = LogTimestamp().size();
  std::string text = line.text.size() >= stamp ? line.text.substr(stamp) : line.text;
  std::function<void(const std::string&)> watcher;
  {
    std::lock_guard lock(mutex_);
    texts_.push_back(text);
    const char* mark = line.textColour == kErrorRed         ? "E::"
                       : line.textColour == kProviderOrange ? "T::"
                                                            : "";
    markedTexts_.push_back(mark + text);
    watcher = watcher_;
  }
  if (watcher) watcher(text);
}

std::vector<std::string> LogRecorder::texts() const {
  std::lock_guard lock(mutex_);
  return texts_;
}

std::vector<std::string> LogRecorder::markedTexts() const {
  std::lock_guard lock(mutex_);
  return markedTexts_;
}

void LogRecorder::setWatcher(std::function<void(const std::string&)> watcher) {
  std::lock_guard lock(mutex_);
  watcher_ = std::move(watcher);
}

MigrationTest::MigrationTest()
    : tabliftHome_("TABLIFT_HOME", home_.path().string()),
      userHome_("HOME", (temp_.path() / "home").string()),
      userProfile_("USERPROFILE", std::nullopt) {
  fs::create_directories(temp_.path() / "home");
  window_.output().addListener(&log_);
}

MigrationTest::~MigrationTest() {
  window_.output().removeListener(&log_);
}

void MigrationTest::SetUp() {
  server_ = PrivateServerFromEnvironment();
  ASSERT_TRUE(server_) << "the private server is not running";
}

void MigrationTest::TearDown() {
  if (HasFailure()) {
    // The log says what went wrong on the way.
    const std::vector<std::string> lines = logTexts();
    const std::size_t shown = std::min<std::size_t>(lines.size(), 400);
    std::string tail;
    for (std::size_t i = lines.size() - shown; i < lines.size(); ++i)
      tail += lines[i] + "\n";
    std::fprintf(stderr, "The log's last %zu lines:\n%s", shown, tail.c_str());
  }
  // A test that failed half way may have left the controller running.
  if (window_.runState().load() != RunState::Idle) {
    window_.runState().store(RunState::StopRequested);
    waitForController();
  }
  if (window_.targetSession() == nullptr) return;
  for (const std::string& database : databases_) {
    ExecuteStatement(window_, window_.targetSession(), "drop database if exists `" + database + "`")
        .ok();
  }
}

std::string MigrationTest::UniqueName(const std::string& stem) {
  static std::atomic<int> counter{0};
  return stem + "_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

fs::path MigrationTest::copyAccessFile(const fs::path& original, const std::string& stem) {
  // The copy keeps the original's ending: an .accdb file is opened as one.
  const fs::path copy = temp_.path() / (UniqueName(stem) + original.extension().string());
  fs::copy_file(original, copy);
  return copy;
}

fs::path MigrationTest::writeSample(std::uint64_t rows) {
  const fs::path path = temp_.path() / (UniqueName("sample") + ".mdb");
  SampleSummary summary;
  const jet::WriteStatus status = WriteSampleDatabase(path, rows, summary);
  EXPECT_TRUE(status.ok()) << status.message();
  return path;
}

void MigrationTest::connect(const fs::path& mdb, const std::string& password,
                            const std::string& engine) {
  ConnectionProfile& source = window_.sourceProfile();
  source.providerName = "Microsoft Jet 4.0 OLE DB Provider";
  source.progId = kJetProgId;
  source.sourceName = mdb.string();
  source.catalogName.clear();
  source.userId = "Admin";
  source.password = password;

  ConnectionProfile& target = window_.targetProfile();
  target.progId = "MSDASQL";
  target.providerName = std::string(kServerAddressProvider);
  target.sourceName = server_->host + ":" + std::to_string(server_->port);
  target.catalogName.clear();
  target.userId = server_->user;
  target.password = server_->password;

  ConnectSource(window_);
  ConnectTarget(window_);
  ASSERT_NE(window_.sourceSession(), nullptr) << mdb;
  ASSERT_NE(window_.targetSession(), nullptr);
  ASSERT_TRUE(Succeeded(window_.targetSession()->setClientCharset("utf8mb4")));
  window_.setCharset("utf8mb4");
  window_.targetTree().setStorageEngine(engine);
}

std::string MigrationTest::sourceDatabase() const {
  return const_cast<Workbench&>(window_).sourceTree().currentDatabase();
}

std::string MigrationTest::createTargetDatabase(const std::string& stem) {
  const std::string name = UniqueName(stem);
  dropLater(name);
  ExecuteOrFail(window_, "create database `" + name + "`");
  ListCatalog(window_, window_.targetTree());
  return name;
}

TaskPtr MigrationTest::queue(const std::string& folder, const std::string& object,
                             const std::string& targetDatabase) {
  const CatalogNode source = window_.sourceTree().nodes();
  std::vector<CatalogStep> sourcePath = {{NodeKind::Root, source.text}};
  for (const CatalogNode& child : source.children) {
    if (child.kind == NodeKind::Database) sourcePath.push_back({NodeKind::Database, child.text});
  }
  EXPECT_EQ(sourcePath.size(), 2u) << "the source tree shows one database";
  if (!folder.empty()) {
    const bool tables = folder == "Tables";
    sourcePath.push_back({tables ? NodeKind::TablesFolder : NodeKind::ViewsFolder, folder});
    if (!object.empty()) sourcePath.push_back({tables ? NodeKind::Table : NodeKind::View, object});
  }
  EXPECT_TRUE(window_.sourceTree().select(sourcePath)) << folder << "/" << object;

  std::vector<CatalogStep> targetPath = {{NodeKind::Root, window_.targetTree().nodes().text}};
  if (!targetDatabase.empty()) targetPath.push_back({NodeKind::Database, targetDatabase});
  EXPECT_TRUE(window_.targetTree().select(targetPath)) << targetDatabase;

  TaskPtr task = MigrateCommand(window_);
  EXPECT_NE(task, nullptr) << "nothing queued";
  // A clone's database is named after the file.
  if (task) dropLater(fs::path(task->targetDatabase()).filename().string());
  return task;
}

void MigrationTest::waitForController() {
  // Far beyond what any of these migrations needs; only a hung controller
  // reaches it.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(8);
  while (window_.runState().load() != RunState::Idle) {
    ASSERT_LT(std::chrono::steady_clock::now(), giveUp) << "the controller does not end";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

TaskPtr MigrationTest::migrate(const std::string& folder, const std::string& object,
                               const std::string& targetDatabase) {
  TaskPtr task = queue(folder, object, targetDatabase);
  waitForController();
  return task;
}

std::vector<std::string> MigrationTest::linesWith(const std::string& text) const {
  std::vector<std::string> found;
  for (const std::string& line : logTexts()) {
    if (line.find(text) != std::string::npos) found.push_back(line);
  }
  return found;
}

std::vector<std::string> MigrationTest::query(const std::string& sql) {
  return QueryColumn(window_, sql);
}

std::string MigrationTest::tryQuery(const std::string& sql) {
  const PropertySet properties = QueryRowsetProperties();
  return RunTextQuery(window_.targetSession(), sql, &properties,
                      [](const TextRow&) { return true; });
}

std::vector<std::string> MigrationTest::targetTables(const std::string& database, bool views) {
  return query("select table_name from information_schema.tables where table_schema = '" +
               database + "' and table_type = '" + (views ? "VIEW" : "BASE TABLE") +
               "' order by table_name");
}

std::vector<std::string> MigrationTest::migratableSourceTables() {
  std::vector<std::string> tables;
  Session* source = window_.sourceSession();
  EXPECT_NE(source, nullptr) << "the source is not connected";
  if (source == nullptr) return tables;
  const Result<std::vector<std::string>> listed = ListSourceTables(source, "");
  EXPECT_TRUE(listed.ok()) << listed.message();
  return listed.value_or({});
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += separator;
    text += part;
  }
  return text;
}

}  // namespace tablift::test
