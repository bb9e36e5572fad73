// Damaged copies of a real database: whatever a damaged file makes libmdb do,
// the program goes on and every call ends, either with a result or with a
// failure that says what happened.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include <signal.h>
#include <sys/stat.h>

#include "data_access/error_texts.h"
#include "data_access/jet/reader_process.h"
#include "tests/data_access/jet/jet_test_database.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Scribbles over a copy the way damage does: single bytes here and there,
// and a run of garbage somewhere past the header.
std::vector<char> Damaged(std::vector<char> bytes, std::mt19937& random) {
  std::uniform_int_distribution<std::size_t> anywhere(0x80, bytes.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int i = 0; i < 24; ++i)
    bytes[anywhere(random)] = static_cast<char>(byte(random));
  const std::size_t run = anywhere(random);
  for (std::size_t i = run; i < std::min(bytes.size(), run + 64); ++i)
    bytes[i] = static_cast<char>(byte(random));
  return bytes;
}

struct Outcome {
  int calls = 0;
  int failures = 0;
};

// Everything the migration would ask of a source: the catalog, every table's
// columns and indexes, and every table's rows.
Outcome ReadEverything(const std::string& path) {
  Outcome outcome;
  JetConnection connection;
  ++outcome.calls;
  if (Failed(OpenJet(path, "", connection))) {
    ++outcome.failures;
    return outcome;
  }
  for (const TableRow& table : ListTables(connection.session)) {
    if (table.tableType == "VIEW") continue;
    outcome.calls += 3;
    ColumnsRowset columns;
    if (columns.open(connection.session, {}, {}, table.tableName) != S_OK) ++outcome.failures;
    IndexesRowset indexes;
    if (indexes.open(connection.session, {}, {}, {}, {}, table.tableName) != S_OK)
      ++outcome.failures;
    if (!RunQuery(connection.session, "select * from [" + table.tableName + "]").error.empty())
      ++outcome.failures;
  }
  return outcome;
}

TEST(JetDamagedFileTest, NoDamagedCopyTakesTheProgramDownOrHangsIt) {
  TABLIFT_JET_FIXTURE_OR_SKIP(original, "northwind-jet3.mdb");
  // The reliability measurement sets a larger count; the suite keeps to a few.
  int copies = 12;
  if (const char* configured = std::getenv("TABLIFT_DAMAGED_COPIES"))
    copies = std::atoi(configured);
  ScopedEnvironment timeLimit("TABLIFT_JET_READER_TIMEOUT_MS", std::string("10000"));
  const std::vector<char> bytes = ReadFile(original);
  ScopedTempDir directory;
  std::mt19937 random(20240611);
  int failedCopies = 0;
  for (int copy = 0; copy < copies; ++copy) {
    const std::filesystem::path path =
        directory.path() / ("damaged-" + std::to_string(copy) + ".mdb");
    WriteFile(path, Damaged(bytes, random));
    const auto started = std::chrono::steady_clock::now();
    const Outcome outcome = ReadEverything(path.string());
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GT(outcome.calls, 0);
    EXPECT_LT(took, std::chrono::minutes(2)) << path;
    if (outcome.failures > 0) ++failedCopies;
  }
  RecordProperty("copies_with_failed_calls", failedCopies);
}

// The files of a folder of damaged databases, when one is named: the
// reliability measurement points TABLIFT_DAMAGED_DIR at its corpus.
TEST(JetDamagedFileTest, EveryFileOfADamagedCorpusEndsEveryCall) {
  const char* folder = std::getenv("TABLIFT_DAMAGED_DIR");
  if (folder == nullptr) GTEST_SKIP() << "TABLIFT_DAMAGED_DIR names no corpus";
  int files = 0;
  int failedFiles = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const auto started = std::chrono::steady_clock::now();
    const Outcome outcome = ReadEverything(entry.path().string());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::minutes(2)) << entry.path();
    ++files;
    if (outcome.failures > 0) ++failedFiles;
  }
  RecordProperty("files", files);
  RecordProperty("files_with_failed_calls", failedFiles);
}

TEST(JetDamagedFileTest, ATruncatedFileFailsWithTheRepairMessage) {
  TABLIFT_JET_FIXTURE_OR_SKIP(original, "northwind-jet3.mdb");
  std::vector<char> bytes = ReadFile(original);
  bytes.resize(2048 * 3);  // header, first map page and MSysObjects' definition
  ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "cut.mdb";
  WriteFile(path, bytes);
  JetConnection connection;
  std::string error;
  EXPECT_TRUE(Failed(OpenJet(path.string(), "", connection, &error)));
  EXPECT_NE(error.find("needs to be repaired or isn't a database file"), std::string::npos)
      << error;
}

TEST(JetDamagedFileTest, ADamagedTableFailsAloneAndTheOthersStillRead) {
  TABLIFT_JET_FIXTURE_OR_SKIP(original, "northwind-jet3.mdb");
  std::vector<char> bytes = ReadFile(original);
  // Products' table definition is page 567: make its column count absurd.
  constexpr std::size_t kPage = 567 * 2048;
  bytes[kPage + 25] = static_cast<char>(0xFF);
  bytes[kPage + 26] = static_cast<char>(0x7F);
  ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "products.mdb";
  WriteFile(path, bytes);
  JetConnection connection;
  ASSERT_EQ(OpenJet(path.string(), "", connection), S_OK);
  EXPECT_EQ(ListTables(connection.session, "TABLE").size(), 9u);

  ColumnsRowset columns;
  EXPECT_TRUE(Failed(columns.open(connection.session, {}, {}, "Products")));
  EXPECT_NE(DescribeOleDbError(&columns, InterfaceId::IDBSchemaRowset).find("Products"),
            std::string::npos);
  const QueryRows products = RunQuery(connection.session, "select * from Products");
  EXPECT_NE(products.error.find("needs to be repaired"), std::string::npos) << products.error;
  const QueryRows shippers = RunQuery(connection.session, "select * from Shippers");
  EXPECT_EQ(shippers.error, "");
  EXPECT_EQ(shippers.rows.size(), 3u);
}

TEST(JetReaderProcessTest, AReaderThatDiesFailsOneCallAndTheNextCallReadsAgain) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "northwind-jet3.mdb");
  JetConnection connection;
  ASSERT_EQ(OpenJet(path, "", connection), S_OK);
  const std::vector<pid_t> readers = ReaderProcesses();
  ASSERT_EQ(readers.size(), 1u);
  // SIGABRT, as a failed assertion in libmdb would raise: the sanitizer
  // builds catch SIGSEGV for their own report, so it would not arrive as sent.
  ::kill(readers[0], SIGABRT);

  const QueryRows interrupted = RunQuery(connection.session, "select * from Shippers");
  EXPECT_NE(interrupted.error.find("needs to be repaired"), std::string::npos);
  EXPECT_NE(interrupted.error.find("signal 6"), std::string::npos) << interrupted.error;

  const QueryRows again = RunQuery(connection.session, "select * from Shippers");
  EXPECT_EQ(again.error, "");
  EXPECT_EQ(again.rows.size(), 3u);
}

TEST(JetReaderProcessTest, AReaderOutlivesTheThreadThatStartedIt) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "northwind-jet3.mdb");
  JetConnection connection;
  std::thread([&] { ASSERT_EQ(OpenJet(path, "", connection), S_OK); }).join();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const QueryRows shippers = RunQuery(connection.session, "select * from Shippers");
  EXPECT_EQ(shippers.error, "");
  EXPECT_EQ(shippers.rows.size(), 3u);
}

TEST(JetReaderProcessTest, AReaderThatHangsIsStoppedAfterTheTimeLimit) {
  ScopedTempDir directory;
  const std::string fifo = (directory.path() / "hangs.mdb").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ScopedEnvironment timeLimit("TABLIFT_JET_READER_TIMEOUT_MS", std::string("300"));
  // libmdb waits for a writer that never comes.
  std::string firstAnswer;
  std::string problem;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(jet::ReaderProcess::start(fifo, firstAnswer, problem), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(problem, "the reader process did not answer in time");
  EXPECT_TRUE(ReaderProcesses().empty());
}

}  // namespace
}  // namespace tablift::test
