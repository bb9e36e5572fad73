// The character set and storage engine chosen on the target decide what a
// migrated table is made of and which texts arrive.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/target_settings.h"
#include "tests/migration/migration_fixture.h"

namespace tablift::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class CharsetEngineTest : public MigrationTest {
 protected:
  void SetUp() override {
    MigrationTest::SetUp();
    if (HasFatalFailure()) return;
    connect(writeSample(5), "", "InnoDB");
  }

  // Migrates the sample's customers after choosing `charset`; gives the
  // database.
  std::string migrateCustomers(const std::string& charset) {
    const std::string database = createTargetDatabase("charset");
    EXPECT_TRUE(ChangeCharset(window_, charset));
    last_ = migrate("Tables", "Customers", database);
    return database;
  }

  std::string companyOf(const std::string& database, const std::string& code) {
    const auto rows = query("select CompanyName from `" + database +
                            "`.Customers where CustomerCode = '" + code + "'");
    return rows.empty() ? "(missing)" : rows.front();
  }
  std::string count(const std::string& database) {
    return query("select count(*) from `" + database + "`.Customers").at(0);
  }
  std::string createText(const std::string& database) {
    return query(
               "select concat(engine, ' ', table_collation) from information_schema.tables "
               "where table_schema = '" +
               database + "' and table_name = 'Customers'")
        .at(0);
  }

  TaskPtr last_;
};

// Customers cycle through six company names: plain Latin, "O'Brien", one with
// a coffee cup (U+2615), one with backslashes, one in Japanese and one with an
// emoji beyond the Basic Multilingual Plane.
TEST_F(CharsetEngineTest, Latin1RejectsWhatItCannotHoldAndSaysSo) {
  const std::string database = migrateCustomers("LATIN1");
  ASSERT_NE(last_, nullptr);
  EXPECT_EQ(last_->stateText(), kStateFailure);
  EXPECT_EQ(count(database), "15");  // of 30: every name with a cup, Japanese or emoji
  EXPECT_EQ(companyOf(database, "C002"), "O'Brien & Sons 2");
  EXPECT_EQ(companyOf(database, "C005"), "(missing)");
}

TEST_F(CharsetEngineTest, Utf8CarriesNonLatinTextIntact) {
  const std::string database = migrateCustomers("UTF8");
  ASSERT_NE(last_, nullptr);
  EXPECT_EQ(companyOf(database, "C005"), "\xE6\x9D\xB1\xE4\xBA\xAC\xE5\x95\x86\xE4\xBA\x8B 5");
  EXPECT_EQ(companyOf(database, "C003"), "Caf\xC3\xA9 \xE2\x98\x95 M\xC3\xBCller 3");
  EXPECT_THAT(createText(database), HasSubstr("utf8mb3"));
  // MySQL's utf8 holds no emoji: those rows are rejected, not mangled.
  EXPECT_EQ(companyOf(database, "C006"), "(missing)");
  EXPECT_EQ(count(database), "25");
  EXPECT_EQ(last_->stateText(), kStateFailure);
}

TEST_F(CharsetEngineTest, Utf8mb4CarriesEveryText) {
  const std::string database = migrateCustomers("UTF8MB4");
  ASSERT_NE(last_, nullptr);
  EXPECT_EQ(last_->stateText(), kStateSuccess);
  EXPECT_EQ(count(database), "30");
  EXPECT_EQ(companyOf(database, "C006"), "Smile \xF0\x9F\x98\x80 Corp 6");
  EXPECT_THAT(createText(database), HasSubstr("utf8mb4"));
}

TEST_F(CharsetEngineTest, TogglingTheEngineTwiceMakesMyIsamTablesAgain) {
  window_.targetTree().setStorageEngine("MyISAM");
  EXPECT_EQ(ToggleStorageEngine(window_), "InnoDB");
  EXPECT_EQ(window_.targetTree().storageEngine(), "InnoDB");
  std::string database = migrateCustomers("UTF8MB4");
  EXPECT_THAT(createText(database), HasSubstr("InnoDB"));

  EXPECT_EQ(ToggleStorageEngine(window_), "MyISAM");
  database = migrateCustomers("UTF8MB4");
  EXPECT_THAT(createText(database), HasSubstr("MyISAM"));
}

}  // namespace
}  // namespace tablift::test
