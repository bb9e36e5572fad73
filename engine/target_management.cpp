#include "engine/target_management.h"

#include <string_view>
#include <vector>

#include "core/write_line.h"
#include "data_access/ascii_text.h"
#include "engine/controller_commands.h"
#include "engine/list_catalog.h"
#include "engine/use_database.h"
#include "engine/workbench.h"
#include "mysql/catalog_statements.h"
#include "mysql/execute_statement.h"

namespace tablift {
namespace {

using Path = std::vector<CatalogStep>;

const char kNoDatabaseSelected[] = "No Database in TARGET Side be Selected!";

std::string CannotRestore(const std::string& what) {
  return "After remove, you can not restore " + what +
         " again! Continue?\nPress YES to Continue Removing!";
}

// The two questions of every command that removes a database or several
// objects: OK to go on, then Yes to go on.
bool ConfirmTwice(Workbench& window, const std::string& question, const std::string& warning) {
  return window.prompter().askOkCancel(question) && window.prompter().askYesNo(warning);
}

// The database name of a database node; "" when the node is none, after
// telling the user so.
std::string SelectedDatabase(Workbench& window, const CatalogSelection& node) {
  std::string database = node.kind() == NodeKind::Database ? TrimBlanks(node.text()) : "";
  if (database.empty()) window.prompter().showMessage(kNoDatabaseSelected, MessageIcon::Warning);
  return database;
}

void ReportRefusal(Workbench& window, const std::string& failure) {
  if (!failure.empty()) WriteLine(window, "T::%s", failure.c_str());
}

// Makes `database` the target session's current database, so that the
// unqualified drop and rename statements reach the objects of that database
// and no other. False (after saying so) when the server refuses.
bool EnterDatabase(Workbench& window, const std::string& database) {
  if (window.targetSession() == nullptr) {
    WriteNoConnectionLine(window);
    return false;
  }
  if (database.empty() || !UseDatabase(window, database, Workbench::kTargetSide)) {
    WriteLine(window, "E::Database [%s] cannot be selected!", database.c_str());
    return false;
  }
  return true;
}

// The texts of the children of the node at `path` in the tree, in tree order.
std::vector<std::string> ChildrenOf(Workbench& window, const Path& path) {
  std::vector<std::string> names;
  const CatalogNode root = window.targetTree().nodes();
  if (const CatalogNode* node = CatalogTree::Find(root, path)) {
    for (const CatalogNode& child : node->children)
      names.push_back(child.text);
  }
  return names;
}

// The path of the folder of one kind directly under a database node.
Path FolderPath(Workbench& window, const Path& database, NodeKind folderImage) {
  const CatalogNode root = window.targetTree().nodes();
  if (const CatalogNode* node = CatalogTree::Find(root, database)) {
    for (const CatalogNode& child : node->children) {
      if (child.kind != folderImage) continue;
      Path path = database;
      path.push_back({folderImage, child.text});
      return path;
    }
  }
  return {};
}

Path ChildPath(const Path& parent, NodeKind image, const std::string& text) {
  Path path = parent;
  path.push_back({image, text});
  return path;
}

// Drops one table or view of the current database; its node at `path` goes
// when the server accepted.
bool DropObject(Workbench& window, const std::string& database, const Path& path) {
  std::string failure;
  const std::string& name = path.back().text;
  const bool dropped =
      path.back().kind == NodeKind::View
          ? DropTargetView(window, window.targetSession(), name, &failure)
          : DropTargetTable(window, window.targetSession(), database, name, &failure);
  if (!dropped) {
    ReportRefusal(window, failure);
    return false;
  }
  window.targetTree().remove(path);
  return true;
}

// Drops every object under a folder node, in tree order, removing each node
// dropped; gives the number dropped.
int DropFolder(Workbench& window, const std::string& database, const Path& folder,
               NodeKind objectImage) {
  int dropped = 0;
  for (const std::string& name : ChildrenOf(window, folder)) {
    if (DropObject(window, database, ChildPath(folder, objectImage, name))) ++dropped;
  }
  return dropped;
}

void RefreshTargetTree(Workbench& window) {
  ListCatalog(window, window.targetTree());
}

bool RunSetting(Workbench& window, const char* statement) {
  return ExecuteStatement(window, window.targetSession(), statement).ok();
}

}  // namespace

bool NewDatabaseCommand(Workbench& window) {
  std::string failure;
  if (!CreateTargetDatabase(window, window.targetSession(), "", false, &failure)) {
    ReportRefusal(window, failure);
    return false;
  }
  RefreshTargetTree(window);
  return true;
}

bool DeleteDatabaseCommand(Workbench& window, const CatalogSelection& node) {
  const std::string database = SelectedDatabase(window, node);
  if (database.empty()) return false;
  if (!ConfirmTwice(window, "Remove database [" + database + "]?",
                    CannotRestore("[" + database + "]")))
    return false;
  std::string failure;
  const bool dropped = DropTargetDatabase(window, window.targetSession(), database, &failure);
  window.targetProfile().catalogName.clear();
  if (!dropped) ReportRefusal(window, failure);
  RefreshTargetTree(window);
  return dropped;
}

bool ClearAllTablesCommand(Workbench& window, const CatalogSelection& node) {
  const std::string database = SelectedDatabase(window, node);
  if (database.empty()) return false;
  if (!MayRunBesideTasks(window)) return false;
  if (!ConfirmTwice(window, "Remove all the tables of [" + database + "]?",
                    CannotRestore("[" + database + "]")))
    return false;
  if (!EnterDatabase(window, node.text())) return false;
  // Views first: they stand on the tables.
  const Path views = FolderPath(window, node.path, NodeKind::ViewsFolder);
  const Path tables = FolderPath(window, node.path, NodeKind::TablesFolder);
  if (!views.empty()) DropFolder(window, node.text(), views, NodeKind::View);
  if (!tables.empty()) DropFolder(window, node.text(), tables, NodeKind::Table);
  RefreshTargetTree(window);
  return true;
}

bool ClearAllDataCommand(Workbench& window, const CatalogSelection& node) {
  const std::string database = SelectedDatabase(window, node);
  if (database.empty()) return false;
  if (!MayRunBesideTasks(window)) return false;
  if (!ConfirmTwice(window, "Delete all the data of [" + database + "]?",
                    CannotRestore("[" + database + "]")))
    return false;
  if (!EnterDatabase(window, node.text())) return false;
  const Path tables = FolderPath(window, node.path, NodeKind::TablesFolder);
  // Every table is emptied, so the order of the tables does not matter: rows
  // that others refer to may go first.
  RunSetting(window, "set foreign_key_checks=0");
  int emptied = 0;
  for (const std::string& table :
       tables.empty() ? std::vector<std::string>{} : ChildrenOf(window, tables)) {
    std::string failure;
    if (EmptyTargetTable(window, window.targetSession(), table, &failure)) {
      ++emptied;
    } else {
      ReportRefusal(window, failure);
    }
  }
  RunSetting(window, "set foreign_key_checks=1");
  WriteLine(window, "[%d] tables emptied!", emptied);
  return true;
}

bool DropTableCommand(Workbench& window, const CatalogSelection& node) {
  if (node.kind() != NodeKind::Table) return false;
  const std::string database = node.nearest(NodeKind::Database);
  if (!MayRunBesideTasks(window) || !EnterDatabase(window, database)) return false;
  return DropObject(window, database, node.path);
}

bool DropViewCommand(Workbench& window, const CatalogSelection& node) {
  if (node.kind() != NodeKind::View) return false;
  const std::string database = node.nearest(NodeKind::Database);
  if (!MayRunBesideTasks(window) || !EnterDatabase(window, database)) return false;
  return DropObject(window, database, node.path);
}

bool RenameTableCommand(Workbench& window, const CatalogSelection& node,
                        const std::string& newName) {
  if (node.kind() != NodeKind::Table || newName.empty() || newName == node.text()) return false;
  if (!MayRunBesideTasks(window) || !EnterDatabase(window, node.nearest(NodeKind::Database)))
    return false;
  std::string failure;
  if (!RenameTargetTable(window, window.targetSession(), node.text(), newName, &failure)) {
    ReportRefusal(window, failure);
    return false;
  }
  window.targetTree().rename(node.path, newName);
  return true;
}

void DeleteSelectedCommand(Workbench& window) {
  if (!MayRunBesideTasks(window)) return;
  Prompter& prompter = window.prompter();
  if (window.targetSession() == nullptr) {
    prompter.showHint("Press Config button, and get a successful target Connection!");
    prompter.showMessage("No Target DataSource Connection!", MessageIcon::Warning);
    return;
  }
  const CatalogSelection node = window.targetTree().selection();
  if (node.empty()) {
    prompter.showHint("Please select a table, tables, views or database on target Database Tree!");
    prompter.showMessage("No selected Object to delete!", MessageIcon::Warning);
    return;
  }
  const std::string database = node.nearest(NodeKind::Database);
  const std::string& name = node.text();
  switch (node.kind()) {
    case NodeKind::Database: {
      if (!ConfirmTwice(window, "Delete database [" + name + "]?", CannotRestore("[" + name + "]")))
        return;
      WriteLine(window, "Remove Database [%s]!", name.c_str());
      std::string failure;
      const bool dropped = DropTargetDatabase(window, window.targetSession(), name, &failure);
      window.targetProfile().catalogName.clear();
      if (dropped) {
        window.targetTree().remove(node.path);
      } else {
        ReportRefusal(window, failure);
      }
      return;
    }
    case NodeKind::Table:
    case NodeKind::View: {
      const bool table = node.kind() == NodeKind::Table;
      const std::string qualified = "[" + database + "." + name + "]";
      const std::string question =
          (table ? "Delete the table " : "Delete the view ") + qualified + "?";
      const std::string warning = table
                                      ? "After remove, you can not restore the table " + qualified +
                                            "! Continue?\nPress YES to Continue Removing!"
                                      : CannotRestore("the view " + qualified);
      if (!ConfirmTwice(window, question, warning)) return;
      WritePlainLine(window, question);
      if (EnterDatabase(window, database)) DropObject(window, database, node.path);
      return;
    }
    case NodeKind::TablesFolder:
    case NodeKind::ViewsFolder: {
      const bool tables = node.kind() == NodeKind::TablesFolder;
      const std::string question =
          (tables ? "Delete all the tables of [" : "Delete all the views of [") + database + "]?";
      const std::string warning = tables ? CannotRestore("[" + database + "]")
                                         : CannotRestore("the views of [" + database + "]");
      if (!ConfirmTwice(window, question, warning)) return;
      WritePlainLine(window, question);
      if (!EnterDatabase(window, database)) return;
      const int dropped =
          DropFolder(window, database, node.path, tables ? NodeKind::Table : NodeKind::View);
      WriteLine(window, tables ? "[%d] tables removed!" : "[%d] views removed!", dropped);
      return;
    }
    default:
      return;
  }
}

}  // namespace tablift
