// The summary that ends a migration run, on the terminal and as JSON.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>

#include "engine/json_value.h"
#include "engine/run_report.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

using ::testing::HasSubstr;

RunSummary TwoTables() {
  RunSummary summary;
  summary.tables.push_back(TableSummary{.name = "Order Details",
                                        .rowsRead = 120,
                                        .rowsWritten = 118,
                                        .rowsRefused = 2,
                                        .seconds = 1.25,
                                        .status = TableStatus::Incomplete,
                                        .reason = "2 of 120 records were not accepted\r\nmore"});
  summary.tables.push_back(TableSummary{.name = "Say \"hi\"\\\t",
                                        .rowsRead = 5,
                                        .rowsWritten = 5,
                                        .rowsRefused = 0,
                                        .seconds = 0.5,
                                        .status = TableStatus::Migrated,
                                        .reason = {}});
  summary.keys.made = 3;
  summary.foreignKeys.leftOut.push_back({"Order Details", "the MyISAM storage engine keeps no"});
  summary.keys.leftOut.push_back({"Shippers: unique index", "[ma-3.1.15][10.11]Duplicate entry"});
  summary.views.made = 2;
  summary.procedures.leftOut.push_back({"Orders Of", "a parameter of no type"});
  summary.started = 1796752915.118;  // 2026-12-08T18:01:55.118Z
  summary.finished = 1796752925.5;
  summary.source = "/data/shop.mdb";
  summary.target = "127.0.0.1:3306/shop";
  return summary;
}

TEST(RunReport, TheTextHasALinePerTableATotalAndTheOtherObjectsWithReasons) {
  const std::string text = SummaryText(TwoTables());
  // The reason in a few words: its first line only.
  EXPECT_THAT(text, ::testing::ContainsRegex(
                        "Order Details +120 +118 +2 +1\\.25 +INCOMPLETE +2 of 120 records "
                        "were not accepted\n"));
  EXPECT_THAT(text, ::testing::ContainsRegex("Total +125 +123 +2 +10\\.38 +INCOMPLETE +1 of 2 "
                                             "tables whole\n"));
  // The driver's and server's tags say nothing to the reader of the table.
  EXPECT_THAT(text, HasSubstr("Keys: 3 made, 1 left out\n  Shippers: unique index: Duplicate "
                              "entry\n"));
  EXPECT_THAT(text, HasSubstr("Foreign keys: 0 made, 1 left out\n  Order Details: the MyISAM"));
  EXPECT_THAT(text, HasSubstr("Views: 2 made, 0 left out\n"));
  EXPECT_THAT(text, HasSubstr("Procedures: 0 made, 1 left out\n  Orders Of: a parameter"));
}

// A name with non-ASCII letters takes as many places as it has characters:
// the numbers after it stay in their columns.
TEST(RunReport, ColumnsLineUpAfterNonAsciiNames) {
  RunSummary summary = TwoTables();
  summary.tables[1].name = "Ums\xC3\xA4tze";
  const std::string text = SummaryText(summary);
  const auto column = [&](const std::string& start) {
    const std::size_t line = text.find(start);
    // Numbers are right-aligned: their last digit marks the column.
    const std::size_t digits = text.find_first_of("0123456789", line + start.size());
    const std::size_t number = text.find_first_not_of("0123456789", digits);
    std::size_t places = 0;
    for (std::size_t i = line; i < number; ++i)
      places += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    return places;
  };
  EXPECT_EQ(column("Ums\xC3\xA4tze"), column("Total"));
}

// The file the window's Save writes: the header, then the same table.
TEST(RunReport, TheTextFileHasTheHeaderAndTheSummary) {
  const ScopedTempDir temp;
  const auto file = temp.path() / "summary.txt";
  ASSERT_TRUE(WriteSummaryText(file, TwoTables()).ok());
  std::ifstream in(file);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text,
            "Source: /data/shop.mdb\nTarget: 127.0.0.1:3306/shop\n"
            "Started: 2026-12-08T18:01:55.118Z\nFinished: 2026-12-08T18:02:05.500Z\n\n" +
                SummaryText(TwoTables()));
  EXPECT_FALSE(WriteSummaryText(temp.path() / "no" / "such" / "folder.txt", TwoTables()).ok());
  EXPECT_FALSE(SummaryIsEmpty(TwoTables()));
  EXPECT_TRUE(SummaryIsEmpty(RunSummary{}));
}

TEST(RunReport, TheJsonCarriesEveryFieldWithItsTextEscaped) {
  const std::string json = SummaryJson(TwoTables());
  EXPECT_THAT(json, HasSubstr("{\"name\":\"Order Details\",\"rows_read\":120,\"rows_written\":"
                              "118,\"rows_refused\":2,\"seconds\":1.250,\"status\":\"INCOMPLETE\","
                              "\"reason\":\"2 of 120 records were not accepted\\r\\nmore\"}"));
  EXPECT_THAT(json, HasSubstr("\"name\":\"Say \\\"hi\\\"\\\\\\t\""));
  EXPECT_THAT(json,
              HasSubstr("\"keys\":{\"made\":3,\"left_out\":[{\"name\":\"Shippers: "
                        "unique index\",\"reason\":\"[ma-3.1.15][10.11]Duplicate entry\"}]}"));
  EXPECT_THAT(json, HasSubstr("\"foreign_keys\":{\"made\":0,\"left_out\":[{\"name\":\"Order "
                              "Details\",\"reason\":\"the MyISAM storage engine keeps no\"}]}"));
  EXPECT_THAT(json, HasSubstr("\"started\":\"2026-12-08T18:01:55.118Z\""));
  EXPECT_THAT(json, HasSubstr("\"finished\":\"2026-12-08T18:02:05.500Z\""));
  EXPECT_THAT(json, HasSubstr("\"source\":\"/data/shop.mdb\",\"target\":\"127.0.0.1:3306/shop\"}"));
}

TEST(RunReport, TheJsonReadsBackAsTheSummaryItWasWrittenFrom) {
  const RunSummary written = TwoTables();
  const Result<RunSummary> read = ReadSummaryJson(SummaryJson(written));
  ASSERT_TRUE(read.ok()) << read.message();
  const RunSummary& summary = read.value();
  ASSERT_EQ(summary.tables.size(), 2u);
  EXPECT_EQ(summary.tables[0].name, "Order Details");
  EXPECT_EQ(summary.tables[0].rowsWritten, 118);
  EXPECT_EQ(summary.tables[0].status, TableStatus::Incomplete);
  EXPECT_EQ(summary.tables[0].reason, written.tables[0].reason);
  EXPECT_EQ(summary.tables[1].name, written.tables[1].name);
  EXPECT_EQ(summary.tables[1].status, TableStatus::Migrated);
  EXPECT_EQ(summary.keys.made, 3);
  ASSERT_EQ(summary.keys.leftOut.size(), 1u);
  EXPECT_EQ(summary.keys.leftOut[0].reason, "[ma-3.1.15][10.11]Duplicate entry");
  EXPECT_EQ(summary.procedures.leftOut[0].name, "Orders Of");
  EXPECT_EQ(summary.target, written.target);
}

TEST(RunReport, AReportCutShortOrOfAnotherShapeIsRefused) {
  const std::string json = SummaryJson(TwoTables());
  EXPECT_FALSE(ReadSummaryJson(json.substr(0, json.size() / 2)).ok());
  EXPECT_FALSE(ReadSummaryJson("{\"files\":[]}").ok());
  EXPECT_FALSE(ReadSummaryJson("").ok());
  // Nesting beyond any report's is refused rather than followed.
  EXPECT_FALSE(ReadSummaryJson(std::string(100000, '[')).ok());
}

// Other programs' JSON writers escape what this one writes as it is.
TEST(RunReport, JsonEscapesNumbersAndLiteralsReadAsWritten) {
  const Result<JsonValue> read = ParseJson(
      "{\"a\":\"\\u00e9\\ud83d\\ude00\\/\",\"n\":-1.5e2,\"t\":true,\"f\":false,\"z\":null,"
      "\"l\":[1,[2]]}");
  ASSERT_TRUE(read.ok()) << read.message();
  const JsonValue& json = read.value();
  EXPECT_EQ(json["a"].text, "\u00e9\U0001F600/");
  EXPECT_EQ(json["n"].number, -150);
  EXPECT_TRUE(json["t"].boolean);
  EXPECT_EQ(json["f"].kind, JsonValue::Kind::Boolean);
  EXPECT_FALSE(json["f"].boolean);
  EXPECT_EQ(json["z"].kind, JsonValue::Kind::Null);
  EXPECT_EQ(json["l"].items.at(1).items.at(0).number, 2);
  EXPECT_EQ(json["missing"]["deeper"].kind, JsonValue::Kind::Null);
  EXPECT_FALSE(ParseJson("{\"a\":1} trailing").ok());
  EXPECT_FALSE(ParseJson("{\"a\":\"\\x\"}").ok());
}

using RunSummaryOfMigrate = CliTest;

// The counts of the report against the server's own, on MyISAM, whose
// tables keep no foreign keys: those are reported left out with the reason.
TEST_F(RunSummaryOfMigrate, TheReportMatchesTheServerAndNamesWhatWasLeftOut) {
  const std::string database = "cli_report_" + std::to_string(::getpid());
  ExecuteOrFail(window_, "DROP DATABASE IF EXISTS `" + database + "`");
  const std::filesystem::path report = temp_.path() / "report.json";
  std::vector<std::string> arguments{"migrate", sample(300).string(), "--database",
                                     database,  "--create",           "--engine",
                                     "MyISAM",  "--report",           report.string()};
  for (const std::string& option : serverOptions())
    arguments.push_back(option);
  const ProgramRun run = cli(arguments);
  // Relationships on MyISAM make the task a FAILURE.
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_THAT(run.output, ::testing::ContainsRegex("\nTotal +[0-9]+ +[0-9]+ +0 "));

  const std::string json = ReadWholeFile(report);
  const std::regex table(
      "\\{\"name\":\"([^\"]*)\",\"rows_read\":([0-9]+),\"rows_written\":([0-9]+),"
      "\"rows_refused\":([0-9]+),\"seconds\":[0-9.]+,\"status\":\"SUCCESS\",\"reason\":\"\"\\}");
  std::map<std::string, std::string> written;
  for (auto match = std::sregex_iterator(json.begin(), json.end(), table);
       match != std::sregex_iterator(); ++match) {
    EXPECT_EQ((*match)[2], (*match)[3]) << (*match)[1];
    EXPECT_EQ((*match)[4], "0");
    written[(*match)[1]] = (*match)[3];
  }
  const std::vector<std::string> tables = QueryColumn(
      window_, "SELECT table_name FROM information_schema.tables WHERE table_schema = '" +
                   database + "' AND table_type = 'BASE TABLE'");
  ASSERT_EQ(written.size(), tables.size()) << json;
  for (const std::string& name : tables) {
    EXPECT_EQ(QueryColumn(window_, "SELECT COUNT(*) FROM `" + database + "`.`" + name + "`"),
              std::vector<std::string>{written[name]})
        << name;
  }
  EXPECT_EQ(written["Order"], "300");
  EXPECT_THAT(json, ::testing::ContainsRegex(
                        "\"foreign_keys\":\\{\"made\":0,\"left_out\":\\[\\{\"name\":\"[^\"]+\","
                        "\"reason\":\"the MyISAM storage engine keeps no FOREIGN KEY\"\\}"));
  EXPECT_THAT(json, HasSubstr("\"views\":{\"made\":5,\"left_out\":[]}"));
  EXPECT_THAT(json, HasSubstr("\"procedures\":{\"made\":1,\"left_out\":[]}"));
  EXPECT_THAT(json, HasSubstr("\"target\":\"" + server_->host + ":" +
                              std::to_string(server_->port) + "/" + database + "\"}"));
  ExecuteOrFail(window_, "DROP DATABASE IF EXISTS `" + database + "`");
}

TEST_F(RunSummaryOfMigrate, AReportThatCannotBeWrittenFailsTheRun) {
  const std::string database = "cli_noreport_" + std::to_string(::getpid());
  ExecuteOrFail(window_, "DROP DATABASE IF EXISTS `" + database + "`");
  std::vector<std::string> arguments{
      "migrate",  sample(10).string(), "--database",
      database,   "--create",          "--table",
      "Shippers", "--report",          (temp_.path() / "no" / "such" / "r.json").string()};
  for (const std::string& option : serverOptions())
    arguments.push_back(option);
  const ProgramRun run = cli(arguments);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.output, HasSubstr("cannot write " + (temp_.path() / "no").string()));
  // The summary is still shown.
  EXPECT_THAT(run.output, ::testing::ContainsRegex("\nShippers +3 +3 +0 "));
  ExecuteOrFail(window_, "DROP DATABASE IF EXISTS `" + database + "`");
}

TEST_F(RunSummaryOfMigrate, QuietShowsOnlyErrorsAndTheSummary) {
  const std::string database = "cli_quiet_" + std::to_string(::getpid());
  ExecuteOrFail(window_, "DROP DATABASE IF EXISTS `" + database + "`");
  std::vector<std::string> arguments{"migrate",  sample(10).string(), "--database", database,
                                     "--create", "--table",           "Shippers",   "--quiet"};
  for (const std::string& option : serverOptions())
    arguments.push_back(option);
  const ProgramRun run = cli(arguments);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_THAT(run.output, ::testing::Not(HasSubstr("Create table")));
  EXPECT_THAT(run.output, ::testing::Not(HasSubstr("tasks done")));
  EXPECT_THAT(run.output, ::testing::ContainsRegex("\nShippers +3 +3 +0 "));
  ExecuteOrFail(window_, "DROP DATABASE IF EXISTS `" + database + "`");
}

}  // namespace
}  // namespace tablift::test
