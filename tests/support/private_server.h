#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tablift::test {

// The name under which the tests' odbcinst.ini (and Debian's odbc-mariadb
// package) registers MariaDB Connector/ODBC.
inline constexpr const char* kMariaDbOdbcDriver = "MariaDB Unicode";

// How to reach the private MariaDB server that scripts/mariadb-local runs.
struct PrivateServer {
  std::string host;
  int port = 0;
  std::string socket;
  std::string user;
  std::string password;

  // A DSN-less connection string for SQLDriverConnect over TCP, with `database`
  // as the default database when it is not empty. Values holding ';', braces or
  // outer blanks are braced, so any password survives.
  std::string odbcConnectionString(const std::string& database = "") const;
};

// Reads the shell assignments that `scripts/mariadb-local start` writes to its
// `env` file. Empty when the file cannot be read or names no host, port or user.
std::optional<PrivateServer> PrivateServerFromEnvFile(const std::filesystem::path& file);

// The server of $TABLIFT_MARIADB_DIR/env, which CTest's mariadb fixture sets up.
// Empty when the variable is unset or the server was never started there.
std::optional<PrivateServer> PrivateServerFromEnvironment();

// The wsrep provider a cluster node loads (Debian's galera-4); the cluster
// tests skip when it is not installed.
inline constexpr const char* kGaleraProvider = "/usr/lib/galera/libgalera_smm.so";

// The nodes of the private Galera cluster that scripts/galera-local runs, from
// $TABLIFT_GALERA_DIR/env (CTest's galera fixture): one server per entry of
// TABLIFT_GALERA_NODES, all with the same root user and password. Empty when
// the variable is unset or the cluster was never started there.
std::vector<PrivateServer> PrivateClusterFromEnvironment();

}  // namespace tablift::test
