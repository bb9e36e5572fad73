#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data_access/jet/jet_table_source.h"
#include "data_access/jet/sql/bind_environment.h"
#include "data_access/jet/sql/query_executor.h"
#include "data_access/jet/sql/sql_ast.h"

namespace tablift::jet {

// One table of FROM. Its columns occupy the slots [offset, offset + column
// count) of the joined row.
struct BoundTable {
  std::shared_ptr<TableSource> source;
  std::string qualifier;  // the alias, or the table's name
  std::size_t offset = 0;
  std::size_t entry = 0;  // which comma-separated FROM entry holds it
};

struct BoundAggregate {
  AggregateKind kind = AggregateKind::Count;
  const Expr* argument = nullptr;  // null for Count(*)
  ExprType type;
};

// A top-level part of WHERE (WHERE a And b has two) and the FROM entry after
// which all the tables it reads are present.
struct BoundCondition {
  const Expr* expr = nullptr;
  std::size_t entry = 0;
};

// A statement whose names are resolved against the catalog: every column
// reference knows its slot, every call its function, every expression its
// type.
struct BoundQuery {
  SelectStatement statement;
  std::vector<BoundTable> tables;
  // The tables' columns; a subquery's row holds after them the values it
  // reads from the enclosing query.
  std::size_t rowWidth = 0;
  std::vector<ExprPtr> synthesized;  // the column references that * stands for
  std::vector<const Expr*> outputs;  // one per result column
  std::vector<ResultColumn> columns;
  std::vector<BoundAggregate> aggregates;
  bool grouped = false;  // GROUP BY or aggregates: one row per group
  std::vector<BoundCondition> conditions;
  // A crosstab: the aggregates [cellAggregates, aggregates.size()) are those
  // of the TRANSFORM expression, computed per group and pivot value.
  std::size_t cellAggregates = 0;
};

// Throws QueryError (Command) for an unknown or ambiguous name, a wrong
// number of arguments, an aggregate where none may stand, a column that is
// neither grouped nor aggregated, or a malformed constant Like pattern.
// Opens no cursor. FROM names tables, else saved queries; a name that no
// column or alias answers may be a parameter (bind_environment.h); inside a
// subquery it may be a column of the enclosing query (`outer`).
std::unique_ptr<BoundQuery> BindQuery(SelectStatement statement, BindEnvironment& environment,
                                      OuterResolver* outer);

}  // namespace tablift::jet
