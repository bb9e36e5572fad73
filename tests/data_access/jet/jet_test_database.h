#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "data_access/catalog_rowsets.h"
#include "data_access/data_source.h"
#include "data_access/db_types.h"
#include "data_access/session.h"

// Opening the real Access files of ../shared/fixtures through the provider
// registry, the way the connect flow opens an Access source.
namespace tablift::test {

// The path of a fixture file; nothing when the fixtures are absent.
std::optional<std::string> JetFixture(const char* name);

#define TABLIFT_JET_FIXTURE_OR_SKIP(variable, name)                    \
  const std::optional<std::string> variable##_path = JetFixture(name); \
  if (!variable##_path) GTEST_SKIP() << "no fixture " << (name);       \
  const std::string& variable = *variable##_path

struct JetConnection {
  DataSource dataSource;
  Session session;
};

// Opens "Microsoft.Jet.OLEDB.4.0" with the initialisation properties of an
// Access source (data source = the path, password = `password`) and a
// session on it. The data source's result is returned; on failure
// `error` holds DescribeOleDbError's text.
HResult OpenJet(const std::string& path, const std::string& password, JetConnection& connection,
                std::string* error = nullptr);

std::vector<TableRow> ListTables(Session& session, const std::string& type = {});
std::vector<ColumnRow> ListColumns(Session& session, const std::string& table);
std::vector<IndexRow> ListIndexes(Session& session, const std::string& table);

// The result of a statement: the rowset's column information (bookmark
// included) and every row's values, whole, in the provider's text form.
struct QueryRows {
  std::string error;  // RunTextQuery's result text
  std::vector<ColumnInfo> columns;
  std::vector<std::vector<ColumnValue>> rows;
};
QueryRows RunQuery(Session& session, const std::string& sql);

// Every value of a table against mdb-export: text, long text, dates, currency,
// integers, binary; real numbers by value (mdb-export prints them with a
// fixed number of digits), Yes/No as 1 and 0. Skips when mdb-export is not
// there.
void ExpectSameAsMdbExport(Session& session, const std::string& path, const std::string& table);

// The reader processes of this test program (its children).
std::vector<pid_t> ReaderProcesses();

}  // namespace tablift::test
