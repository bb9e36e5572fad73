// Saved queries against their migrated views and procedures: the rows
// MySQL gives are held against the rows the project's own Access SQL
// executor gives for the same query on the source file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "data_access/provider_calls.h"
#include "engine/use_database.h"
#include "migration/query_verification.h"
#include "tests/migration/migration_fixture.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;

class QueryVerificationTest : public MigrationTest {
 protected:
  // Migrates a copy of the fixture into a database of its own and makes it
  // the target's current database; false (skipped) without the fixture.
  bool cloneFixture(const char* file) {
    const auto fixtures = FixturesDirectory();
    if (!fixtures || !fs::exists(*fixtures / file)) return false;
    const fs::path mdb = copyAccessFile(*fixtures / file, fs::path(file).stem().string());
    connect(mdb, "", "InnoDB");
    if (HasFatalFailure()) return false;
    database_ = mdb.stem().string();
    dropLater(database_);
    if (migrate("", "", "") == nullptr) return false;
    return UseDatabase(window_, database_, Workbench::kTargetSide);
  }

  QueryVerification verify(const std::string& query,
                           const std::vector<std::string>* arguments = nullptr) {
    return VerifySavedQuery(window_, window_.sourceSession(), window_.targetSession(), query,
                            arguments);
  }

  std::vector<std::string> savedQueries() {
    const Result<std::vector<std::string>> listed =
        ObjectNames(window_.sourceSession(), {}, ObjectKind::View, "");
    EXPECT_TRUE(listed.ok()) << listed.message();
    return listed.ok() ? listed.value() : std::vector<std::string>{};
  }

  // Runs a statement that gives no rows; "" when the server took it.
  std::string change(const std::string& sql) {
    const std::string outcome = tryQuery(sql);
    return outcome == "RESULT: The operation completed SUCCESSFULLY" ? "" : outcome;
  }

  std::string database_;
};

std::string Described(const QueryVerification& result) {
  return result.error + " " + std::to_string(result.sourceRows) + "/" +
         std::to_string(result.targetRows) + " rows, " + std::to_string(result.differingRows) +
         " differ" + (result.notCompared.empty() ? "" : " (" + result.notCompared + ")");
}

TEST_F(QueryVerificationTest, EveryNorthwindViewGivesTheRowsOfTheAccessExecutor) {
  if (!cloneFixture("northwind-jet3.mdb")) {
    if (!HasFatalFailure()) GTEST_SKIP() << "no Northwind fixture";
    return;
  }
  int views = 0;
  for (const std::string& query : savedQueries()) {
    SCOPED_TRACE(query);
    const QueryVerification result = verify(query);
    if (result.object != QueryVerification::Object::View) continue;
    ++views;
    EXPECT_TRUE(result.matches()) << Described(result);
    EXPECT_GT(result.sourceRows, 0u);
  }
  // Grouping, union, subquery, TOP, the extended prices rounded half to even.
  EXPECT_GE(views, 17);
}

TEST_F(QueryVerificationTest, AViewThatGivesOtherRowsIsCaught) {
  if (!cloneFixture("northwind-jet3.mdb")) {
    if (!HasFatalFailure()) GTEST_SKIP() << "no Northwind fixture";
    return;
  }
  // One product fewer, and one price a cent off: both show as rows without
  // an equal, the missing one also in the counts.
  ASSERT_EQ(change("create or replace view `" + database_ +
                   "`.`Current Product List` as select ProductID, ProductName from `" + database_ +
                   "`.Products where Discontinued = 0 and ProductID <> 1"),
            "");
  QueryVerification result = verify("Current Product List");
  EXPECT_FALSE(result.matches());
  EXPECT_EQ(result.sourceRows, result.targetRows + 1);
  EXPECT_EQ(result.differingRows, 1u);

  ASSERT_EQ(change("create or replace view `" + database_ +
                   "`.`Ten Most Expensive Products` as select ProductName as "
                   "TenMostExpensiveProducts, UnitPrice + 0.01 as UnitPrice from `" +
                   database_ + "`.Products order by UnitPrice desc limit 10"),
            "");
  result = verify("Ten Most Expensive Products");
  EXPECT_EQ(result.sourceRows, result.targetRows);
  EXPECT_EQ(result.differingRows, 20u);

  // A query that is not on the target is not compared at all.
  ASSERT_EQ(change("drop view `" + database_ + "`.`Catalog`"), "");
  EXPECT_EQ(verify("Catalog").object, QueryVerification::Object::None);
}

}  // namespace
}  // namespace tablift::test
