#include "data_access/object_names.h"

#include "data_access/catalog_rowsets.h"

namespace tablift {

HResult ListObjectNames(Session& session, std::string_view catalog, ObjectKind kind,
                        std::vector<std::string>& names) {
  const bool views = kind == ObjectKind::View;
  TablesRowset rows;
  const HResult opened = rows.open(session, catalog, {}, {}, views ? "VIEW" : "TABLE");
  if (Failed(opened)) return opened;
  while (rows.moveNext() == S_OK) {
    const TableRow& row = rows.row();
    if (views) {
      if (row.tableType != "VIEW" || row.tableSchema == "sys" ||
          row.tableSchema == "INFORMATION_SCHEMA") {
        continue;
      }
    } else if (row.tableType == "VIEW") {
      continue;
    }
    names.push_back(row.tableName);
  }
  return opened;
}

}  // namespace tablift
