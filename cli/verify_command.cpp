#include "cli/verify_command.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "access/source_tables.h"
#include "cli/command_help.h"
#include "cli/connection_options.h"
#include "cli/console_prompter.h"
#include "cli/names_option.h"
#include "data_access/provider_calls.h"
#include "engine/use_database.h"
#include "engine/workbench.h"
#include "migration/query_verification.h"
#include "migration/table_verification.h"
#include "mysql/cluster_target.h"
#include "mysql/execute_statement.h"

namespace tablift {
namespace {

constexpr const char* kVerifyUsage =
    "Usage: tablift-cli verify %s --database NAME %s [--call QUERY=ARG,ARG...]...\n";

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tablift-cli verify: %s\n", problem.c_str());
  std::fprintf(stderr, kVerifyUsage, kConnectionUsage, kNamesUsage);
  return 2;
}

// "--call QUERY=ARG,ARG": the arguments a parameter query's procedure is
// called with, in the order of its parameters.
bool TakeCallOption(int argc, char** argv, int& i,
                    std::map<std::string, std::vector<std::string>>& calls, std::string& error) {
  if (std::string(argv[i]) != "--call") return false;
  if (i + 1 >= argc) {
    error = "--call needs QUERY=ARG,ARG...";
    return false;
  }
  const std::string value = argv[++i];
  const std::size_t equals = value.find('=');
  if (equals == std::string::npos || equals == 0) {
    error = "--call needs QUERY=ARG,ARG..., not '" + value + "'";
    return false;
  }
  std::vector<std::string>& arguments = calls[value.substr(0, equals)];
  std::string rest = value.substr(equals + 1);
  for (std::size_t comma; !rest.empty();) {
    comma = rest.find(',');
    arguments.push_back(rest.substr(0, comma));
    rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
  }
  return true;
}

// One line per saved query that became a view or a procedure; false when
// its rows differ from the Access executor's or cannot be compared.
bool ReportQuery(const std::string& query, const QueryVerification& result) {
  const char* object = result.object == QueryVerification::Object::View ? "view" : "procedure";
  if (!result.notCompared.empty()) {
    std::printf("[%s] %s, not compared: %s\n", query.c_str(), object, result.notCompared.c_str());
    return true;
  }
  if (!result.error.empty()) {
    std::printf("[%s] %s cannot be compared: %s\n", query.c_str(), object, result.error.c_str());
    return false;
  }
  if (result.matches()) {
    std::printf("[%s] %s, %llu rows: identical\n", query.c_str(), object,
                static_cast<unsigned long long>(result.sourceRows));
    return true;
  }
  std::printf("[%s] %s differs: %llu rows in Access, %llu in MySQL, %llu rows without an equal\n",
              query.c_str(), object, static_cast<unsigned long long>(result.sourceRows),
              static_cast<unsigned long long>(result.targetRows),
              static_cast<unsigned long long>(result.differingRows));
  return false;
}

// Compares the Access file with the database on one server; the exit code.
int VerifyOnServer(const ConnectionOptions& options, NameRule names,
                   const std::map<std::string, std::vector<std::string>>& calls);

}  // namespace

int RunVerifyCommand(int argc, char** argv) {
  if (AsksForHelp(argc, argv)) {
    std::fprintf(stdout, kVerifyUsage, kConnectionUsage, kNamesUsage);
    return 0;
  }
  ConnectionOptions options;
  // The rule the migration was made with: it names the MySQL tables and
  // columns to compare.
  NameRule names = NameRule::Keep;
  std::map<std::string, std::vector<std::string>> calls;
  for (int i = 0; i < argc; ++i) {
    std::string error;
    if (TakeConnectionOption(argc, argv, i, options, error)) continue;
    if (error.empty() && TakeNamesOption(argc, argv, i, names, error)) continue;
    if (error.empty() && TakeCallOption(argc, argv, i, calls, error)) continue;
    return Usage(error.empty() ? "unexpected argument '" + std::string(argv[i]) + "'" : error);
  }
  const std::string missing = MissingConnectionOption(options);
  if (!missing.empty()) return Usage(missing);
  if (options.database.empty()) return Usage("missing --database NAME");

  const auto servers = ParseServerList(options.server);
  if (options.server.empty() || !servers.ok() || servers.value().size() == 1) {
    return VerifyOnServer(options, names, calls);
  }
  // The nodes of a cluster: each must hold what the Access file holds.
  int identicalNodes = 0;
  int code = 0;
  for (const std::string& server : servers.value()) {
    std::printf("Node %s:\n", server.c_str());
    std::fflush(stdout);
    ConnectionOptions node = options;
    node.server = server;
    const int nodeCode = VerifyOnServer(node, names, calls);
    if (nodeCode == 0) ++identicalNodes;
    code = std::max(code, nodeCode);
  }
  std::printf("%d of %zu nodes identical\n", identicalNodes, servers.value().size());
  return code;
}

namespace {

int VerifyOnServer(const ConnectionOptions& options, NameRule names,
                   const std::map<std::string, std::vector<std::string>>& calls) {
  ConsolePrompter prompter;
  Workbench window(prompter);
  if (!ConnectBothSides(window, options)) return 1;
  window.setNameRule(names);
  // Read back in the character set that holds every text, whatever the
  // migration chose: a comparison must not itself lose characters.
  if (!SetClientCharset(*window.targetSession(), "utf8mb4").ok()) {
    std::fputs("tablift-cli verify: the server does not take the character set utf8mb4\n", stderr);
    return 1;
  }
  // A cluster node applies the other nodes' commits a moment after they
  // were made: its reads wait until it holds everything committed before.
  if (window.targetConnection().cluster.kind == ClusterKind::Galera) {
    ExecuteStatement(window, window.targetSession(), "set session wsrep_sync_wait = 1").ok();
  }
  if (!UseDatabase(window, options.database, kTargetSide)) {
    std::fprintf(stderr, "tablift-cli verify: the server has no database [%s]\n",
                 options.database.c_str());
    return 1;
  }
  const std::string database = window.sourceTree().currentDatabase();
  int matching = 0;
  int differing = 0;
  const Result<std::vector<std::string>> listed = ListSourceTables(window.sourceSession(), "");
  if (!listed.ok()) {
    std::fputs("tablift-cli verify: the Access file's tables cannot be listed\n", stderr);
    return 1;
  }
  const std::vector<std::string>& tables = listed.value();
  for (const std::string& table : tables) {
    const TableVerification result =
        VerifyTable(window, window.sourceSession(), window.targetSession(), database, table);
    const auto source = static_cast<unsigned long long>(result.sourceRows);
    for (const ComplexTableComparison& complex : result.complexTables) {
      const RowComparison& rows = complex.rows;
      if (!rows.error.empty()) {
        std::printf("[%s] cannot be compared: %s\n", complex.table.c_str(), rows.error.c_str());
      } else {
        std::printf("[%s] %llu values in Access, %llu rows in MySQL, %llu without an equal%s\n",
                    complex.table.c_str(), static_cast<unsigned long long>(rows.sourceRows),
                    static_cast<unsigned long long>(rows.targetRows),
                    static_cast<unsigned long long>(rows.differingRows),
                    rows.matches() ? ": identical" : "");
      }
    }
    if (result.matches()) {
      ++matching;
      std::printf("[%s] %llu rows: identical\n", table.c_str(), source);
      continue;
    }
    ++differing;
    if (!result.error.empty()) {
      std::printf("[%s] cannot be compared: %s\n", table.c_str(), result.error.c_str());
    } else if (result.RowComparison::matches()) {
      std::printf("[%s] %llu rows: identical, but the tables of its complex columns are not\n",
                  table.c_str(), source);
    } else {
      std::printf("[%s] differs: %llu rows in Access, %llu in MySQL, %llu rows without an equal\n",
                  table.c_str(), source, static_cast<unsigned long long>(result.targetRows),
                  static_cast<unsigned long long>(result.differingRows));
    }
  }
  std::printf("%d tables identical, %d differ\n", matching, differing);

  const Result<std::vector<std::string>> queries =
      ObjectNames(window.sourceSession(), {}, ObjectKind::View, "");
  if (!queries.ok()) {
    std::fputs("tablift-cli verify: the Access file's saved queries cannot be listed\n", stderr);
    return 1;
  }
  int queriesMatching = 0;
  int queriesDiffering = 0;
  int queriesNotCompared = 0;
  for (const std::string& query : queries.value()) {
    const auto call = calls.find(query);
    const QueryVerification result =
        VerifySavedQuery(window, window.sourceSession(), window.targetSession(), query,
                         call != calls.end() ? &call->second : nullptr);
    if (result.object == QueryVerification::Object::None) continue;
    if (!ReportQuery(query, result)) {
      ++queriesDiffering;
    } else if (result.compared()) {
      ++queriesMatching;
    } else {
      ++queriesNotCompared;
    }
  }
  std::printf("%d queries identical, %d differ, %d not compared\n", queriesMatching,
              queriesDiffering, queriesNotCompared);
  return differing == 0 && queriesDiffering == 0 ? 0 : 1;
}

}  // namespace

}  // namespace tablift
