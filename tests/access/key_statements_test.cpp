// Primary keys and unique indexes read from real Access files and turned
// into MySQL statements.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/index_answer.h"
#include "access/index_reader.h"
#include "access/sample_database.h"
#include "core/scripted_prompter.h"
#include "data_access/jet/writer/jet_database_writer.h"
#include "engine/workbench.h"
#include "tests/support/jet_source.h"
#include "tests/support/test_paths.h"
#include "translate/key_statements.h"

namespace tablift {
namespace {

using ::testing::HasSubstr;

std::string AllLines(Workbench& window) {
  std::string all;
  for (const LogLine& line : window.output().lines())
    all += line.text + "\n";
  return all;
}

TEST(IndexAnswerTest, ACompositeKeyBecomesOneStatementWithItsFieldsInKeyOrder) {
  EXPECT_EQ(PrimaryKeyStatementFromAnswer("T", "PrimaryKey``A,B"),
            "alter table `T` add PRIMARY KEY (`A`,`B`)\n");
  EXPECT_EQ(PrimaryKeyStatementFromAnswer("T", ""), "");
  EXPECT_EQ(PrimaryKeyStatementFromAnswer("T", "no separator"), "");
}

TEST(IndexAnswerTest, NamesWithCommasAndBackquotesSurviveTheAnswer) {
  const std::string answer = IndexAnswerEntryText("by a,b`c", {"x,y", "z`", "100%25"}) +
                             std::string(kIndexEntrySeparator) +
                             IndexAnswerEntryText("Plain", {"Single"});
  const std::vector<IndexAnswerEntry> entries = ParseIndexAnswer(answer);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "by a,b`c");
  EXPECT_EQ(entries[0].fields, (std::vector<std::string>{"x,y", "z`", "100%25"}));
  EXPECT_EQ(entries[1].name, "Plain");
  EXPECT_EQ(UniqueIndexStatementsFromAnswer("Order", answer),
            "CREATE UNIQUE INDEX `by a,b``c` ON `Order` (`x,y`,`z```,`100%25`);\n"
            "CREATE UNIQUE INDEX `Plain` ON `Order` (`Single`)\n");
}

TEST(IndexAnswerTest, AUniqueIndexCalledPrimaryGetsANameMySqlAccepts) {
  EXPECT_EQ(UniqueIndexStatementsFromAnswer("T", "Primary``Code"),
            "CREATE UNIQUE INDEX `Primary_unique` ON `T` (`Code`)\n");
}

// A database written for these tests: a table named with a reserved word,
// a composite primary key, two unique indexes, a plain index and the index
// behind a relationship.
class WrittenKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = directory_.path() / "keys.mdb";
    jet::JetDatabaseWriter writer;
    ASSERT_TRUE(writer.create(path_));
    jet::TableDesign parent{"Parent",
                            {{"Id", jet::JetType::Long}, {"Name", jet::JetType::Text, 20}},
                            std::nullopt,
                            {{"PrimaryKey", {{"Id", true}}, true, true, false, true}}};
    jet::TableDesign order{
        "Order",
        {{"A", jet::JetType::Long},
         {"B", jet::JetType::Text, 10},
         {"Code", jet::JetType::Text, 10},
         {"Serial, No", jet::JetType::Long},
         {"Note", jet::JetType::Text, 50},
         {"ParentId", jet::JetType::Long}},
        std::nullopt,
        {{"PrimaryKey", {{"A", true}, {"B", true}}, true, true, false, true},
         {"Code", {{"Code", true}}, false, true, false, false},
         {"Serial, unique", {{"Serial, No", true}, {"Code", false}}, false, true, false, false},
         {"Note", {{"Note", true}}, false, false, false, false}}};
    ASSERT_TRUE(writer.addTable(
        {"Loose", {{"Text", jet::JetType::Text, 10}}, std::nullopt, {{"Text", {{"Text", true}}}}}));
    ASSERT_TRUE(writer.addTable(parent));
    ASSERT_TRUE(writer.addTable(order));
    ASSERT_TRUE(writer.addRelationship(
        {"ParentOrder", "Order", {"ParentId"}, "Parent", {"Id"}, true, false, false}));
    ASSERT_TRUE(writer.finish());
    ASSERT_TRUE(test::ConnectSource(window_, path_));
  }

  std::string database() const { return test::AccessDatabaseName(path_); }

  test::ScopedTempDir directory_;
  std::filesystem::path path_;
  ScriptedPrompter prompter_;
  Workbench window_{prompter_};
};

TEST_F(WrittenKeysTest, ThePrimaryKeyIsReadWithItsFieldsInKeyOrder) {
  // The statements need both sides present; the target is not used.
  Session* source = window_.sourceSession();
  EXPECT_EQ(BuildPrimaryKeyStatement(window_, source, source, window_.migrationSettings(),
                                     database(), "Order")
                .value(),
            "alter table `Order` add PRIMARY KEY (`A`,`B`)\n");
  EXPECT_EQ(BuildPrimaryKeyStatement(window_, source, source, window_.migrationSettings(),
                                     database(), "Parent")
                .value(),
            "alter table `Parent` add PRIMARY KEY (`Id`)\n");
  // A table with a plain index only has neither.
  EXPECT_EQ(BuildPrimaryKeyStatement(window_, source, source, window_.migrationSettings(),
                                     database(), "Loose")
                .value(),
            "");
  EXPECT_EQ(BuildUniqueIndexStatement(window_, source, source, window_.migrationSettings(),
                                      database(), "Loose")
                .value(),
            "");
  EXPECT_EQ(window_.output().size(), 0u);
}

TEST_F(WrittenKeysTest, EveryUniqueIndexBecomesAStatementButNotTheKeyOrTheRelationshipIndex) {
  Session* source = window_.sourceSession();
  EXPECT_EQ(BuildUniqueIndexStatement(window_, source, source, window_.migrationSettings(),
                                      database(), "Order")
                .value(),
            "CREATE UNIQUE INDEX `Code` ON `Order` (`Code`);\n"
            "CREATE UNIQUE INDEX `Serial, unique` ON `Order` (`Serial, No`,`Code`)\n");
  EXPECT_EQ(BuildUniqueIndexStatement(window_, source, source, window_.migrationSettings(),
                                      database(), "Parent")
                .value(),
            "");
}

TEST_F(WrittenKeysTest, ADatabaseNameInLowerCaseStillFindsItsFile) {
  std::filesystem::path upper = directory_.path() / "Keys Upper.MDB";
  std::filesystem::copy_file(path_, upper);
  ASSERT_TRUE(test::ConnectSource(window_, upper));
  std::string lower = upper.string();
  lower.resize(lower.size() - 4);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  Session* source = window_.sourceSession();
  EXPECT_EQ(BuildPrimaryKeyStatement(window_, source, source, window_.migrationSettings(), lower,
                                     "Parent")
                .value(),
            "alter table `Parent` add PRIMARY KEY (`Id`)\n");
}

TEST_F(WrittenKeysTest, MissingSessionsAreRefusedWithoutReading) {
  const MigrationSettings settings = window_.migrationSettings();
  EXPECT_EQ(
      BuildPrimaryKeyStatement(window_, nullptr, window_.sourceSession(), settings, database(), "T")
          .message(),
      "No Source Connection!");
  EXPECT_EQ(BuildUniqueIndexStatement(window_, window_.sourceSession(), nullptr, settings,
                                      database(), "T")
                .message(),
            "No Target Connection!");
  const std::string lines = AllLines(window_);
  EXPECT_THAT(lines, HasSubstr("No Source Connection!"));
  EXPECT_THAT(lines, HasSubstr("No Target Connection!"));
}

TEST_F(WrittenKeysTest, AReadFailureIsOneProviderLineAndNoStatement) {
  Session* source = window_.sourceSession();
  EXPECT_EQ(BuildPrimaryKeyStatement(window_, source, source, window_.migrationSettings(),
                                     database(), "NoSuchTable")
                .value(),
            "");
  MigrationSettings gone = window_.migrationSettings();
  gone.sourceFile = database() + "-gone.mdb";
  EXPECT_EQ(BuildPrimaryKeyStatement(window_, source, source, gone, database(), "Order").value(),
            "");
  const std::vector<LogLine> lines = window_.output().lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].textColour, kProviderOrange);
  EXPECT_THAT(lines[0].text, HasSubstr("NoSuchTable"));
}

TEST_F(WrittenKeysTest, ReadersStartedOneAfterAnotherEachSeeTheirOwnAnswer) {
  for (int i = 0; i < 20; ++i) {
    IndexRequest request;
    request.job = &window_;
    request.kind = i % 2 == 0 ? IndexKind::PrimaryKey : IndexKind::Unique;
    request.path = path_.string();
    request.table = i % 2 == 0 ? "Order" : "Parent";
    ASSERT_TRUE(RunIndexReader(request));
    EXPECT_EQ(request.answer, i % 2 == 0 ? "PrimaryKey``A,B" : "");
  }
}

TEST(SampleKeysTest, TheSampleDatabasesKeysAndUniqueIndexes) {
  test::ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "sample.mdb";
  SampleSummary summary;
  ASSERT_TRUE(WriteSampleDatabase(path, 20, summary));
  ScriptedPrompter prompter;
  Workbench window(prompter);
  ASSERT_TRUE(test::ConnectSource(window, path));
  Session* source = window.sourceSession();
  const std::string database = test::AccessDatabaseName(path);
  EXPECT_EQ(BuildPrimaryKeyStatement(window, source, source, window.migrationSettings(), database,
                                     "Order Details")
                .value(),
            "alter table `Order Details` add PRIMARY KEY (`OrderId`,`LineNo`)\n");
  EXPECT_EQ(BuildUniqueIndexStatement(window, source, source, window.migrationSettings(), database,
                                      "Products")
                .value(),
            "CREATE UNIQUE INDEX `SKU` ON `Products` (`SKU`)\n");
  // Country is indexed, but not uniquely.
  EXPECT_EQ(BuildUniqueIndexStatement(window, source, source, window.migrationSettings(), database,
                                      "Customers")
                .value(),
            "");
}

TEST(FixtureKeysTest, NorthwindsCompositeKeyAndAPasswordProtectedFile) {
  const auto fixtures = test::FixturesDirectory();
  if (!fixtures) GTEST_SKIP() << "no fixtures";
  ScriptedPrompter prompter;
  Workbench window(prompter);
  ASSERT_TRUE(test::ConnectSource(window, *fixtures / "northwind-jet3.mdb"));
  Session* source = window.sourceSession();
  const std::string northwind = test::AccessDatabaseName(*fixtures / "northwind-jet3.mdb");
  EXPECT_EQ(BuildPrimaryKeyStatement(window, source, source, window.migrationSettings(), northwind,
                                     "Order Details")
                .value(),
            "alter table `Order Details` add PRIMARY KEY (`OrderID`,`ProductID`)\n");

  // The password protected file is read with the source's password; a wrong
  // one is the engine's complaint, not an empty answer.
  ASSERT_TRUE(test::ConnectSource(window, *fixtures / "password-jet4.mdb", "password"));
  source = window.sourceSession();
  const std::string locked = test::AccessDatabaseName(*fixtures / "password-jet4.mdb");
  const std::size_t before = window.output().size();
  BuildPrimaryKeyStatement(window, source, source, window.migrationSettings(), locked, "Table1")
      .value();
  EXPECT_EQ(window.output().size(), before) << AllLines(window);
  window.sourceProfile().password = "wrong";
  BuildPrimaryKeyStatement(window, source, source, window.migrationSettings(), locked, "Table1")
      .value();
  ASSERT_EQ(window.output().size(), before + 1);
  EXPECT_EQ(window.output().lastLine().textColour, kProviderOrange);
}

}  // namespace
}  // namespace tablift
