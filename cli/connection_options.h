#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/connection_profile.h"
#include "core/status.h"

namespace tablift {

class Workbench;

// The options that say which Access file and which MySQL server a command
// works on.
struct ConnectionOptions {
  std::string sourcePath;      // the .mdb or .accdb file
  std::string sourcePassword;  // its database password, if it has one
  std::string server;          // HOST[:PORT], or the nodes of a cluster: HOST[:PORT],HOST[:PORT]...
  std::string dsn;             // an ODBC data source instead of --server
  std::string user;
  std::string password;
  std::string database;  // --database
};

inline constexpr const char* kConnectionUsage =
    "[SOURCE.mdb|SOURCE.accdb] [--server HOST[:PORT] --user USER --password PASSWORD | --dsn "
    "NAME]\n"
    "       [--source-password PASSWORD]   (what is left out comes from the saved configuration)";

// Takes the option at argv[i] (and its value) when it is a connection option
// or the source file, advancing i past what it took. False when argv[i] is
// something else, or (with `error` set) when its value is missing.
bool TakeConnectionOption(int argc, char** argv, int& i, ConnectionOptions& options,
                          std::string& error);

// The servers a --server value names, one HOST[:PORT] each: one for a single
// server, the nodes of a cluster for "h1:p1,h2:p2,h3:p3". Blanks around an
// entry do not count; an empty entry or a port that is no number from 1 to
// 65535 is an error naming it.
Result<std::vector<std::string>> ParseServerList(std::string_view servers);

// "" unless the options contradict each other.
std::string MissingConnectionOption(const ConnectionOptions& options);

// Describes the Access file at `path` as a source profile, as the command
// line opens it: the Jet provider, the file's absolute path, user "Admin" and
// the database password.
void DescribeSourceFile(ConnectionProfile& profile, const std::string& path,
                        const std::string& password);

// Fills the workbench's two profiles from the options (a side they do not
// name from the desktop program's saved configuration) and connects both
// sides as the Connect command does. False, after saying which side failed
// on standard error, when a side has no session.
bool ConnectBothSides(Workbench& window, const ConnectionOptions& options);

// The MySQL side alone, for the commands that work only there: the target
// profile from the options (or the saved configuration), with `database` as
// its current database when given, then connected as Connect does. False,
// after saying so on standard error, without a session.
bool ConnectTargetSide(Workbench& window, const ConnectionOptions& options,
                       const std::string& database = {});

}  // namespace tablift
