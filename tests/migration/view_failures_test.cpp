// A saved query that does not become a view is reported once, with the
// reason right before its failure line: the server's text, or what could
// not be translated.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data_access/jet/writer/jet_database_writer.h"
#include "tests/migration/migration_fixture.h"

namespace tablift::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class ViewFailuresTest : public MigrationTest {
 protected:
  std::filesystem::path writeDatabase() {
    const std::filesystem::path path = temp_.path() / (UniqueName("views") + ".mdb");
    jet::JetDatabaseWriter writer;
    EXPECT_TRUE(writer.create(path).ok());
    EXPECT_TRUE(writer
                    .addTable({"Products",
                               {{.name = "Id", .type = jet::JetType::Long},
                                {.name = "Name", .type = jet::JetType::Text, .size = 50}}})
                    .ok());
    EXPECT_TRUE(writer.appendRow("Products", {std::int64_t{1}, std::string("chai")}).ok());
    // Catalog order (by name) puts each reader before what it reads.
    const std::vector<jet::QueryDesign> queries = {
        // An Access function MySQL does not have: the translation refuses it.
        {.name = "Proper Names",
         .tables = {{"Products", ""}},
         .columns = {{"StrConv([Name], 3)", "Proper"}}},
        // Reads the refused one: refused too, however often it is tried.
        {.name = "Apt Names", .tables = {{"Proper Names", ""}}, .columns = {{"Proper", ""}}},
        // "All Names" reads a view that arrives, but only after it in the
        // catalog.
        {.name = "Plain Names", .tables = {{"Products", ""}}, .columns = {{"Name", ""}}},
        {.name = "All Names", .tables = {{"Plain Names", ""}}, .columns = {{"Name", ""}}},
        // A form's control: a procedure's parameter.
        {.name = "Asked Names",
         .tables = {{"Products", ""}},
         .columns = {{"Name", ""}},
         .where = "Name = [Forms]![Picker]![Wanted]"},
    };
    for (const jet::QueryDesign& query : queries) {
      const jet::WriteStatus added = writer.addQuery(query);
      EXPECT_TRUE(added.ok()) << query.name << ": " << added.message();
    }
    EXPECT_TRUE(writer.finish().ok());
    return path;
  }

  // The line right before `line` in the log, its colour's prefix put back.
  std::string lineBefore(const std::string& line) {
    const std::vector<std::string> texts = markedLogTexts();
    const auto at = std::find(texts.begin(), texts.end(), line);
    if (at == texts.end() || at == texts.begin()) return {};
    return *(at - 1);
  }
};

TEST_F(ViewFailuresTest, EachFailureIsReportedOnceRightAfterItsReason) {
  connect(writeDatabase(), "", "InnoDB");
  if (HasFatalFailure()) return;
  const std::string database = createTargetDatabase("views");
  ASSERT_NE(migrate("Tables", "", database), nullptr);
  const TaskPtr task = migrate("Views", "", database);
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->stateText(), kStateFailure);

  // The views that read others were created after them: the one that could
  // arrive did, at the first try.
  EXPECT_THAT(targetTables(database, true), ElementsAre("All Names", "Plain Names"));
  std::vector<std::string> failures;
  for (const std::string& line : logTexts()) {
    if (line.find("failure") != std::string::npos) failures.push_back(line);
  }
  EXPECT_THAT(failures, ElementsAre("Create VIEW [Proper Names] failure!!!",
                                    "Create VIEW [Apt Names] failure!!!"));
  EXPECT_THAT(lineBefore("Create VIEW [Proper Names] failure!!!"),
              StartsWith("E::VIEW [Proper Names] cannot become a MySQL view: StrConv has no "
                         "MySQL counterpart"));
  EXPECT_THAT(lineBefore("Create VIEW [Apt Names] failure!!!"),
              AllOf(StartsWith("E::VIEW [Apt Names] was refused by the server: "),
                    HasSubstr("Proper Names")));
  EXPECT_THAT(logTexts(), ::testing::Contains("Create PROCEDURE [Asked Names] SUCCESSFULLY!!!"));
  EXPECT_THAT(logTexts(), ::testing::Contains("Queries: 2 views, 1 procedures, 2 left out"));
}

}  // namespace
}  // namespace tablift::test
