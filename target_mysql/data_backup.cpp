#include "target_mysql/data_backup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/db_types.h"
#include "data_access/error_texts.h"
#include "data_access/safe_file_name.h"
#include "data_access/text_query.h"
#include "target_mysql/sql_literals.h"

namespace tablift {
namespace {

bool IsNumericType(std::uint16_t type) {
  switch (type) {
    case DBTYPE_I1:
    case DBTYPE_I2:
    case DBTYPE_I4:
    case DBTYPE_I8:
    case DBTYPE_UI1:
    case DBTYPE_UI2:
    case DBTYPE_UI4:
    case DBTYPE_UI8:
    case DBTYPE_R4:
    case DBTYPE_R8:
    case DBTYPE_CY:
    case DBTYPE_DECIMAL:
    case DBTYPE_NUMERIC:
    case DBTYPE_BOOL:
      return true;
    default:
      return false;
  }
}

// One value as a literal of an INSERT statement.
std::string ValueLiteral(const ColumnInfo& column, const ColumnValue& value) {
  if (value.null) return "NULL";
  if (column.type == DBTYPE_BYTES) return HexLiteral(value.text);
  // A number the provider could not render would break the statement; it is
  // then kept as a string and left for the server to convert.
  if (IsNumericType(column.type) && !value.text.empty()) return value.text;
  return StringLiteral(value.text);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string BackupTableData(Workbench& window, Session* session, std::string_view tableName) {
  if (session == nullptr || !session->isOpen()) {
    WritePlainLine(window, DescribeSystemError("No Source Connection!"));
    return "";
  }
  const std::string table(tableName);
  const std::string fileName = SafeFileName(table) + ".data";
  const std::string prefix = "insert into " + QuoteIdentifier(table) + " values (";

  std::unique_ptr<std::FILE, FileCloser> file;
  std::string fileFailure;
  std::vector<ColumnInfo> columns;
  long rows = 0;
  std::string line;

  const PropertySet properties = QueryRowsetProperties();
  const std::string failure = RunTextQuery(
      session, "select * from " + QuoteIdentifier(table) + ";", &properties,
      [&](const TextRow& row) {
        line = prefix;
        for (std::size_t i = 1; i <= columns.size(); ++i) {
          if (i > 1) line += ',';
          ColumnValue value;
          if (Failed(row.fullValue(i, value))) {
            value.null = row.isNull(i);
            value.text = row.text(i);
          }
          line += ValueLiteral(columns[i - 1], value);
        }
        line += ");\n";
        if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) {
          fileFailure = std::strerror(errno);
          return false;
        }
        ++rows;
        if (rows % 1000 == 0) WriteLine(window, "[%s] %ld records backuped!", table.c_str(), rows);
        if (window.runFlag().load() == kRunStopRequested) {
          WriteLine(window, "Data Converting Terminaled!");
          return false;
        }
        return true;
      },
      [&](const std::vector<ColumnInfo>& info) {
        columns = info;
        // The file is made only once the statement has run, so a failing
        // statement leaves no empty file behind.
        file.reset(std::fopen(fileName.c_str(), "w+"));
        if (!file) fileFailure = std::strerror(errno);
        return file != nullptr;
      });

  if (!fileFailure.empty() || (file && std::fflush(file.get()) != 0)) {
    if (fileFailure.empty()) fileFailure = std::strerror(errno);
    const std::string message =
        "Backup of [" + table + "] could not write [" + fileName + "]: " + fileFailure;
    WriteLine(window, "E::%s", message.c_str());
    return message;
  }
  if (!failure.empty()) return failure;
  WriteLine(window, "[%s]%8ld records backuped!!!", table.c_str(), rows);
  if (std::fclose(file.release()) != 0) {
    const std::string message =
        "Backup of [" + table + "] could not write [" + fileName + "]: " + std::strerror(errno);
    WriteLine(window, "E::%s", message.c_str());
    return message;
  }
  return std::string(kBackupWritten);
}

}  // namespace tablift
