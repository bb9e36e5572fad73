#include "engine/queue_migration.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"

// The Migrate command against a real target session. The trees are filled by
// hand: the command only reads them. The controller gets no runners, so that
// queued records stay waiting and can be looked at.
namespace tablift {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Kind = ScriptedPrompter::Kind;
using Path = std::vector<CatalogStep>;

const std::string kAccessDatabase = "/data/Nordwind";
const std::string kSourceDbms = "ACCESS[04.00.0000]";

const CatalogStep kSourceRoot{NodeKind::Root, "Access"};
const CatalogStep kSourceDatabase{NodeKind::Database, kAccessDatabase};
const Path kSourceDatabasePath{kSourceRoot, kSourceDatabase};
const Path kTablesFolderPath{kSourceRoot, kSourceDatabase, {NodeKind::TablesFolder, "Tables"}};
const Path kTablePath{kSourceRoot,
                      kSourceDatabase,
                      {NodeKind::TablesFolder, "Tables"},
                      {NodeKind::Table, "Customers"}};
const Path kFieldPath{kSourceRoot,
                      kSourceDatabase,
                      {NodeKind::TablesFolder, "Tables"},
                      {NodeKind::Table, "Customers"},
                      {NodeKind::FieldsFolder, "Fields"},
                      {NodeKind::Field, "Id"}};
const Path kViewsFolderPath{kSourceRoot, kSourceDatabase, {NodeKind::ViewsFolder, "Views"}};
const Path kViewPath{
    kSourceRoot, kSourceDatabase, {NodeKind::ViewsFolder, "Views"}, {NodeKind::View, "Big Orders"}};

const CatalogStep kTargetRoot{NodeKind::Root, "DATABASES"};
const Path kTargetRootPath{kTargetRoot};
const Path kShopPath{kTargetRoot, {NodeKind::Database, "shop"}};
const Path kShopTablePath{kTargetRoot,
                          {NodeKind::Database, "shop"},
                          {NodeKind::TablesFolder, "Tables"},
                          {NodeKind::Table, "orders"}};

class MigrateCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto server = test::PrivateServerFromEnvironment();
    ASSERT_TRUE(server) << "the private server is not running";
    ASSERT_TRUE(test::ConnectTarget(window, *server));
    window.sourceConnection().setDbmsName(kSourceDbms);
    window.setTaskRunners([](TaskType) { return TaskRunner(); });

    CatalogNode source{NodeKind::Root, "Access", false, {}};
    CatalogNode& database = source.add(NodeKind::Database, kAccessDatabase);
    CatalogNode& table =
        database.add(NodeKind::TablesFolder, "Tables").add(NodeKind::Table, "Customers");
    table.add(NodeKind::FieldsFolder, "Fields").add(NodeKind::Field, "Id");
    database.add(NodeKind::ViewsFolder, "Views").add(NodeKind::View, "Big Orders");
    window.sourceTree().replace(source);

    CatalogNode target{NodeKind::Root, "DATABASES", false, {}};
    target.add(NodeKind::Database, "shop")
        .add(NodeKind::TablesFolder, "Tables")
        .add(NodeKind::Table, "orders");
    target.add(NodeKind::Database, "archive");
    window.targetTree().replace(target);
  }

  void Select(const Path& source, const Path& target) {
    ASSERT_TRUE(window.sourceTree().select(source));
    ASSERT_TRUE(window.targetTree().select(target));
  }

  test::ScopedTempDir home;
  test::ScopedEnvironment homeVariable{"TABLIFT_HOME", home.path().string()};
  test::CurrentDirectoryGuard directory;
  ScriptedPrompter prompter;
  Workbench window{prompter};
};

TEST_F(MigrateCommandTest, EachKindOfSelectionQueuesItsTaskAfterConfirmation) {
  struct Case {
    Path source;
    Path target;
    std::string question;
    TaskType type;
    std::string sourceDatabase;
    std::string sourceObject;
    std::string targetDatabase;
  };
  const std::vector<Case> cases = {
      {kSourceDatabasePath, kShopPath,
       "Convert database [/data/Nordwind] into Target database [shop]?"
       "\nNew tables: storage engine MyISAM, character set LATIN1.",
       ConvertDatabase, kAccessDatabase, "", "shop"},
      {kTablePath, kShopPath,
       "Convert table [Customers] into Target database [shop]?"
       "\nNew tables: storage engine MyISAM, character set LATIN1.",
       ConvertTable, kAccessDatabase, "Customers", "shop"},
      {kTablesFolderPath, kShopPath,
       "Convert tables of [/data/Nordwind] into Target database [shop]?"
       "\nNew tables: storage engine MyISAM, character set LATIN1.",
       ConvertTables, kAccessDatabase, "", "shop"},
      {kViewPath, kShopPath, "Convert view [Big Orders] into Target database [shop]?", ConvertView,
       kAccessDatabase, "Big Orders", "shop"},
      {kViewsFolderPath, kShopPath,
       "Convert views of [/data/Nordwind] into Target database [shop]?", ConvertViews,
       kAccessDatabase, "", "shop"},
      {kSourceDatabasePath, kTargetRootPath,
       "Clone database [/data/Nordwind] of source tree?"
       "\nNew tables: storage engine MyISAM, character set LATIN1.",
       CloneDatabase, kAccessDatabase, "", kAccessDatabase},
      // The same selection again is a second record.
      {kTablePath, kShopPath,
       "Convert table [Customers] into Target database [shop]?"
       "\nNew tables: storage engine MyISAM, character set LATIN1.",
       ConvertTable, kAccessDatabase, "Customers", "shop"},
  };
  std::size_t queued = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.question);
    Select(c.source, c.target);
    const TaskPtr task = MigrateCommand(window);
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(prompter.texts(Kind::OkCancel).back(), c.question);
    ASSERT_EQ(window.tasks().size(), ++queued);
    EXPECT_EQ(window.tasks().snapshot().back(), task);
    EXPECT_EQ(task->type(), c.type);
    EXPECT_EQ(task->category(), kMigrationCategory);
    EXPECT_EQ(task->state(), kTaskWaiting);
    EXPECT_EQ(task->stateText(), kStateWaiting);
    EXPECT_EQ(task->sourceDatabase(), c.sourceDatabase);
    EXPECT_EQ(task->sourceObject(), c.sourceObject);
    EXPECT_EQ(task->targetDatabase(), c.targetDatabase);
    EXPECT_EQ(task->targetObject(), "");
    EXPECT_EQ(task->backupScope(), "");
    EXPECT_EQ(task->sourceDbms(), kSourceDbms);
    EXPECT_EQ(task->targetDbms(), window.targetConnection().dbmsName());
    EXPECT_THAT(task->targetDbms(), ::testing::HasSubstr("["));
  }
  EXPECT_THAT(prompter.texts(Kind::Hint), IsEmpty());
  EXPECT_THAT(prompter.texts(Kind::Message), IsEmpty());
  // Queuing started the controller, and it stays started for the later ones.
  EXPECT_EQ(window.runState().load(), RunState::Running);
}

TEST_F(MigrateCommandTest, MakesTheDataCacheBesideTheProgramWithoutEnteringIt) {
  Select(kTablePath, kShopPath);
  const std::filesystem::path before = std::filesystem::current_path();
  // A plain file in the way becomes the directory.
  { std::ofstream(home.path() / "data_cache") << "in the way"; }
  ASSERT_NE(MigrateCommand(window), nullptr);
  EXPECT_TRUE(std::filesystem::is_directory(home.path() / "data_cache"));
  EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST_F(MigrateCommandTest, ARequestQueuesWithoutAnySelectionAndWithoutAsking) {
  // What the command line does: the trees are not touched.
  const MigrationRequest request{.scope = ObjectScope::View,
                                 .sourceDatabase = kAccessDatabase,
                                 .object = "Big Orders",
                                 .targetDatabase = "archive"};
  const TaskPtr task = QueueMigration(window, request, Consent::Given);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->type(), ConvertView);
  EXPECT_EQ(task->sourceObject(), "Big Orders");
  EXPECT_EQ(task->targetDatabase(), "archive");
  EXPECT_TRUE(window.sourceTree().selection().empty());
  EXPECT_THAT(prompter.texts(Kind::OkCancel), IsEmpty());
  EXPECT_THAT(window.output().lastLine().text,
              ::testing::HasSubstr("Converting view [Big Orders] into database [archive]"));

  // Only a whole database can be cloned into a new one.
  const MigrationRequest table{.scope = ObjectScope::Table,
                               .sourceDatabase = kAccessDatabase,
                               .object = "Customers",
                               .targetDatabase = ""};
  EXPECT_EQ(QueueMigration(window, table, Consent::Given), nullptr);
  EXPECT_EQ(window.tasks().size(), 1u);
  EXPECT_THAT(prompter.texts(Kind::Hint),
              ElementsAre("Please select a database in Target Database Tree!"));
}

TEST_F(MigrateCommandTest, RefusalsExplainThemselvesAndQueueNothing) {
  struct Case {
    std::optional<Path> source;
    std::optional<Path> target;
    std::string hint;
    std::string box;
  };
  const std::vector<Case> cases = {
      {std::nullopt, kShopPath, "Please Select a Object to Convert in Source Databases Tree!",
       "No Selected Source Database Object!"},
      {kTablePath, std::nullopt, "Please Select a object in Target Tree!",
       "No Selected Target Objects!"},
      {kTablePath, kTargetRootPath, "Please select a database in Target Database Tree!",
       "Please select a target Database!"},
      {kViewsFolderPath, kTargetRootPath, "Please select a database in Target Database Tree!",
       "Please select a target Database!"},
      {kSourceDatabasePath, kShopTablePath, "Please select a database in Target Database Tree!",
       "Please select a target Database!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hint + " / " + c.box);
    window.sourceTree().clearSelection();
    window.targetTree().clearSelection();
    if (c.source) {
      ASSERT_TRUE(window.sourceTree().select(*c.source));
    }
    if (c.target) {
      ASSERT_TRUE(window.targetTree().select(*c.target));
    }
    const std::size_t before = prompter.prompts().size();

    EXPECT_EQ(MigrateCommand(window), nullptr);
    const std::vector<ScriptedPrompter::Prompt> prompts = prompter.prompts();
    ASSERT_EQ(prompts.size(), before + 2);
    EXPECT_EQ(prompts[before].kind, Kind::Hint);
    EXPECT_EQ(prompts[before].text, c.hint);
    EXPECT_EQ(prompts[before + 1].kind, Kind::Message);
    EXPECT_EQ(prompts[before + 1].text, c.box);
  }
  EXPECT_THAT(prompter.texts(Kind::OkCancel), IsEmpty());
  EXPECT_TRUE(window.tasks().empty());
  EXPECT_EQ(window.runState().load(), RunState::Idle);
}

TEST_F(MigrateCommandTest, CancelQueuesNothingAndLeavesTheControllerIdle) {
  Select(kTablePath, kShopPath);
  prompter.queueAnswer(false);
  EXPECT_EQ(MigrateCommand(window), nullptr);
  EXPECT_TRUE(window.tasks().empty());
  EXPECT_EQ(window.runState().load(), RunState::Idle);
  EXPECT_THAT(prompter.texts(Kind::OkCancel),
              ElementsAre("Convert table [Customers] into Target database [shop]?\n"
                          "New tables: storage engine MyISAM, character set LATIN1."));
}

TEST_F(MigrateCommandTest, CancellingACloneClearsTheDropHighlight) {
  Select(kSourceDatabasePath, kTargetRootPath);
  window.targetTree().setDropTarget(kTargetRootPath);
  prompter.queueAnswer(false);
  EXPECT_EQ(MigrateCommand(window), nullptr);
  EXPECT_TRUE(window.targetTree().dropTarget().empty());
  EXPECT_TRUE(window.tasks().empty());
  EXPECT_EQ(window.runState().load(), RunState::Idle);
}

TEST_F(MigrateCommandTest, AFieldIntoADatabaseQueuesNothingButStartsTheController) {
  Select(kFieldPath, kShopPath);
  EXPECT_EQ(MigrateCommand(window), nullptr);
  EXPECT_THAT(prompter.prompts(), IsEmpty());
  EXPECT_TRUE(window.tasks().empty());
  EXPECT_EQ(window.runState().load(), RunState::Running);
}

TEST_F(MigrateCommandTest, ADropSelectsTheTargetNodeAndMigrates) {
  ASSERT_TRUE(window.sourceTree().select(kTablePath));
  ASSERT_TRUE(window.targetTree().select(kTargetRootPath));
  const TaskPtr task = DropOnTarget(window, kShopPath);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(window.targetTree().selection().path, kShopPath);
  EXPECT_EQ(task->type(), ConvertTable);
  EXPECT_EQ(task->targetDatabase(), "shop");

  // A node that went away meanwhile is not replaced by the old selection.
  EXPECT_EQ(DropOnTarget(window, Path{kTargetRoot, {NodeKind::Database, "gone"}}), nullptr);
  EXPECT_TRUE(window.targetTree().selection().empty());
  EXPECT_THAT(prompter.texts(Kind::Message), ElementsAre("No Selected Target Objects!"));
  EXPECT_EQ(window.tasks().size(), 1u);
}

}  // namespace
}  // namespace tablift
