#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data_access/jet/jet_table_source.h"
#include "data_access/jet/jet_value.h"
#include "data_access/jet/sql/expression_type.h"
#include "data_access/jet/sql/query_error.h"

namespace tablift::jet {

class LikePattern;
struct FunctionDef;
class SubqueryRunner;
class DomainRunner;
struct QueryStatement;

enum class ExprKind {
  Literal,
  Column,      // a table column, or a select-list alias used elsewhere
  Unary,       // - + Not
  Binary,      // arithmetic, &, comparisons, And Or Xor Eqv Imp
  Function,    // Len(x) ...
  Aggregate,   // Count Sum Avg Min Max First Last StDev StDevP Var VarP
  Between,     // operands: value, low, high
  In,          // operands: value, then the list
  IsNull,      // operands: value
  Like,        // operands: value, pattern
  Subquery,    // (SELECT ...) as one value; operands: the outer values it reads
  Exists,      // EXISTS (SELECT ...); operands: the outer values it reads
  InSubquery,  // x IN (SELECT ...), x op ANY|SOME|ALL (SELECT ...); operands: x, then the
               // outer values it reads
  Domain,      // DLookup, DCount, DSum ...: operands expression, domain, criteria
};

enum class Operator {
  Negate,
  Identity,
  Not,
  Add,
  Subtract,
  Multiply,
  Divide,
  IntegerDivide,
  Modulo,
  Power,
  Concatenate,
  Equal,
  NotEqual,
  Less,
  Greater,
  LessOrEqual,
  GreaterOrEqual,
  And,
  Or,
  Xor,
  Eqv,
  Imp,
};

enum class AggregateKind { Count, Sum, Avg, Min, Max, First, Last, StDev, StDevP, Var, VarP };

// One node of an expression as parsed; binding fills in the lower part.
struct Expr {
  ExprKind kind = ExprKind::Literal;
  Clause clause = Clause::Where;
  std::size_t position = 0;  // 1-based character position in the statement
  Value literal;
  std::string qualifier;  // Column: table or alias as written, "" when none
  std::string name;       // Column, function and aggregate names as written
  Operator op = Operator::Add;
  bool negated = false;                         // Not Between, Not In, Is Not Null, Not Like
  std::vector<std::unique_ptr<Expr>> operands;  // Aggregate: none for Count(*)
  std::size_t height = 1;                       // levels of operands below and including this node
  bool bracketed = false;                       // Column: written as [name]; may be a parameter
  bool formControl = false;                     // Column: Forms!F!name, always a parameter
  bool all = false;  // InSubquery: op ALL (SELECT ...); else op ANY, IN being = ANY
  std::shared_ptr<QueryStatement> subquery;  // Subquery, Exists, InSubquery: as parsed

  // Bound:
  std::size_t slot = 0;           // Column: index in the joined row; Aggregate: its number
  const Expr* aliasOf = nullptr;  // Column naming a select-list alias
  const FunctionDef* function = nullptr;
  AggregateKind aggregate = AggregateKind::Count;
  std::shared_ptr<const LikePattern> pattern;  // Like with a constant pattern
  std::shared_ptr<SubqueryRunner> runner;      // Subquery, Exists, InSubquery
  std::shared_ptr<DomainRunner> domain;        // Domain
  ExprType type;
};

using ExprPtr = std::unique_ptr<Expr>;

enum class JoinKind { Inner, Left, Right };

// An entry of FROM: a table or saved query, a derived table ((SELECT ...) AS
// X), or two entries joined with ON.
struct FromNode {
  bool isJoin = false;
  std::size_t position = 0;
  // Table:
  std::string table;
  std::string alias;
  std::shared_ptr<QueryStatement> derived;  // (SELECT ...) AS alias
  std::shared_ptr<TableSource> source;      // a row source made by the executor itself
  // Join:
  JoinKind join = JoinKind::Inner;
  std::unique_ptr<FromNode> left;
  std::unique_ptr<FromNode> right;
  ExprPtr on;
};

struct SelectItem {
  enum class Kind { AllColumns, TableColumns, Expression } kind = Kind::Expression;
  std::size_t position = 0;
  std::string qualifier;  // TableColumns: T in T.*
  ExprPtr expr;
  std::string alias;  // "" when none
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
};

struct SelectStatement {
  bool distinct = false;
  bool distinctRow = false;   // DISTINCTROW
  std::optional<double> top;  // TOP n, or n percent
  bool topPercent = false;
  std::vector<SelectItem> items;
  std::vector<std::unique_ptr<FromNode>> from;  // comma-separated entries
  ExprPtr where;
  std::vector<ExprPtr> groupBy;
  ExprPtr having;
  std::vector<OrderItem> orderBy;
  // TRANSFORM aggregate SELECT ... PIVOT pivot [IN (values)]
  ExprPtr transform;
  ExprPtr pivot;
  std::vector<ExprPtr> pivotValues;
};

// PARAMETERS [name] Type, ...;
struct ParameterDeclaration {
  std::string name;
  JetType type = JetType::Text;
  std::size_t size = 0;
  bool valueOnly = false;  // declared as Value: no conversion
};

// A whole statement: its parameters and one select, or several joined by
// UNION [ALL], whose trailing ORDER BY sorts the whole union.
struct QueryStatement {
  std::vector<ParameterDeclaration> parameters;
  std::vector<SelectStatement> selects;
  std::vector<bool> unionAll;      // between selects[i] and selects[i + 1]
  std::vector<OrderItem> orderBy;  // a union's ORDER BY
};

}  // namespace tablift::jet
