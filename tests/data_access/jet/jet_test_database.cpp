#include "tests/data_access/jet/jet_test_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "data_access/error_texts.h"
#include "data_access/property_set.h"
#include "data_access/provider_registry.h"
#include "data_access/text_query.h"
#include "tests/support/mdb_export_table.h"
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

void ExpectSameAsMdbExport(Session& session, const std::string& path, const std::string& table) {
  const std::optional<ExportedTable> exported = MdbExport(path, table);
  if (!exported) GTEST_SKIP() << "mdb-export is not available";
  const QueryRows result = RunQuery(session, "select * from [" + table + "]");
  ASSERT_EQ(result.error, "");
  ASSERT_EQ(result.rows.size(), exported->rows.size());
  std::vector<std::size_t> exportedColumn;
  for (std::size_t k = 1; k < result.columns.size(); ++k) {
    const auto found =
        std::find(exported->header.begin(), exported->header.end(), result.columns[k].name);
    ASSERT_NE(found, exported->header.end()) << result.columns[k].name;
    exportedColumn.push_back(static_cast<std::size_t>(found - exported->header.begin()));
  }
  for (std::size_t r = 0; r < result.rows.size(); ++r) {
    for (std::size_t c = 0; c < exportedColumn.size(); ++c) {
      const ColumnValue& ours = result.rows[r][c];
      const ExportedCell& theirs = exported->rows[r][exportedColumn[c]];
      const std::uint16_t type = result.columns[c + 1].type;
      SCOPED_TRACE(table + " row " + std::to_string(r) + " column " + result.columns[c + 1].name);
      if (type == DBTYPE_BOOL) {
        EXPECT_EQ(ours.text, theirs == "1" ? "True" : "False");
      } else if (!theirs && !ours.null && ours.text.empty()) {
        // mdb-export writes an empty text as it writes Null: nothing.
      } else if (ours.null || !theirs) {
        EXPECT_EQ(ours.null, !theirs.has_value());
      } else if (type == DBTYPE_R4) {
        EXPECT_EQ(std::stof(ours.text), std::stof(*theirs));
      } else if (type == DBTYPE_R8) {
        EXPECT_NEAR(std::stod(ours.text), std::stod(*theirs),
                    std::fabs(std::stod(ours.text)) * 1e-15);
      } else {
        EXPECT_EQ(ours.text, *theirs);
      }
    }
  }
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
