// Names the Access file cannot hold but the statements must still survive:
// backquotes (beside blanks, quotes and letters beyond ASCII) in a table, its
// columns, its primary key, a unique index, a foreign key and a view, each
// statement built by the program and run on the private server, under both
// name rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "access/index_answer.h"
#include "core/scripted_prompter.h"
#include "engine/workbench.h"
#include "mysql/sql_literals.h"
#include "mysql/statement_pieces.h"
#include "tests/support/private_server.h"
#include "tests/support/target_connection.h"
#include "translate/foreign_key_statements.h"
#include "translate/key_statements.h"
#include "translate/mysql_names.h"
#include "translate/view_definition.h"

namespace tablift {
namespace {

using ::testing::ElementsAre;

const std::string kParent = "Par`ent Tab;le";
const std::string kChild = "Ch`ild \xC3\xA4 \"x\"";
const std::string kKey = "K`ey Nr";
const std::string kCode = "Co'de`s";
const std::string kIndex = "By `Code";
const std::string kRelation = "Par`ent Ch`ild";
const std::string kView = "V`iew's";

class QuotedNamesTest : public ::testing::TestWithParam<NameRule> {
 protected:
  void SetUp() override {
    const auto server = test::PrivateServerFromEnvironment();
    if (!server) GTEST_SKIP() << "no private MariaDB server";
    ASSERT_TRUE(test::ConnectTarget(window_, *server));
    ASSERT_TRUE(Succeeded(window_.targetSession()->setClientCharset("utf8mb4")));
    scratch_ = std::make_unique<test::ScratchDatabase>(window_, "quoted_names");
    test::ExecuteOrFail(window_, "use `" + scratch_->name() + "`");
  }

  std::string name(const std::string& access) const { return MySqlName(access, GetParam()); }
  std::string quoted(const std::string& access) const { return QuoteIdentifier(name(access)); }

  // The server's names of one kind of object, read back.
  std::vector<std::string> column(const std::string& sql) {
    return test::QueryColumn(window_, sql + " and table_schema = '" + scratch_->name() + "'");
  }

  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
  std::unique_ptr<test::ScratchDatabase> scratch_;
};

TEST_P(QuotedNamesTest, EveryKindOfObjectTakesTheName) {
  const NameRule rule = GetParam();
  for (const std::string& table : {kParent, kChild}) {
    test::ExecuteOrFail(window_, "create table " + quoted(table) + " (" + quoted(kKey) +
                                     " int not null, " + quoted(kCode) +
                                     " varchar(10)) engine=InnoDB");
  }
  const std::string keyAnswer = IndexAnswerEntryText("PrimaryKey", {kKey});
  for (const std::string& table : {kParent, kChild}) {
    test::ExecuteOrFail(window_, PrimaryKeyStatementFromAnswer(table, keyAnswer, rule));
  }
  test::ExecuteOrFail(window_, UniqueIndexStatementsFromAnswer(
                                   kParent, IndexAnswerEntryText(kIndex, {kCode}), rule));
  std::vector<std::string> notEnforced;
  const std::string foreignKey = ForeignKeyStatementsFromRows(
      kChild, {{kRelation, kKey, kParent, kKey, 0, 0}}, notEnforced, rule);
  for (const std::string& statement : SplitStatements(foreignKey))
    test::ExecuteOrFail(window_, statement);
  const NameMapping names = [rule](const std::string& access) { return MySqlName(access, rule); };
  const ComposedView view = ComposeViewDefinition(name(kView),
                                                  {{5, "", "", kChild, "C`ode"},
                                                   {6, "[C`ode].[" + kCode + "]", "", "", ""},
                                                   {6, "[" + kKey + "]", "", kKey + " 2", ""}},
                                                  names);
  ASSERT_TRUE(view.ok) << view.problem;
  test::ExecuteOrFail(window_, view.text);

  EXPECT_THAT(column("select table_name from information_schema.tables where table_type = "
                     "'BASE TABLE'"),
              ::testing::UnorderedElementsAre(name(kParent), name(kChild)));
  EXPECT_THAT(column("select column_name from information_schema.columns where table_name = " +
                     StringLiteral(name(kParent))),
              ElementsAre(name(kKey), name(kCode)));
  EXPECT_THAT(
      column("select concat(index_name, '|', column_name) from "
             "information_schema.statistics where table_name = " +
             StringLiteral(name(kParent))),
      ::testing::UnorderedElementsAre("PRIMARY|" + name(kKey), name(kIndex) + "|" + name(kCode)));
  EXPECT_THAT(column("select concat(constraint_name, '|', table_name, '|', column_name, '|', "
                     "referenced_table_name, '|', referenced_column_name) from "
                     "information_schema.key_column_usage where referenced_table_name is not null"),
              ElementsAre(name(kRelation) + "|" + name(kChild) + "|" + name(kKey) + "|" +
                          name(kParent) + "|" + name(kKey)));
  EXPECT_THAT(column("select column_name from information_schema.columns where table_name = " +
                     StringLiteral(name(kView))),
              ElementsAre(name(kCode), name(kKey + " 2")));
}

INSTANTIATE_TEST_SUITE_P(Rules, QuotedNamesTest,
                         ::testing::Values(NameRule::Keep, NameRule::Underscore),
                         [](const ::testing::TestParamInfo<NameRule>& info) {
                           return std::string(NameRuleText(info.param));
                         });

}  // namespace
}  // namespace tablift
