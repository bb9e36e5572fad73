#include "mysql/foreign_key_in_place.h"

#include <map>
#include <optional>
#include <vector>

#include "core/write_line.h"
#include "data_access/ascii_text.h"
#include "data_access/text_query.h"
#include "mysql/sql_literals.h"
#include "mysql/target_objects.h"

namespace tablift {
namespace {

struct ColumnPair {
  std::string column;
  std::string referencedColumn;
};

// What the server recorded of a constraint just added.
struct AddedConstraint {
  std::string referencedTable;
  std::vector<ColumnPair> pairs;
};

// The rows of `sql` as texts (NULL as ""); nothing when the query fails.
std::optional<std::vector<std::vector<std::string>>> QueryRows(Session* session,
                                                               const std::string& sql) {
  std::vector<std::vector<std::string>> rows;
  std::size_t width = 0;
  const PropertySet properties = QueryRowsetProperties();
  std::string fetchFailure;
  const std::string outcome = RunTextQuery(
      session, sql, &properties,
      [&](const TextRow& row) {
        std::vector<std::string> values;
        for (std::size_t column = 1; column <= width; ++column)
          values.emplace_back(row.isNull(column) ? std::string_view() : row.text(column));
        rows.push_back(std::move(values));
        return true;
      },
      [&](const std::vector<ColumnInfo>& columns) {
        width = columns.size();
        return true;
      },
      &fetchFailure);
  if (!outcome.empty() || !fetchFailure.empty()) return std::nullopt;
  return rows;
}

std::string Where(std::string_view table) {
  return " where table_schema = database() and table_name = " + StringLiteral(table);
}

std::optional<AddedConstraint> ReadConstraint(Session* session, const ForeignKeyNames& names) {
  const auto rows = QueryRows(
      session,
      "select column_name, referenced_table_name, referenced_column_name from "
      "information_schema.key_column_usage" +
          Where(names.table) + " and constraint_name = " + StringLiteral(names.constraint) +
          " and referenced_table_name is not null order by ordinal_position");
  if (!rows || rows->empty()) return std::nullopt;
  AddedConstraint constraint;
  constraint.referencedTable = rows->front()[1];
  for (const auto& row : *rows) {
    if (row[1] != constraint.referencedTable) return std::nullopt;
    constraint.pairs.push_back({row[0], row[2]});
  }
  return constraint;
}

bool IsInnoDb(Session* session, std::string_view table) {
  const auto engine =
      QueryTargetValue(session, "select engine from information_schema.tables" + Where(table));
  return engine && EqualsIgnoreCase(*engine, "InnoDB");
}

// Whether some index of the referenced table starts with the referenced
// columns in their order: the index the server looks the keys up in.
bool ReferencedColumnsLeadAnIndex(Session* session, const AddedConstraint& constraint) {
  const auto rows = QueryRows(
      session, "select index_name, column_name from information_schema.statistics" +
                   Where(constraint.referencedTable) + " order by index_name, seq_in_index");
  if (!rows) return false;
  std::map<std::string, std::vector<std::string>> indexes;
  for (const auto& row : *rows)
    indexes[row[0]].push_back(row[1]);
  for (const auto& [index, columns] : indexes) {
    if (columns.size() < constraint.pairs.size()) continue;
    bool leads = true;
    for (std::size_t i = 0; i < constraint.pairs.size() && leads; ++i)
      leads = EqualsIgnoreCase(columns[i], constraint.pairs[i].referencedColumn);
    if (leads) return true;
  }
  return false;
}

std::optional<std::string> TypeAndCollation(Session* session, std::string_view table,
                                            std::string_view column) {
  return QueryTargetValue(session,
                          "select concat(column_type, '/', ifnull(collation_name, '')) from "
                          "information_schema.columns" +
                              Where(table) + " and column_name = " + StringLiteral(column));
}

// Stricter than the server, which lets some types of different lengths
// pair: a pair it would take but this refuses only costs the copy.
bool PairsAlike(Session* session, std::string_view table, const AddedConstraint& constraint) {
  for (const ColumnPair& pair : constraint.pairs) {
    const auto own = TypeAndCollation(session, table, pair.column);
    const auto referenced =
        TypeAndCollation(session, constraint.referencedTable, pair.referencedColumn);
    if (!own || !referenced || *own != *referenced) return false;
  }
  return true;
}

// True only when the query ran and found no row whose key is complete but
// missing from the referenced table (a key with a NULL in it is not checked).
bool EveryRowHasItsParent(Session* session, std::string_view table,
                          const AddedConstraint& constraint) {
  std::string complete;
  std::string matches;
  for (const ColumnPair& pair : constraint.pairs) {
    if (!complete.empty()) {
      complete += " and ";
      matches += " and ";
    }
    complete += "c." + QuoteIdentifier(pair.column) + " is not null";
    matches +=
        "p." + QuoteIdentifier(pair.referencedColumn) + " = c." + QuoteIdentifier(pair.column);
  }
  // An outer join, not NOT EXISTS: the server answers the latter by
  // materialising the referenced table, several times slower on big tables.
  const auto rows = QueryRows(
      session, "select 1 from " + QuoteIdentifier(table) + " c left join " +
                   QuoteIdentifier(constraint.referencedTable) + " p on " + matches + " where " +
                   complete + " and p." +
                   QuoteIdentifier(constraint.pairs.front().referencedColumn) + " is null limit 1");
  return rows && rows->empty();
}

bool ChecksOn(Session* session) {
  const auto value = QueryTargetValue(session, "select @@session.foreign_key_checks");
  return value && *value == "1";
}

}  // namespace

Status AddForeignKey(JobContext& job, Session* session, const std::string& statement,
                     Report report) {
  const auto names = ForeignKeyStatementNames(statement);
  if (!names || session == nullptr || !session->isOpen() || !ChecksOn(session) ||
      !IsInnoDb(session, names->table)) {
    return ExecuteStatement(job, session, statement, report);
  }
  const bool indexBefore = TargetIndexExists(session, names->table, names->constraint);
  if (!ExecuteStatement(job, session, "set session foreign_key_checks = 0").ok()) {
    return ExecuteStatement(job, session, statement, report);
  }
  bool proven = false;
  if (ExecuteStatement(job, session, statement).ok()) {
    const auto constraint = ReadConstraint(session, *names);
    proven = constraint && IsInnoDb(session, constraint->referencedTable) &&
             ReferencedColumnsLeadAnIndex(session, *constraint) &&
             PairsAlike(session, names->table, *constraint) &&
             EveryRowHasItsParent(session, names->table, *constraint);
    if (!proven) {
      std::string takeBack = "alter table " + QuoteIdentifier(names->table) + " drop foreign key " +
                             QuoteIdentifier(names->constraint);
      if (!indexBefore && TargetIndexExists(session, names->table, names->constraint))
        takeBack += ", drop index " + QuoteIdentifier(names->constraint);
      ExecuteStatement(job, session, takeBack).ok();
    }
  }
  const Status restored = ExecuteStatement(job, session, "set session foreign_key_checks = 1");
  if (!restored.ok()) return restored;
  if (!proven) return ExecuteStatement(job, session, statement, report);
  if (report == Report::Outcome) WriteLine(job, "%s", kStatementSucceeded);
  return Status::Ok();
}

}  // namespace tablift
