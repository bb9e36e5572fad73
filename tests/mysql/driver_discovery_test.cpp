// Which MySQL ODBC drivers the target side finds, and whether it calls them
// usable, read by the real libodbcinst from odbcinst.ini files that each test
// writes. The answers come from fresh processes (see fresh_process.h).

#include <sql.h>
#include <sqlext.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "mysql/driver_installation_report.h"
#include "mysql/mysql_odbc_drivers.h"
#include "mysql/odbc_library_files.h"
#include "tests/mysql/fresh_process.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProviderUsable =
    "Microsoft OLE DB Provider for ODBC Drivers|Installed|Usable|";
constexpr const char* kNoMySqlDriver = "MySQL ODBC Driver|Not installed|Unusable|";

const FreshProcessQuestion kFoundDrivers("found MySQL ODBC drivers", [] {
  return "1=" + FindMySqlOdbcDriver(1) + " 2=" + FindMySqlOdbcDriver(2) +
         " 3=" + FindMySqlOdbcDriver(3);
});

const FreshProcessQuestion kReport("driver installation report",
                                   [] { return CheckDriverInstallation(); });

// Whether the driver manager itself can load the first driver: a connection
// attempt to a closed port fails either in the driver (it was loaded) or in
// the driver manager with "Can't open lib" (state 01000, then IM003).
const FreshProcessQuestion kManagerLoadsFirstDriver("driver manager loads", [] {
  const std::string driver = ReadRegisteredOdbcDrivers().at(0).name;
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  std::string text = "Driver={" + driver + "};SERVER=127.0.0.1;PORT=1;UID=nobody;PWD=x";
  SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, nullptr, 0,
                   nullptr, SQL_DRIVER_NOPROMPT);
  bool loaded = true;
  SQLCHAR state[6] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  for (SQLSMALLINT record = 1; SQL_SUCCEEDED(
           SQLGetDiagRec(SQL_HANDLE_DBC, dbc, record, state, &native, nullptr, 0, &length));
       ++record) {
    const std::string code(reinterpret_cast<char*>(state));
    if (code == "01000" || code == "IM003") loaded = false;
  }
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  return std::string(loaded ? "loaded" : "not loaded") + ", found " + FindMySqlOdbcDriver(1);
});

class DriverDiscovery : public ::testing::Test {
 protected:
  // An odbcinst.ini in the test's directory; "@" stands for that directory.
  void writeConfiguration(std::string text) {
    for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
      text.replace(at, 1, dir_.path().string());
    }
    std::ofstream(dir_.path() / "odbcinst.ini") << text;
  }

  // A file standing in for a library: discovery asks only whether it exists.
  void makeLibrary(const std::string& relative) {
    fs::create_directories((dir_.path() / relative).parent_path());
    std::ofstream(dir_.path() / relative) << "not really a library";
  }

  std::string ask(const FreshProcessQuestion& question, EnvironmentChanges extra = {}) {
    EnvironmentChanges changes = OdbcConfigurationIn(dir_.path().string());
    changes.insert(changes.end(), extra.begin(), extra.end());
    return question.ask(changes);
  }

  ScopedTempDir dir_;
};

TEST_F(DriverDiscovery, WithoutMySqlDriverNothingIsFoundAndTheReportSaysSo) {
  // No odbcinst.ini at all.
  EXPECT_EQ(ask(kFoundDrivers), "1= 2= 3=");
  EXPECT_EQ(ask(kReport), std::string(kProviderUsable) + kNoMySqlDriver);

  makeLibrary("lib/libmdbodbc.so");
  writeConfiguration(
      "[ODBC]\nTrace=No\n\n"
      "[MDBTools]\nDescription=MDBTools Driver\nDriver=@/lib/libmdbodbc.so\n");
  EXPECT_EQ(ask(kFoundDrivers), "1= 2= 3=");
  EXPECT_EQ(ask(kReport), std::string(kProviderUsable) + kNoMySqlDriver);
}

TEST_F(DriverDiscovery, OnlyMySqlDriversAreCountedInConfigurationOrder) {
  makeLibrary("lib/libmdbodbc.so");
  makeLibrary("lib/libmaodbc.so");
  writeConfiguration(
      "[MDBTools]\nDriver=@/lib/libmdbodbc.so\n\n"
      "[MySQL ODBC 3.51 Driver]\nDriver=@/lib/myodbc3-missing.so\n\n"
      "[MariaDB Unicode]\nDriver=@/lib/libmaodbc.so\n");

  // The first MySQL driver is unusable, and that is the end of the first try:
  // only the second may be named.
  EXPECT_EQ(ask(kFoundDrivers), "1= 2=MariaDB Unicode 3=");
  EXPECT_EQ(ask(kReport), std::string(kProviderUsable) +
                              "MySQL ODBC 3.51 Driver|Installed|Unusable|"
                              "MariaDB Unicode|Installed|Usable|");
}

TEST_F(DriverDiscovery, LibraryValuesAreReadAsTheDriverManagerReadsThem) {
  makeLibrary("lib/libmaodbc.so");
  makeLibrary("lib/libmaodbcS.so");
  writeConfiguration(
      // Key names in any case.
      "[MariaDB lower keys]\ndriver=@/lib/libmaodbc.so\nSETUP=@/lib/libmaodbcS.so\n\n"
      // A declared configuration library must exist too.
      "[MariaDB missing setup]\nDriver=@/lib/libmaodbc.so\nSetup=@/lib/absent.so\n\n"
      // A 64-bit driver manager loads Driver64 before Driver.
      "[MariaDB 64]\nDriver64=@/lib/absent64.so\nDriver=@/lib/libmaodbc.so\n");

  EXPECT_EQ(ask(kReport), std::string(kProviderUsable) +
                              "MariaDB lower keys|Installed|Usable|"
                              "MariaDB missing setup|Installed|Unusable|"
                              "MariaDB 64|Installed|Unusable|");
}

TEST_F(DriverDiscovery, EnvironmentReferencesInLibraryPathsAreExpanded) {
  makeLibrary("drivers/libmaodbc.so");
  writeConfiguration(
      "[MariaDB by variable]\nDriver=%TABLIFT_TEST_DRIVERS%/libmaodbc.so\n\n"
      "[MariaDB in profile]\nDriver=%USERPROFILE%/drivers/libmaodbc.so\n\n"
      "[MariaDB by unset variable]\nDriver=%TABLIFT_TEST_UNSET%/libmaodbc.so\n");

  // HOME is the test's directory; without USERPROFILE the profile is HOME.
  EXPECT_EQ(ask(kReport, {{"TABLIFT_TEST_DRIVERS", (dir_.path() / "drivers").string()},
                          {"TABLIFT_TEST_UNSET", std::nullopt},
                          {"USERPROFILE", std::nullopt}}),
            std::string(kProviderUsable) +
                "MariaDB by variable|Installed|Usable|"
                "MariaDB in profile|Installed|Usable|"
                "MariaDB by unset variable|Installed|Unusable|");
}

// Debian registers MariaDB's driver as "Driver=libmaodbc.so"; such a bare name
// is usable exactly when the driver manager can find the library.
TEST_F(DriverDiscovery, BareLibraryNamesAreFoundWhereTheDriverManagerFindsThem) {
  writeConfiguration("[MariaDB Unicode]\nDriver=libmaodbc.so\n");
  EXPECT_EQ(ask(kManagerLoadsFirstDriver), "loaded, found MariaDB Unicode");

  writeConfiguration("[MariaDB Unicode]\nDriver=libtablift-absent-driver.so\n");
  EXPECT_EQ(ask(kManagerLoadsFirstDriver), "not loaded, found ");

  // A library only on LD_LIBRARY_PATH: the real driver under another name.
  const std::optional<fs::path> real = ResolveOdbcLibrary("libmaodbc.so");
  ASSERT_TRUE(real) << "MariaDB Connector/ODBC (odbc-mariadb) is not installed";
  fs::create_directories(dir_.path() / "private");
  fs::copy_file(*real, dir_.path() / "private/libtablift-private-maodbc.so");
  writeConfiguration("[MariaDB private]\nDriver=libtablift-private-maodbc.so\n");
  EXPECT_EQ(ask(kManagerLoadsFirstDriver), "not loaded, found ");
  EXPECT_EQ(
      ask(kManagerLoadsFirstDriver, {{"LD_LIBRARY_PATH", (dir_.path() / "private").string()}}),
      "loaded, found MariaDB private");
}

TEST(MySqlOdbcDriverRecognition, ByNameOrByConnectorLibrary) {
  auto isMySql = [](std::string name, std::string library) {
    return IsMySqlOdbcDriver({std::move(name), true, std::move(library), ""});
  };
  EXPECT_TRUE(isMySql("MySQL ODBC 8.0 Unicode Driver", "/usr/lib/libmyodbc8w.so"));
  EXPECT_TRUE(isMySql("MariaDB Unicode", "libmaodbc.so"));
  EXPECT_TRUE(isMySql("Connector", "/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so"));
  EXPECT_TRUE(isMySql("Old setup", "C:\\Windows\\System32\\myodbc3.dll"));
  // MySQL's own names are matched as written.
  EXPECT_FALSE(isMySql("mysql odbc", "/usr/lib/driver.so"));
  EXPECT_FALSE(isMySql("PostgreSQL Unicode", "psqlodbcw.so"));
}

// A listed driver whose section cannot be read cannot be produced with a real
// libodbcinst (it reads every file it can list, and the tests run as root), so
// the report is checked on the record such a read gives.
TEST(DriverInstallationReport, KeepsThreeFieldsPerComponent) {
  const std::vector<RegisteredOdbcDriver> drivers = {
      {"MySQL ODBC 3.51 Driver", false, "", ""},
      {"MDBTools", true, "libmdbodbc.so", ""},
  };
  EXPECT_EQ(DescribeDriverInstallation(true, drivers),
            std::string(kProviderUsable) + "MySQL ODBC 3.51 Driver|Not Installed|Unusable|");
  // Without the driver manager there is nothing more to say.
  EXPECT_EQ(DescribeDriverInstallation(false, drivers),
            "Microsoft OLE DB Provider for ODBC Drivers|Installed|Unusable|");
}

}  // namespace
}  // namespace tablift::test
