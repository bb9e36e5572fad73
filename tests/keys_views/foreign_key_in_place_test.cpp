// A relationship added to tables that already hold their rows: without the
// table copy when the rows allow it, and otherwise refused exactly as the
// server refuses it with its checks on.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "data_access/text_query.h"
#include "engine/workbench.h"
#include "mysql/execute_statement.h"
#include "mysql/foreign_key_in_place.h"
#include "tests/support/target_connection.h"

namespace tablift {
namespace {

using test::ExecuteOrFail;
using test::QueryColumn;

class ForeignKeyInPlaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto server = test::PrivateServerFromEnvironment();
    ASSERT_TRUE(server) << "the private server is not running";
    ASSERT_TRUE(test::ConnectTarget(window_, *server));
    scratch_ = std::make_unique<test::ScratchDatabase>(window_, "fk_in_place");
    ExecuteOrFail(window_, "use `" + scratch_->name() + "`");
    ExecuteOrFail(window_,
                  "create table Parent (A int not null, B varchar(10) not null, Note int, "
                  "primary key (A, B)) engine=InnoDB");
    ExecuteOrFail(window_,
                  "create table Child (Id int primary key, A int, B varchar(10), Loose bigint) "
                  "engine=InnoDB");
    ExecuteOrFail(window_, "insert into Parent values (1, 'x', 1), (2, 'y', 2)");
    // A key with a NULL in it is not checked, whatever its other column holds.
    ExecuteOrFail(window_,
                  "insert into Child values (1, 1, 'x', 1), (2, 2, 'y', 2), (3, 9, null, 3), "
                  "(4, null, null, 4)");
  }

  std::string One(const std::string& sql) {
    const std::vector<std::string> rows = QueryColumn(window_, sql);
    return rows.empty() ? std::string("<no row>") : rows.front();
  }

  std::string ConstraintsAndIndexesOfChild() {
    return One("select count(*) from information_schema.table_constraints where table_schema = "
               "database() and table_name = 'Child' and constraint_type = 'FOREIGN KEY'") +
           "/" +
           One("select count(distinct index_name) from information_schema.statistics where "
               "table_schema = database() and table_name = 'Child'");
  }

  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
  std::unique_ptr<test::ScratchDatabase> scratch_;
};

TEST_F(ForeignKeyInPlaceTest, RowsWithTheirParentsGetAConstraintThatIsEnforcedAfterwards) {
  const Status added = AddForeignKey(
      window_, window_.targetSession(),
      "Alter Table `Child` ADD CONSTRAINT `ParentChild` FOREIGN KEY (`A`, `B`)\n REFERENCES "
      "`Parent`(`A`, `B`) ON DELETE CASCADE",
      Report::Outcome);
  ASSERT_TRUE(added.ok()) << added.message();
  EXPECT_EQ(window_.output().lastLine().text.substr(24), kStatementSucceeded);
  EXPECT_EQ(One("select @@session.foreign_key_checks"), "1");
  EXPECT_EQ(One("select concat(referenced_table_name, ':', delete_rule) from "
                "information_schema.referential_constraints where constraint_schema = database() "
                "and constraint_name = 'ParentChild'"),
            "Parent:CASCADE");
  // The constraint holds from now on: a row without its parent is refused
  // and a deleted parent takes its rows along.
  EXPECT_FALSE(
      ExecuteStatement(window_, window_.targetSession(), "insert into Child values (5, 7, 'z', 5)")
          .ok());
  ExecuteOrFail(window_, "delete from Parent where A = 1");
  EXPECT_EQ(One("select group_concat(Id order by Id) from Child"), "2,3,4");
}

// Whatever the server with its checks on refuses is refused with its reason,
// and leaves neither the constraint nor an index made for it behind.
TEST_F(ForeignKeyInPlaceTest, WhatTheServerWouldRefuseIsRefusedWithItsOwnReason) {
  ExecuteOrFail(window_, "create table Other (A bigint primary key, N bigint) engine=InnoDB");
  ExecuteOrFail(window_, "insert into Other values (1, 1), (2, 2), (3, 3), (4, 4)");
  struct Case {
    const char* what;
    const char* statement;
  };
  const std::vector<Case> cases = {
      {"a row without its parent",
       "Alter Table `Child` ADD CONSTRAINT `Orphans` FOREIGN KEY (`A`, `B`)\n REFERENCES "
       "`Parent`(`A`, `B`)"},
      {"a referenced table that is not there",
       "Alter Table `Child` ADD CONSTRAINT `Missing` FOREIGN KEY (`Loose`)\n REFERENCES "
       "`Nowhere`(`A`)"},
      {"referenced columns without an index",
       "Alter Table `Child` ADD CONSTRAINT `Unindexed` FOREIGN KEY (`Loose`)\n REFERENCES "
       "`Other`(`N`)"},
      {"columns of different types",
       "Alter Table `Child` ADD CONSTRAINT `Mismatch` FOREIGN KEY (`A`)\n REFERENCES "
       "`Other`(`A`)"},
  };
  ExecuteOrFail(window_, "delete from Parent where A = 2");
  const std::string before = ConstraintsAndIndexesOfChild();
  for (const Case& refused : cases) {
    SCOPED_TRACE(refused.what);
    const Status checked = ExecuteStatement(window_, window_.targetSession(), refused.statement);
    ASSERT_FALSE(checked.ok());
    const Status added = AddForeignKey(window_, window_.targetSession(), refused.statement);
    EXPECT_FALSE(added.ok());
    EXPECT_EQ(added.message(), checked.message());
    EXPECT_EQ(ConstraintsAndIndexesOfChild(), before);
    EXPECT_EQ(One("select @@session.foreign_key_checks"), "1");
  }
  // Once the rows allow it, the same statement goes through.
  ExecuteOrFail(window_, "insert into Parent values (2, 'y', 2)");
  EXPECT_TRUE(AddForeignKey(window_, window_.targetSession(), cases[0].statement).ok());
}

// A session whose checks are off already (a script loading rows in any
// order) keeps them off and gets the statement as it is.
TEST_F(ForeignKeyInPlaceTest, ASessionWithoutChecksKeepsItsSetting) {
  ExecuteOrFail(window_, "set session foreign_key_checks = 0");
  EXPECT_TRUE(AddForeignKey(window_, window_.targetSession(),
                            "Alter Table `Child` ADD CONSTRAINT `Off` FOREIGN KEY (`A`, `B`)\n "
                            "REFERENCES `Parent`(`A`, `B`)")
                  .ok());
  EXPECT_EQ(One("select @@session.foreign_key_checks"), "0");
  ExecuteOrFail(window_, "set session foreign_key_checks = 1");
}

}  // namespace
}  // namespace tablift
