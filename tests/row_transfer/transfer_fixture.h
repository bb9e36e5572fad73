#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/scripted_prompter.h"
#include "data_access/db_types.h"
#include "engine/workbench.h"
#include "tests/support/jet_source.h"
#include "tests/support/target_connection.h"
#include "tests/support/test_paths.h"

// Helpers of the row transfer tests: an Access source opened on the
// workbench's source side, target tables made from the source's columns, and
// both sides' rows in one comparable form.
namespace tablift::test {

// A table's rows as the Jet provider reads them, ordered by `orderBy` (Access
// SQL, may be empty), with the result's columns (no bookmark).
struct SourceTable {
  std::vector<ColumnInfo> columns;
  std::vector<std::vector<ColumnValue>> rows;
};
SourceTable ReadSource(Workbench& window, const std::string& table, const std::string& orderBy);

// A MySQL column definition for a Jet result column, written here by hand so
// the tests do not depend on the CREATE TABLE translation.
std::string TargetColumnType(const ColumnInfo& column);

// Creates `table` on the target's current database with the source's columns
// (utf8mb4), the given primary key columns and storage engine (the server's
// default when empty).
void CreateTargetTable(Workbench& window, const std::string& table, const SourceTable& source,
                       const std::vector<std::string>& primaryKey = {},
                       const std::string& engine = "");

// The target table's rows in the order of `orderBy` (MySQL, may be empty),
// each value whole, binary columns as hexadecimal digits.
std::vector<std::vector<ColumnValue>> ReadTarget(Workbench& window, const std::string& table,
                                                 const SourceTable& source,
                                                 const std::string& orderBy);

// A value in the form both sides agree on for its Jet column type: numbers
// without the trailing decimal zeros MySQL adds or drops, reals compared as
// the numbers they are, Yes/No as 1/0. Everything else stays as it is.
std::string Comparable(const ColumnInfo& column, const ColumnValue& value);

// Expects the two row lists to hold the same values, value for value.
void ExpectSameRows(const std::string& table, const SourceTable& source,
                    const std::vector<std::vector<ColumnValue>>& target);

// The log lines without their time stamps.
std::vector<std::string> LogTexts(Workbench& window);

std::vector<std::string> FileLines(const std::filesystem::path& path);

// The fixture tables both transfer paths are checked on: every column type,
// long values, non-ASCII names, tables without a key.
struct FixtureTable {
  const char* file;
  const char* table;
};
const std::vector<FixtureTable>& TransferFixtureTables();

// The sample database, written once per test suite, as the source; a
// scratch database of its own on the private server as the target; the
// current directory (where the scripts go) and the condition file in a
// temporary folder. Suites call WriteSample from their SetUpTestSuite and
// ForgetSample from their TearDownTestSuite.
class SampleTransferTest : public ::testing::Test {
 protected:
  static void WriteSample(std::uint64_t rows);
  static void ForgetSample();
  static std::filesystem::path SamplePath() { return sampleDirectory_->path() / "sample.mdb"; }
  // The Access database name: the path without ".mdb".
  static std::string SampleDatabaseName() { return (sampleDirectory_->path() / "sample").string(); }

  // Connects both sides; the target database's name starts with `prefix`.
  void ConnectSample(const std::string& prefix);

  static ScopedTempDir* sampleDirectory_;
  ScriptedPrompter prompter;
  Workbench window{prompter};
  std::optional<ScratchDatabase> database;
  CurrentDirectoryGuard restoreDirectory;
  ScopedTempDir directory;
};

}  // namespace tablift::test
