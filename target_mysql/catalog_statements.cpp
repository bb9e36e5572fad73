#include "target_mysql/catalog_statements.h"

#include "Converters/execute_statement.h"
#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/regex_service.h"
#include "data_access/text_query.h"
#include "target_mysql/sql_literals.h"

namespace tablift {
namespace {

Session* TargetSession(Workbench& window) {
  return window.targetConnection().openSession();
}

bool RunQuietly(Workbench& window, std::string statement, std::string* failure) {
  return ExecuteStatement(window, TargetSession(window), std::move(statement), 0, failure);
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

void WriteNoConnectionLine(Workbench& window) {
  WritePlainLine(window, DescribeSystemError(kNoConnection));
}

bool CreateTargetDatabase(Workbench& window, std::string_view name, bool nameGiven,
                          std::string* failure) {
  if (nameGiven) {
    return RunQuietly(window, "create database " + QuoteIdentifier(StripDatabasePath(name)) + ";",
                      failure);
  }
  const auto typed = window.prompter().askText("New Database", "DB Name:");
  if (!typed) return false;
  return RunQuietly(window, "create database " + *typed + ";", failure);
}

bool DropTargetDatabase(Workbench& window, std::string_view name, std::string* failure) {
  window.targetProfile().catalogName.clear();
  return RunQuietly(window, "drop database " + QuoteIdentifier(name) + ";", failure);
}

bool DropTargetTable(Workbench& window, std::string_view, std::string_view table,
                     std::string* failure) {
  return RunQuietly(window, "drop table " + QuoteIdentifier(table), failure);
}

bool DropTargetView(Workbench& window, std::string_view view, std::string* failure) {
  return RunQuietly(window, "drop view " + QuoteIdentifier(view), failure);
}

bool EmptyTargetTable(Workbench& window, std::string_view table, std::string* failure) {
  return RunQuietly(window, "delete from " + QuoteIdentifier(table), failure);
}

bool RenameTargetTable(Workbench& window, Session* targetSession, std::string_view oldName,
                       std::string_view newName, std::string* failure) {
  if (targetSession == nullptr || !targetSession->isOpen()) {
    WriteNoConnectionLine(window);
    return false;
  }
  return ExecuteStatement(
      window, targetSession,
      "alter table " + QuoteIdentifier(oldName) + " rename " + QuoteIdentifier(newName), 0,
      failure);
}

std::string ShowCreateTable(Workbench& window, Session* session, std::string_view table,
                            std::string* failure) {
  if (session == nullptr || !session->isOpen()) {
    WriteNoConnectionLine(window);
    if (failure != nullptr) *failure = kNoConnection;
    return "";
  }
  const LastRow last = ReadLastRow(session, "show create table " + QuoteIdentifier(table), 2);
  if (failure != nullptr) *failure = last.definitionFailure();
  return last.result();
}

std::string ShowCreateView(Workbench& window, Session* session, std::string_view view,
                           std::string* failure) {
  if (session == nullptr || !session->isOpen()) {
    WriteNoConnectionLine(window);
    if (failure != nullptr) *failure = kNoConnection;
    return kNoConnection;
  }
  LastRow last = ReadLastRow(session, "show create view " + QuoteIdentifier(view), 2);
  if (failure != nullptr) *failure = last.definitionFailure();
  if (!last.failure.empty()) return last.failure;
  return FlattenParenthesisedJoins(std::move(last.value));
}

std::string ReadServerVersion(Workbench& window, Session* session) {
  if (session == nullptr || !session->isOpen()) {
    WriteNoConnectionLine(window);
    return kNoConnection;
  }
  return ReadLastRow(session, "select @@Version", 1).result();
}

}  // namespace tablift
