// What the log tells of a whole migration, and a stop request in the middle
// of one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "tests/migration/migration_fixture.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

// The position of the first line at or after `from` that starts with
// `start`; the size of `lines` when there is none.
std::size_t Find(const std::vector<std::string>& lines, const std::string& start,
                 std::size_t from = 0) {
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (lines[i].rfind(start, 0) == 0) return i;
  }
  return lines.size();
}

using MigrationLogTest = MigrationTest;

TEST_F(MigrationLogTest, NorthwindTellsEachStepInOrder) {
  const auto fixtures = FixturesDirectory();
  if (!fixtures || !fs::exists(*fixtures / "northwind-jet3.mdb")) GTEST_SKIP();
  connect(copyAccessFile(*fixtures / "northwind-jet3.mdb", "northwind_log"));
  if (HasFatalFailure()) return;
  const std::string source = sourceDatabase();
  ASSERT_NE(migrate("", "", ""), nullptr);
  const std::vector<std::string> lines = logTexts();

  const std::size_t tables = Find(lines, "Convert Tables of database [" + source + "]");
  ASSERT_LT(tables, lines.size());
  // One table from start to end: every step in its documented order.
  const std::size_t start = Find(lines, "TABLE: [" + source + "].[Customers] Migrating..... ");
  ASSERT_LT(start, lines.size());
  EXPECT_GT(start, tables);
  std::size_t next = start;
  for (const std::string step :
       {"Create table [Customers] SUCCESSFULLY!!!", "Primary Keys Migrating..... ",
        "Create PRIMARY KEY SUCCESSFULLY!!!", "Unique Keys Migrating..... ", "[Customers] "}) {
    const std::size_t found = Find(lines, step, next + 1);
    ASSERT_LT(found, lines.size()) << step;
    next = found;
  }
  EXPECT_EQ(lines[next], "[Customers] 91 records converted, conversion completed SUCCESSFULLY!");
  // Nothing of another table in between.
  EXPECT_EQ(Find(lines, "TABLE: [", start + 1), Find(lines, "TABLE: [", next));

  const std::size_t relationships =
      Find(lines, "Convert Relationships of database [" + source + "]");
  const std::size_t views = Find(lines, "Convert Views of database [" + source + "]");
  EXPECT_LT(next, relationships);
  EXPECT_GT(relationships, Find(lines, "TABLE: [", 0));
  // Every table before the relationships, the views after them.
  for (std::size_t i = relationships; i < lines.size(); ++i)
    EXPECT_NE(lines[i].rfind("TABLE: [", 0), 0u) << lines[i];
  EXPECT_LT(relationships, views);
  ASSERT_LT(views, lines.size());
  EXPECT_LT(views, Find(lines, "VIEW: [" + source + "]."));
  // Ten saved queries cannot become views (see the clone tests), so the
  // task ends in failure, said once, at the very end.
  EXPECT_EQ(lines.back(), "Operation FAILURE!");
  EXPECT_THAT(linesWith("Operation "), SizeIs(1));
  EXPECT_THAT(linesWith("Convert Tables of database ["), SizeIs(1));
}

using StopTest = MigrationTest;

TEST_F(StopTest, AStopInTheMiddleEndsTheTaskStoppedAndMakesNothingAfterIt) {
  connect(writeSample(20000), "", "InnoDB");
  if (HasFatalFailure()) return;
  // Pressing Stop as soon as the rows of a big table are under way (the
  // progress line, not the one that ends a table).
  log_.setWatcher([this](const std::string& line) {
    if (line.find(" records converted!") == std::string::npos) return;
    RunState running = RunState::Running;
    window_.runState().compare_exchange_strong(running, RunState::StopRequested);
  });
  // A single table waits behind the clone.
  const std::string other = createTargetDatabase("behind");
  TaskPtr task;
  TaskPtr behind;
  {
    std::lock_guard sweep(window_.tasks().lock());
    task = queue("", "", "");
    behind = queue("Tables", "Products", other);
  }
  waitForController();
  log_.setWatcher({});
  ASSERT_NE(task, nullptr);
  ASSERT_NE(behind, nullptr);
  EXPECT_EQ(window_.runState().load(), RunState::Idle);
  EXPECT_EQ(window_.statusText(), "NO PROCESSING!!!");
  EXPECT_EQ(task->stateText(), kStateStopped);

  const std::vector<std::string> lines = logTexts();
  const std::size_t stop = Find(lines, "Data Converting Terminated!");
  ASSERT_LT(stop, lines.size()) << "the stop was not noticed";
  // The table cut short says how far it got, and is never called complete.
  ASSERT_LT(stop + 2, lines.size());
  EXPECT_THAT(lines[stop + 1],
              ::testing::HasSubstr("[Order] 2000 records converted, then stopped"));
  EXPECT_THAT(linesWith("[Order] 2000 records converted, conversion completed"), IsEmpty());
  EXPECT_EQ(lines[stop + 2], "Tables Converting Terminated!");
  EXPECT_EQ(lines.back(), "Operation Stopped!");
  const std::string database = fs::path(task->targetDatabase()).filename();
  EXPECT_THAT(query("select count(*) from `" + database + "`.`Order`"), ElementsAre("2000"));
  // Nothing is made after the stop: no relationship, no view, no table.
  EXPECT_EQ(Find(lines, "Convert Relationships of database [", stop), lines.size());
  EXPECT_EQ(Find(lines, "Convert Views of database [", stop), lines.size());
  EXPECT_EQ(Find(lines, "TABLE: [", stop), lines.size());
  EXPECT_THAT(linesWith("FOREIGN KEY"), IsEmpty());
  EXPECT_THAT(query("select count(*) from information_schema.referential_constraints "
                    "where constraint_schema = '" +
                    database + "'"),
              ElementsAre("0"));
  EXPECT_THAT(targetTables(database),
              ElementsAre("Awkward Values", "Categories", "Customers", "Employees", "Order"));
  // The task behind keeps waiting for the next start.
  EXPECT_FALSE(behind->finished());
  EXPECT_EQ(behind->stateText(), kStateWaiting);
  EXPECT_THAT(targetTables(other), IsEmpty());
}

}  // namespace
}  // namespace tablift::test
