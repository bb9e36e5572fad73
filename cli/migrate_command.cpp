#include "cli/migrate_command.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_help.h"
#include "cli/connection_options.h"
#include "cli/console_log.h"
#include "cli/console_prompter.h"
#include "cli/many_files_run.h"
#include "cli/names_option.h"
#include "cli/node_failover.h"
#include "cli/object_choice.h"
#include "core/write_line.h"
#include "data_access/ascii_text.h"
#include "data_access/provider_calls.h"
#include "engine/access_file_list.h"
#include "engine/catalog_tree.h"
#include "engine/list_catalog.h"
#include "engine/queue_migration.h"
#include "engine/run_report.h"
#include "engine/workbench.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

constexpr const char* kMigrateUsage =
    "Usage: tablift-cli migrate %s\n"
    "       [MORE.mdb ... | FOLDER] [--jobs N]  (each file cloned into a database named\n"
    "                              after it, N files at a time; one line per file at the end)\n"
    "       [--database NAME [--create]] %s\n"
    "       [--engine InnoDB|MyISAM] [--charset NAME] %s\n"
    "       [--report FILE.json]   (the summary of the run, also written as JSON)\n"
    "       [--resume]             (continue an interrupted migration into the same\n"
    "                              database: complete tables are kept, cut ones continue)\n"
    "       [--quiet | --verbose]  (only errors and the summary | progress lines also\n"
    "                              when the output is no terminal)\n"
    "       [--cache-folder DIR]   (where each object's statements are kept; with many\n"
    "                              files, a folder per database in it)\n";

struct MigrateOptions {
  ConnectionOptions connection;
  ObjectChoice object;
  // InnoDB unless told otherwise: MyISAM tables keep no FOREIGN KEY, and the
  // command line has no menu to change the engine later.
  std::string engine = "InnoDB";
  // The command line has no menu to change it later, so it starts with the
  // character set that holds every Access text.
  std::string charset = "utf8mb4";
  // Access names as they are unless asked for MySQL-friendly ones.
  NameRule names = NameRule::Keep;
  // --create: the database named by --database is made when the server
  // has none of that name.
  bool create = false;
  // --resume: continue an interrupted migration into the same database.
  bool resume = false;
  // --report: where the run's summary is also written, as JSON.
  std::string report;
  Verbosity verbosity = Verbosity::Normal;
  // Every Access file or folder named, and --jobs: how many of the files are
  // migrated at a time.
  std::vector<std::string> sources;
  std::string jobs = "1";
  // --cache-folder: where the statements sent are kept (the program's
  // data_cache unless told otherwise).
  std::string cacheFolder;
  // The arguments that belong to the whole run (the files, --report, --jobs,
  // --cache-folder and their values) by their place in argv: a run of many files passes the
  // others on to each file's own run.
  std::vector<int> wholeRunArguments;
};

// The run's summary after the log, and as JSON where --report says. False
// when the report cannot be written.
bool ReportRun(Workbench& window, const MigrateOptions& options, double started) {
  RunSummary summary = window.runRecorder()->summary();
  summary.started = started;
  summary.finished = SecondsSinceEpoch();
  summary.source = window.sourceProfile().sourceName;
  const std::string server =
      options.connection.dsn.empty() ? window.targetProfile().sourceName : options.connection.dsn;
  // A clone goes into a new database named after the Access file.
  const std::string database = options.connection.database.empty()
                                   ? CloneDatabaseName(window.sourceProfile().sourceName)
                                   : options.connection.database;
  summary.target = server + "/" + database;
  std::printf("\n%s", SummaryText(summary).c_str());
  std::fflush(stdout);
  if (options.report.empty()) return true;
  std::error_code error;
  const std::filesystem::path file = std::filesystem::absolute(options.report, error);
  const Status written =
      WriteSummaryJson(error ? std::filesystem::path(options.report) : file, summary);
  if (written.ok()) return true;
  std::fprintf(stderr, "tablift-cli migrate: %s\n", written.message().c_str());
  return false;
}

// A word as a shell takes it back: bare when it is plain, else in single
// quotes.
std::string ShellWord(const std::string& word) {
  const bool plain = !word.empty() && word.find_first_not_of(
                                          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789_.-:/@") == std::string::npos;
  if (plain) return word;
  std::string quoted = "'";
  for (char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The command that makes the missing database, with the server options as
// given (the password left for the user to type).
std::string CreateDatabaseCommandLine(const ConnectionOptions& connection) {
  // "db create" sends the name as typed, so a name that is no plain word is
  // given in backquotes.
  const std::string& name = connection.database;
  const bool plainName =
      name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") ==
      std::string::npos;
  std::string line = "tablift-cli db create " + ShellWord(plainName ? name : QuoteIdentifier(name));
  if (!connection.dsn.empty()) return line + " --dsn " + ShellWord(connection.dsn);
  if (!connection.server.empty()) line += " --server " + ShellWord(connection.server);
  if (!connection.user.empty()) line += " --user " + ShellWord(connection.user);
  if (!connection.password.empty()) line += " --password PASSWORD";
  return line;
}

// The target database named by --database: the tree's node for it, made
// first with --create when the server has none; null, after saying what to
// do, otherwise.
const CatalogNode* TargetDatabase(Workbench& window, const MigrateOptions& options,
                                  CatalogNode& targetRoot) {
  const std::string& target = options.connection.database;
  targetRoot = window.targetTree().nodes();
  if (const CatalogNode* node = ChildOf(targetRoot, NodeKind::Database, target, true)) return node;
  if (!options.create) {
    std::fprintf(stderr,
                 "tablift-cli migrate: the server has no database [%s]; add --create to make "
                 "it, or make it with:\n  %s\n",
                 target.c_str(), CreateDatabaseCommandLine(options.connection).c_str());
    return nullptr;
  }
  const Status made = ExecuteStatement(window, window.targetSession(),
                                       "CREATE DATABASE " + QuoteIdentifier(target));
  if (!made.ok()) {
    std::fprintf(stderr, "tablift-cli migrate: cannot create the database [%s]: %s\n",
                 target.c_str(), made.message().c_str());
    return nullptr;
  }
  WriteLine(window, "S::Database [%s] created", target.c_str());
  ListCatalog(window, window.targetTree());
  targetRoot = window.targetTree().nodes();
  return ChildOf(targetRoot, NodeKind::Database, target, true);
}

void PrintUsage(std::FILE* to) {
  std::fprintf(to, kMigrateUsage, kConnectionUsage, kObjectChoiceUsage, kNamesUsage);
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tablift-cli migrate: %s\n", problem.c_str());
  PrintUsage(stderr);
  return 2;
}

void TakeSource(MigrateOptions& options, char** argv, int at) {
  options.sources.emplace_back(argv[at]);
  options.wholeRunArguments.push_back(at);
}

// --jobs as a number; 0 when it is none, or none from 1 up.
int JobsOf(const MigrateOptions& options) {
  int jobs = 0;
  const char* end = options.jobs.data() + options.jobs.size();
  const auto [stop, error] = std::from_chars(options.jobs.data(), end, jobs);
  return error == std::errc() && stop == end && jobs > 0 ? jobs : 0;
}

// Several Access files or a folder: each file cloned into a database named
// after it by a run of its own, with the options given for every file.
int RunOfManyFiles(const MigrateOptions& options, int argc, char** argv) {
  if (!options.connection.database.empty()) {
    return Usage(
        "--database names one target database: with several Access files each is "
        "cloned into a database named after it (leave --database out)");
  }
  const int jobs = JobsOf(options);
  if (jobs == 0) return Usage("--jobs takes a number of files from 1");
  Result<std::vector<std::filesystem::path>> files = AccessFilesOf(options.sources);
  if (!files.ok()) {
    std::fprintf(stderr, "tablift-cli migrate: %s\n", files.message().c_str());
    return 1;
  }
  ManyFilesRun run{.files = std::move(files).value(),
                   .jobs = jobs,
                   .report = options.report,
                   .cacheFolder = options.cacheFolder.empty()
                                      ? DefaultCacheFolder()
                                      : std::filesystem::absolute(options.cacheFolder)};
  for (int i = 0; i < argc; ++i) {
    if (std::find(options.wholeRunArguments.begin(), options.wholeRunArguments.end(), i) ==
        options.wholeRunArguments.end()) {
      run.perFileArguments.emplace_back(argv[i]);
    }
  }
  return RunManyFiles(run);
}

// The request the options make: the Access file's database and the object
// chosen in it, into the target database named (or cloned into a new one).
std::optional<MigrationRequest> RequestOf(Workbench& window, const MigrateOptions& options) {
  const CatalogNode root = window.sourceTree().nodes();
  const CatalogNode* database = nullptr;
  for (const CatalogNode& child : root.children) {
    if (child.kind == NodeKind::Database) database = &child;
  }
  if (database == nullptr) {
    std::fputs("tablift-cli migrate: the Access file lists no database\n", stderr);
    return std::nullopt;
  }
  const std::optional<ChosenObject> chosen =
      FindChosenObject(*database, options.object, "migrate", "the Access file");
  if (!chosen) return std::nullopt;
  MigrationRequest request{.scope = chosen->scope,
                           .sourceDatabase = database->text,
                           .object = chosen->object,
                           .resume = options.resume};
  if (!options.connection.database.empty()) {
    CatalogNode targetRoot;
    const CatalogNode* node = TargetDatabase(window, options, targetRoot);
    if (node == nullptr) return std::nullopt;
    request.targetDatabase = node->text;
  }
  return request;
}

// How long a node that left the primary component is waited for, and how
// many times a migration goes on after its cluster's membership changed
// under it (each a resumed run).
constexpr std::chrono::seconds kNodeTakesWritesWait{60};
constexpr int kMostRunsAfterMembershipChange = 3;

// Runs the migration; when the node in use is lost and --server named more
// nodes, connects to the next one and continues there as a resumed migration,
// which reads what that node already holds. A run that failed while the
// node's cluster changed membership (a node lost, the primary component lost
// and found again) also continues as a resumed run, on the same node once it
// takes writes: while the members agree on the new membership, a node
// refuses the commit of a piece of rows ("Not connected to Primary
// Component"), and those rows are not there yet rather than refused for
// what they hold. True when the last run ended whole.
bool MigrateOnNodes(Workbench& window, const MigrateOptions& options, MigrationRequest request) {
  const std::vector<std::string> nodes = TargetNodes(options.connection);
  std::size_t node = 0;
  int runsAfterMembershipChange = 0;
  for (;;) {
    const std::optional<std::string> view = ClusterViewOf(window);
    if (QueueMigration(window, request, Consent::Given) == nullptr) return false;
    if (WaitForTasks(window, options.verbosity)) return true;
    if (!TargetNodeLost(window)) {
      if (!view || ClusterViewOf(window) == view ||
          ++runsAfterMembershipChange > kMostRunsAfterMembershipChange) {
        return false;
      }
      WriteLine(window,
                "W::The cluster changed its membership during the migration: it continues "
                "as a resumed one once the node takes writes");
      if (!WaitUntilNodeTakesWrites(window, kNodeTakesWritesWait)) {
        WriteLine(window, "E::The node took no writes within %lld seconds",
                  static_cast<long long>(kNodeTakesWritesWait.count()));
        return false;
      }
    } else {
      if (node + 1 >= nodes.size()) return false;
      // The next node that answers takes over.
      bool connected = false;
      while (!connected && node + 1 < nodes.size()) {
        WriteLine(window, "W::The node %s is lost: the migration continues on %s",
                  nodes[node].c_str(), nodes[node + 1].c_str());
        ++node;
        connected = ConnectToNode(window, options.connection, nodes[node], options.charset);
      }
      if (!connected) return false;
      // The survivors may still count the lost node among them; the wait
      // is short when they are done with it.
      if (!WaitUntilNodeTakesWrites(window, kNodeTakesWritesWait)) {
        WriteLine(window,
                  "W::The node %s took no writes within %lld seconds: the migration tries it",
                  nodes[node].c_str(), static_cast<long long>(kNodeTakesWritesWait.count()));
      }
    }
    // The summary and the verdict are those of the run that ends the work;
    // the log keeps what happened before.
    window.tasks().clear();
    window.runRecorder()->clear();
    window.controllerThread().shutdown();
    window.controllerThread().reopen();
    request.resume = true;
  }
}

}  // namespace

int RunMigrateCommand(int argc, char** argv) {
  if (AsksForHelp(argc, argv)) {
    PrintUsage(stdout);
    return 0;
  }
  MigrateOptions options;
  for (int i = 0; i < argc; ++i) {
    std::string error;
    const int at = i;
    if (TakeConnectionOption(argc, argv, i, options.connection, error)) {
      // An option with a value moved past it; the Access file did not.
      if (i == at) TakeSource(options, argv, at);
      continue;
    }
    if (!error.empty()) return Usage(error);
    if (TakeObjectOption(argc, argv, i, options.object, error)) continue;
    if (!error.empty()) return Usage(error);
    if (TakeNamesOption(argc, argv, i, options.names, error)) continue;
    if (!error.empty()) return Usage(error);
    const std::string_view argument = argv[i];
    std::string* value = nullptr;
    if (argument == "--create") {
      options.create = true;
      continue;
    }
    if (argument == "--resume") {
      options.resume = true;
      continue;
    }
    if (argument == "--quiet" || argument == "-q" || argument == "--verbose" || argument == "-v") {
      options.verbosity =
          argument.starts_with("--q") || argument == "-q" ? Verbosity::Quiet : Verbosity::Verbose;
      continue;
    }
    if (argument == "--report" || argument == "--jobs" || argument == "--cache-folder") {
      value = argument == "--report" ? &options.report
              : argument == "--jobs" ? &options.jobs
                                     : &options.cacheFolder;
      options.wholeRunArguments.insert(options.wholeRunArguments.end(), {i, i + 1});
    } else if (!argument.starts_with('-')) {
      TakeSource(options, argv, i);
      continue;
    } else if (argument == "--engine") {
      value = &options.engine;
    } else if (argument == "--charset") {
      value = &options.charset;
    } else {
      return Usage("unexpected argument '" + std::string(argument) + "'");
    }
    if (i + 1 >= argc) return Usage(std::string(argument) + " needs a value");
    *value = argv[++i];
  }
  const std::string missing = MissingConnectionOption(options.connection);
  if (!missing.empty()) return Usage(missing);
  const int choices = options.object.count();
  if (choices > 1) return Usage("choose one of --table, --view, --tables and --views");
  if (choices == 1 && options.connection.database.empty()) {
    return Usage("--table, --view, --tables and --views need --database");
  }
  if (options.create && options.connection.database.empty())
    return Usage("--create makes the database named by --database");
  if (!options.engine.empty() && !EqualsIgnoreCase(options.engine, "InnoDB") &&
      !EqualsIgnoreCase(options.engine, "MyISAM")) {
    return Usage("--engine is InnoDB or MyISAM");
  }

  if (NamesManyFiles(options.sources)) return RunOfManyFiles(options, argc, argv);
  if (JobsOf(options) == 0) return Usage("--jobs takes a number of files from 1");

  ConsolePrompter prompter;
  Workbench window(prompter);
  ConsoleLog log(window, options.verbosity);
  if (!ConnectBothSides(window, options.connection)) return 1;
  if (!options.cacheFolder.empty())
    window.setCacheFolder(std::filesystem::absolute(options.cacheFolder));
  window.targetTree().setStorageEngine(options.engine);
  window.setNameRule(options.names);
  {
    if (!SetClientCharset(*window.targetSession(), options.charset).ok()) {
      std::fprintf(stderr, "tablift-cli migrate: the server does not take the character set %s\n",
                   options.charset.c_str());
      return 1;
    }
    window.setCharset(options.charset);
  }
  const std::optional<MigrationRequest> request = RequestOf(window, options);
  if (!request) return 1;
  // Refused, the reason is on standard error.
  window.runRecorder()->clear();
  const double started = SecondsSinceEpoch();
  const bool whole = MigrateOnNodes(window, options, *request);
  // The log and the summary are finished before the verdict, so that they
  // never mix on a terminal or in a file that takes both.
  const bool reported = ReportRun(window, options, started);
  if (whole && reported) return 0;
  if (!reported) return 1;
  // The log says what went wrong; this line says of which file, for whoever
  // reads only the end (or migrates many files).
  std::fprintf(stderr, "tablift-cli migrate: %s: not every task ended SUCCESS (see the log)\n",
               window.sourceProfile().sourceName.c_str());
  return 1;
}

}  // namespace tablift
