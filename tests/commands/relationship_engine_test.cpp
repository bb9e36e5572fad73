#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "access/sample_database.h"
#include "core/scripted_prompter.h"
#include "engine/use_database.h"
#include "engine/workbench.h"
#include "migration/object_workers.h"
#include "migration/table_worker.h"
#include "tests/support/jet_source.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"

// Relationships arrive as FOREIGN KEY constraints only where the storage
// engine keeps them; on MyISAM the server takes the statement and keeps
// nothing, which the workers must report as the failure it is.
namespace tablift {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

class RelationshipEngineTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const auto server = test::PrivateServerFromEnvironment();
    ASSERT_TRUE(server) << "the private server is not running";
    ASSERT_TRUE(test::ConnectTarget(window, *server));
    ASSERT_TRUE(Succeeded(window.targetSession()->setClientCharset("utf8mb4")));
    window.setCharset("utf8mb4");
    database.emplace(window, "tl_fk_engine");
    ASSERT_TRUE(UseDatabase(window, database->name(), kTargetSide));
    SampleSummary summary;
    ASSERT_TRUE(WriteSampleDatabase(directory.path() / "sample.mdb", 20, summary).ok());
    ASSERT_TRUE(test::ConnectSource(window, directory.path() / "sample.mdb"));
    window.setCacheFolder(directory.path());
  }

  ScriptedPrompter prompter;
  Workbench window{prompter};
  std::optional<test::ScratchDatabase> database;
  test::CurrentDirectoryGuard restoreDirectory;
  test::ScopedTempDir directory;
};

TEST_P(RelationshipEngineTest, ForeignKeysExistOrTheirLossIsReported) {
  const std::string engine = GetParam();
  window.targetTree().setStorageEngine(engine);
  const std::string name = (directory.path() / "sample").string();
  for (const char* table :
       {"Categories", "Customers", "Employees", "Shippers", "Products", "Order", "Order Details"}) {
    EXPECT_EQ(MigrateTable(window, window.sourceSession(), name, table), kTableMigrated) << table;
  }
  const int failures = MigrateRelationships(window, window.sourceSession(), name);
  const auto keys = test::QueryColumn(
      window,
      "select count(*) from information_schema.table_constraints where constraint_schema = '" +
          database->name() + "' and constraint_type = 'FOREIGN KEY'");
  std::vector<std::string> texts;
  for (const LogLine& line : window.output().lines())
    texts.push_back(line.text);
  if (engine == "InnoDB") {
    EXPECT_EQ(failures, 0);
    EXPECT_NE(keys, std::vector<std::string>{"0"});
  } else {
    EXPECT_GT(failures, 0);
    EXPECT_EQ(keys, std::vector<std::string>{"0"});
    EXPECT_THAT(texts, Contains(HasSubstr("uses the MyISAM storage engine, which keeps no "
                                          "FOREIGN KEY")));
    EXPECT_THAT(texts, Contains(HasSubstr("Create Relationship failure!")));
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, RelationshipEngineTest, ::testing::Values("InnoDB", "MyISAM"));

}  // namespace
}  // namespace tablift
