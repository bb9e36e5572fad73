#include "migration/row_transfer.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "access/access_sql.h"
#include "access/access_table_details.h"
#include "access/source_rows_query.h"
#include "access/table_columns.h"
#include "core/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/profile_file.h"
#include "data_access/row_script_file.h"
#include "data_access/safe_file_name.h"
#include "data_access/text_query.h"
#include "migration/migration_context.h"
#include "mysql/bulk_insert.h"
#include "mysql/cluster_target.h"
#include "mysql/load_data_fields.h"
#include "mysql/load_data_stream.h"
#include "mysql/query_first_value.h"
#include "mysql/sql_literals.h"
#include "mysql/table_load.h"
#include "mysql/value_literals.h"
#include "translate/extended_date_time.h"
#include "translate/mysql_names.h"
#include "translate/table_ddl.h"

namespace tablift {
namespace {

// The first progress line shows the rows are under way; then one every few
// seconds, however fast they go.
constexpr long kFirstProgressLine = 2000;
constexpr auto kProgressLineEvery = std::chrono::seconds(3);
// How often the task is told how far the rows have got.
constexpr long kRowsReportEvery = 256;

// The rows the transfer will read, for showing its progress; 0 when the
// source cannot count them (the bar then shows no share). For a whole table
// the number the source's catalog records serves: counting the rows with a
// query reads the whole table once more before its first row travels.
long CountSourceRows(JobContext& job, Session* sourceSession, const std::string& tableName,
                     const std::string& query) {
  const std::optional<std::string> sourceName = BracketedAccessName(tableName);
  std::uint64_t recorded = 0;
  if (sourceName && query == "select * from " + *sourceName &&
      Succeeded(sourceSession->provider()->recordedRowCount(tableName, recorded))) {
    return static_cast<long>(recorded);
  }
  constexpr std::string_view kSelectAll = "select *";
  if (query.compare(0, kSelectAll.size(), kSelectAll) != 0) return 0;
  const Result<std::string> counted =
      QueryFirstValue(job, sourceSession, "select count(*)" + query.substr(kSelectAll.size()));
  if (!counted.ok()) return 0;
  return std::strtol(counted.value().c_str(), nullptr, 10);
}

std::set<std::string> AutoNumberColumnNames(Session& session, const std::string& table,
                                            bool jetRules) {
  std::set<std::string> names;
  std::vector<ColumnRow> columns;
  if (!ReadTableColumns(session, table, columns)) return names;
  for (const ColumnRow& column : columns) {
    if (IsAutoNumber(column, jetRules)) names.insert(column.columnName);
  }
  return names;
}

}  // namespace

RowTransfer TransferRows(MigrationContext& job, Session* sourceSession, Session* targetSession,
                         std::string databaseName, std::string tableName,
                         const RowsAfterKey* after) {
  if (sourceSession == nullptr || !sourceSession->isOpen()) {
    WriteLine(job, "No Source Connection!");
    return RowTransfer{RowsOutcome::NotRead};
  }
  if (targetSession == nullptr || !targetSession->isOpen()) {
    WriteLine(job, "No Target Connection!");
    return RowTransfer{RowsOutcome::NotRead};
  }
  const MigrationSettings settings = job.migrationSettings();
  std::string query;
  std::optional<std::string> above;
  std::optional<std::string> order;
  if (after != nullptr) {
    above = KeyAboveCondition(after->column, after->value);
    order = KeyOrder(after->column);
    if (!above || !order) {
      WriteLine(job, "E::[%s] cannot be read in key order", tableName.c_str());
      return RowTransfer{RowsOutcome::NotRead};
    }
  }
  if (!SourceRowsQuery(job, settings.conditionFile, databaseName, tableName, query,
                       above ? *above : std::string_view{})
           .empty()) {
    return RowTransfer{RowsOutcome::NotRead};
  }

  const std::string fileName =
      (settings.cacheFolder / (SafeFileName(tableName) + ".data")).string();
  const std::string targetTable = MySqlName(tableName, settings.nameRule);
  const std::string prefix = "insert into " + QuoteIdentifier(targetTable) + " values (";
  RowScriptFile file;
  std::string fileFailure;
  std::string readFailure;
  // Complex columns hold only keys into hidden tables: their values go to
  // tables of their own, the parent table has no such column.
  const std::set<std::string> complexColumns = ComplexColumnNames(*sourceSession, tableName);
  // An AutoNumber column given NULL gets a new number from MySQL: a row whose
  // AutoNumber holds none (only a damaged file has such rows) is left out and
  // counted instead of arriving changed.
  const std::set<std::string> autoNumbers =
      AutoNumberColumnNames(*sourceSession, tableName, settings.jetSource);
  std::vector<bool> autoNumber;  // per transferred column
  long unnumbered = 0;
  std::string unnumberedColumn;
  std::vector<std::size_t> ordinals;  // of the transferred columns in the source's rows
  std::vector<std::uint16_t> types;   // of the transferred columns, bookmark left out
  std::vector<std::string> names;     // of the same columns
  // Per column: Date/Time Extended values whose 100 ns digit was dropped.
  std::vector<long> cutTimes;
  long rows = 0;
  bool stopped = false;
  // One row at a time, their memory kept from row to row.
  std::string values;
  ColumnValue value;
  std::vector<ParameterValue> parameters;
  std::string fields;  // the row as a line of the bulk load
  TableLoad load;
  // The rows go through the server's bulk load where the table suits it,
  // else as INSERT statements.
  std::optional<LoadDataStream> stream;
  std::optional<BulkInsert> bulk;

  const long total = CountSourceRows(job, sourceSession, tableName, query);
  // A table narrowed by the user's saved condition arrives with fewer rows
  // than Access holds: the log names the condition and how many rows it
  // keeps, so that this is not taken for a loss.
  const std::string condition =
      ReadProfileString(settings.conditionFile, databaseName, tableName, "");
  if (!condition.empty()) {
    std::string wholeTable;
    ConditionedQuery("select *", tableName, "", wholeTable);
    WriteLine(job, "Condition on [%s]: %ld of %ld records, where %s", tableName.c_str(), total,
              CountSourceRows(job, sourceSession, tableName, wholeTable), condition.c_str());
  }
  if (order) query += *order;
  job.reportRows(tableName, 0, total);
  auto lastLine = std::chrono::steady_clock::now();
  const PropertySet properties = QueryRowsetProperties();
  std::string fetchFailure;
  const std::string failure = RunWholeValueQuery(
      sourceSession, query, &properties,
      [&](const TextRow& row) {
        values.clear();
        fields.clear();
        for (std::size_t k = 1; k <= types.size(); ++k) {
          if (k > 1) values += ',';
          if (k > 1 && stream) fields += '\t';
          // Whole values: Memo and OLE Object values do not fit the text slots.
          const HResult read = row.fullValue(ordinals[k - 1], value);
          if (Failed(read)) {
            readFailure = "column " + std::to_string(k) + ": " + DescribeStepFailure(read, "Read");
            return false;
          }
          if (value.null && autoNumber[k - 1]) {
            if (unnumbered++ == 0) unnumberedColumn = names[k - 1];
            return true;
          }
          if (types[k - 1] == DBTYPE_DBTIMESTAMP && !value.null && CutToMicroseconds(value.text)) {
            ++cutTimes[k - 1];
          }
          AppendValueLiteral(types[k - 1], value, values);
          if (stream) {
            AppendLoadDataField(types[k - 1], value, fields);
          } else {
            ValueParameter(types[k - 1], value, parameters[k - 1]);
          }
        }
        ++rows;
        // The script keeps one INSERT per row, whatever travels to the target.
        if (!file.write(prefix) || !file.write(values) || !file.write(")\n")) {
          fileFailure = std::strerror(errno);
          return false;
        }
        if (stream) {
          stream->add(values, fields);
        } else {
          bulk->add(values, parameters);
        }
        if (rows % kRowsReportEvery == 0 || rows == kFirstProgressLine) {
          job.reportRows(tableName, rows, total);
          const auto now = std::chrono::steady_clock::now();
          if (rows == kFirstProgressLine ||
              (rows > kFirstProgressLine && now - lastLine >= kProgressLineEvery)) {
            // The share and the rate are in the task list.
            lastLine = now;
            WriteLine(job, "[%s] %ld records converted!", tableName.c_str(), rows);
          }
        }
        if (job.stopRequested()) {
          WriteLine(job, "Data Converting Terminated!");
          stopped = true;
          return false;
        }
        return true;
      },
      [&](const std::vector<ColumnInfo>& columns) {
        for (const ColumnInfo& column : columns) {
          if (column.ordinal != 0 && (column.flags & DBCOLUMNFLAGS_ISBOOKMARK) == 0 &&
              !complexColumns.count(column.name)) {
            ordinals.push_back(column.ordinal);
            types.push_back(column.type);
            names.push_back(column.name);
            autoNumber.push_back(autoNumbers.count(column.name) != 0);
          }
        }
        parameters.resize(types.size());
        cutTimes.assign(types.size(), 0);
        // The file is made only once the SELECT has run, so a failing SELECT
        // leaves no empty script behind.
        if (!file.open(fileName)) {
          fileFailure = std::strerror(errno);
          return false;
        }
        load = BeginTableLoad(job, targetSession, targetTable);
        LimitLoadToWriteSets(settings.cluster, load);
        if (LoadDataSuits(targetSession, load)) {
          stream.emplace(job, targetSession, targetTable, load, types);
        } else {
          // Parameter arrays halve the server's work on InnoDB, but on a
          // table without transactions (MyISAM, Aria) the server takes each
          // row of an array as an insert of its own: there a prepared
          // multi-row INSERT costs it about half of what the same rows cost
          // as statement text.
          bulk.emplace(job, targetSession, targetTable, load, types.size(),
                       load.transactional ? BulkInsert::Form::ParameterArrays
                                          : BulkInsert::Form::PreparedRows);
        }
        return true;
      },
      &fetchFailure);

  job.reportRows(tableName, rows, total);
  long rejected = 0;
  std::string firstRejection;
  std::string commitFailure;
  long long committedEarlier = 0;
  if (stream) {
    stream->finish();
    rejected = stream->rejected();
    firstRejection = stream->firstRejection();
    if (stream->piecesResent() > 0) {
      // Not a failure: the rows went the slower way, counted exactly.
      WriteLine(job, "[%s] %ld pieces of rows were sent as INSERT statements: %s",
                tableName.c_str(), stream->piecesResent(), stream->firstResendReason().c_str());
    }
    stream.reset();
    commitFailure = EndTableLoad(job, targetSession, load);
  }
  if (bulk) {
    bulk->finish();
    rejected = bulk->rejected();
    firstRejection = bulk->firstRejection();
    commitFailure = EndTableLoad(job, targetSession, load);
    committedEarlier = bulk->committedRows();
  }
  if (!failure.empty()) {
    if (failure == kStatementSucceeded) {
      WriteLine(job, "%s", kStatementSucceeded);
      return RowTransfer{RowsOutcome::NotRead, failure};
    }
    WriteLine(job, "T::%s", failure.c_str());
    return RowTransfer{RowsOutcome::NotRead};
  }
  if (fileFailure.empty() && file.isOpen() && !file.flush()) fileFailure = std::strerror(errno);
  if (fileFailure.empty() && file.isOpen() && !file.close()) {
    fileFailure = std::strerror(errno);
  }
  if (readFailure.empty()) readFailure = fetchFailure;
  for (std::size_t k = 0; k < cutTimes.size(); ++k) {
    if (cutTimes[k] == 0) continue;
    WriteLine(job,
              "[%s].[%s]: %ld Date/Time Extended values lost their last digit (100 ns): "
              "MySQL keeps microseconds",
              tableName.c_str(), names[k].c_str(), cutTimes[k]);
  }

  // Every reason the rows did not all arrive gets its line; the first is the
  // result.
  std::vector<std::string> failures;
  if (!fileFailure.empty()) {
    failures.push_back("[" + tableName + "] cannot write the script file [" + fileName +
                       "]: " + fileFailure);
  }
  if (!readFailure.empty()) {
    failures.push_back("[" + tableName + "] reading the rows failed after " + std::to_string(rows) +
                       " records: " + readFailure);
  }
  // A server that went away shows its reason at the first rejected row; the
  // failed commit that follows only says the connection is gone.
  if (unnumbered > 0) {
    failures.push_back("[" + tableName + "] " + std::to_string(unnumbered) +
                       " records were left out: their AutoNumber column [" + unnumberedColumn +
                       "] holds no number, and MySQL would give them a new one");
  }
  if (rejected > 0) {
    failures.push_back(
        "[" + tableName + "] " + std::to_string(rejected) + " of " + std::to_string(rows) +
        " records were not accepted by the target, the first because: " + firstRejection);
  }
  if (!commitFailure.empty()) {
    failures.push_back("[" + tableName + "] the target did not keep the " +
                       std::to_string(rows - rejected - committedEarlier) +
                       " records of the last transaction, the commit failed: " + commitFailure);
  }
  if (!load.keysFailure.empty()) {
    failures.push_back("[" + tableName +
                       "] the table's indexes were not built after the rows: " + load.keysFailure);
  }
  for (const std::string& message : failures)
    WriteLine(job, "E::%s", message.c_str());
  RowTransfer counted{.outcome = RowsOutcome::Incomplete,
                      .rowsRead = rows + unnumbered,
                      .rowsRefused = rejected + unnumbered,
                      .rowsWritten = commitFailure.empty() ? rows - rejected : committedEarlier};
  if (!failures.empty()) {
    counted.reason = failures.front();
    return counted;
  }
  if (stopped) {
    // The rows written are whole, but the table is not: never called
    // complete, and its task must not show SUCCESS.
    WriteLine(job, "E::[%s] %ld records converted, then stopped: the table is incomplete",
              tableName.c_str(), rows);
    counted.outcome = RowsOutcome::Stopped;
    return counted;
  }
  WriteLine(job, "[%s] %ld records converted, conversion completed SUCCESSFULLY!",
            tableName.c_str(), rows);
  counted.outcome = RowsOutcome::Transferred;
  return counted;
}

}  // namespace tablift
