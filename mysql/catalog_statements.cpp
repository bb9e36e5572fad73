#include "mysql/catalog_statements.h"

#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/regex_service.h"
#include "data_access/text_query.h"
#include "mysql/execute_statement.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

bool RunQuietly(JobContext& job, Session* session, std::string statement, std::string* failure) {
  return Accepted(ExecuteStatement(job, session, std::move(statement)), failure);
}

struct LastRow {
  std::string value;    // column `ordinal` of the last row, whole; "" without rows
  std::string failure;  // the runner's text when no rowset was read
  std::string result() const { return failure.empty() ? value : failure; }
  // Why no definition was read; "" when one was.
  std::string definitionFailure() const {
    if (!failure.empty()) return failure;
    return value.empty() ? "the server returned no definition" : "";
  }
};

LastRow ReadLastRow(Session* session, const std::string& sql, std::size_t ordinal) {
  LastRow last;
  const PropertySet properties = QueryRowsetProperties();
  last.failure = RunTextQuery(session, sql, &properties, [&](const TextRow& row) {
    ColumnValue whole;
    if (ordinal > row.columnCount()) {
      last.value.clear();
    } else if (Succeeded(row.fullValue(ordinal, whole))) {
      last.value = std::move(whole.text);
    } else {
      last.value = row.text(ordinal);
    }
    return true;
  });
  return last;
}

void ReplaceEvery(std::string& text, std::string_view what, std::string_view with) {
  if (what.empty()) return;
  for (std::size_t at = text.find(what); at != std::string::npos;
       at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
}

}  // namespace

std::string StripDatabasePath(std::string_view name) {
  return ReplaceAll(name, ".*(\\\\|/)", "");
}

std::string FlattenParenthesisedJoins(std::string view) {
  const std::string group = FindLastMatch(view, "\\([`\\w*`\\sjoin\\s]+`\\w*`\\)");
  if (group.empty() || group == "Error") return view;
  std::string flat;
  for (const char c : group) {
    if (c != '(' && c != ')') flat += c;
  }
  ReplaceEvery(flat, "join", ",");
  ReplaceEvery(view, group, flat);
  return view;
}

void WriteNoConnectionLine(JobContext& job) {
  WritePlainLine(job, DescribeSystemError(kNoConnection));
}

bool CreateTargetDatabase(JobContext& job, Session* session, std::string_view name, bool nameGiven,
                          std::string* failure) {
  if (nameGiven) {
    return RunQuietly(job, session,
                      "create database " + QuoteIdentifier(StripDatabasePath(name)) + ";", failure);
  }
  const auto typed = job.prompter().askText("New Database", "DB Name:");
  if (!typed) return false;
  return RunQuietly(job, session, "create database " + *typed + ";", failure);
}

bool DropTargetDatabase(JobContext& job, Session* session, std::string_view name,
                        std::string* failure) {
  return RunQuietly(job, session, "drop database " + QuoteIdentifier(name) + ";", failure);
}

bool DropTargetTable(JobContext& job, Session* session, std::string_view, std::string_view table,
                     std::string* failure) {
  return RunQuietly(job, session, "drop table " + QuoteIdentifier(table), failure);
}

bool DropTargetView(JobContext& job, Session* session, std::string_view view,
                    std::string* failure) {
  return RunQuietly(job, session, "drop view " + QuoteIdentifier(view), failure);
}

bool EmptyTargetTable(JobContext& job, Session* session, std::string_view table,
                      std::string* failure) {
  return RunQuietly(job, session, "delete from " + QuoteIdentifier(table), failure);
}

bool RenameTargetTable(JobContext& job, Session* targetSession, std::string_view oldName,
                       std::string_view newName, std::string* failure) {
  if (targetSession == nullptr || !targetSession->isOpen()) {
    WriteNoConnectionLine(job);
    return false;
  }
  return Accepted(ExecuteStatement(job, targetSession,
                                   "alter table " + QuoteIdentifier(oldName) + " rename " +
                                       QuoteIdentifier(newName)),
                  failure);
}

std::string ShowCreateTable(JobContext& job, Session* session, std::string_view table,
                            std::string* failure) {
  if (session == nullptr || !session->isOpen()) {
    WriteNoConnectionLine(job);
    if (failure != nullptr) *failure = kNoConnection;
    return "";
  }
  const LastRow last = ReadLastRow(session, "show create table " + QuoteIdentifier(table), 2);
  if (failure != nullptr) *failure = last.definitionFailure();
  return last.result();
}

std::string ShowCreateView(JobContext& job, Session* session, std::string_view view,
                           std::string* failure) {
  if (session == nullptr || !session->isOpen()) {
    WriteNoConnectionLine(job);
    if (failure != nullptr) *failure = kNoConnection;
    return kNoConnection;
  }
  LastRow last = ReadLastRow(session, "show create view " + QuoteIdentifier(view), 2);
  if (failure != nullptr) *failure = last.definitionFailure();
  if (!last.failure.empty()) return last.failure;
  return FlattenParenthesisedJoins(std::move(last.value));
}

std::string ReadServerVersion(JobContext& job, Session* session) {
  if (session == nullptr || !session->isOpen()) {
    WriteNoConnectionLine(job);
    return kNoConnection;
  }
  return ReadLastRow(session, "select @@Version", 1).result();
}

}  // namespace tablift
