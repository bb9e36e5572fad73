#include "translate/saved_query_reader.h"

#include <algorithm>
#include <charconv>

#include "access/system_table_rows.h"
#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/catalog_rowsets.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/text_query.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

int Integer(const std::string& text, int otherwise) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return otherwise;
  return value;
}

// Reads the element rows of a saved query; "" when they were read, else
// what ReadSystemRows answered.
std::string ReadElements(Session* session, const std::string& query,
                         std::vector<QueryElement>& elements) {
  const std::string sql =
      "select Q.* from MSysObjects O,MSysQueries Q \t\twhere O.name=" + AccessStringLiteral(query) +
      " and O.Id=Q.ObjectId";
  // By name; the positions are those of Jet 4.
  std::vector<std::vector<std::string>> rows;
  const std::string outcome = ReadSystemRows(
      session, sql, {{"Attribute", 1}, {"Expression", 2}, {"Flag", 3}, {"Name1", 5}, {"Name2", 6}},
      rows);
  for (auto& row : rows) {
    elements.push_back({Integer(row[0], -1), std::move(row[1]), std::move(row[2]),
                        std::move(row[3]), std::move(row[4])});
  }
  return outcome;
}

// The column a reference such as "[T].[c]", "T.c" or "c" names.
std::string ColumnPart(const std::string& expression) {
  if (expression.back() == ']') {
    const std::size_t open = expression.rfind('[');
    return open == std::string::npos ? expression
                                     : expression.substr(open + 1, expression.size() - open - 2);
  }
  const std::size_t dot = expression.rfind('.');
  return dot == std::string::npos ? expression : expression.substr(dot + 1);
}

// The table a reference such as "[T].[c]" or "T.c" names; "" for "c".
std::string TablePart(const std::string& expression) {
  const std::string column = ColumnPart(expression);
  const std::size_t end = expression.size() - column.size() - (expression.back() == ']' ? 2 : 0);
  if (end == 0 || expression[end - 1] != '.') return {};
  std::string table = expression.substr(0, end - 1);
  if (table.size() >= 2 && table.front() == '[' && table.back() == ']')
    table = table.substr(1, table.size() - 2);
  return table;
}

}  // namespace

Result<std::vector<QueryElement>> ReadQueryElements(JobContext& job, Session* session,
                                                    const std::string& targetProvider,
                                                    const std::string& query) {
  const std::string noPermission = " view :[Microsoft][" + targetProvider + "] NO PERMISSION!\n";
  std::vector<QueryElement> elements;
  const std::string outcome = ReadElements(session, query, elements);
  if (outcome == kStatementSucceeded) {
    WriteLine(job, "%s", outcome.c_str());
    return Status::Failure(outcome);
  }
  if (!outcome.empty()) {
    WriteLine(job, "T::%s", outcome.c_str());
    return Status::Failure(noPermission);
  }
  return elements;
}

SavedQueryKind QueryKindOf(const std::vector<QueryElement>& elements) {
  for (const QueryElement& element : elements) {
    if (element.kind != kQueryType) continue;
    const int kind = Integer(element.flag, 0);
    if (kind >= static_cast<int>(SavedQueryKind::Select) &&
        kind <= static_cast<int>(SavedQueryKind::Union))
      return static_cast<SavedQueryKind>(kind);
  }
  return SavedQueryKind::Select;
}

std::vector<std::string> SourceTableColumns(Session* session, const std::string& table) {
  std::vector<ColumnRow> rows;
  ColumnsRowset rowset;
  if (rowset.open(*session, {}, {}, table) != S_OK) return {};
  while (rowset.moveNext() == S_OK)
    rows.push_back(rowset.row());
  std::stable_sort(rows.begin(), rows.end(), [](const ColumnRow& a, const ColumnRow& b) {
    return a.ordinalPosition < b.ordinalPosition;
  });
  std::vector<std::string> columns;
  for (ColumnRow& row : rows)
    columns.push_back(std::move(row.columnName));
  return columns;
}

std::vector<std::string> QueryOutputNames(const std::vector<QueryElement>& elements) {
  std::vector<std::string> names;
  for (const QueryElement& element : elements) {
    if (element.kind == kOptions && (Integer(element.flag, 0) & kAllFields) != 0) return {};
    if (element.kind != kOutputColumn) continue;
    if (!element.name1.empty()) {
      names.push_back(element.name1);
      continue;
    }
    const std::string column = element.expression.empty() ? "" : ColumnPart(element.expression);
    // A star, or an expression Access names itself: not known here.
    if (column.empty() || column.find_first_of("()*+-/&<>=!\"'# ") != std::string::npos) return {};
    // A later namesake is the query's column "Table.Column", as its view
    // names it.
    const bool taken = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
      return jet::NamesEqual(name, column);
    });
    const std::string table = TablePart(element.expression);
    names.push_back(taken && !table.empty() ? table + "." + column : column);
  }
  return names;
}

std::vector<std::string> SourceColumns(Session* session, const std::string& name) {
  std::vector<std::string> columns = SourceTableColumns(session, name);
  if (!columns.empty()) return columns;
  std::vector<QueryElement> elements;
  if (!ReadElements(session, name, elements).empty()) return {};
  return QueryOutputNames(elements);
}

}  // namespace tablift
