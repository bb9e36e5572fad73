#include "cli/migrate_command.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

#include "Converters/catalog_tree.h"
#include "Converters/migrate_command.h"
#include "Converters/workbench.h"
#include "cli/connection_options.h"
#include "cli/console_log.h"
#include "cli/console_prompter.h"
#include "data_access/ascii_text.h"

namespace tablift {
namespace {

constexpr const char* kMigrateUsage =
    "Usage: tablift-cli migrate %s\n"
    "       [--database NAME] [--table T | --view V | --tables | --views]\n"
    "       [--engine InnoDB|MyISAM] [--charset NAME]\n";

struct MigrateOptions {
  ConnectionOptions connection;
  std::string table;
  std::string view;
  bool tables = false;
  bool views = false;
  // InnoDB unless told otherwise: MyISAM tables keep no FOREIGN KEY, and the
  // command line has no menu to change the engine later.
  std::string engine = "InnoDB";
  // The command line has no menu to change it later, so it starts with the
  // character set that holds every Access text.
  std::string charset = "utf8mb4";
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tablift-cli migrate: %s\n", problem.c_str());
  std::fprintf(stderr, kMigrateUsage, kConnectionUsage);
  return 2;
}

// The child of `node` of the given kind and text (compared without regard to
// case when `anyCase`), or null.
const CatalogNode* ChildOf(const CatalogNode& node, int image, std::string_view text,
                           bool anyCase = false) {
  for (const CatalogNode& child : node.children) {
    if (child.image != image) continue;
    if (anyCase ? EqualsIgnoreCase(child.text, text) : child.text == text) return &child;
  }
  return nullptr;
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
  const bool inTables = options.tables || !options.table.empty();
  const bool inViews = options.views || !options.view.empty();
  if (inTables || inViews) {
    const int folderImage = inTables ? kImageTablesFolder : kImageViewsFolder;
    const char* folderText = inTables ? "Tables" : "Views";
    const CatalogNode* folder = ChildOf(*database, folderImage, folderText);
    if (folder == nullptr) {
      std::fprintf(stderr, "tablift-cli migrate: the Access file shows no %s\n", folderText);
      return false;
    }
    path.push_back({folderImage, folderText});
    const std::string& object = inTables ? options.table : options.view;
    if (!object.empty()) {
      const int image = inTables ? kImageTable : kImageView;
      if (ChildOf(*folder, image, object) == nullptr) {
        std::fprintf(stderr, "tablift-cli migrate: the Access file has no %s [%s]%s\n",
                     inTables ? "table" : "view", object.c_str(),
                     inTables ? " (tables whose names hold a blank are never migrated)" : "");
        return false;
      }
      path.push_back({image, object});
    }
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

// Waits for the controller to finish, showing the tasks' progress on a
// terminal.
void WaitForTasks(Workbench& window) {
  const bool terminal = isatty(STDERR_FILENO) != 0;
  while (window.runFlag().load() != kRunIdle) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::size_t done = 0;
    int progress = 0;
    const auto tasks = window.tasks().snapshot();
    for (const TaskPtr& task : tasks) {
      if (task->finished()) ++done;
      if (task->stateText() == kStateWorking) progress = task->progress();
    }
    // Nothing more will be queued: the controller need not wait out its
    // pause before it finds the list done.
    if (!tasks.empty() && done == tasks.size()) window.controllerThread().requestShutdown();
    if (terminal) {
      std::fprintf(stderr, "\r%zu of %zu tasks done, current %3d %%", done, tasks.size(), progress);
    }
  }
  if (terminal) std::fputs("\n", stderr);
}

}  // namespace

int RunMigrateCommand(int argc, char** argv) {
  MigrateOptions options;
  for (int i = 0; i < argc; ++i) {
    std::string error;
    if (TakeConnectionOption(argc, argv, i, options.connection, error)) continue;
    if (!error.empty()) return Usage(error);
    const std::string_view argument = argv[i];
    std::string* value = nullptr;
    if (argument == "--table") {
      value = &options.table;
    } else if (argument == "--view") {
      value = &options.view;
    } else if (argument == "--engine") {
      value = &options.engine;
    } else if (argument == "--charset") {
      value = &options.charset;
    } else if (argument == "--tables") {
      options.tables = true;
      continue;
    } else if (argument == "--views") {
      options.views = true;
      continue;
    } else {
      return Usage("unexpected argument '" + std::string(argument) + "'");
    }
    if (i + 1 >= argc) return Usage(std::string(argument) + " needs a value");
    *value = argv[++i];
  }
  const std::string missing = MissingConnectionOption(options.connection);
  if (!missing.empty()) return Usage(missing);
  const int choices =
      !options.table.empty() + !options.view.empty() + options.tables + options.views;
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

  MigrateCommand(window);
  if (window.tasks().empty()) return 1;  // refused; the reason is on standard error
  WaitForTasks(window);
  bool allSucceeded = true;
  for (const TaskPtr& task : window.tasks().snapshot()) {
    allSucceeded = allSucceeded && task->stateText() == kStateSuccess;
  }
  return allSucceeded ? 0 : 1;
}

}  // namespace tablift
