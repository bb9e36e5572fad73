#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "data_access/jet/writer/jet_database_writer.h"
#include "tests/jet_writer/libmdb_reading.h"
#include "tests/support/test_paths.h"

namespace tablift::jet {
namespace {

using test::LibmdbDatabase;
using test::RunMdbTool;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

class EmptyDatabaseTest : public ::testing::Test {
 protected:
  std::filesystem::path makeEmpty(const DatabaseOptions& options = {}) {
    const std::filesystem::path path = dir_.path() / "empty.mdb";
    JetDatabaseWriter writer;
    const WriteStatus created = writer.create(path, options);
    EXPECT_TRUE(created.ok()) << created.message();
    const WriteStatus finished = writer.finish();
    EXPECT_TRUE(finished.ok()) << finished.message();
    return path;
  }

  tablift::test::ScopedTempDir dir_;
};

TEST_F(EmptyDatabaseTest, MdbToolsSeeAJet4DatabaseWithoutUserTables) {
  const auto path = makeEmpty();
  EXPECT_EQ(std::filesystem::file_size(path) % 4096, 0u);

  const auto version = RunMdbTool("mdb-ver", {path.string()});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "JET4\n");
  EXPECT_THAT(version.err, IsEmpty());

  const auto tables = RunMdbTool("mdb-tables", {"-1", path.string()});
  EXPECT_EQ(tables.exitCode, 0);
  EXPECT_THAT(tables.out, IsEmpty());
  EXPECT_THAT(tables.err, IsEmpty());

  const auto all = RunMdbTool("mdb-tables", {"-1", "-S", path.string()});
  EXPECT_EQ(all.out, "MSysObjects\nMSysACEs\nMSysQueries\nMSysRelationships\n");
}

TEST_F(EmptyDatabaseTest, LibmdbReadsTheSystemTables) {
  const auto path = makeEmpty({.created = 45000.5, .password = ""});
  LibmdbDatabase mdb(path);
  ASSERT_TRUE(mdb.opened());
  EXPECT_EQ(mdb.jetVersion(), 1);
  EXPECT_THAT(mdb.userTables(), IsEmpty());
  EXPECT_THAT(mdb.systemTables(),
              UnorderedElementsAre("MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"));

  const auto objects = mdb.readTable("MSysObjects");
  ASSERT_TRUE(objects.has_value());
  ASSERT_EQ(objects->columns.size(), 17u);
  EXPECT_EQ(objects->declaredRows, objects->rows.size());
  std::vector<std::string> names;
  for (const auto& row : objects->rows) {
    names.push_back(row[2].text);
    EXPECT_EQ(row[4].text, "2023-03-15 12:00:00");  // DateCreate
  }
  EXPECT_THAT(names, ElementsAre("Tables", "Databases", "Relationships", "MSysDb", "MSysObjects",
                                 "MSysACEs", "MSysQueries", "MSysRelationships"));
  // A system table's id is the page of its definition.
  EXPECT_EQ(objects->rows[4][0].text, "2");

  const auto aces = mdb.readTable("MSysACEs");
  ASSERT_TRUE(aces.has_value());
  EXPECT_EQ(aces->rows.size(), 16u);
  for (const char* empty : {"MSysQueries", "MSysRelationships"}) {
    const auto table = mdb.readTable(empty);
    ASSERT_TRUE(table.has_value()) << empty;
    EXPECT_THAT(table->rows, IsEmpty()) << empty;
  }
}

// The header hides the password under RC4 and a mask taken from the creation
// date; reading it back the documented way proves both are applied.
TEST_F(EmptyDatabaseTest, HeaderKeepsCreationDateAndMaskedPassword) {
  const double created = 44568.67692172454;
  const auto path = makeEmpty({.created = created, .password = "pässword"});
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> page(4096);
  in.read(reinterpret_cast<char*>(page.data()), static_cast<std::streamsize>(page.size()));
  ASSERT_TRUE(in);
  EXPECT_EQ(std::string(page.begin() + 4, page.begin() + 19), "Standard Jet DB");
  EXPECT_EQ(page[0x14], 0x01);

  // RC4 with the well-known header key, done here independently.
  const unsigned char key[4] = {0xC7, 0xDA, 0x39, 0x6B};
  unsigned char state[256];
  for (int i = 0; i < 256; ++i)
    state[i] = static_cast<unsigned char>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + state[i] + key[i % 4]) & 0xFF;
    std::swap(state[i], state[j]);
  }
  for (int n = 0, i = 0, j = 0; n < 128; ++n) {
    i = (i + 1) & 0xFF;
    j = (j + state[i]) & 0xFF;
    std::swap(state[i], state[j]);
    page[0x18 + n] ^= state[(state[i] + state[j]) & 0xFF];
  }
  double stored = 0;
  std::memcpy(&stored, &page[0x72], sizeof stored);
  EXPECT_EQ(stored, created);
  EXPECT_EQ(page[0x3C] | page[0x3D] << 8, 1252);
  EXPECT_EQ(page[0x6E] | page[0x6F] << 8, 0x0409);

  const auto mask = static_cast<std::uint32_t>(static_cast<std::int32_t>(created));
  std::u16string password;
  for (int i = 0; i < 40; i += 2) {
    const auto low = static_cast<unsigned>(page[0x42 + i] ^ ((mask >> (8 * (i % 4))) & 0xFF));
    const auto high =
        static_cast<unsigned>(page[0x43 + i] ^ ((mask >> (8 * ((i + 1) % 4))) & 0xFF));
    if (low == 0 && high == 0) break;
    password.push_back(static_cast<char16_t>(low | high << 8));
  }
  EXPECT_EQ(password, u"pässword");
}

}  // namespace
}  // namespace tablift::jet
