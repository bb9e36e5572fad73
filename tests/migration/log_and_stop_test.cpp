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

TEST_F(StopTest, AStopInTheMiddleStillMakesTheRelationshipsAndEndsTheViewsAfterOne) {
  // InnoDB: the relationships of the tables that arrived are kept.
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
  EXPECT_TRUE(task->finished());

  const std::vector<std::string> lines = logTexts();
  // The rows of the table under way stop, then the tables.
  const std::size_t stop = Find(lines, "Data Converting Terminated!");
  ASSERT_LT(stop, lines.size()) << "the stop was not noticed";
  // The count line that follows says how far the table got.
  ASSERT_LT(stop + 2, lines.size());
  EXPECT_EQ(lines[stop + 1], "[Order] 2000 records converted, conversion completed SUCCESSFULLY!");
  EXPECT_EQ(lines[stop + 2], "Tables Converting Terminated!");
  std::size_t stopped = lines.size();
  for (std::size_t i = Find(lines, "TABLE: ["); i < stop; i = Find(lines, "TABLE: [", i + 1))
    stopped = i;
  ASSERT_LT(stopped, stop);
  EXPECT_THAT(lines[stopped], ::testing::EndsWith("].[Order] Migrating..... "));
  const std::string database = fs::path(task->targetDatabase()).filename();
  // The stop is seen right after the row that was reported.
  EXPECT_THAT(query("select count(*) from `" + database + "`.`Order`"), ElementsAre("2000"));
  const std::size_t relationships = Find(lines, "Convert Relationships of database [", stop);
  EXPECT_LT(relationships, lines.size());
  const std::size_t views = Find(lines, "Convert Views of database [", relationships);
  ASSERT_LT(views, lines.size());
  // One view, then the stop ends the views.
  EXPECT_THAT(linesWith("VIEW: ["), SizeIs(1));
  EXPECT_LT(Find(lines, "VIEW: [", views), Find(lines, "Views Converting Terminated!", views));
  EXPECT_LT(Find(lines, "Views Converting Terminated!", views), lines.size());
  // No table of the clone was started after the stop.
  const std::size_t cloneEnd = Find(lines, "Operation ", views);
  ASSERT_LT(cloneEnd, lines.size());
  EXPECT_GT(Find(lines, "TABLE: [", stop), cloneEnd);

  // The task behind was started in the same sweep and cut short after its
  // first row.
  EXPECT_TRUE(behind->finished());
  const std::size_t product = Find(lines, "TABLE: [", cloneEnd);
  ASSERT_LT(product, lines.size());
  EXPECT_THAT(lines[product], ::testing::EndsWith("].[Products] Migrating..... "));
  EXPECT_LT(Find(lines, "Data Converting Terminated!", product), lines.size());
  EXPECT_THAT(query("select count(*) from `" + other + "`.Products"), ElementsAre("1"));
  // Fewer tables than the database holds.
  EXPECT_THAT(targetTables(database),
              ElementsAre("Awkward Values", "Categories", "Customers", "Employees", "Order"));
  // The relationships among the tables that arrived are made; those of the
  // tables that never came ("Products", "Order Details") fail.
  EXPECT_THAT(linesWith("Create FOREIGN KEY SUCCESSFULLY!!!"), SizeIs(2));
  EXPECT_THAT(linesWith("Create Relationship failure!"), SizeIs(3));
}

}  // namespace
}  // namespace tablift::test
