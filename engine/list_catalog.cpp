#include "engine/list_catalog.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "access/source_init_properties.h"
#include "access/source_tables.h"
#include "core/connection_profile.h"
#include "core/write_line.h"
#include "data_access/ascii_text.h"
#include "data_access/catalog_rowsets.h"
#include "data_access/error_texts.h"
#include "data_access/object_names.h"
#include "data_access/provider_calls.h"
#include "engine/catalog_tree.h"
#include "engine/workbench.h"
#include "mysql/system_schemas.h"

namespace tablift {
namespace {

// A table's or view's own children: its columns in position order and, for a
// table, its indexes (one node per index, however many columns it has).
void AddObjectNode(Session& session, const std::string& catalog, CatalogNode& folder,
                   NodeKind image, const std::string& name) {
  CatalogNode& object = folder.add(image, name);
  CatalogNode& fields = object.add(NodeKind::FieldsFolder, "Fields");
  ColumnsRowset columns;
  if (Succeeded(columns.open(session, catalog, {}, name))) {
    std::vector<std::pair<std::uint32_t, std::string>> ordered;
    while (columns.moveNext() == S_OK) {
      ordered.emplace_back(columns.row().ordinalPosition, columns.row().columnName);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& column : ordered)
      fields.add(NodeKind::Field, std::move(column.second));
  }
  if (image != NodeKind::Table) return;

  CatalogNode& indexes = object.add(NodeKind::IndexesFolder, "Indexes");
  IndexesRowset rows;
  if (Failed(rows.open(session, catalog, {}, {}, {}, name))) return;
  while (rows.moveNext() == S_OK) {
    const std::string& index = rows.row().indexName;
    const bool known = std::any_of(indexes.children.begin(), indexes.children.end(),
                                   [&](const CatalogNode& node) { return node.text == index; });
    if (!known) indexes.add(NodeKind::Index, index);
  }
}

// `catalog` restricts the listings to the database shown: a MySQL driver
// otherwise lists the tables of every database of the server.
// `access`: the Access side, where the temporary tables Access hides stay
// hidden.
void AddTablesAndViews(Session& session, const std::string& catalog, bool access,
                       CatalogNode& database) {
  database.add(NodeKind::TablesFolder, "Tables");
  database.add(NodeKind::ViewsFolder, "Views");
  // Taken after both are added: adding moves the children.
  CatalogNode& tables = database.children[0];
  CatalogNode& views = database.children[1];

  // A list that cannot be opened shows as an empty folder.
  const std::vector<std::string> tableNames =
      (access ? ListSourceTables(&session, "")
              : ObjectNames(&session, catalog, ObjectKind::Table, ""))
          .value_or({});
  for (const std::string& name : tableNames)
    AddObjectNode(session, catalog, tables, NodeKind::Table, name);

  for (const std::string& name : ObjectNames(&session, catalog, ObjectKind::View, "").value_or({}))
    AddObjectNode(session, catalog, views, NodeKind::View, name);
}

}  // namespace

void ListCatalog(Workbench& window, CatalogTree& tree) {
  tree.setBusy(true);
  tree.clear();
  Connection& connection =
      tree.side() == Workbench::kTargetSide ? window.targetConnection() : window.sourceConnection();
  Session* session = connection.openSession();
  if (session == nullptr || !connection.dataSource.isOpen()) {
    tree.setBusy(false);
    return;
  }

  std::string sourceName;
  if (Failed(ReadDataSourceInfo(connection.dataSource, DBPROP_DATASOURCENAME, sourceName))) {
    window.prompter().showMessage("Get Datasource Name Error!", MessageIcon::Error);
  }
  sourceName = TrimBlanks(sourceName);
  CatalogNode root{NodeKind::Root, sourceName.empty() ? "DATABASES" : sourceName, true, {}};

  const bool access = tree.dbmsKind() == kDbmsAccess;
  const bool jet = IsJetProgId(connection.profile.progId);
  std::string current = tree.currentDatabase();
  // An Access tree names its database after the file without ".mdb", while
  // connecting gives it the file name as its current database.
  if (access) {
    current = AccessDatabaseName(current);
    tree.setCurrentDatabase(current);
  }
  if (!jet) {
    CatalogsRowset catalogs;
    if (Failed(catalogs.open(*session))) {
      WriteLine(window, "%s", DescribeOleDbError(&catalogs, InterfaceId::IDBSchemaRowset).c_str());
      tree.replace(std::move(root));
      tree.setBusy(false);
      return;
    }
    while (catalogs.moveNext() == S_OK) {
      if (!access && IsSystemSchema(catalogs.row().catalogName)) continue;
      root.add(NodeKind::Database, catalogs.row().catalogName);
    }
  } else {
    root.add(NodeKind::Database, access ? AccessDatabaseName(sourceName) : sourceName);
  }

  if (current.empty()) {
    ReadDataSourceInfo(connection.dataSource, DBPROP_CURRENTCATALOG, current);
    tree.setCurrentDatabase(current);
  }
  if (!current.empty() && !EqualsIgnoreCase(current, "null")) {
    for (CatalogNode& database : root.children) {
      if (!EqualsIgnoreCase(database.text, current)) continue;
      AddTablesAndViews(*session, jet ? std::string() : database.text, access, database);
      database.expanded = true;
      break;
    }
  }
  tree.replace(std::move(root));
  tree.setBusy(false);
}

}  // namespace tablift
