#include "mysql/data_backup.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/row_script_file.h"
#include "data_access/safe_file_name.h"
#include "data_access/text_query.h"
#include "mysql/execute_statement.h"
#include "mysql/script_header.h"
#include "mysql/sql_literals.h"
#include "mysql/value_literals.h"

namespace tablift {
namespace {

// The columns of the table's primary key, in key order, when they are all
// whole numbers or decimals (whose literals compare exactly as the key
// orders its rows); none otherwise, or when the server does not say.
std::vector<std::string> PagingKeyColumns(Session* session, const std::string& table) {
  std::vector<std::string> names;
  bool exact = true;
  RunTextQuery(session,
               "select k.COLUMN_NAME, c.DATA_TYPE from information_schema.STATISTICS k "
               "join information_schema.COLUMNS c using (TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME) "
               "where k.TABLE_SCHEMA = database() and k.TABLE_NAME = " +
                   StringLiteral(table) + " and k.INDEX_NAME = 'PRIMARY' order by k.SEQ_IN_INDEX",
               nullptr, [&](const TextRow& row) {
                 if (row.columnCount() < 2 || row.isNull(1)) return exact = false;
                 const std::string_view type = row.text(2);
                 exact = type == "tinyint" || type == "smallint" || type == "mediumint" ||
                         type == "int" || type == "bigint" || type == "decimal";
                 names.emplace_back(row.text(1));
                 return exact;
               });
  if (!exact) names.clear();
  return names;
}

// The condition that selects the rows after the one whose key literals are
// `last`, in the order of the key: (k1 > v1) or (k1 = v1 and k2 > v2) ...
std::string AfterKey(const std::vector<std::string>& keys, const std::vector<std::string>& last) {
  std::string condition;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    condition += k == 0 ? "(" : " or (";
    for (std::size_t j = 0; j < k; ++j)
      condition += QuoteIdentifier(keys[j]) + " = " + last[j] + " and ";
    condition += QuoteIdentifier(keys[k]) + " > " + last[k] + ")";
  }
  return condition;
}

}  // namespace

DataBackup BackupTableData(JobContext& job, Session* session, std::string_view tableName,
                           const std::filesystem::path& directory, std::size_t pieceRows) {
  if (session == nullptr || !session->isOpen()) {
    const std::string text = DescribeSystemError("No Source Connection!");
    WritePlainLine(job, text);
    return DataBackup{BackupOutcome::Failed, text};
  }
  const std::string table(tableName);
  const std::string fileName = (directory / (SafeFileName(table) + ".data")).string();
  const std::string prefix = "insert into " + QuoteIdentifier(table) + " values (";

  // MariaDB Connector/ODBC holds a whole result in memory: a table with a
  // primary key is read in pieces of `pieceRows` rows in key order, each
  // piece after the last key read, inside one consistent snapshot where the
  // engine has them. Other tables are read whole.
  const std::vector<std::string> keys =
      pieceRows > 0 ? PagingKeyColumns(session, table) : std::vector<std::string>{};
  std::vector<std::size_t> keyColumns;  // where each key column is among the columns
  std::vector<std::string> lastKey(keys.size());
  if (!keys.empty()) {
    ExecuteStatement(job, session, "start transaction with consistent snapshot").ok();
  }

  RowScriptFile file;
  std::string fileFailure;
  std::vector<ColumnInfo> columns;
  long rows = 0;
  long pieceRead = 0;
  bool stopped = false;
  // One row at a time, their memory kept from row to row.
  std::string line;
  ColumnValue value;

  const PropertySet properties = QueryRowsetProperties();
  std::string fetchFailure;
  const auto onRow = [&](const TextRow& row) {
    line = prefix;
    for (std::size_t i = 1; i <= columns.size(); ++i) {
      if (i > 1) line += ',';
      // A value cut to the text slot would pass for the whole value.
      if (const HResult read = row.fullValue(i, value); Failed(read)) {
        fetchFailure = "column " + std::to_string(i) + ": " + DescribeStepFailure(read, "Read");
        return false;
      }
      AppendValueLiteral(columns[i - 1].type, value, line);
      for (std::size_t k = 0; k < keyColumns.size(); ++k) {
        if (keyColumns[k] == i) lastKey[k] = ValueLiteral(columns[i - 1].type, value);
      }
    }
    line += ");\n";
    if (!file.write(line)) {
      fileFailure = std::strerror(errno);
      return false;
    }
    ++rows;
    ++pieceRead;
    if (rows % 1000 == 0) WriteLine(job, "[%s] %ld records backed up!", table.c_str(), rows);
    if (job.stopRequested()) {
      WriteLine(job, "Data Converting Terminated!");
      stopped = true;
      return false;
    }
    return true;
  };
  const auto onColumns = [&](const std::vector<ColumnInfo>& info) {
    columns = info;
    keyColumns.clear();
    for (const std::string& key : keys) {
      for (std::size_t i = 1; i <= columns.size(); ++i) {
        if (columns[i - 1].name == key) keyColumns.push_back(i);
      }
    }
    if (file.isOpen()) return true;
    // The file is made only once the statement has run, so a failing
    // statement leaves no empty file behind.
    if (!file.open(fileName) || !file.write(kScriptCharsetLine)) {
      fileFailure = std::strerror(errno);
      return false;
    }
    return true;
  };

  std::string failure;
  if (keys.empty()) {
    failure = RunWholeValueQuery(session, "select * from " + QuoteIdentifier(table) + ";",
                                 &properties, onRow, onColumns, &fetchFailure);
  } else {
    std::string order;
    for (const std::string& key : keys)
      order += (order.empty() ? " order by " : ",") + QuoteIdentifier(key);
    std::string after;
    for (;;) {
      pieceRead = 0;
      failure = RunWholeValueQuery(session,
                                   "select * from " + QuoteIdentifier(table) +
                                       (after.empty() ? "" : " where " + after) + order +
                                       " limit " + std::to_string(pieceRows) + ";",
                                   &properties, onRow, onColumns, &fetchFailure);
      if (!failure.empty() || !fetchFailure.empty() || !fileFailure.empty() || stopped ||
          pieceRead < static_cast<long>(pieceRows)) {
        break;
      }
      const std::string condition = AfterKey(keys, lastKey);
      // Never the same piece again, whatever the server answers.
      if (keyColumns.size() != keys.size() || condition == after) {
        fetchFailure = "the rows do not follow the table's primary key";
        break;
      }
      after = condition;
    }
    ExecuteStatement(job, session, "commit").ok();
  }

  if (!fileFailure.empty() || (file.isOpen() && !file.flush())) {
    if (fileFailure.empty()) fileFailure = std::strerror(errno);
    const std::string message =
        "Backup of [" + table + "] could not write [" + fileName + "]: " + fileFailure;
    WriteLine(job, "E::%s", message.c_str());
    return DataBackup{BackupOutcome::Failed, message};
  }
  if (!failure.empty()) return DataBackup{BackupOutcome::Failed, failure};
  if (!fetchFailure.empty()) {
    // A row the server could not deliver must not pass for the end of the table.
    const std::string message = "Backup of [" + table + "] could not read the rows after " +
                                std::to_string(rows) + " records: " + fetchFailure;
    WriteLine(job, "E::%s", message.c_str());
    return DataBackup{BackupOutcome::Failed, message};
  }
  WriteLine(job, "[%s]%8ld records backed up!!!", table.c_str(), rows);
  if (!file.close()) {
    const std::string message =
        "Backup of [" + table + "] could not write [" + fileName + "]: " + std::strerror(errno);
    WriteLine(job, "E::%s", message.c_str());
    return DataBackup{BackupOutcome::Failed, message};
  }
  return DataBackup{stopped ? BackupOutcome::Stopped : BackupOutcome::Written};
}

}  // namespace tablift
