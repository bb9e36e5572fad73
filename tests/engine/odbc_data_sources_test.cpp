#include "engine/odbc_data_sources.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/test_paths.h"

namespace tablift {
namespace {

using test::ScopedEnvironment;
using test::ScopedTempDir;

// Each test runs in a process of its own, so the driver manager reads these
// private files rather than whatever it read first.
class OdbcDataSourcesTest : public ::testing::Test {
 protected:
  OdbcDataSourcesTest() {
    std::ofstream(directory.path() / "odbcinst.ini")
        << "[MariaDB Unicode]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so\n"
           "[MDBTools]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libmdbodbc.so\n";
    std::ofstream(directory.path() / "odbc.ini")
        << "[shop]\nDriver=MySQL ODBC 3.51 Driver\n"
           "[maria]\nDriver=MariaDB Unicode\n"
           "[payroll]\nDriver=SQL Server\n"
           "[Nordwind]\nDriver=Microsoft Access Driver (*.mdb)\n"
           "[alte_daten]\nDriver=Driver do Microsoft Access (*.mdb)\n";
    std::ofstream(directory.path() / "user.ini") << "[archive]\nDriver=MDBTools\n"
                                                    "[Accounts]\nDriver=MySQL ODBC 5.1 Driver\n";
  }

  ScopedTempDir directory;
  ScopedEnvironment system{"ODBCSYSINI", directory.path().string()};
  ScopedEnvironment user{"ODBCINI", (directory.path() / "user.ini").string()};
};

TEST_F(OdbcDataSourcesTest, MySqlListsSourcesOfMySqlAndMariaDbDriversSorted) {
  EXPECT_EQ(ListOdbcDataSources("mysql"), (std::vector<std::string>{"Accounts", "maria", "shop"}));
  EXPECT_EQ(ListOdbcDataSources("MySQL"), ListOdbcDataSources("mysql"));
}

TEST_F(OdbcDataSourcesTest, AccessListsSourcesOfAccessDriversIncludingMdbTools) {
  EXPECT_EQ(ListOdbcDataSources("Access"),
            (std::vector<std::string>{"alte_daten", "archive", "Nordwind"}));
}

TEST_F(OdbcDataSourcesTest, OtherDbmsListsNothing) {
  EXPECT_TRUE(ListOdbcDataSources("MSSQL").empty());
  EXPECT_EQ(ListAllOdbcDataSources().size(), 7u);
}

}  // namespace
}  // namespace tablift
