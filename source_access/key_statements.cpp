#include "source_access/key_statements.h"

#include <filesystem>
#include <vector>

#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/jet/sql/text_folding.h"
#include "source_access/index_answer.h"
#include "source_access/index_reader.h"
#include "target_mysql/sql_literals.h"

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

bool SessionsPresent(Workbench& window, Session* sourceSession, Session* targetSession) {
  if (sourceSession == nullptr) {
    WriteLine(window, "No Source Connection!");
    return false;
  }
  if (targetSession == nullptr) {
    WriteLine(window, "No Target Connection!");
    return false;
  }
  return true;
}

// The file of the database: its name followed by ".mdb". Database names are
// kept in lower case, which on a case-sensitive file system may name no file;
// the source's own file is taken then when it is the same apart from case.
std::string DatabaseFile(Workbench& window, const std::string& databaseName) {
  std::string path = databaseName + ".mdb";
  std::error_code error;
  if (std::filesystem::exists(path, error)) return path;
  const std::string source = window.sourceProfile().sourceName;
  if (!source.empty() && jet::NamesEqual(source, path) && std::filesystem::exists(source, error))
    return source;
  return path;
}

std::string ReadAnswer(Workbench& window, IndexKind kind, const std::string& databaseName,
                       const std::string& tableName) {
  IndexRequest request;
  request.window = &window;
  request.kind = kind;
  request.path = DatabaseFile(window, databaseName);
  request.table = tableName;
  request.password = window.sourceProfile().password;
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

std::string BuildPrimaryKeyStatement(Workbench& window, Session* sourceSession,
                                     Session* targetSession, std::string databaseName,
                                     std::string tableName) {
  if (!SessionsPresent(window, sourceSession, targetSession)) return "FALSE";
  const std::string answer = ReadAnswer(window, IndexKind::PrimaryKey, databaseName, tableName);
  return PrimaryKeyStatementFromAnswer(tableName, answer, window.nameRule());
}

std::string BuildUniqueIndexStatement(Workbench& window, Session* sourceSession,
                                      Session* targetSession, std::string databaseName,
                                      std::string tableName) {
  if (!SessionsPresent(window, sourceSession, targetSession)) return "FALSE";
  const std::string answer = ReadAnswer(window, IndexKind::Unique, databaseName, tableName);
  return UniqueIndexStatementsFromAnswer(tableName, answer, window.nameRule());
}

}  // namespace tablift
