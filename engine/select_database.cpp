#include "engine/select_database.h"

#include "access/access_file_names.h"
#include "access/new_database_path.h"
#include "access/source_init_properties.h"
#include "engine/connect_side.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

// Points the side's profile at the database; the side is released first.
void StoreDatabaseName(Connection& side, std::string name) {
  side.close();
  side.profile.catalogName.clear();
  if (IsJetProgId(side.profile.progId)) {
    // "x.MDB" is the file x.MDB, not x.MDB.mdb; a name that merely contains
    // ".mdb" somewhere ("x.mdb.bak") is not a file name with its ending; a
    // database name without one may stand for an .accdb file.
    side.profile.sourceName = AccessFileOf(std::move(name));
  } else {
    side.profile.catalogName = std::move(name);
  }
}

}  // namespace

bool SelectDatabase(Workbench& window, std::string name, int side) {
  if (name.find_first_of("\\/") == std::string::npos) {
    name = FolderPart(window.treeDatabasePath(Workbench::kTargetSide)) + name;
  }
  if (side == Workbench::kSourceSide) {
    StoreDatabaseName(window.sourceConnection(), name);
    ConnectSource(window);
  } else if (side == Workbench::kTargetSide) {
    StoreDatabaseName(window.targetConnection(), name);
    window.setTreeDatabasePath(Workbench::kTargetSide, name);
    ConnectTarget(window);
  }
  return true;
}

}  // namespace tablift
