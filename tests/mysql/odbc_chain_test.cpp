// The path every target connection takes: unixODBC's driver manager loads
// MariaDB Connector/ODBC by the name in odbcinst.ini, and the driver talks to
// the private server over TCP. If any link is missing or misconfigured, these
// tests say which one before the target layer's own tests fail obscurely.

#include <sql.h>
#include <sqlext.h>

#include <fstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/private_server.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

using ::testing::HasSubstr;

std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::string text;
  SQLCHAR state[6];
  SQLCHAR message[1024];
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  for (SQLSMALLINT record = 1; SQL_SUCCEEDED(
           SQLGetDiagRec(type, handle, record, state, &native, message, sizeof message, &length));
       ++record) {
    text +=
        std::string(reinterpret_cast<char*>(state)) + " " + reinterpret_cast<char*>(message) + "\n";
  }
  return text;
}

// One environment and connection handle pair, freed in the right order.
class OdbcConnection {
 public:
  OdbcConnection() {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
    // A refused or unreachable server must end the attempt, not hang the test.
    SQLSetConnectAttr(dbc_, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(10), 0);
  }
  ~OdbcConnection() {
    if (connected_) SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    SQLFreeHandle(SQL_HANDLE_ENV, env_);
  }
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  SQLRETURN Connect(const std::string& connection_string) {
    SQLCHAR out[1024];
    SQLSMALLINT out_length = 0;
    SQLRETURN rc = SQLDriverConnect(
        dbc_, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(connection_string.c_str())),
        SQL_NTS, out, sizeof out, &out_length, SQL_DRIVER_NOPROMPT);
    connected_ = SQL_SUCCEEDED(rc);
    return rc;
  }

  std::string Diagnostics() const { return test::Diagnostics(SQL_HANDLE_DBC, dbc_); }

  std::string Info(SQLUSMALLINT type) const {
    char value[256] = {};
    SQLSMALLINT length = 0;
    SQLGetInfo(dbc_, type, value, sizeof value, &length);
    return value;
  }

  // Runs a statement and returns the first column of its first row ("" when
  // there is none), or "error: " and the diagnostics.
  std::string Run(const std::string& sql) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt);
    std::string result;
    SQLSMALLINT columns = 0;
    SQLRETURN rc =
        SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
    if (!SQL_SUCCEEDED(rc)) {
      result = "error: " + test::Diagnostics(SQL_HANDLE_STMT, stmt);
    } else if (SQLNumResultCols(stmt, &columns) == SQL_SUCCESS && columns > 0 &&
               SQLFetch(stmt) == SQL_SUCCESS) {
      char value[512] = {};
      SQLLEN indicator = 0;
      SQLGetData(stmt, 1, SQL_C_CHAR, value, sizeof value, &indicator);
      result = indicator == SQL_NULL_DATA ? "NULL" : value;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return result;
  }

 private:
  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
};

class OdbcChain : public ::testing::Test {
 protected:
  void SetUp() override {
    auto found = PrivateServerFromEnvironment();
    ASSERT_TRUE(found) << "no private server: run through ctest (mariadb fixture) or set "
                          "TABLIFT_MARIADB_DIR to a directory used by scripts/mariadb-local start";
    server_ = *found;
  }

  PrivateServer server_;
};

TEST_F(OdbcChain, DriverManagerLoadsMariaDbDriverWhichReachesThePrivateServer) {
  OdbcConnection connection;
  ASSERT_TRUE(SQL_SUCCEEDED(connection.Connect(server_.odbcConnectionString())))
      << connection.Diagnostics();

  EXPECT_THAT(connection.Info(SQL_DRIVER_NAME), HasSubstr("maodbc"));
  EXPECT_THAT(connection.Run("select version()"), HasSubstr("MariaDB"));
  EXPECT_EQ(connection.Run("select @@port"), std::to_string(server_.port));
  // Benchmarks bulk-load with LOAD DATA LOCAL; the server must allow it.
  EXPECT_EQ(connection.Run("select @@local_infile"), "1");
}

TEST_F(OdbcChain, WrongPasswordIsRefusedWithDiagnostic) {
  PrivateServer wrong = server_;
  wrong.password += "-wrong";
  OdbcConnection connection;

  SQLRETURN rc = connection.Connect(wrong.odbcConnectionString());

  EXPECT_EQ(rc, SQL_ERROR);
  std::string diagnostics = connection.Diagnostics();
  EXPECT_THAT(diagnostics, HasSubstr("28000"));
  EXPECT_THAT(diagnostics, HasSubstr("Access denied"));
}

// Connection strings are built for whatever account a test or user supplies:
// separators and braces in the password, and the default database, must reach
// the server intact.
TEST_F(OdbcChain, AccountWithAwkwardPasswordConnectsToItsDatabase) {
  const std::string password = "p;w}d{=x";
  const std::string database = "tablift_odbc_chain";
  OdbcConnection admin;
  ASSERT_TRUE(SQL_SUCCEEDED(admin.Connect(server_.odbcConnectionString()))) << admin.Diagnostics();
  for (const std::string& sql :
       {"CREATE DATABASE IF NOT EXISTS `" + database + "`",
        "CREATE OR REPLACE USER 'tablift_chain'@'127.0.0.1' IDENTIFIED BY '" + password + "'",
        "GRANT ALL ON `" + database + "`.* TO 'tablift_chain'@'127.0.0.1'"}) {
    ASSERT_EQ(admin.Run(sql), "") << sql;
  }

  PrivateServer account = server_;
  account.user = "tablift_chain";
  account.password = password;
  OdbcConnection connection;
  ASSERT_TRUE(SQL_SUCCEEDED(connection.Connect(account.odbcConnectionString(database))))
      << account.odbcConnectionString(database) << "\n"
      << connection.Diagnostics();
  EXPECT_EQ(connection.Run("select database()"), database);
  EXPECT_EQ(connection.Run("select current_user()"), "tablift_chain@127.0.0.1");

  admin.Run("DROP USER 'tablift_chain'@'127.0.0.1'");
  admin.Run("DROP DATABASE `" + database + "`");
}

TEST(PrivateServerEnvFile, ReadsShellQuotedAssignments) {
  ScopedTempDir dir;
  std::ofstream(dir.path() / "env") << "# written by scripts/mariadb-local\n"
                                       "TABLIFT_MARIADB_HOST=127.0.0.1\n"
                                       "export TABLIFT_MARIADB_PORT='3307'\n"
                                       "TABLIFT_MARIADB_SOCKET='/tmp/a b.sock'\n"
                                       "TABLIFT_MARIADB_USER=\"ro\\\"ot\"\n"
                                       "TABLIFT_MARIADB_PASSWORD='it'\\''s'\\ x\n";

  auto server = PrivateServerFromEnvFile(dir.path() / "env");

  ASSERT_TRUE(server);
  EXPECT_EQ(server->host, "127.0.0.1");
  EXPECT_EQ(server->port, 3307);
  EXPECT_EQ(server->socket, "/tmp/a b.sock");
  EXPECT_EQ(server->user, "ro\"ot");
  EXPECT_EQ(server->password, "it's x");
}

}  // namespace
}  // namespace tablift::test
