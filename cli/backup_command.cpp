#include "cli/backup_command.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_help.h"
#include "cli/connection_options.h"
#include "cli/console_log.h"
#include "cli/console_prompter.h"
#include "cli/object_choice.h"
#include "engine/catalog_tree.h"
#include "engine/queue_backup.h"
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

void PrintUsage(std::FILE* to) {
  std::fprintf(to, kBackupUsage, kObjectChoiceUsage);
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tablift-cli backup: %s\n", problem.c_str());
  PrintUsage(stderr);
  return 2;
}

// The request the options make: the database named, or the folder or object
// chosen in it, into the folder given.
std::optional<BackupRequest> RequestOf(Workbench& window, const BackupOptions& options) {
  const CatalogNode root = window.targetTree().nodes();
  const CatalogNode* database =
      ChildOf(root, NodeKind::Database, options.connection.database, true);
  if (database == nullptr) {
    std::fprintf(stderr, "tablift-cli backup: the server has no database [%s]\n",
                 options.connection.database.c_str());
    return std::nullopt;
  }
  const std::optional<ChosenObject> chosen =
      FindChosenObject(*database, options.object, "backup", "the database");
  if (!chosen) return std::nullopt;
  return BackupRequest{.scope = chosen->scope,
                       .database = database->text,
                       .object = chosen->object,
                       .folder = options.folder};
}

}  // namespace

int RunBackupCommand(int argc, char** argv) {
  if (AsksForHelp(argc, argv)) {
    PrintUsage(stdout);
    return 0;
  }
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
  Workbench window(prompter);
  ConsoleLog log(window);
  // Connected to the database, the tree lists its tables and views.
  if (!ConnectTargetSide(window, options.connection, options.connection.database)) return 1;
  const std::optional<BackupRequest> request = RequestOf(window, options);
  if (!request) return 1;
  if (QueueBackup(window, *request) == nullptr) return 1;  // the reason is on standard error
  return WaitForTasks(window) ? 0 : 1;
}

}  // namespace tablift
