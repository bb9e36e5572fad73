#include "engine/queue_migration.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "tests/support/test_paths.h"

// Without a target session the command refuses before anything else; the
// cases that get further need a target session and live with the server
// tests (tests/commands).
namespace tablift {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Kind = ScriptedPrompter::Kind;

TEST(MigrateCommandTest, WithoutTargetSessionRefusesBeforeTouchingTheDisk) {
  test::ScopedTempDir home;
  test::ScopedEnvironment homeVariable("TABLIFT_HOME", home.path().string());
  test::CurrentDirectoryGuard directory;
  const std::filesystem::path before = std::filesystem::current_path();
  ScriptedPrompter prompter;
  Workbench window(prompter);
  CatalogNode source{NodeKind::Root, "Access", false, {}};
  source.add(NodeKind::Database, "/data/Nordwind");
  window.sourceTree().replace(source);
  ASSERT_TRUE(window.sourceTree().select(
      {{NodeKind::Root, "Access"}, {NodeKind::Database, "/data/Nordwind"}}));

  EXPECT_EQ(MigrateCommand(window), nullptr);
  EXPECT_THAT(prompter.texts(Kind::Hint),
              ElementsAre("Please confirm your Target Database Connection is valid!"));
  EXPECT_THAT(prompter.texts(Kind::Message), ElementsAre("No Target DataSource Connection!"));
  EXPECT_THAT(prompter.texts(Kind::OkCancel), IsEmpty());
  EXPECT_TRUE(window.tasks().empty());
  EXPECT_EQ(window.runState().load(), RunState::Idle);
  EXPECT_FALSE(std::filesystem::exists(home.path() / "data_cache"));
  EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
}  // namespace tablift
