#include "translate/key_statements.h"

#include <vector>

#include "access/access_file_names.h"
#include "access/index_answer.h"
#include "access/index_reader.h"
#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/jet/sql/text_folding.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

std::string QuotedFieldList(const std::vector<std::string>& fields, NameRule rule) {
  std::string list;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) list += ',';
    list += QuoteIdentifier(MySqlName(fields[i], rule));
  }
  return list;
}

// MySQL keeps the name PRIMARY for the primary key and refuses it for any
// other index, while Access lets a unique index be called so.
std::string MySqlIndexName(const std::string& accessName, NameRule rule) {
  if (jet::NamesEqual(accessName, "PRIMARY")) return accessName + "_unique";
  return MySqlName(accessName, rule);
}

// The missing side, logged; success when both sessions are there.
Status SessionsPresent(JobContext& job, Session* sourceSession, Session* targetSession) {
  const char* missing = sourceSession == nullptr   ? "No Source Connection!"
                        : targetSession == nullptr ? "No Target Connection!"
                                                   : nullptr;
  if (missing == nullptr) return Status::Ok();
  WriteLine(job, "%s", missing);
  return Status::Failure(missing);
}

// The file of the database: the source's own file, which the settings name
// in full; the file of the database name (.mdb or .accdb) only when they name
// none.
std::string DatabaseFile(const MigrationSettings& settings, const std::string& databaseName) {
  return settings.sourceFile.empty() ? AccessFileOf(databaseName) : settings.sourceFile;
}

std::string ReadAnswer(JobContext& job, const MigrationSettings& settings, IndexKind kind,
                       const std::string& databaseName, const std::string& tableName) {
  IndexRequest request;
  request.job = &job;
  request.kind = kind;
  request.path = DatabaseFile(settings, databaseName);
  request.table = tableName;
  request.password = settings.sourcePassword;
  if (!RunIndexReader(request)) return {};
  return request.answer;
}

}  // namespace

std::string PrimaryKeyStatementFromAnswer(std::string_view tableName, std::string_view answer,
                                          NameRule rule) {
  const std::vector<IndexAnswerEntry> entries = ParseIndexAnswer(answer);
  if (entries.empty() || entries.front().fields.empty()) return {};
  return "alter table " + QuoteIdentifier(MySqlName(tableName, rule)) + " add PRIMARY KEY (" +
         QuotedFieldList(entries.front().fields, rule) + ")\n";
}

std::string UniqueIndexStatementsFromAnswer(std::string_view tableName, std::string_view answer,
                                            NameRule rule) {
  std::string statements;
  for (const IndexAnswerEntry& entry : ParseIndexAnswer(answer)) {
    if (entry.fields.empty()) continue;
    if (!statements.empty()) statements += ";\n";
    statements += "CREATE UNIQUE INDEX " + QuoteIdentifier(MySqlIndexName(entry.name, rule)) +
                  " ON " + QuoteIdentifier(MySqlName(tableName, rule)) + " (" +
                  QuotedFieldList(entry.fields, rule) + ")";
  }
  if (!statements.empty()) statements += "\n";
  return statements;
}

Result<std::string> BuildPrimaryKeyStatement(JobContext& job, Session* sourceSession,
                                             Session* targetSession,
                                             const MigrationSettings& settings,
                                             std::string databaseName, std::string tableName) {
  const Status present = SessionsPresent(job, sourceSession, targetSession);
  if (!present.ok()) return present;
  const std::string answer =
      ReadAnswer(job, settings, IndexKind::PrimaryKey, databaseName, tableName);
  return PrimaryKeyStatementFromAnswer(tableName, answer, settings.nameRule);
}

Result<std::string> BuildUniqueIndexStatement(JobContext& job, Session* sourceSession,
                                              Session* targetSession,
                                              const MigrationSettings& settings,
                                              std::string databaseName, std::string tableName) {
  const Status present = SessionsPresent(job, sourceSession, targetSession);
  if (!present.ok()) return present;
  const std::string answer = ReadAnswer(job, settings, IndexKind::Unique, databaseName, tableName);
  return UniqueIndexStatementsFromAnswer(tableName, answer, settings.nameRule);
}

}  // namespace tablift
