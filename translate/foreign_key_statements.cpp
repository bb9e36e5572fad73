#include "translate/foreign_key_statements.h"

#include <algorithm>
#include <charconv>

#include "access/system_table_rows.h"
#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/text_query.h"
#include "mysql/sql_literals.h"

namespace tablift {
namespace {

int Integer(const std::string& text) {
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string QuotedList(const std::vector<const RelationshipRow*>& pairs, bool referenced,
                       NameRule rule) {
  std::string list;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (i > 0) list += ", ";
    list += QuoteIdentifier(
        MySqlName(referenced ? pairs[i]->referencedColumn : pairs[i]->column, rule));
  }
  return list;
}

}  // namespace

std::string ForeignKeyStatementsFromRows(const std::string& tableName,
                                         const std::vector<RelationshipRow>& rows,
                                         std::vector<std::string>& notEnforced, NameRule rule) {
  // The relationships in the order of their first row.
  std::vector<std::vector<const RelationshipRow*>> relationships;
  for (const RelationshipRow& row : rows) {
    auto group = std::find_if(relationships.begin(), relationships.end(), [&](const auto& pairs) {
      return jet::NamesEqual(pairs.front()->name, row.name);
    });
    if (group == relationships.end()) {
      relationships.push_back({&row});
    } else {
      group->push_back(&row);
    }
  }

  std::string statements;
  for (auto& pairs : relationships) {
    const RelationshipRow& first = *pairs.front();
    if ((first.flags & kRelationshipNotEnforced) != 0) {
      notEnforced.push_back(first.name);
      continue;
    }
    // The pairs must follow the referenced key's column order, or MySQL
    // finds no index for the constraint.
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const RelationshipRow* a, const RelationshipRow* b) {
                       return a->position < b->position;
                     });
    if (!statements.empty()) statements += ";\n";
    statements += "Alter Table " + QuoteIdentifier(MySqlName(tableName, rule)) +
                  " ADD CONSTRAINT " + QuoteIdentifier(MySqlName(first.name, rule)) +
                  " FOREIGN KEY (" + QuotedList(pairs, false, rule) + ")\n REFERENCES " +
                  QuoteIdentifier(MySqlName(first.referencedTable, rule)) + "(" +
                  QuotedList(pairs, true, rule) + ")";
    if ((first.flags & kRelationshipCascadeDeletes) != 0) statements += " ON DELETE CASCADE";
    if ((first.flags & kRelationshipCascadeUpdates) != 0) statements += " ON UPDATE CASCADE";
  }
  if (!statements.empty()) statements += "\n";
  return statements;
}

Result<std::string> BuildForeignKeyStatements(JobContext& job, Session* sourceSession,
                                              Session* /*targetSession*/, NameRule rule,
                                              std::string /*databaseName*/, std::string tableName) {
  if (sourceSession == nullptr) {
    WriteLine(job, "%s", kNoConnection);
    return Status::Failure(kNoConnection);
  }
  const std::string sql =
      "select szRelationship,szObject,szColumn,szReferencedObject,szReferencedColumn,icolumn,"
      "grbit from MSysRelationShips \t\twhere szObject=" +
      AccessStringLiteral(tableName);
  std::vector<std::vector<std::string>> values;
  const std::string outcome = ReadSystemRows(sourceSession, sql,
                                             {{"szRelationship"},
                                              {"szColumn"},
                                              {"szReferencedObject"},
                                              {"szReferencedColumn"},
                                              {"icolumn"},
                                              {"grbit"}},
                                             values);
  if (!outcome.empty()) {
    // A statement without rows is no list of relationships either.
    WriteLine(job, outcome == kStatementSucceeded ? "%s" : "T::%s", outcome.c_str());
    return Status::Failure(outcome);
  }
  std::vector<RelationshipRow> rows;
  for (const auto& row : values)
    rows.push_back({row[0], row[1], row[2], row[3], Integer(row[4]), Integer(row[5])});
  std::vector<std::string> notEnforced;
  std::string statements = ForeignKeyStatementsFromRows(tableName, rows, notEnforced, rule);
  for (const std::string& name : notEnforced) {
    WriteLine(job, "Relationship [%s] of table [%s] is not enforced by Access: no FOREIGN KEY",
              name.c_str(), tableName.c_str());
  }
  return statements;
}

}  // namespace tablift
