
#include "cli/condition_command.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_help.h"
#include "cli/connection_options.h"
#include "cli/console_prompter.h"
#include "data_access/ascii_text.h"
#include "engine/catalog_tree.h"
#include "engine/connect_side.h"
#include "engine/migration_condition.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

constexpr const char* kConditionUsage =
    "Usage: tablift-cli condition SOURCE.mdb|SOURCE.accdb TABLE [CONDITION] [--source-password "
    "PASSWORD]\n"
    "  CONDITION is an Access SQL WHERE clause without the word WHERE, for example\n"
    "  'OrderDate >= #1/1/1996# And ShipCountry = \"France\"'; \"\" clears it.\n";

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tablift-cli condition: %s\n", problem.c_str());
  std::fputs(kConditionUsage, stderr);
  return 2;
}

// The path of the table (or view) `name` in the source tree: the exact name
// first, else the one name that differs only in case, as Access names do.
std::optional<std::vector<CatalogStep>> FindSourceObject(const CatalogTree& tree,
                                                         const std::string& name) {
  const CatalogNode root = tree.nodes();
  std::optional<std::vector<CatalogStep>> anyCase;
  for (const CatalogNode& database : root.children) {
    if (database.kind != NodeKind::Database) continue;
    for (const CatalogNode& folder : database.children) {
      for (const CatalogNode& object : folder.children) {
        if (object.kind != NodeKind::Table && object.kind != NodeKind::View) continue;
        const std::vector<CatalogStep> path = {{root.kind, root.text},
                                               {database.kind, database.text},
                                               {folder.kind, folder.text},
                                               {object.kind, object.text}};
        if (object.text == name) return path;
        if (!anyCase && EqualsIgnoreCase(object.text, name)) anyCase = path;
      }
    }
  }
  return anyCase;
}

// As the source tree's tool tip shows a table's condition.
std::string Described(const std::string& condition) {
  return condition.empty() ? "Convert All" : "Condition : " + condition;
}

// The result texts break their lines with "\r\n"; a terminal wants "\n".
std::string ForConsole(std::string text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
    text.erase(at, 1);
  return text;
}

}  // namespace

int RunConditionCommand(int argc, char** argv) {
  if (AsksForHelp(argc, argv)) return ShowHelp(kConditionUsage);
  std::vector<std::string> positional;
  std::string sourcePassword;
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--source-password") {
      if (i + 1 >= argc) return Usage("--source-password needs a value");
      sourcePassword = argv[++i];
    } else if (argument.starts_with("--")) {
      return Usage("unexpected argument '" + std::string(argument) + "'");
    } else {
      positional.emplace_back(argument);
    }
  }
  if (positional.size() < 2) return Usage("name the Access file and the table");
  if (positional.size() > 3) {
    return Usage("give the condition as one argument (in quotes), not '" + positional[3] + "'");
  }
  const std::optional<std::string> newCondition =
      positional.size() == 3 ? std::optional<std::string>(positional[2]) : std::nullopt;

  ConsolePrompter prompter;
  Workbench window(prompter);
  DescribeSourceFile(window.sourceProfile(), positional[0], sourcePassword);
  ConnectSource(window);
  if (window.sourceSession() == nullptr) {
    std::fprintf(stderr, "tablift-cli condition: cannot open the Access file %s\n",
                 positional[0].c_str());
    return 1;
  }
  const std::optional<std::vector<CatalogStep>> path =
      FindSourceObject(window.sourceTree(), positional[1]);
  if (!path) {
    std::fprintf(stderr, "tablift-cli condition: the Access file has no table [%s]\n",
                 positional[1].c_str());
    return 1;
  }
  const ConditionSubject subject = ConditionSubjectOf(*path);
  std::printf("[%s] of [%s]\n", subject.table.c_str(), subject.database.c_str());

  const std::string condition =
      newCondition ? *newCondition : LoadCondition(window, subject.database, subject.table);
  if (!newCondition) std::printf("%s\n", Described(condition).c_str());
  const ConditionTest test = TestCondition(window, subject.table, condition);
  std::printf("%s\n", ForConsole(test.result).c_str());
  if (!newCondition) return test.passed ? 0 : 1;
  if (!test.passed) {
    std::puts("The condition was not saved.");
    return 1;
  }
  std::string error;
  if (!SaveCondition(window, subject.database, subject.table, condition, &error)) {
    std::printf("The condition was not saved: %s\n", error.c_str());
    return 1;
  }
  std::printf("Saved in %s: %s\n", window.conditionFile().c_str(),
              Described(LoadCondition(window, subject.database, subject.table)).c_str());
  return 0;
}

}  // namespace tablift
