#pragma once

#include <string>

#include "engine/catalog_tree.h"

namespace tablift {

class Workbench;

// The commands that manage the MySQL side from the target tree. Each takes
// the node it works on (the target tree's selection in the desktop program, a
// node named on the command line), asks its questions through the
// workbench's prompter, runs its statements quietly on the target session,
// writes what the user must know to the log and keeps the target tree in step.
//
// Tables and views are always dropped in the database their node belongs to:
// the target session may have been left in another database by a migration,
// so that database is made the session's current one first. Because that
// changes the session the controller's tasks run on, the commands that do it
// are refused while tasks run (the user is asked to stop them).
//
// A statement the server refuses is written to the log as a "T::" line with
// the server's reason; its node stays in the tree.

// Asks for a name and creates the database exactly as typed; on success the
// tree is listed anew. False when the user cancelled or the server refused.
bool NewDatabaseCommand(Workbench& window);

// Drops the selected database after two confirmations, then lists the tree
// anew.
bool DeleteDatabaseCommand(Workbench& window, const CatalogSelection& node);

// Drops every view, then every table, that the tree lists under the selected
// database (two confirmations first), then lists the tree anew.
bool ClearAllTablesCommand(Workbench& window, const CatalogSelection& node);

// Empties every table the tree lists under the selected database (two
// confirmations first): the rows go, the tables, their keys and the views on
// them stay.
bool ClearAllDataCommand(Workbench& window, const CatalogSelection& node);

// Drop Table and Drop View ask nothing; the node goes on success.
bool DropTableCommand(Workbench& window, const CatalogSelection& node);
bool DropViewCommand(Workbench& window, const CatalogSelection& node);

// Renames the table of the node; the node takes the new name on success.
bool RenameTableCommand(Workbench& window, const CatalogSelection& node,
                        const std::string& newName);

// The main window's Delete command on the target tree's selection: a
// database, a table, a view, or all tables or views of a folder, each after
// two confirmations. Refused while tasks run, without a target connection and
// without a selection.
void DeleteSelectedCommand(Workbench& window);

}  // namespace tablift
