#include "cli/migrate_command.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/connection_options.h"
#include "cli/console_log.h"
#include "cli/console_prompter.h"
#include "cli/names_option.h"
#include "cli/object_choice.h"
#include "data_access/ascii_text.h"
#include "engine/catalog_tree.h"
#include "engine/migrate_command.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

constexpr const char* kMigrateUsage =
    "Usage: tablift-cli migrate %s\n"
    "       [--database NAME] %s\n"
    "       [--engine InnoDB|MyISAM] [--charset NAME] %s\n";

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
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tablift-cli migrate: %s\n", problem.c_str());
  std::fprintf(stderr, kMigrateUsage, kConnectionUsage, kObjectChoiceUsage, kNamesUsage);
  return 2;
}

// Selects in the source tree the object the options name: the database, its
// "Tables" or "Views" folder, a table or a view.
bool SelectSource(Workbench& window, const MigrateOptions& options) {
  CatalogTree& tree = window.sourceTree();
  const CatalogNode root = tree.nodes();
  const CatalogNode* database = nullptr;
  for (const CatalogNode& child : root.children) {
    if (child.image == kImageDatabase) database = &child;
  }
  if (database == nullptr) {
    std::fputs("tablift-cli migrate: the Access file lists no database\n", stderr);
    return false;
  }
  std::vector<CatalogStep> path = {{kImageRoot, root.text}, {kImageDatabase, database->text}};
  if (!AppendChosenObject(*database, options.object, "migrate", "the Access file", path)) {
    return false;
  }
  return tree.select(path);
}

// Selects the target database, or the server's root for a clone.
bool SelectTarget(Workbench& window, const std::string& database) {
  CatalogTree& tree = window.targetTree();
  const CatalogNode root = tree.nodes();
  std::vector<CatalogStep> path = {{kImageRoot, root.text}};
  if (!database.empty()) {
    const CatalogNode* node = ChildOf(root, kImageDatabase, database, true);
    if (node == nullptr) {
      std::fprintf(stderr, "tablift-cli migrate: the server has no database [%s]\n",
                   database.c_str());
      return false;
    }
    path.push_back({kImageDatabase, node->text});
  }
  return tree.select(path);
}

}  // namespace

int RunMigrateCommand(int argc, char** argv) {
  MigrateOptions options;
  for (int i = 0; i < argc; ++i) {
    std::string error;
    if (TakeConnectionOption(argc, argv, i, options.connection, error)) continue;
    if (!error.empty()) return Usage(error);
    if (TakeObjectOption(argc, argv, i, options.object, error)) continue;
    if (!error.empty()) return Usage(error);
    if (TakeNamesOption(argc, argv, i, options.names, error)) continue;
    if (!error.empty()) return Usage(error);
    const std::string_view argument = argv[i];
    std::string* value = nullptr;
    if (argument == "--engine") {
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
  if (!options.engine.empty() && !EqualsIgnoreCase(options.engine, "InnoDB") &&
      !EqualsIgnoreCase(options.engine, "MyISAM")) {
    return Usage("--engine is InnoDB or MyISAM");
  }

  ConsolePrompter prompter;
  Workbench window(prompter);
  ConsoleLog log(window);
  if (!ConnectBothSides(window, options.connection)) return 1;
  window.targetTree().setStorageEngine(options.engine);
  window.setNameRule(options.names);
  {
    if (Failed(window.targetSession()->setClientCharset(options.charset))) {
      std::fprintf(stderr, "tablift-cli migrate: the server does not take the character set %s\n",
                   options.charset.c_str());
      return 1;
    }
    window.setCharset(options.charset);
  }
  if (!SelectSource(window, options) || !SelectTarget(window, options.connection.database)) {
    return 1;
  }

  MigrateCommand(window, Consent::Given);
  if (window.tasks().empty()) return 1;  // refused; the reason is on standard error
  const bool whole = WaitForTasks(window);
  // The log is finished before the verdict, so that the two never mix on a
  // terminal or in a file that takes both.
  std::fflush(stdout);
  if (whole) return 0;
  // The log says what went wrong; this line says of which file, for whoever
  // reads only the end (or migrates many files).
  std::fprintf(stderr, "tablift-cli migrate: %s: not every task ended SUCCESS (see the log)\n",
               window.sourceProfile().sourceName.c_str());
  return 1;
}

}  // namespace tablift
