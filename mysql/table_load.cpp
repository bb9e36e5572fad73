#include "mysql/table_load.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "data_access/ascii_text.h"
#include "data_access/text_query.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"
#include "mysql/table_engine.h"
#include "mysql/target_objects.h"

namespace tablift {
namespace {

// The packet also carries the protocol's header and the character set
// conversion may differ from the UTF-8 length by a little.
constexpr std::size_t kPacketMargin = 64 * 1024;
constexpr std::size_t kSmallestStatement = 16 * 1024;

std::size_t ConfiguredBatchBytes() {
  const char* text = std::getenv("TABLIFT_INSERT_BATCH_BYTES");
  if (text == nullptr || *text == '\0') return kInsertBatchBytes;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0' || value == 0) return kInsertBatchBytes;
  return static_cast<std::size_t>(value);
}

// The most bytes the server takes in one exchange, less the margin.
std::size_t ExchangeBytes(Session* session) {
  std::size_t packet = 0;
  if (const auto text = QueryTargetValue(session, "select @@max_allowed_packet")) {
    packet = static_cast<std::size_t>(std::strtoull(text->c_str(), nullptr, 10));
  }
  return packet > kPacketMargin + kSmallestStatement ? packet - kPacketMargin : kSmallestStatement;
}

// The engines whose "disable keys" defers the non-unique indexes; the others
// ignore it with a note.
bool EngineDefersKeys(std::string_view engine) {
  return EqualsIgnoreCase(engine, "MyISAM") || EqualsIgnoreCase(engine, "Aria");
}

bool HasModeWord(std::string_view modes, std::string_view word) {
  std::size_t start = 0;
  while (start <= modes.size()) {
    const std::size_t end = std::min(modes.find(',', start), modes.size());
    if (EqualsIgnoreCase(modes.substr(start, end - start), word)) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

TableLoad BeginTableLoad(JobContext& job, Session* session, std::string_view table) {
  TableLoad load;
  load.table = table;
  load.exchangeBytes = ExchangeBytes(session);
  load.statementBytes = std::min(load.exchangeBytes, ConfiguredBatchBytes());
  const std::string engine = TableEngine(session, table);
  if (!engine.empty()) {
    const auto transactions = QueryTargetValue(
        session, "select transactions from information_schema.engines where engine = " +
                     StringLiteral(engine));
    load.transactional = transactions && EqualsIgnoreCase(*transactions, "YES");
  }
  load.dateTimeColumns = TableDateTimeColumns(session, table);
  if (load.transactional) {
    load.rowsBefore = 0;
    load.inTransaction = ExecuteStatement(job, session, "start transaction").ok();
    return load;
  }
  load.rowsBefore = CountTableRows(session, table);
  // Only on an empty table: rebuilding the indexes of rows already there
  // costs more than it saves.
  if (load.rowsBefore == 0 && EngineDefersKeys(engine)) {
    load.keysDisabled =
        ExecuteStatement(job, session, "alter table " + QuoteIdentifier(table) + " disable keys")
            .ok();
  }
  const auto mode = QueryTargetValue(session, "select @@session.sql_mode");
  if (mode && HasModeWord(*mode, "STRICT_TRANS_TABLES") &&
      !HasModeWord(*mode, "STRICT_ALL_TABLES")) {
    const std::string stricter = mode->empty() ? "STRICT_ALL_TABLES" : *mode + ",STRICT_ALL_TABLES";
    if (ExecuteStatement(job, session, "set session sql_mode = " + StringLiteral(stricter)).ok()) {
      load.restoreSqlMode = *mode;
    }
  }
  return load;
}

std::string EndTableLoad(JobContext& job, Session* session, TableLoad& load) {
  std::string failure;
  if (load.inTransaction) {
    load.inTransaction = false;
    std::string reason;
    if (!Accepted(ExecuteStatement(job, session, "commit"), &reason)) failure = reason;
  }
  if (load.keysDisabled) {
    load.keysDisabled = false;
    std::string reason;
    if (!Accepted(ExecuteStatement(job, session,
                                   "alter table " + QuoteIdentifier(load.table) + " enable keys"),
                  &reason)) {
      load.keysFailure = reason.empty() ? "the server gave no reason" : reason;
    }
  }
  if (!load.restoreSqlMode.empty()) {
    ExecuteStatement(job, session, "set session sql_mode = " + StringLiteral(load.restoreSqlMode))
        .ok();
    load.restoreSqlMode.clear();
  }
  return failure;
}

long long CountTableRows(Session* session, std::string_view table) {
  const auto count = QueryTargetValue(session, "select count(*) from " + QuoteIdentifier(table));
  if (!count) return -1;
  return std::strtoll(count->c_str(), nullptr, 10);
}

}  // namespace tablift
