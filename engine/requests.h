#pragma once

#include <optional>
#include <string>

#include "engine/catalog_tree.h"

namespace tablift {

// What part of one database a migration or a backup works on.
enum class ObjectScope { Database, Tables, Table, Views, View };

// Whether a scope names one object (a table or a view) rather than a database
// or all of one kind.
bool IsSingleObject(ObjectScope scope);

// A migration as the engine takes it, whoever asks: the window builds it from
// its trees' selections, the command line from its arguments.
struct MigrationRequest {
  ObjectScope scope = ObjectScope::Database;
  std::string sourceDatabase{};  // as the source side names it
  std::string object{};          // the table or view, for a single object
  // The existing target database; empty to clone the source database into a
  // new database of the same name (scope Database only).
  std::string targetDatabase{};
  // Continue an interrupted migration into the same database: what the
  // target already holds stays, only what is missing is made or loaded.
  bool resume = false;
};

// A backup of target objects into script files.
struct BackupRequest {
  ObjectScope scope = ObjectScope::Database;
  std::string database{};  // the target database
  std::string object{};    // the table or view, for a single object
  std::string folder{};    // the folder chosen; a file-system root gets "Backup.Script"
};

// The scope a catalog node stands for (a database, its "Tables" or "Views"
// folder, a table or a view); nothing for any other node.
std::optional<ObjectScope> ScopeOfNode(NodeKind kind);

}  // namespace tablift
