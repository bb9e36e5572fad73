#include "cli/db_command.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_help.h"
#include "cli/connection_options.h"
#include "cli/console_log.h"
#include "cli/terminal_prompter.h"
#include "data_access/ascii_text.h"
#include "engine/catalog_tree.h"
#include "engine/target_management.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

constexpr const char* kServerUsage =
    "[--server HOST[:PORT] --user USER --password PASSWORD | --dsn NAME] [--yes]";

// What the management commands take: their own words, the server options and
// --yes.
struct Arguments {
  std::vector<std::string> words;
  ConnectionOptions connection;
  bool yes = false;
};

void PrintUsage(std::FILE* to, const char* command, const char* form) {
  std::fprintf(to, "Usage: tablift-cli %s %s\n       %s\n", command, form, kServerUsage);
}

int Usage(const char* command, const std::string& problem, const char* form) {
  std::fprintf(stderr, "tablift-cli %s: %s\n", command, problem.c_str());
  PrintUsage(stderr, command, form);
  return 2;
}

// The command's usage on standard output when its arguments ask for it.
std::optional<int> Help(int argc, char** argv, const char* command, const char* form) {
  if (!AsksForHelp(argc, argv)) return std::nullopt;
  PrintUsage(stdout, command, form);
  return 0;
}

std::optional<std::string> Parse(int argc, char** argv, Arguments& arguments) {
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--yes" || argument == "-y") {
      arguments.yes = true;
      continue;
    }
    if (!argument.starts_with("-")) {
      arguments.words.emplace_back(argument);
      continue;
    }
    std::string error;
    if (argument != "--source-password" &&
        TakeConnectionOption(argc, argv, i, arguments.connection, error))
      continue;
    return error.empty() ? "unexpected argument '" + std::string(argument) + "'" : error;
  }
  const std::string missing = MissingConnectionOption(arguments.connection);
  if (!missing.empty()) return missing;
  return std::nullopt;
}

// The path of a database node as the target tree names it: the tree's own
// spelling when it lists the database, else the name as given.
std::vector<CatalogStep> DatabasePath(Workbench& window, const std::string& name) {
  const CatalogNode root = window.targetTree().nodes();
  std::string text = name;
  for (const CatalogNode& database : root.children) {
    if (database.text == name) {
      text = database.text;
      break;
    }
    if (EqualsIgnoreCase(database.text, name)) text = database.text;
  }
  return {{NodeKind::Root, root.text}, {NodeKind::Database, text}};
}

CatalogSelection ObjectSelection(Workbench& window, const std::string& database, NodeKind image,
                                 const std::string& name) {
  std::vector<CatalogStep> path = DatabasePath(window, database);
  if (image == NodeKind::View) {
    path.push_back({NodeKind::ViewsFolder, "Views"});
  } else {
    path.push_back({NodeKind::TablesFolder, "Tables"});
  }
  path.push_back({image, name});
  return CatalogSelection{path};
}

// Connects the target (into `database` when given) and runs `command` on it.
template <typename Command>
int WithServer(Arguments& arguments, const std::string& database, std::optional<std::string> text,
               Command command) {
  TerminalPrompter prompter(arguments.yes, std::move(text));
  Workbench window(prompter);
  ConsoleLog log(window);
  if (!ConnectTargetSide(window, arguments.connection, database)) return 1;
  return command(window) ? 0 : 1;
}

// drop-table and drop-view: one object of a database, named.
int RunDropObject(int argc, char** argv, const char* command, const char* form, NodeKind kind,
                  const char* what, bool (*drop)(Workbench&, const CatalogSelection&)) {
  if (const auto help = Help(argc, argv, command, form)) return *help;
  Arguments arguments;
  if (const auto problem = Parse(argc, argv, arguments)) return Usage(command, *problem, form);
  const std::string database = arguments.connection.database;
  if (arguments.words.size() != 1 || database.empty())
    return Usage(command, std::string("name one ") + what + " and its database", form);
  return WithServer(arguments, database, std::nullopt, [&](Workbench& window) {
    return drop(window, ObjectSelection(window, database, kind, arguments.words[0]));
  });
}

}  // namespace

int RunDbCommand(int argc, char** argv) {
  constexpr const char* kForm = "create|drop|clear-tables|clear-data NAME";
  if (const auto help = Help(argc, argv, "db", kForm)) return *help;
  Arguments arguments;
  if (const auto problem = Parse(argc, argv, arguments)) return Usage("db", *problem, kForm);
  if (!arguments.connection.database.empty())
    return Usage("db", "the database is named without --database", kForm);
  if (arguments.words.size() != 2) return Usage("db", "name an action and a database", kForm);
  const std::string action = arguments.words[0];
  const std::string name = arguments.words[1];
  if (action == "create") {
    // The name goes to the server exactly as typed, as the desktop program's
    // New Database sends it.
    return WithServer(arguments, "", name,
                      [](Workbench& window) { return NewDatabaseCommand(window); });
  }
  if (action == "drop") {
    return WithServer(arguments, "", std::nullopt, [&](Workbench& window) {
      return DeleteDatabaseCommand(window, CatalogSelection{DatabasePath(window, name)});
    });
  }
  if (action == "clear-tables" || action == "clear-data") {
    const bool tables = action == "clear-tables";
    return WithServer(arguments, name, std::nullopt, [&](Workbench& window) {
      const CatalogSelection database{DatabasePath(window, name)};
      return tables ? ClearAllTablesCommand(window, database)
                    : ClearAllDataCommand(window, database);
    });
  }
  return Usage("db", "unknown action '" + action + "'", kForm);
}

int RunDropTableCommand(int argc, char** argv) {
  return RunDropObject(argc, argv, "drop-table", "TABLE --database NAME", NodeKind::Table, "table",
                       DropTableCommand);
}

int RunDropViewCommand(int argc, char** argv) {
  return RunDropObject(argc, argv, "drop-view", "VIEW --database NAME", NodeKind::View, "view",
                       DropViewCommand);
}

int RunRenameTableCommand(int argc, char** argv) {
  constexpr const char* kForm = "OLD NEW --database NAME";
  if (const auto help = Help(argc, argv, "rename-table", kForm)) return *help;
  Arguments arguments;
  if (const auto problem = Parse(argc, argv, arguments))
    return Usage("rename-table", *problem, kForm);
  const std::string database = arguments.connection.database;
  if (arguments.words.size() != 2 || database.empty())
    return Usage("rename-table", "name the table, its new name and its database", kForm);
  return WithServer(arguments, database, std::nullopt, [&](Workbench& window) {
    return RenameTableCommand(
        window, ObjectSelection(window, database, NodeKind::Table, arguments.words[0]),
        arguments.words[1]);
  });
}

}  // namespace tablift
