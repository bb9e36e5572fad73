// A calculated field's column becomes one MySQL computes only when MySQL
// gives every row the value Access stored; otherwise the stored values stay
// and the log says why.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "migration/calculated_columns.h"
#include "tests/support/access_source.h"
#include "tests/support/private_server.h"
#include "tests/support/target_connection.h"

namespace tablift {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class GeneratedColumnTest : public test::JetSourceTest {
 protected:
  void SetUp() override {
    server_ = test::PrivateServerFromEnvironment();
    if (!server_) GTEST_SKIP() << "no private MariaDB server";
    ASSERT_TRUE(test::ConnectTarget(window_, *server_));
    scratch_.emplace(window_, "calculated");
    ASSERT_TRUE(test::ConnectTarget(window_, *server_, scratch_->name()));
    // Rows as the transfer left them: the Total column holds what Access
    // stored for [Price]*[Quantity].
    test::ExecuteOrFail(window_,
                        "create table `Order Lines` (`Price` DOUBLE, `Quantity` INT, "
                        "`Total` DOUBLE, `Note` VARCHAR(20)) ENGINE=InnoDB");
    test::ExecuteOrFail(window_,
                        "insert into `Order Lines` values (2.5, 4, 10, 'a'), (1, 3, 3, 'b'), "
                        "(NULL, 1, NULL, 'c')");
  }

  std::string lastLine() {
    const auto lines = logTexts();
    return lines.empty() ? std::string() : lines.back();
  }

  std::optional<test::PrivateServer> server_;
  std::optional<test::ScratchDatabase> scratch_;
};

TEST_F(GeneratedColumnTest, AnExpressionThatGivesTheStoredValuesIsComputedFromThenOn) {
  ASSERT_TRUE(MakeGeneratedColumn(window_, window_.targetSession(), "Order Lines", "Total",
                                  "DOUBLE", "[Price]*[Quantity]", NameRule::Keep));
  EXPECT_THAT(lastLine(), HasSubstr("is computed by MySQL"));
  // The column keeps its name and place, and new rows get their value.
  EXPECT_THAT(test::QueryColumn(window_,
                                "select group_concat(column_name order by ordinal_position) from "
                                "information_schema.columns where table_schema = database() and "
                                "table_name = 'Order Lines'"),
              ElementsAre("Price,Quantity,Total,Note"));
  test::ExecuteOrFail(window_,
                      "insert into `Order Lines` (`Price`, `Quantity`, `Note`) values (3, 3, 'd')");
  EXPECT_THAT(test::QueryColumn(window_, "select Total from `Order Lines` where Note = 'd'"),
              ElementsAre("9"));
}

TEST_F(GeneratedColumnTest, StoredValuesStayWhenTheExpressionDisagreesOrCannotBeComputed) {
  // One row's stored value differs from what MySQL computes.
  test::ExecuteOrFail(window_, "update `Order Lines` set Total = 4 where Note = 'b'");
  EXPECT_FALSE(MakeGeneratedColumn(window_, window_.targetSession(), "Order Lines", "Total",
                                   "DOUBLE", "[Price]*[Quantity]", NameRule::Keep));
  EXPECT_THAT(lastLine(), HasSubstr("gives other values than Access stored (1)"));
  // A form's control is nothing MySQL can read.
  EXPECT_FALSE(MakeGeneratedColumn(window_, window_.targetSession(), "Order Lines", "Total",
                                   "DOUBLE", "Forms!Orders!Rate*[Price]", NameRule::Keep));
  EXPECT_THAT(lastLine(), HasSubstr("keeps the values Access stored"));
  // A function MySQL has no counterpart of.
  EXPECT_FALSE(MakeGeneratedColumn(window_, window_.targetSession(), "Order Lines", "Total",
                                   "DOUBLE", "NoSuchFunction([Price])", NameRule::Keep));
  EXPECT_THAT(lastLine(), HasSubstr("NoSuchFunction has no MySQL counterpart"));
  // A value that changes with time, which the server does not store.
  EXPECT_FALSE(MakeGeneratedColumn(window_, window_.targetSession(), "Order Lines", "Total",
                                   "DOUBLE", "[Price] * Month(Now())", NameRule::Keep));
  EXPECT_THAT(lastLine(), HasSubstr("the server refuses it"));
  // Every time, the stored values are untouched and nothing was left behind.
  EXPECT_THAT(
      test::QueryColumn(window_, "select ifnull(Total, 'NULL') from `Order Lines` order by Note"),
      ElementsAre("10", "4", "NULL"));
  EXPECT_THAT(test::QueryColumn(window_,
                                "select group_concat(column_name order by ordinal_position) from "
                                "information_schema.columns where table_schema = database() and "
                                "table_name = 'Order Lines'"),
              ElementsAre("Price,Quantity,Total,Note"));
}

}  // namespace
}  // namespace tablift
