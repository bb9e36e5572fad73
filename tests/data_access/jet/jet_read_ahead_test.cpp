// The reader process reads a table's next rows while the provider works on
// the rows it sent. Whatever order and sizes the requests come in, each cursor
// must get exactly its own table's rows, in order, and damage must fail the
// same request it failed before rows were read ahead.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include <signal.h>

#include "data_access/error_info.h"
#include "data_access/jet/jet_database.h"
#include "tests/data_access/jet/jet_test_database.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

using jet::JetDatabase;
using jet::Value;
using Rows = std::vector<std::vector<Value>>;

std::shared_ptr<JetDatabase> Open(const std::string& path) {
  std::shared_ptr<JetDatabase> database;
  EXPECT_EQ(JetDatabase::open(path, "", database), S_OK);
  return database;
}

std::string TakeError() {
  const std::optional<ErrorObject> error = TakeThreadErrorObject();
  return error ? error->own.description : std::string();
}

// How a read of the whole table ended: its rows, and the failure's text when
// a request failed.
struct Reading {
  Rows rows;
  std::string failure;
  bool ended = false;
};

// Reads the table to its end (or its first failure) in requests of `wanted`.
Reading ReadInRequestsOf(JetDatabase& database, const std::string& table, std::uint32_t wanted) {
  Reading reading;
  JetDatabase::RowsHandle handle;
  if (database.openRows(table, handle) != S_OK) {
    reading.failure = TakeError();
    return reading;
  }
  Rows batch;
  while (!reading.ended) {
    if (Failed(database.fetchRows(handle, wanted, batch, reading.ended))) {
      reading.failure = TakeError();
      break;
    }
    EXPECT_LE(batch.size(), wanted);
    reading.rows.insert(reading.rows.end(), batch.begin(), batch.end());
  }
  database.closeRows(handle);
  return reading;
}

TEST(JetReadAheadTest, InterleavedCursorsOfDifferentSizesEachGetTheirOwnRowsInOrder) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "northwind-jet3.mdb");
  std::shared_ptr<JetDatabase> database = Open(path);
  ASSERT_TRUE(database);
  const std::vector<std::string> tables = {"Order Details", "Orders", "Shippers"};
  std::map<std::string, Rows> expected;
  for (const std::string& table : tables) {
    const Reading whole = ReadInRequestsOf(*database, table, 100000);
    ASSERT_EQ(whole.failure, "");
    expected[table] = whole.rows;
  }
  ASSERT_EQ(expected["Order Details"].size(), 2155u);
  ASSERT_EQ(expected["Shippers"].size(), 3u);

  // Sizes that go up and down, so that requests take fewer rows than were
  // read ahead, more than were, and none at all.
  const std::vector<std::uint32_t> sizes = {256, 5, 1, 300, 0, 64, 256, 7};
  std::map<std::string, JetDatabase::RowsHandle> handles;
  std::map<std::string, Reading> read;
  for (const std::string& table : tables)
    ASSERT_EQ(database->openRows(table, handles[table]), S_OK);
  Rows batch;
  for (std::size_t round = 0; read["Order Details"].ended == false; ++round) {
    ASSERT_LT(round, 1000u);
    for (std::size_t t = 0; t < tables.size(); ++t) {
      Reading& reading = read[tables[t]];
      const std::uint32_t wanted = sizes[(round + 3 * t) % sizes.size()];
      bool end = false;
      ASSERT_EQ(database->fetchRows(handles[tables[t]], wanted, batch, end), S_OK) << TakeError();
      ASSERT_LE(batch.size(), wanted);
      // The end is said only once fewer rows than asked for are left, and
      // again to every request for rows after it.
      if (end) {
        EXPECT_LT(batch.size(), wanted);
      }
      if (reading.ended) {
        EXPECT_TRUE(batch.empty());
        EXPECT_EQ(end, wanted > 0);
      }
      reading.ended = reading.ended || end;
      reading.rows.insert(reading.rows.end(), batch.begin(), batch.end());
      // Other requests between fetches leave the rows read ahead alone.
      JetDatabase::RowsHandle another;
      ASSERT_EQ(database->openRows(tables[(t + 1) % tables.size()], another), S_OK);
      database->closeRows(another);
    }
  }
  for (const std::string& table : tables) {
    database->closeRows(handles[table]);
    EXPECT_EQ(read[table].rows, expected[table]) << table;
  }
}

TEST(JetReadAheadTest, ClosingDropsTheRowsReadAheadAndAReopenedTableStartsAgain) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "northwind-jet3.mdb");
  std::shared_ptr<JetDatabase> database = Open(path);
  ASSERT_TRUE(database);
  const Rows expected = ReadInRequestsOf(*database, "Orders", 100000).rows;
  ASSERT_EQ(expected.size(), 830u);

  JetDatabase::RowsHandle first;
  JetDatabase::RowsHandle other;
  ASSERT_EQ(database->openRows("Orders", first), S_OK);
  ASSERT_EQ(database->openRows("Orders", other), S_OK);
  Rows batch;
  bool end = false;
  ASSERT_EQ(database->fetchRows(first, 10, batch, end), S_OK);
  ASSERT_EQ(database->fetchRows(other, 3, batch, end), S_OK);
  database->closeRows(first);
  EXPECT_TRUE(Failed(database->fetchRows(first, 10, batch, end)));
  EXPECT_NE(TakeError().find("the table is no longer open"), std::string::npos);
  EXPECT_TRUE(batch.empty());

  // The other cursor of the same table goes on where it stopped.
  ASSERT_EQ(database->fetchRows(other, 4, batch, end), S_OK);
  EXPECT_EQ(batch, Rows(expected.begin() + 3, expected.begin() + 7));
  database->closeRows(other);

  JetDatabase::RowsHandle again;
  ASSERT_EQ(database->openRows("Orders", again), S_OK);
  ASSERT_EQ(database->fetchRows(again, 2, batch, end), S_OK);
  EXPECT_EQ(batch, Rows(expected.begin(), expected.begin() + 2));
  database->closeRows(again);
}

TEST(JetReadAheadTest, AReaderLostBetweenFetchesFailsTheCursorsNextFetchNotOtherRequests) {
  TABLIFT_JET_FIXTURE_OR_SKIP(path, "northwind-jet3.mdb");
  std::shared_ptr<JetDatabase> database = Open(path);
  ASSERT_TRUE(database);
  JetDatabase::RowsHandle handle;
  ASSERT_EQ(database->openRows("Orders", handle), S_OK);
  Rows batch;
  bool end = false;
  ASSERT_EQ(database->fetchRows(handle, 10, batch, end), S_OK);
  // As if libmdb had failed an assertion while reading the next rows.
  const std::vector<pid_t> readers = ReaderProcesses();
  ASSERT_EQ(readers.size(), 1u);
  ::kill(readers[0], SIGABRT);

  jet::TableDefinition shippers;
  EXPECT_EQ(database->describeTable("Shippers", shippers), S_OK) << TakeError();
  EXPECT_TRUE(Failed(database->fetchRows(handle, 10, batch, end)));
  EXPECT_NE(TakeError().find("signal 6"), std::string::npos);
  database->closeRows(handle);
  EXPECT_EQ(ReadInRequestsOf(*database, "Orders", 256).rows.size(), 830u);
}

std::uint32_t Little32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

TEST(JetReadAheadTest, ADamagedRowFailsTheRequestItFallsInAndNoEarlierOne) {
  TABLIFT_JET_FIXTURE_OR_SKIP(original, "northwind-jet3.mdb");
  std::string bytes = ReadWholeFile(original);
  // Jet 3 data pages (type 1) name their table's definition page at offset
  // 4 (long-value pages have "LVAL" there). Every page of a user table but
  // its first gets a row table whose second entry points outside the page.
  constexpr std::size_t kPage = 2048;
  const std::size_t pages = bytes.size() / kPage;
  std::map<std::uint32_t, std::vector<std::size_t>> dataPages;
  for (std::size_t page = 1; page < pages; ++page) {
    const std::uint32_t definition = Little32(bytes, page * kPage + 4);
    // MSysObjects (definition page 2) must stay whole for the file to open.
    if (bytes[page * kPage] == 1 && definition > 2 && definition < pages)
      dataPages[definition].push_back(page);
  }
  for (const auto& [definition, tablePages] : dataPages) {
    for (std::size_t i = 1; i < tablePages.size(); ++i) {
      const std::size_t at = tablePages[i] * kPage;
      bytes[at + 0x0C] = static_cast<char>(0xFF);  // the second row's offset
      bytes[at + 0x0D] = static_cast<char>(0x0F);
    }
  }
  ScopedTempDir directory;
  const std::filesystem::path path = directory.path() / "rows.mdb";
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

  std::shared_ptr<JetDatabase> database = Open(path.string());
  ASSERT_TRUE(database);
  // One row per request finds the damaged row's place.
  const Reading singly = ReadInRequestsOf(*database, "Order Details", 1);
  ASSERT_NE(singly.failure.find("needs to be repaired"), std::string::npos) << singly.failure;
  ASSERT_NE(singly.failure.find("is damaged"), std::string::npos) << singly.failure;
  ASSERT_GT(singly.rows.size(), 10u);
  for (const std::uint32_t wanted : {10u, 256u, 4096u}) {
    const Reading reading = ReadInRequestsOf(*database, "Order Details", wanted);
    EXPECT_EQ(reading.failure, singly.failure);
    // The request holding the damaged row gives none of its rows.
    EXPECT_EQ(reading.rows.size(), singly.rows.size() / wanted * wanted) << wanted;
    EXPECT_EQ(reading.rows,
              Rows(singly.rows.begin(),
                   singly.rows.begin() + static_cast<std::ptrdiff_t>(reading.rows.size())));
  }
  // The other tables still read whole.
  EXPECT_EQ(ReadInRequestsOf(*database, "Shippers", 2).rows.size(), 3u);
}

}  // namespace
}  // namespace tablift::test
