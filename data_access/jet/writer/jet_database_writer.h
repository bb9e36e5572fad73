#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/writer/query_design.h"
#include "data_access/jet/writer/relationship_design.h"
#include "data_access/jet/writer/table_design.h"
#include "data_access/jet/writer/write_status.h"

namespace tablift::jet {

// Choices for a new database.
struct DatabaseOptions {
  // When the database was made, as an Access date; the current local time
  // when not given.
  std::optional<double> created;
  // The database password (up to 20 characters); none when empty.
  std::string password;
};

class TableWriter;

// Writes a new Jet 4 (Access 2000-2003) database file: the system tables of
// an empty database, then user tables whose rows are streamed onto pages as
// they come, so that a table of any size is written with little memory.
//
//   JetDatabaseWriter writer;
//   writer.create(path);
//   writer.addTable(design);
//   writer.appendRow("Orders", {std::int64_t{1}, std::string("Text")});
//   writer.finish();
//
// Every call returns a WriteStatus. A refused design or value leaves the
// database as it was and the writer usable; a failure to write the file ends
// the writer, and the incomplete file is deleted. A database that is not
// finished is deleted when the writer goes away.
class JetDatabaseWriter {
 public:
  JetDatabaseWriter();
  ~JetDatabaseWriter();
  JetDatabaseWriter(const JetDatabaseWriter&) = delete;
  JetDatabaseWriter& operator=(const JetDatabaseWriter&) = delete;

  // Creates the file; it must not exist yet (FileExists).
  WriteStatus create(const std::filesystem::path& path, const DatabaseOptions& options = {});

  // Adds an empty user table. Names are unique regardless of letter case.
  WriteStatus addTable(const TableDesign& design);

  // Relates two tables added before. An enforced relationship needs a
  // primary key or unique index over the referenced columns, and must be
  // added before rows if the referencing columns have no index yet. The
  // writer does not check that referencing rows find their match.
  WriteStatus addRelationship(const RelationshipDesign& design);

  // Saves a select query over tables (or queries) added before. Its name
  // shares the tables' name space.
  WriteStatus addQuery(const QueryDesign& design);

  // Appends a row to a table added before, one value per column in column
  // order. Null in an AutoNumber column takes the next number.
  WriteStatus appendRow(std::string_view table, const std::vector<Value>& values);

  // Completes the catalog and the table definitions and closes the file.
  WriteStatus finish();

 private:
  struct State;
  WriteStatus createChecked(const std::filesystem::path& path, const DatabaseOptions& options);
  WriteStatus addTableChecked(const TableDesign& design);
  WriteStatus addRelationshipChecked(const RelationshipDesign& design);
  WriteStatus addQueryChecked(const QueryDesign& design);
  WriteStatus appendRowChecked(std::string_view table, const std::vector<Value>& values);
  WriteStatus finishChecked();
  WriteStatus guarded(const std::function<WriteStatus()>& body);
  WriteStatus fail(WriteStatus status);
  TableWriter* findTable(std::string_view name) const;
  // Whether a user table, a query or a system table has the name, whatever
  // its case.
  bool nameTaken(std::string_view name) const;

  std::unique_ptr<State> state_;
};

}  // namespace tablift::jet
