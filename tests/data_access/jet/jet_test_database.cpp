#include "tests/data_access/jet/jet_test_database.h"

#include <filesystem>
#include <fstream>

#include "data_access/error_texts.h"
#include "data_access/property_set.h"
#include "data_access/provider_registry.h"
#include "data_access/text_query.h"
#include "tests/support/test_paths.h"

namespace tablift::test {

std::optional<std::string> JetFixture(const char* name) {
  const std::optional<std::filesystem::path> directory = FixturesDirectory();
  if (!directory) return std::nullopt;
  const std::filesystem::path path = *directory / name;
  if (!std::filesystem::exists(path)) return std::nullopt;
  return path.string();
}

HResult OpenJet(const std::string& path, const std::string& password, JetConnection& connection,
                std::string* error) {
  PropertySet init(PropertySetId::DBInit);
  init.addString(DBPROP_AUTH_PASSWORD, password);
  init.addString(DBPROP_AUTH_USERID, std::string("Admin"));
  init.addString(DBPROP_INIT_DATASOURCE, path);
  init.addInt32(DBPROP_INIT_MODE, DB_MODE_SHARE_DENY_NONE);
  init.addInt16(DBPROP_INIT_PROMPT, DBPROMPT_NOPROMPT);
  init.addString(DBPROP_INIT_PROVIDERSTRING, std::string(";COUNTRY=0;CP=1252;LANGID=0x0409"));
  Clsid clsid = nullptr;
  HResult result = CLSIDFromProgID("Microsoft.Jet.OLEDB.4.0", clsid);
  if (result == S_OK) result = connection.dataSource.open(clsid, &init, 1);
  if (result != S_OK) {
    if (error != nullptr) {
      *error = DescribeOleDbError(&connection.dataSource, InterfaceId::IDBInitialize);
    }
    return result;
  }
  return connection.session.open(connection.dataSource);
}

std::vector<TableRow> ListTables(Session& session, const std::string& type) {
  std::vector<TableRow> rows;
  TablesRowset rowset;
  if (rowset.open(session, {}, {}, {}, type) != S_OK) return rows;
  while (rowset.moveNext() == S_OK)
    rows.push_back(rowset.row());
  return rows;
}

std::vector<ColumnRow> ListColumns(Session& session, const std::string& table) {
  std::vector<ColumnRow> rows;
  ColumnsRowset rowset;
  if (rowset.open(session, {}, {}, table) != S_OK) return rows;
  while (rowset.moveNext() == S_OK)
    rows.push_back(rowset.row());
  return rows;
}

std::vector<IndexRow> ListIndexes(Session& session, const std::string& table) {
  std::vector<IndexRow> rows;
  IndexesRowset rowset;
  if (rowset.open(session, {}, {}, {}, {}, table) != S_OK) return rows;
  while (rowset.moveNext() == S_OK)
    rows.push_back(rowset.row());
  return rows;
}

QueryRows RunQuery(Session& session, const std::string& sql) {
  QueryRows result;
  const PropertySet properties = QueryRowsetProperties();
  result.error = RunTextQuery(
      &session, sql, &properties,
      [&](const TextRow& row) {
        std::vector<ColumnValue> values;
        // The first entry of the column information is the bookmark.
        for (std::size_t ordinal = 1; ordinal < row.columnCount(); ++ordinal) {
          ColumnValue value;
          row.fullValue(ordinal, value);
          values.push_back(std::move(value));
        }
        result.rows.push_back(std::move(values));
        return true;
      },
      [&](const std::vector<ColumnInfo>& columns) {
        result.columns = columns;
        return true;
      });
  return result;
}

std::vector<pid_t> ReaderProcesses() {
  std::vector<pid_t> children;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream list(task.path() / "children");
    pid_t child = 0;
    while (list >> child)
      children.push_back(child);
  }
  return children;
}

}  // namespace tablift::test
