#include "target_mysql/data_backup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/row_script_file.h"
#include "data_access/safe_file_name.h"
#include "data_access/text_query.h"
#include "target_mysql/sql_literals.h"
#include "target_mysql/value_literals.h"

namespace tablift {
std::string BackupTableData(Workbench& window, Session* session, std::string_view tableName,
                            const std::filesystem::path& directory) {
  if (session == nullptr || !session->isOpen()) {
    WritePlainLine(window, DescribeSystemError("No Source Connection!"));
    return "";
  }
  const std::string table(tableName);
  const std::string fileName = (directory / (SafeFileName(table) + ".data")).string();
  const std::string prefix = "insert into " + QuoteIdentifier(table) + " values (";

  RowScriptFile file;
  std::string fileFailure;
  std::vector<ColumnInfo> columns;
  long rows = 0;
  bool stopped = false;
  // One row at a time, their memory kept from row to row.
  std::string line;
  ColumnValue value;

  const PropertySet properties = QueryRowsetProperties();
  std::string fetchFailure;
  const std::string failure = RunWholeValueQuery(
      session, "select * from " + QuoteIdentifier(table) + ";", &properties,
      [&](const TextRow& row) {
        line = prefix;
        for (std::size_t i = 1; i <= columns.size(); ++i) {
          if (i > 1) line += ',';
          // A value cut to the text slot would pass for the whole value.
          if (const HResult read = row.fullValue(i, value); Failed(read)) {
            fetchFailure = "column " + std::to_string(i) + ": " + DescribeStepFailure(read, "Read");
            return false;
          }
          AppendValueLiteral(columns[i - 1].type, value, line);
        }
        line += ");\n";
        if (!file.write(line)) {
          fileFailure = std::strerror(errno);
          return false;
        }
        ++rows;
        if (rows % 1000 == 0) WriteLine(window, "[%s] %ld records backuped!", table.c_str(), rows);
        if (window.runFlag().load() == kRunStopRequested) {
          WriteLine(window, "Data Converting Terminaled!");
          stopped = true;
          return false;
        }
        return true;
      },
      [&](const std::vector<ColumnInfo>& info) {
        columns = info;
        // The file is made only once the statement has run, so a failing
        // statement leaves no empty file behind.
        if (!file.open(fileName)) {
          fileFailure = std::strerror(errno);
          return false;
        }
        return true;
      },
      &fetchFailure);

  if (!fileFailure.empty() || (file.isOpen() && !file.flush())) {
    if (fileFailure.empty()) fileFailure = std::strerror(errno);
    const std::string message =
        "Backup of [" + table + "] could not write [" + fileName + "]: " + fileFailure;
    WriteLine(window, "E::%s", message.c_str());
    return message;
  }
  if (!failure.empty()) return failure;
  if (!fetchFailure.empty()) {
    // A row the server could not deliver must not pass for the end of the table.
    const std::string message = "Backup of [" + table + "] could not read the rows after " +
                                std::to_string(rows) + " records: " + fetchFailure;
    WriteLine(window, "E::%s", message.c_str());
    return message;
  }
  WriteLine(window, "[%s]%8ld records backuped!!!", table.c_str(), rows);
  if (!file.close()) {
    const std::string message =
        "Backup of [" + table + "] could not write [" + fileName + "]: " + std::strerror(errno);
    WriteLine(window, "E::%s", message.c_str());
    return message;
  }
  return std::string(stopped ? kBackupStopped : kBackupWritten);
}

}  // namespace tablift
