#include "cli/backup_command.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/connection_options.h"
#include "cli/console_log.h"
#include "cli/console_prompter.h"
#include "cli/object_choice.h"
#include "engine/backup_command.h"
#include "engine/catalog_tree.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

constexpr const char* kBackupUsage =
    "Usage: tablift-cli backup [--server HOST[:PORT] --user USER --password PASSWORD | --dsn "
    "NAME]\n"
    "       --database NAME %s --dir FOLDER\n";

struct BackupOptions {
  ConnectionOptions connection;
  ObjectChoice object;
  std::string folder;
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tablift-cli backup: %s\n", problem.c_str());
  std::fprintf(stderr, kBackupUsage, kObjectChoiceUsage);
  return 2;
}

// Selects the database the options name in the target tree, or its folder or
// object.
bool SelectTarget(Workbench& window, const BackupOptions& options) {
  CatalogTree& tree = window.targetTree();
  const CatalogNode root = tree.nodes();
  const CatalogNode* database = ChildOf(root, kImageDatabase, options.connection.database, true);
  if (database == nullptr) {
    std::fprintf(stderr, "tablift-cli backup: the server has no database [%s]\n",
                 options.connection.database.c_str());
    return false;
  }
  std::vector<CatalogStep> path = {{kImageRoot, root.text}, {kImageDatabase, database->text}};
  if (!AppendChosenObject(*database, options.object, "backup", "the database", path)) {
    return false;
  }
  return tree.select(path);
}

}  // namespace

int RunBackupCommand(int argc, char** argv) {
  BackupOptions options;
  for (int i = 0; i < argc; ++i) {
    std::string error;
    const std::string_view argument = argv[i];
    if (!argument.starts_with("-"))
      return Usage("unexpected argument '" + std::string(argument) + "'");
    if (TakeConnectionOption(argc, argv, i, options.connection, error)) continue;
    if (!error.empty()) return Usage(error);
    if (TakeObjectOption(argc, argv, i, options.object, error)) continue;
    if (!error.empty()) return Usage(error);
    if (argument != "--dir") return Usage("unexpected argument '" + std::string(argument) + "'");
    if (i + 1 >= argc) return Usage("--dir needs a value");
    options.folder = argv[++i];
  }
  const std::string missing = MissingConnectionOption(options.connection);
  if (!missing.empty()) return Usage(missing);
  if (!options.connection.sourcePassword.empty()) {
    return Usage("--source-password does not apply: a backup reads only the server");
  }
  if (options.connection.database.empty()) return Usage("--database is needed");
  if (options.folder.empty()) return Usage("--dir is needed");
  if (options.object.count() > 1)
    return Usage("choose one of --table, --view, --tables and --views");

  ConsolePrompter prompter;
  prompter.answerFolder(options.folder);
  Workbench window(prompter);
  ConsoleLog log(window);
  // Connected to the database, the tree lists its tables and views.
  if (!ConnectTargetSide(window, options.connection, options.connection.database)) return 1;
  if (!SelectTarget(window, options)) return 1;

  if (BackupCommand(window) == nullptr) return 1;  // the reason is on standard error
  return WaitForTasks(window) ? 0 : 1;
}

}  // namespace tablift
