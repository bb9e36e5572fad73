#include "translate/saved_query_reader.h"

#include <algorithm>
#include <charconv>

#include "access/system_table_rows.h"
#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/catalog_rowsets.h"
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

}  // namespace

Result<std::vector<QueryElement>> ReadQueryElements(JobContext& job, Session* session,
                                                    const std::string& targetProvider,
                                                    const std::string& query) {
  const std::string sql =
      "select Q.* from MSysObjects O,MSysQueries Q \t\twhere O.name=" + AccessStringLiteral(query) +
      " and O.Id=Q.ObjectId";
  const std::string noPermission = " view :[Microsoft][" + targetProvider + "] NO PERMISSION!\n";
  // By name; the positions are those of Jet 4.
  std::vector<std::vector<std::string>> rows;
  const std::string outcome = ReadSystemRows(
      session, sql, {{"Attribute", 1}, {"Expression", 2}, {"Flag", 3}, {"Name1", 5}, {"Name2", 6}},
      rows);
  if (outcome == kStatementSucceeded) {
    WriteLine(job, "%s", outcome.c_str());
    return Status::Failure(outcome);
  }
  if (!outcome.empty()) {
    WriteLine(job, "T::%s", outcome.c_str());
    return Status::Failure(noPermission);
  }
  std::vector<QueryElement> elements;
  for (auto& row : rows) {
    elements.push_back({Integer(row[0], -1), std::move(row[1]), std::move(row[2]),
                        std::move(row[3]), std::move(row[4])});
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

}  // namespace tablift
