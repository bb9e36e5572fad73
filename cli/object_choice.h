#pragma once

#include "cli/console_log.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog_tree.h"
#include "engine/requests.h"

namespace tablift {

class Workbench;

// Which object of a database a command works on: the whole database, its
// "Tables" or "Views" folder, or one table or view (--table T, --view V,
// --tables, --views).
struct ObjectChoice {
  std::string table;
  std::string view;
  bool tables = false;
  bool views = false;

  int count() const { return !table.empty() + !view.empty() + tables + views; }
  bool any() const { return count() > 0; }
};

inline constexpr const char* kObjectChoiceUsage = "[--table T | --view V | --tables | --views]";

// Takes argv[i] (and its value) when it is one of the options above,
// advancing i past what it took. False when it is something else, or (with
// `error` set) when its value is missing.
bool TakeObjectOption(int argc, char** argv, int& i, ObjectChoice& choice, std::string& error);

// The child of `node` of the given kind and text (compared without regard to
// case when `anyCase`), or null.
const CatalogNode* ChildOf(const CatalogNode& node, NodeKind image, std::string_view text,
                           bool anyCase = false);
// The tree hands out copies of its nodes: a child of a temporary copy would
// dangle, so the copy must be kept by the caller.
const CatalogNode* ChildOf(CatalogNode&& node, NodeKind image, std::string_view text,
                           bool anyCase = false) = delete;

// The part of `database` the choice names, with the object's name as the tree
// spells it. Nothing, after saying on standard error what `where` (such as
// "the Access file") lacks, when the tree does not show it.
struct ChosenObject {
  ObjectScope scope = ObjectScope::Database;
  std::string object{};  // for a single table or view
};
std::optional<ChosenObject> FindChosenObject(const CatalogNode& database,
                                             const ObjectChoice& choice, std::string_view command,
                                             std::string_view where);

// Waits for the controller to finish, showing the tasks' progress on a
// terminal; then true when every task succeeded.
// With Verbosity::Quiet nothing is shown meanwhile; with Verbose the progress
// is also written as plain lines on standard output when it is no terminal.
bool WaitForTasks(Workbench& window, Verbosity verbosity = Verbosity::Normal);

}  // namespace tablift
