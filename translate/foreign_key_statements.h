#pragma once

#include <string>
#include <vector>

#include "core/status.h"
#include "translate/mysql_names.h"

namespace tablift {

class Session;
class JobContext;

// One row of MSysRelationships: one column pair of a relationship.
struct RelationshipRow {
  std::string name;  // szRelationship
  std::string column;
  std::string referencedTable;
  std::string referencedColumn;
  int position = 0;  // icolumn: the pair's place in the key
  int flags = 0;     // grbit
};

// MSysRelationships.grbit bits that the statements look at.
inline constexpr int kRelationshipNotEnforced = 0x00000002;
inline constexpr int kRelationshipCascadeUpdates = 0x00000100;
inline constexpr int kRelationshipCascadeDeletes = 0x00001000;

// The ALTER TABLE ... ADD CONSTRAINT ... FOREIGN KEY statements of the
// relationships in which `tableName` is the referencing table, separated by
// ";\n", the last ended by "\n"; "" when it has none. A failure (already
// logged) without a source session or when the system table cannot be read. A relationship Access
// does not enforce gets no statement (a plain line says so): MySQL would enforce it and refuse the
// rows that Access accepted.
Result<std::string> BuildForeignKeyStatements(JobContext& job, Session* sourceSession,
                                              Session* targetSession, NameRule rule,
                                              std::string databaseName, std::string tableName);

// The statements of `tableName` built from its relationship rows, in the
// order the rows come: rows with the same relationship name (letter case
// aside) make one statement wherever they are, their pairs in key order.
// Names of relationships that are not enforced are put into `notEnforced`.
// Every name is spelt by `rule`.
std::string ForeignKeyStatementsFromRows(const std::string& tableName,
                                         const std::vector<RelationshipRow>& rows,
                                         std::vector<std::string>& notEnforced,
                                         NameRule rule = NameRule::Keep);

}  // namespace tablift
