// A migration killed with SIGKILL and taken up again with --resume, and a
// resumed run over a target that lost objects: what the target holds is read
// from the server itself, so every row arrives exactly once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/cli/cli_fixture.h"
#include "tests/support/target_connection.h"

namespace tablift::test {
namespace {

using ::testing::HasSubstr;

// 300,000 rows in each big table keep the run short enough for every build,
// yet long enough to be killed in the middle of one.
constexpr std::uint64_t kKilledRows = 300000;

std::string ReadWholeFile(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

long long Number(const std::vector<std::string>& column) {
  return column.empty() ? -1 : std::stoll(column.front());
}

class ResumeTest : public CliTest {
 protected:
  std::vector<std::string> migrate(const std::string& database, const std::string& engine) const {
    std::vector<std::string> arguments = {"migrate", mdb_.string()};
    const std::vector<std::string> server = serverOptions();
    arguments.insert(arguments.end(), server.begin(), server.end());
    arguments.insert(arguments.end(), {"--database", database, "--engine", engine});
    return arguments;
  }
  ProgramRun verify(const std::string& database) const {
    std::vector<std::string> arguments = {"verify", mdb_.string()};
    const std::vector<std::string> server = serverOptions();
    arguments.insert(arguments.end(), server.begin(), server.end());
    arguments.insert(arguments.end(), {"--database", database});
    return cli(arguments);
  }
  long long count(const std::string& sql) { return Number(QueryColumn(window_, sql)); }

  // Every row of the big tables once: as many as Access holds, no key twice.
  void expectEveryRowOnce(const std::string& database) {
    const std::string order = "`" + database + "`.`Order`";
    EXPECT_EQ(count("select count(*) from " + order), static_cast<long long>(kKilledRows));
    EXPECT_EQ(count("select count(distinct OrderId) from " + order),
              static_cast<long long>(kKilledRows));
    const std::string details = "`" + database + "`.`Order Details`";
    EXPECT_EQ(count("select count(*) from " + details), static_cast<long long>(kKilledRows));
    EXPECT_EQ(
        count("select count(*) from (select distinct OrderId, LineNo from " + details + ") k"),
        static_cast<long long>(kKilledRows));
  }

  // Starts the migration and kills it with SIGKILL once the [Order] table
  // has rows under way (on MyISAM: once the target holds some of them).
  void migrateAndKill(const std::string& database, const std::string& engine) {
    const std::filesystem::path output = temp_.path() / "killed-run.txt";
    std::vector<std::string> arguments = migrate(database, engine);
    arguments.insert(arguments.begin(), TABLIFT_CLI_PROGRAM);
    const int child = StartProgram(arguments, output);
    ASSERT_GT(child, 0);
    const std::string order = "`" + database + "`.`Order`";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    bool underWay = false;
    while (!underWay && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      underWay = ReadWholeFile(output).find("[Order] 2000 records converted!") != std::string::npos;
      if (underWay && engine == "MyISAM") underWay = count("select count(*) from " + order) > 0;
    }
    kill(child, SIGKILL);
    EXPECT_EQ(WaitForProgram(child), -1) << "the run ended before it was killed";
    ASSERT_TRUE(underWay) << ReadWholeFile(output);
    killedRows_ = count("select count(*) from " + order);
    EXPECT_LT(killedRows_, static_cast<long long>(kKilledRows));
  }

  std::filesystem::path mdb_;
  long long killedRows_ = 0;
};

TEST_F(ResumeTest, MyIsamTableKilledMidwayContinuesAfterItsHighestKey) {
  mdb_ = sample(kKilledRows);
  const ScratchDatabase database(window_, "resume_myisam");
  migrateAndKill(database.name(), "MyISAM");
  ASSERT_GT(killedRows_, 0) << "MyISAM keeps the rows sent before the kill";

  std::vector<std::string> again = migrate(database.name(), "MyISAM");
  again.push_back("--resume");
  const ProgramRun resumed = cli(again);
  // MyISAM keeps no FOREIGN KEY: the run ends incomplete for that alone.
  EXPECT_THAT(resumed.output, HasSubstr("[Categories] skipped: already holds all its 8 rows"));
  // The statement under way when the program died may still have added rows.
  EXPECT_THAT(resumed.output, ::testing::ContainsRegex("\\[Order\\] continued after key "
                                                       "\\[OrderId\\] = [0-9]+ \\([0-9]+ rows "
                                                       "were there\\)"));
  EXPECT_THAT(resumed.output, ::testing::ContainsRegex("Order +[0-9]+ +[0-9]+ +0 .*continued"));
  expectEveryRowOnce(database.name());
  const ProgramRun verified = verify(database.name());
  EXPECT_EQ(verified.exitCode, 0) << verified.output;
  EXPECT_THAT(verified.output, HasSubstr("8 tables identical, 0 differ"));
}

TEST_F(ResumeTest, InnoDbTableKilledInItsTransactionIsLoadedWhole) {
  mdb_ = sample(kKilledRows);
  const ScratchDatabase database(window_, "resume_innodb");
  migrateAndKill(database.name(), "InnoDB");
  // The server rolled the table's one transaction back.
  EXPECT_EQ(killedRows_, 0);

  std::vector<std::string> again = migrate(database.name(), "InnoDB");
  again.push_back("--resume");
  const ProgramRun resumed = cli(again);
  EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_THAT(resumed.output, HasSubstr("Table [Order] is there already: it is kept"));
  EXPECT_THAT(resumed.output, HasSubstr("[Order] the target table is empty"));
  expectEveryRowOnce(database.name());
  const ProgramRun verified = verify(database.name());
  EXPECT_EQ(verified.exitCode, 0) << verified.output;
  EXPECT_THAT(verified.output, HasSubstr("8 tables identical, 0 differ"));
}

// A whole run, then objects and rows taken away on the target: the resumed
// run makes what is missing and keeps the rest.
TEST_F(ResumeTest, MissingTablesKeysRelationshipsAndViewsAreMadeAndCutRowsLoaded) {
  mdb_ = sample(2000);
  const ScratchDatabase database(window_, "resume_missing");
  const std::string db = "`" + database.name() + "`.";
  const ProgramRun first = cli(migrate(database.name(), "InnoDB"));
  ASSERT_EQ(first.exitCode, 0) << first.output;

  ExecuteOrFail(window_,
                "alter table " + db + "`Order Details` drop foreign key `OrderOrder Details`");
  ExecuteOrFail(window_, "drop index `SKU` on " + db + "`Products`");
  ExecuteOrFail(window_, "drop view " + db + "`Order Lines`");
  ExecuteOrFail(window_, "drop procedure " + db + "`Orders Of Customer`");
  ExecuteOrFail(window_, "drop table " + db + "`Shippers`");
  // A run of the lowest keys is continued; rows with gaps in their keys and
  // a key of two columns are loaded again.
  ExecuteOrFail(window_, "delete from " + db + "`Order Details` order by OrderId desc limit 500");
  ExecuteOrFail(window_, "delete from " + db + "`Awkward Values` where Id % 2 = 0");

  std::vector<std::string> again = migrate(database.name(), "InnoDB");
  again.push_back("--resume");
  const ProgramRun resumed = cli(again);
  EXPECT_EQ(resumed.exitCode, 0) << resumed.output;
  EXPECT_THAT(resumed.output, HasSubstr("Create table [Shippers] SUCCESSFULLY!!!"));
  EXPECT_THAT(resumed.output, HasSubstr("[Order] skipped: already holds all its 2000 rows"));
  EXPECT_THAT(resumed.output,
              HasSubstr("[Order Details] emptied and loaded again: its primary key is not one "
                        "integer column"));
  EXPECT_THAT(resumed.output,
              HasSubstr("[Awkward Values] emptied and loaded again: its 3 rows are not the "
                        "source's rows up to its highest key"));
  EXPECT_THAT(resumed.output, HasSubstr("PRIMARY KEY is there already"));
  // Nothing already there is made twice: the summary counts only what was missing.
  EXPECT_THAT(resumed.output, HasSubstr("Keys: 2 made, 0 left out"));
  EXPECT_THAT(resumed.output, HasSubstr("Foreign keys: 1 made, 0 left out"));

  EXPECT_EQ(count("select count(*) from information_schema.table_constraints where "
                  "table_schema = '" +
                  database.name() + "' and constraint_name = 'OrderOrder Details'"),
            1);
  EXPECT_EQ(count("select count(*) from information_schema.statistics where table_schema = '" +
                  database.name() + "' and index_name = 'SKU'"),
            1);
  const ProgramRun verified = verify(database.name());
  EXPECT_EQ(verified.exitCode, 0) << verified.output;
  EXPECT_THAT(verified.output, HasSubstr("8 tables identical, 0 differ"));
  EXPECT_THAT(verified.output, HasSubstr("[Order Lines] view"));
  EXPECT_THAT(verified.output, HasSubstr("[Orders Of Customer] procedure"));
}

}  // namespace
}  // namespace tablift::test
