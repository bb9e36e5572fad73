// Damaged ACE files: scribbled-over copies of the plain, complex-column and
// encrypted fixtures, and encryption structures that lie. Every call ends,
// with a result or a failure that says what happened; nothing crashes or
// hangs the program.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

#include "data_access/jet/jet_database.h"
#include "data_access/jet/jet_provider.h"
#include "tests/data_access/jet/jet_test_database.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

using Bytes = std::vector<char>;

Bytes ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Single bytes here and there past the header's first bytes, and a run of
// garbage somewhere.
Bytes Damaged(Bytes bytes, std::mt19937& random, std::size_t from) {
  std::uniform_int_distribution<std::size_t> anywhere(from, bytes.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int i = 0; i < 24; ++i)
    bytes[anywhere(random)] = static_cast<char>(byte(random));
  const std::size_t run = anywhere(random);
  for (std::size_t i = run; i < std::min(bytes.size(), run + 64); ++i)
    bytes[i] = static_cast<char>(byte(random));
  return bytes;
}

// Everything a migration asks of an ACE source: the catalog, each table's
// columns, indexes, details and rows, and the values of its complex columns.
// The number of calls that failed.
int ReadEverything(const std::string& path, const std::string& password) {
  JetConnection connection;
  if (Failed(OpenJet(path, password, connection))) return 1;
  const auto database = JetDatabaseOf(connection.dataSource);
  if (database == nullptr) return 1;
  int failures = 0;
  for (const TableRow& table : ListTables(connection.session)) {
    if (table.tableType == "VIEW") continue;
    ListColumns(connection.session, table.tableName);
    ListIndexes(connection.session, table.tableName);
    if (!RunQuery(connection.session, "select * from [" + table.tableName + "]").error.empty())
      ++failures;
    jet::TableDefinition definition;
    if (Failed(database->describeTable(table.tableName, definition))) {
      ++failures;
      continue;
    }
    for (const jet::ColumnDefinition& column : definition.columns) {
      if (column.type != jet::JetType::Complex) continue;
      std::vector<jet::ComplexValue> values;
      if (Failed(database->complexValues(table.tableName, column.name, values))) ++failures;
    }
  }
  return failures;
}

TEST(JetDamagedAccdbTest, NoDamagedCopyTakesTheProgramDownOrHangsIt) {
  ScopedEnvironment timeLimit("TABLIFT_JET_READER_TIMEOUT_MS", std::string("10000"));
  ScopedTempDir directory;
  std::mt19937 random(20261208);
  const std::pair<const char*, const char*> fixtures[] = {
      {"complex-columns-ace12.accdb", ""},
      {"attachments-ace12.accdb", ""},
      {"encrypted-agile-ace14.accdb", "password"},
  };
  int failedCopies = 0;
  for (const auto& [name, password] : fixtures) {
    TABLIFT_JET_FIXTURE_OR_SKIP(original, name);
    const Bytes bytes = ReadFile(original);
    for (int copy = 0; copy < 12; ++copy) {
      const std::filesystem::path path =
          directory.path() / (std::to_string(copy) + "-" + std::string(name));
      // Past the header's signature: a copy whose first bytes are gone is
      // simply no database.
      WriteFile(path, Damaged(bytes, random, 0x20));
      const auto started = std::chrono::steady_clock::now();
      if (ReadEverything(path.string(), password) > 0) ++failedCopies;
      EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::minutes(2)) << path;
    }
  }
  RecordProperty("copies_with_failed_calls", failedCopies);
}

TEST(JetDamagedAccdbTest, ATruncatedFileFailsWithTheRepairMessage) {
  TABLIFT_JET_FIXTURE_OR_SKIP(original, "complex-columns-ace12.accdb");
  ScopedTempDir directory;
  Bytes bytes = ReadFile(original);
  bytes.resize(4096 * 3);
  const std::filesystem::path path = directory.path() / "cut.accdb";
  WriteFile(path, bytes);
  JetConnection connection;
  std::string error;
  EXPECT_TRUE(Failed(OpenJet(path.string(), "", connection, &error)));
  EXPECT_NE(error.find("needs to be repaired"), std::string::npos) << error;
}

// The encryption structure in the header page: lengths past the page,
// impossible key sizes and damaged descriptors are refused as no database
// of a known kind, or as a password that does not fit; never read past.
TEST(JetDamagedAccdbTest, ALyingEncryptionStructureIsRefused) {
  TABLIFT_JET_FIXTURE_OR_SKIP(original, "encrypted-agile-ace14.accdb");
  ScopedTempDir directory;
  const Bytes bytes = ReadFile(original);
  constexpr std::size_t kInfo = 0x299;
  const auto refused = [&](const Bytes& changed, const std::string& name) {
    const std::filesystem::path path = directory.path() / name;
    WriteFile(path, changed);
    JetConnection connection;
    std::string error;
    EXPECT_TRUE(Failed(OpenJet(path.string(), "password", connection, &error))) << name;
    EXPECT_TRUE(error == "Not a valid password." ||
                error == "Unrecognized database format '" + path.string() + "'.")
        << name << ": " << error;
  };
  Bytes longer = bytes;
  longer[kInfo] = '\xFF';
  longer[kInfo + 1] = '\x7F';
  refused(longer, "length.accdb");
  Bytes keySize = bytes;
  keySize[kInfo + 2 + 12 + 16] = '\x07';  // 7 bits
  refused(keySize, "key-size.accdb");
  Bytes headerSize = bytes;
  headerSize[kInfo + 2 + 8] = '\xF0';  // a header larger than the structure
  refused(headerSize, "header-size.accdb");
  Bytes verifier = bytes;
  verifier[kInfo + 2 + 12 + 126 + 30] ^= 0x01;
  refused(verifier, "verifier.accdb");
  Bytes version = bytes;
  version[kInfo + 2] = '\x04';
  version[kInfo + 4] = '\x04';  // says agile, holds no descriptor
  refused(version, "version.accdb");

  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> within(kInfo + 2, kInfo + 2 + 198 - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int copy = 0; copy < 20; ++copy) {
    Bytes scribbled = bytes;
    for (int i = 0; i < 4; ++i)
      scribbled[within(random)] = static_cast<char>(byte(random));
    const std::filesystem::path path = directory.path() / ("info-" + std::to_string(copy));
    WriteFile(path, scribbled);
    JetConnection connection;
    OpenJet(path.string(), "password", connection);  // any result, but an end
  }
}

}  // namespace
}  // namespace tablift::test
