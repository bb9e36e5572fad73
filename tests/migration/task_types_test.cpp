// The sample database moved by folder, table and view, each kind of task with
// its outcome, what arrived on the server and what the data cache keeps.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/migration/migration_fixture.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;

// What the whole-database runs move: every table, whatever its name holds.
const std::vector<std::string> kMigratedTables = {"Awkward Values", "Categories", "Customers",
                                                  "Employees",      "Order",      "Order Details",
                                                  "Products",       "Shippers"};
const std::vector<std::string> kViews = {"Customer List", "Heavy Freight", "Order Lines",
                                         "Products By Price", "Sales By Product"};

std::size_t CountLines(const std::string& text, const std::string& start) {
  std::size_t count = 0;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    count += line.rfind(start, 0) == 0;
  return count;
}

class TaskTypesTest : public MigrationTest {
 protected:
  void SetUp() override {
    MigrationTest::SetUp();
    if (HasFatalFailure()) return;
    connect(writeSample(kRows), "", "InnoDB");
  }

  std::string count(const std::string& database, const std::string& table) {
    const auto rows = query("select count(*) from `" + database + "`.`" + table + "`");
    return rows.empty() ? "" : rows.front();
  }

  static constexpr std::uint64_t kRows = 50;
};

TEST_F(TaskTypesTest, DatabaseIntoAnExistingDatabaseLeavesItsScriptsInTheDataCache) {
  const std::string database = createTargetDatabase("convert");
  const TaskPtr task = migrate("", "", database);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->type(), ConvertDatabase);
  EXPECT_EQ(task->stateText(), kStateSuccess);
  EXPECT_EQ(task->progress(), 100);
  EXPECT_EQ(targetTables(database), kMigratedTables);
  EXPECT_EQ(targetTables(database, true), kViews);
  EXPECT_EQ(count(database, "Order"), std::to_string(kRows));
  // The views show what their queries select.
  EXPECT_EQ(count(database, "Customer List"), count(database, "Customers"));
  EXPECT_EQ(count(database, "Products By Price"), count(database, "Products"));
  EXPECT_EQ(count(database, "Order Lines"), count(database, "Order Details"));
  EXPECT_EQ(query("select count(*) from `" + database + "`.`Heavy Freight`"),
            query("select count(*) from `" + database + "`.`Order` where Freight > 100"));
  EXPECT_EQ(query("select Price from `" + database + "`.`Products By Price` limit 1"),
            query("select max(UnitPrice) from `" + database + "`.Products"));

  // The table's script: its CREATE, its key, its unique index and, appended
  // by the relationships, its foreign keys.
  const std::string products = ReadWholeFile(dataCache() / "Products");
  const std::size_t create = products.find("CREATE TABLE");
  const std::size_t key = products.find("PRIMARY KEY", create);
  const std::size_t index = products.find("CREATE UNIQUE INDEX");
  const std::size_t foreign = products.find("FOREIGN KEY");
  ASSERT_NE(create, std::string::npos) << products;
  EXPECT_NE(key, std::string::npos) << products;
  EXPECT_LT(key, index) << products;
  EXPECT_NE(index, std::string::npos) << products;
  EXPECT_LT(index, foreign) << products;
  EXPECT_NE(foreign, std::string::npos) << products;
  EXPECT_THAT(products, HasSubstr("REFERENCES"));

  // The rows' script: one INSERT per row.
  const std::string rows = ReadWholeFile(dataCache() / "Order.data");
  EXPECT_EQ(CountLines(rows, "insert into `Order` values ("), kRows);
  EXPECT_EQ(CountLines(rows, ""), kRows);

  // The views' scripts.
  EXPECT_THAT(ReadWholeFile(dataCache() / "Customer List.vw"),
              HasSubstr("CREATE VIEW `Customer List`"));
  EXPECT_THAT(ReadWholeFile(dataCache() / "Order Lines.vw"), HasSubstr("`Order Details`"));
}

TEST_F(TaskTypesTest, TablesFolderThenViewsFolder) {
  const std::string database = createTargetDatabase("tables-and-views");
  const TaskPtr tables = migrate("Tables", "", database);
  ASSERT_NE(tables, nullptr);
  EXPECT_EQ(tables->type(), ConvertTables);
  EXPECT_EQ(tables->stateText(), kStateSuccess);
  EXPECT_EQ(targetTables(database), kMigratedTables);
  EXPECT_THAT(targetTables(database, true), IsEmpty());
  EXPECT_THAT(linesWith("Convert Relationships of database ["), SizeIs(1));
  EXPECT_THAT(linesWith("Convert Views of database ["), IsEmpty());
  // The enforced relationships among the migrated tables (the one to
  // "Shippers" is not enforced in Access).
  EXPECT_THAT(linesWith("Create FOREIGN KEY SUCCESSFULLY!!!"), SizeIs(5));

  const TaskPtr views = migrate("Views", "", database);
  ASSERT_NE(views, nullptr);
  EXPECT_EQ(views->type(), ConvertViews);
  EXPECT_EQ(views->stateText(), kStateSuccess);
  EXPECT_EQ(targetTables(database, true), kViews);
  EXPECT_EQ(targetTables(database), kMigratedTables);
}

TEST_F(TaskTypesTest, OneTableAndOneView) {
  const std::string database = createTargetDatabase("one-object");
  const TaskPtr table = migrate("Tables", "Customers", database);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->type(), ConvertTable);
  EXPECT_EQ(table->sourceObject(), "Customers");
  EXPECT_EQ(table->stateText(), kStateSuccess);
  EXPECT_EQ(table->progress(), 100);
  EXPECT_THAT(targetTables(database), ElementsAre("Customers"));
  // The controller has ended and says so.
  EXPECT_EQ(window_.statusText(), "NO PROCESSING!!!");
  EXPECT_EQ(window_.startStopToolTip(), "Start tasks");
  // A single table brings no relationships.
  EXPECT_THAT(linesWith("Convert Relationships"), IsEmpty());
  EXPECT_THAT(ReadWholeFile(dataCache() / "Customers"), Not(HasSubstr("FOREIGN KEY")));

  const TaskPtr view = migrate("Views", "Customer List", database);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->type(), ConvertView);
  EXPECT_EQ(view->stateText(), kStateSuccess);
  EXPECT_THAT(targetTables(database, true), ElementsAre("Customer List"));
  EXPECT_EQ(tryQuery("select * from `" + database + "`.`Customer List`"), "");

  // A view over a table that is not there fails its task.
  const TaskPtr missing = migrate("Views", "Heavy Freight", database);
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->stateText(), kStateFailure);
  EXPECT_THAT(linesWith("Create VIEW [Heavy Freight] failure!!!"), SizeIs(1));
  EXPECT_THAT(targetTables(database, true), ElementsAre("Customer List"));
}

TEST_F(TaskTypesTest, TwoTasksQueuedTogetherEachGetTheirOwnOutcome) {
  const std::string database = createTargetDatabase("pair");
  // "Shippers" is in the way, so its task fails while the other succeeds.
  ExecuteOrFail(window_, "create table `" + database + "`.Shippers (x int)");
  TaskPtr first;
  TaskPtr second;
  {
    // Both are queued before the controller's first sweep can begin, as when
    // the user queues faster than a task runs. (A task queued after the last
    // one finished, while the controller is ending, waits for Start.)
    std::lock_guard sweep(window_.tasks().lock());
    first = queue("Tables", "Customers", database);
    second = queue("Tables", "Shippers", database);
  }
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  waitForController();
  EXPECT_EQ(first->stateText(), kStateSuccess);
  EXPECT_EQ(second->stateText(), kStateFailure);
  EXPECT_THAT(linesWith("Operation "),
              ElementsAre("Operation completed SUCCESSFULLY!", "Operation FAILURE!"));
  EXPECT_NE(count(database, "Customers"), "0");
  EXPECT_EQ(query("select count(*) from `" + database + "`.Shippers"),
            std::vector<std::string>{"0"});
}

TEST_F(TaskTypesTest, TheSameTableTwiceFailsTheSecondTimeAndCopiesNoRows) {
  const std::string database = createTargetDatabase("twice");
  const TaskPtr first = migrate("Tables", "Categories", database);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->stateText(), kStateSuccess);
  const std::string rows = count(database, "Categories");
  EXPECT_NE(rows, "0");

  const TaskPtr second = migrate("Tables", "Categories", database);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->stateText(), kStateFailure);
  const std::string source = sourceDatabase();
  EXPECT_THAT(linesWith("E::"), IsEmpty()) << "the prefix is not shown";
  EXPECT_THAT(linesWith("TABLE: Create [" + source + "].[Categories] ERROR !"), SizeIs(1));
  // The server's reason comes first, then the worker's line in red.
  const std::vector<LogLine> lines = window_.output().lines();
  const auto error = std::find_if(lines.begin(), lines.end(), [](const LogLine& line) {
    return line.text.ends_with("[Categories] ERROR !");
  });
  ASSERT_NE(error, lines.end());
  ASSERT_NE(error, lines.begin());
  EXPECT_TRUE(error->hasRecord);
  EXPECT_EQ(error->textColour, kErrorRed);
  EXPECT_THAT((error - 1)->text, HasSubstr("Table 'Categories' already exists"));
  EXPECT_TRUE((error - 1)->hasRecord);
  EXPECT_THAT(linesWith("records converted"), SizeIs(1));
  EXPECT_EQ(count(database, "Categories"), rows);
  EXPECT_EQ(logTexts().back(), "Operation FAILURE!");
}

TEST_F(TaskTypesTest, ACloneDoesNotMergeIntoADatabaseThatExists) {
  const TaskPtr first = migrate("", "", "");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->type(), CloneDatabase);
  EXPECT_EQ(first->stateText(), kStateSuccess);
  const std::string database = std::filesystem::path(first->targetDatabase()).filename();
  const std::string rows = count(database, "Order");

  const TaskPtr second = migrate("", "", "");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->stateText(), kStateFailure);
  const auto refused = linesWith("Create Target Database[" + first->targetDatabase() + "] Error!");
  ASSERT_THAT(refused, SizeIs(1));
  // The server's reason follows on the same line.
  EXPECT_THAT(refused[0], ::testing::HasSubstr("database exists"));
  EXPECT_THAT(linesWith("Convert Tables of database ["), SizeIs(1));
  EXPECT_EQ(count(database, "Order"), rows);
}

}  // namespace
}  // namespace tablift::test
