// migrate with several Access files or a folder: each file cloned into a
// database named after it, --jobs at a time, one line per file at the end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "access/source_init_properties.h"
#include "engine/json_value.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;

class ManyFilesMigrate : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    if (HasFatalFailure()) return;
    fixtures_ = FixturesDirectory();
    if (!fixtures_) GTEST_SKIP() << "no Access fixtures beside the repository";
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    for (const std::string& database : databases_)
      ExecuteOrFail(window_, "DROP DATABASE IF EXISTS `" + database + "`");
  }

  // A copy of the fixture in the test's folder under a name of this test
  // process's own, so that its database is the test's own; the database is
  // dropped at the end.
  std::filesystem::path copy(const std::string& fixture, const std::string& stem,
                             const std::string& ending) {
    const std::filesystem::path file =
        folder_ / ("mf" + std::to_string(::getpid()) + "_" + stem + ending);
    std::filesystem::copy_file(*fixtures_ / fixture, file);
    // The clone's rule: the ending comes off only as Access writes it.
    databases_.push_back(AccessDatabaseName(file.filename().string()));
    return file;
  }

  ProgramRun migrate(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), "migrate");
    for (const std::string& option : serverOptions())
      arguments.push_back(option);
    return cli(arguments);
  }

  std::string count(const std::string& database, const std::string& table) {
    const std::vector<std::string> rows =
        QueryColumn(window_, "SELECT COUNT(*) FROM `" + database + "`.`" + table + "`");
    return rows.empty() ? std::string("0") : rows.front();
  }

  bool databaseExists(const std::string& database) {
    return !QueryColumn(window_,
                        "SELECT schema_name FROM information_schema.schemata WHERE "
                        "schema_name = '" +
                            database + "'")
                .empty();
  }

  std::optional<std::filesystem::path> fixtures_;
  std::filesystem::path folder_ = temp_.path() / "access files";
  std::vector<std::string> databases_;
};

TEST_F(ManyFilesMigrate, ThreeFilesTwoAtATimeEachArriveWholeWithOneReport) {
  const std::vector<std::filesystem::path> files{
      copy("types-jet3.mdb", "jet3", ".mdb"), copy("keys-relationships-jet4.mdb", "keys", ".mdb"),
      copy("types-ace12.accdb", "ace12", ".accdb")};
  const std::filesystem::path report = temp_.path() / "all.json";
  const ProgramRun run = migrate({files[0].string(), files[1].string(), files[2].string(), "--jobs",
                                  "2", "--report", report.string()});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  // Every file's own log is labelled with its name.
  const std::string third = files[2].filename().string() + ": ";
  EXPECT_THAT(run.output, ContainsRegex(third + "[0-9/: ]+Access file format: ACE 12"));
  // Two at a time: the third file starts only when one of the first two ended.
  EXPECT_LT(run.output.find(": Procedures: "), run.output.find(third)) << run.output;

  const Result<JsonValue> json = ParseJson(ReadWholeFile(report));
  ASSERT_TRUE(json.ok()) << json.message();
  const std::vector<JsonValue>& reported = json.value()["files"].items;
  ASSERT_EQ(reported.size(), 3u);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& database = databases_[i];
    const JsonValue& file = reported[i];
    EXPECT_EQ(file["file"].text, files[i].string());
    EXPECT_EQ(file["database"].text, database);
    EXPECT_EQ(file["status"].text, "SUCCESS");
    // The file's own report, with the server's counts.
    std::int64_t rows = 0;
    for (const JsonValue& table : file["report"]["tables"].items) {
      EXPECT_EQ(QueryColumn(window_,
                            "SELECT COUNT(*) FROM `" + database + "`.`" + table["name"].text + "`"),
                std::vector<std::string>{
                    std::to_string(static_cast<std::int64_t>(table["rows_written"].number))})
          << database << "." << table["name"].text;
      rows += static_cast<std::int64_t>(table["rows_written"].number);
    }
    const std::size_t tables = file["report"]["tables"].items.size();
    EXPECT_GT(tables, 0u);
    EXPECT_THAT(run.output, ContainsRegex("\n" + files[i].filename().string() + " \u2192 " +
                                          database + ": SUCCESS, " + std::to_string(tables) +
                                          " tables, " + std::to_string(rows) + " rows, "));
    // Each file's run keeps the statements it sent in a folder of its own:
    // files side by side have tables of the same name ("Table1").
    const std::string script =
        ReadWholeFile(temp_.path() / "data_cache" / database / "Table1.data");
    std::size_t inserts = 0;
    for (std::size_t at = script.find("insert into "); at != std::string::npos;
         at = script.find("insert into ", at + 1))
      ++inserts;
    EXPECT_EQ(inserts, static_cast<std::size_t>(std::stoll(count(database, "Table1")))) << database;
    // And the command's own comparison with the Access file.
    std::vector<std::string> verify{"verify", files[i].string(), "--database", database};
    for (const std::string& option : serverOptions())
      verify.push_back(option);
    const ProgramRun verified = cli(verify);
    EXPECT_EQ(verified.exitCode, 0) << verified.output;
    EXPECT_THAT(verified.output, HasSubstr(" 0 differ"));
  }
}

TEST_F(ManyFilesMigrate, AFolderGivesItsAccessFilesAndADamagedOneFailsAlone) {
  const std::filesystem::path good = copy("types-ace12.accdb", "good", ".ACCDB");
  const std::filesystem::path other = copy("decimal-jet4.mdb", "other", ".mdb");
  // The head of a real file: its header page and nothing after.
  const std::filesystem::path damaged = folder_ / ("mf" + std::to_string(::getpid()) + "_cut.mdb");
  {
    std::ifstream in(*fixtures_ / "numeric-jet4.mdb", std::ios::binary);
    std::string head(8192, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    std::ofstream(damaged, std::ios::binary) << head;
  }
  std::ofstream(folder_ / "notes.txt") << "no database\n";
  std::filesystem::create_directories(folder_ / "inner");
  std::filesystem::copy_file(*fixtures_ / "types-jet3.mdb", folder_ / "inner" / "deeper.mdb");

  const ProgramRun run = migrate({folder_.string(), "--jobs", "3", "--quiet"});
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_THAT(run.output, ContainsRegex("\n" + damaged.filename().string() +
                                        " \u2192 [^:]+: FAILURE, cannot open the Access file"));
  EXPECT_THAT(run.output, ContainsRegex("\n" + other.filename().string() + " \u2192 " +
                                        databases_[1] + ": SUCCESS, 1 tables, 1 rows"));
  EXPECT_THAT(run.output, HasSubstr("\n" + good.filename().string() + " \u2192 " + databases_[0] +
                                    ": SUCCESS, 4 tables, 2 rows"));
  // Only the folder's own Access files, in name order.
  EXPECT_THAT(run.output, Not(HasSubstr("notes.txt")));
  EXPECT_THAT(run.output, Not(HasSubstr("deeper.mdb")));
  EXPECT_THAT(run.output, ContainsRegex("cut.mdb \u2192 [^\n]*\n[^\n]*good.ACCDB \u2192 [^\n]*\n"
                                        "[^\n]*other.mdb \u2192 "));
  EXPECT_TRUE(databaseExists(databases_[0]));
  EXPECT_TRUE(databaseExists(databases_[1]));
}

TEST_F(ManyFilesMigrate, RunsThatCannotBeWhatTheyAskAreRefusedBeforeAnyFile) {
  const std::filesystem::path mdb = copy("types-jet3.mdb", "twin", ".mdb");
  const std::filesystem::path accdb = mdb.parent_path() / (mdb.stem().string() + ".accdb");
  std::filesystem::copy_file(*fixtures_ / "types-ace12.accdb", accdb);

  const ProgramRun twins = migrate({folder_.string()});
  EXPECT_EQ(twins.exitCode, 1);
  EXPECT_THAT(twins.output,
              HasSubstr(accdb.string() + " and " + mdb.string() +
                        " would both be cloned into the database [" + databases_[0] + "]"));
  EXPECT_FALSE(databaseExists(databases_[0]));

  const ProgramRun named = migrate({mdb.string(), accdb.string(), "--database", "shop"});
  EXPECT_EQ(named.exitCode, 2);
  EXPECT_THAT(named.output, HasSubstr("--database names one target database"));

  const ProgramRun jobs = migrate({mdb.string(), "--jobs", "none"});
  EXPECT_EQ(jobs.exitCode, 2);
  EXPECT_THAT(jobs.output, HasSubstr("--jobs takes a number of files from 1"));

  std::filesystem::create_directories(temp_.path() / "empty");
  const ProgramRun empty = migrate({(temp_.path() / "empty").string()});
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_THAT(empty.output, HasSubstr("holds no .mdb or .accdb file"));
  EXPECT_FALSE(databaseExists(databases_[0]));
}

}  // namespace
}  // namespace tablift::test
