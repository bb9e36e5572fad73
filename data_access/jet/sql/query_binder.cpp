#include "data_access/jet/sql/query_binder.h"

#include <algorithm>
#include <set>

#include "data_access/jet/sql/builtin_functions.h"
#include "data_access/jet/sql/like_matcher.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/query_plan.h"
#include "data_access/jet/sql/sql_parser.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

[[noreturn]] void Fail(const std::string& message, Clause clause, std::size_t position) {
  QueryError error(QueryError::Kind::Command, message);
  error.locate(clause, position);
  throw error;
}

std::string Quoted(const Expr& column) {
  return "'" + (column.qualifier.empty() ? column.name : column.qualifier + "." + column.name) +
         "'";
}

struct AggregateName {
  std::string_view name;
  AggregateKind kind;
};

constexpr AggregateName kAggregates[] = {
    {"Count", AggregateKind::Count},   {"Sum", AggregateKind::Sum},
    {"Avg", AggregateKind::Avg},       {"Min", AggregateKind::Min},
    {"Max", AggregateKind::Max},       {"First", AggregateKind::First},
    {"Last", AggregateKind::Last},     {"StDev", AggregateKind::StDev},
    {"StDevP", AggregateKind::StDevP}, {"Var", AggregateKind::Var},
    {"VarP", AggregateKind::VarP}};

// The domain aggregate functions: D followed by the aggregate, DLookup
// standing for the first matching row's value.
const AggregateName* FindDomainAggregate(std::string_view name) {
  static constexpr AggregateName kLookup = {"First", AggregateKind::First};
  if (name.size() < 2 || (name[0] != 'd' && name[0] != 'D')) return nullptr;
  if (NamesEqual(name, "DLookup")) return &kLookup;
  for (const AggregateName& aggregate : kAggregates) {
    if (NamesEqual(aggregate.name, name.substr(1))) return &aggregate;
  }
  return nullptr;
}

const AggregateName* FindAggregate(std::string_view name) {
  for (const AggregateName& aggregate : kAggregates) {
    if (NamesEqual(aggregate.name, name)) return &aggregate;
  }
  return nullptr;
}

ExprType AggregateType(AggregateKind kind, const ExprType& argument) {
  switch (kind) {
    case AggregateKind::Count:
      return TypeOf(JetType::Long);
    case AggregateKind::Sum:
      if (argument.type == JetType::Currency || argument.type == JetType::Decimal) return argument;
      return TypeOf(JetType::Double);
    case AggregateKind::Avg:
      if (argument.type == JetType::Currency) return argument;
      return TypeOf(JetType::Double);
    case AggregateKind::Min:
    case AggregateKind::Max:
    case AggregateKind::First:
    case AggregateKind::Last:
      return argument;
    default:
      return TypeOf(JetType::Double);
  }
}

// Where names may be looked up while binding one expression.
struct Scope {
  std::vector<std::size_t> tables;  // indexes into BoundQuery::tables
  bool aggregates = false;          // aggregate functions allowed
  bool aliases = false;             // select-list aliases may be named
  bool insideAggregate = false;
};

class Binder {
 public:
  Binder(BindEnvironment& environment, BoundQuery& query, OuterResolver* outer)
      : environment_(environment), query_(query), outer_(outer) {}

  void run() {
    SelectStatement& statement = query_.statement;
    for (std::size_t entry = 0; entry < statement.from.size(); ++entry) {
      std::vector<std::size_t> tables;
      bindFrom(*statement.from[entry], entry, tables);
    }
    for (std::size_t i = 0; i < query_.tables.size(); ++i)
      all_.push_back(i);
    // ON sees the tables of its own join only; binding it once all tables are
    // known tells a misplaced table from an unknown one.
    for (auto& [on, tables] : joins_) {
      Scope scope;
      scope.tables = tables;
      bindExpr(*on, scope);
    }
    itemStates_.assign(statement.items.size(), ItemState::Unbound);

    bindSelectList();
    if (statement.where) {
      bindExpr(*statement.where, scope(false, true));
      splitConditions(*statement.where);
    }
    for (ExprPtr& group : statement.groupBy)
      bindExpr(*group, scope(false, false));
    if (statement.having) bindExpr(*statement.having, scope(true, true));
    for (OrderItem& item : statement.orderBy)
      bindExpr(*item.expr, scope(true, true));
    if (statement.transform) bindCrosstab();

    // HAVING alone makes the whole table one group, as in Access.
    query_.grouped =
        !statement.groupBy.empty() || !query_.aggregates.empty() || statement.having != nullptr;
    if (query_.grouped) checkGrouping();
  }

 private:
  enum class ItemState { Unbound, Binding, Bound };

  Scope scope(bool aggregates, bool aliases) const {
    Scope s;
    s.tables = all_;
    s.aggregates = aggregates;
    s.aliases = aliases;
    return s;
  }

  // --- FROM ---------------------------------------------------------------------

  void bindFrom(FromNode& node, std::size_t entry, std::vector<std::size_t>& tables) {
    if (!node.isJoin) {
      std::shared_ptr<TableSource> source = node.source;
      if (!source && node.derived) {
        source =
            MakeQuerySource(node.alias, PlanQuery(std::move(*node.derived), environment_, nullptr));
      }
      if (!source) source = environment_.catalog.table(node.table);
      if (!source) source = PlanSavedQuery(node.table, node.position, environment_);
      if (!source) Fail("Unknown table '" + node.table + "'", Clause::From, node.position);
      BoundTable table;
      table.qualifier = node.alias.empty() ? source->name() : node.alias;
      for (const BoundTable& other : query_.tables) {
        if (NamesEqual(other.qualifier, table.qualifier)) {
          Fail("Table '" + table.qualifier + "' is named twice; give one of them an alias",
               Clause::From, node.position);
        }
      }
      table.offset = query_.rowWidth;
      table.entry = entry;
      query_.rowWidth += source->columns().size();
      table.source = std::move(source);
      tables.push_back(query_.tables.size());
      query_.tables.push_back(std::move(table));
      return;
    }
    bindFrom(*node.left, entry, tables);
    bindFrom(*node.right, entry, tables);
    joins_.emplace_back(node.on.get(), tables);
  }

  // --- SELECT -------------------------------------------------------------------

  struct OutputName {
    std::string name;
    std::string qualifier;  // for a plain column: its table, to tell duplicates apart
  };

  void bindSelectList() {
    SelectStatement& statement = query_.statement;
    std::vector<OutputName> names;
    for (std::size_t i = 0; i < statement.items.size(); ++i) {
      SelectItem& item = statement.items[i];
      switch (item.kind) {
        case SelectItem::Kind::AllColumns:
          for (std::size_t t = 0; t < query_.tables.size(); ++t)
            addTableColumns(t, item, names);
          break;
        case SelectItem::Kind::TableColumns: {
          const std::size_t t = findTable(item.qualifier);
          if (t == kNone)
            Fail("Unknown table '" + item.qualifier + "'", Clause::Select, item.position);
          addTableColumns(t, item, names);
          break;
        }
        case SelectItem::Kind::Expression: {
          bindItem(i);
          const Expr& expr = *item.expr;
          OutputName name;
          if (!item.alias.empty()) {
            name.name = item.alias;
          } else if (expr.kind == ExprKind::Column && !expr.aliasOf &&
                     expr.slot < query_.rowWidth) {
            name.name = columnOf(expr).name;
            name.qualifier = tableOfSlot(expr.slot).qualifier;
          } else if (expr.kind == ExprKind::Column) {
            name.name = expr.name;
          } else {
            name.name = "Expr" + std::to_string(1000 + i);
          }
          addOutput(expr, name, names);
          break;
        }
      }
    }
    // The same column name from two tables: Access shows both as T.name.
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i].qualifier.empty()) continue;
      for (std::size_t j = 0; j < names.size(); ++j) {
        if (i != j && !names[j].qualifier.empty() && NamesEqual(names[i].name, names[j].name) &&
            !NamesEqual(names[i].qualifier, names[j].qualifier)) {
          query_.columns[i].name = names[i].qualifier + "." + names[i].name;
          break;
        }
      }
    }
  }

  void addTableColumns(std::size_t t, const SelectItem& item, std::vector<OutputName>& names) {
    const BoundTable& table = query_.tables[t];
    const std::vector<SourceColumn>& columns = table.source->columns();
    for (std::size_t c = 0; c < columns.size(); ++c) {
      auto expr = std::make_unique<Expr>();
      expr->kind = ExprKind::Column;
      expr->clause = Clause::Select;
      expr->position = item.position;
      expr->name = columns[c].name;
      expr->qualifier = table.qualifier;
      expr->slot = table.offset + c;
      expr->type = TypeOfColumn(columns[c]);
      addOutput(*expr, OutputName{columns[c].name, table.qualifier}, names);
      query_.synthesized.push_back(std::move(expr));
    }
  }

  void addOutput(const Expr& expr, const OutputName& name, std::vector<OutputName>& names) {
    ResultColumn column;
    column.name = name.name;
    const ExprType& type = expr.type;
    column.type = type.type.value_or(JetType::Text);
    column.size = type.type ? type.size : kComputedTextSize;
    column.precision = type.precision;
    column.scale = type.scale;
    query_.outputs.push_back(&expr);
    query_.columns.push_back(column);
    names.push_back(name);
  }

  // Select items are bound on first use, so that one alias may name another.
  void bindItem(std::size_t i) {
    SelectItem& item = query_.statement.items[i];
    if (itemStates_[i] == ItemState::Bound) return;
    if (itemStates_[i] == ItemState::Binding) {
      Fail("Circular reference caused by alias '" + item.alias + "'", Clause::Select,
           item.position);
    }
    itemStates_[i] = ItemState::Binding;
    bindExpr(*item.expr, scope(true, true));
    itemStates_[i] = ItemState::Bound;
  }

  // --- expressions --------------------------------------------------------------

  void bindExpr(Expr& expr, const Scope& scope) {
    switch (expr.kind) {
      case ExprKind::Literal:
        expr.type = TypeOfLiteral(expr.literal);
        return;
      case ExprKind::Column:
        bindColumn(expr, scope);
        return;
      case ExprKind::Function:
        bindCall(expr, scope);
        return;
      case ExprKind::Aggregate:
        bindAggregate(expr, scope);
        return;
      case ExprKind::Subquery:
      case ExprKind::Exists:
      case ExprKind::InSubquery:
        bindSubquery(expr, scope);
        return;
      default:
        break;
    }
    for (ExprPtr& operand : expr.operands)
      bindExpr(*operand, scope);
    switch (expr.kind) {
      case ExprKind::Unary:
        if (expr.op == Operator::Not) {
          expr.type = TypeOf(JetType::Boolean);
        } else {
          expr.type = NegationType(expr.operands[0]->type);
        }
        return;
      case ExprKind::Binary:
        expr.type = binaryType(expr);
        return;
      case ExprKind::Like:
        compileConstantPattern(expr);
        expr.type = TypeOf(JetType::Boolean);
        return;
      default:
        expr.type = TypeOf(JetType::Boolean);
        return;
    }
  }

  static ExprType binaryType(const Expr& expr) {
    const ExprType& a = expr.operands[0]->type;
    const ExprType& b = expr.operands[1]->type;
    switch (expr.op) {
      case Operator::Add:
        return ArithmeticType(ArithmeticOperator::Add, a, b);
      case Operator::Subtract:
        return ArithmeticType(ArithmeticOperator::Subtract, a, b);
      case Operator::Multiply:
        return ArithmeticType(ArithmeticOperator::Multiply, a, b);
      case Operator::Divide:
        return ArithmeticType(ArithmeticOperator::Divide, a, b);
      case Operator::IntegerDivide:
        return ArithmeticType(ArithmeticOperator::IntegerDivide, a, b);
      case Operator::Modulo:
        return ArithmeticType(ArithmeticOperator::Modulo, a, b);
      case Operator::Power:
        return ArithmeticType(ArithmeticOperator::Power, a, b);
      case Operator::Concatenate:
        return ConcatenationType(a, b);
      default:
        return TypeOf(JetType::Boolean);
    }
  }

  void compileConstantPattern(Expr& expr) {
    const Expr& pattern = *expr.operands[1];
    if (pattern.kind != ExprKind::Literal || IsNull(pattern.literal)) return;
    std::string error;
    std::optional<LikePattern> compiled = LikePattern::Compile(TextOf(pattern.literal), error);
    if (!compiled) Fail(error, pattern.clause, pattern.position);
    expr.pattern = std::make_shared<const LikePattern>(std::move(*compiled));
  }

  void bindCall(Expr& expr, const Scope& scope) {
    if (const AggregateName* domain = FindDomainAggregate(expr.name)) {
      bindDomain(expr, *domain, scope);
      return;
    }
    if (const AggregateName* aggregate = FindAggregate(expr.name)) {
      if (expr.operands.size() != 1) {
        Fail("Wrong number of arguments for function '" + expr.name + "'", expr.clause,
             expr.position);
      }
      expr.kind = ExprKind::Aggregate;
      expr.aggregate = aggregate->kind;
      bindAggregate(expr, scope);
      return;
    }
    const FunctionDef* function = FindFunction(expr.name);
    if (!function) Fail("Unknown function '" + expr.name + "'", expr.clause, expr.position);
    if (expr.operands.size() < function->minArguments ||
        expr.operands.size() > function->maxArguments) {
      Fail("Wrong number of arguments for function '" + expr.name + "'", expr.clause,
           expr.position);
    }
    expr.function = function;
    std::vector<ExprType> types;
    for (ExprPtr& operand : expr.operands) {
      bindExpr(*operand, scope);
      types.push_back(operand->type);
    }
    expr.type = function->resultType(types);
  }

  // DLookup("expression", "domain" [, "criteria"]) and the aggregates over a
  // domain. With the expression and the domain written as text constants
  // the call's type is known (and a wrong name found) before any row.
  void bindDomain(Expr& expr, const AggregateName& kind, const Scope& scope) {
    if (expr.operands.size() < 2 || expr.operands.size() > 3) {
      Fail("Wrong number of arguments for function '" + expr.name + "'", expr.clause,
           expr.position);
    }
    for (ExprPtr& operand : expr.operands)
      bindExpr(*operand, scope);
    expr.kind = ExprKind::Domain;
    expr.aggregate = kind.kind;
    if (!environment_.domains) {
      environment_.domains = MakeDomainRunner(
          environment_.catalog, environment_.values ? *environment_.values : QueryParameters{});
    }
    expr.domain = environment_.domains;
    const Expr& expression = *expr.operands[0];
    const Expr& domain = *expr.operands[1];
    if (expression.kind != ExprKind::Literal || domain.kind != ExprKind::Literal ||
        IsNull(expression.literal) || IsNull(domain.literal)) {
      return;
    }
    try {
      BindEnvironment probe(environment_.catalog);
      probe.listing = true;
      // A saved query whose domain is itself is a circular reference.
      probe.savedQueries = environment_.savedQueries;
      const std::shared_ptr<QueryPlan> plan =
          PlanQuery(ParseQuery(DomainStatement(kind.kind, TextOf(expression.literal),
                                               TextOf(domain.literal), "")),
                    probe, nullptr);
      const ResultColumn& column = plan->columns().front();
      expr.type = TypeOf(column.type);
      expr.type.size = column.size;
      expr.type.precision = column.precision;
      expr.type.scale = column.scale;
    } catch (const QueryError& error) {
      Fail(expr.name + ": " + error.message(), expr.clause, expr.position);
    }
  }

  void bindAggregate(Expr& expr, const Scope& scope) {
    const std::string name = expr.operands.empty() ? "Count" : expr.name;
    if (!scope.aggregates) {
      Fail("Aggregate function '" + name + "' is not allowed", expr.clause, expr.position);
    }
    if (scope.insideAggregate) {
      Fail("Aggregate function '" + name + "' cannot stand inside another aggregate", expr.clause,
           expr.position);
    }
    BoundAggregate aggregate;
    aggregate.kind = expr.aggregate;
    ExprType argumentType;
    if (!expr.operands.empty()) {
      Scope inner = scope;
      inner.insideAggregate = true;
      bindExpr(*expr.operands[0], inner);
      aggregate.argument = expr.operands[0].get();
      argumentType = expr.operands[0]->type;
    }
    aggregate.type = AggregateType(expr.aggregate, argumentType);
    expr.type = aggregate.type;
    expr.slot = query_.aggregates.size();
    query_.aggregates.push_back(aggregate);
  }

  void bindColumn(Expr& expr, const Scope& scope) {
    if (expr.formControl) {
      BindParameter(expr, environment_);
      return;
    }
    if (!expr.qualifier.empty()) {
      const std::size_t t = findTable(expr.qualifier);
      if (t == kNone && outer_) {
        bindOuter(expr);
        return;
      }
      if (t == kNone) {
        Fail("Unknown table '" + expr.qualifier + "' for column " + Quoted(expr), expr.clause,
             expr.position);
      }
      if (std::find(scope.tables.begin(), scope.tables.end(), t) == scope.tables.end()) {
        Fail("Column " + Quoted(expr) + " is not part of this join", expr.clause, expr.position);
      }
      if (!resolveIn(t, expr)) Fail("Unknown column " + Quoted(expr), expr.clause, expr.position);
      return;
    }
    std::size_t matches = 0;
    for (std::size_t t : scope.tables) {
      Expr candidate;
      candidate.name = expr.name;
      if (resolveIn(t, candidate)) {
        ++matches;
        expr.slot = candidate.slot;
        expr.type = candidate.type;
      }
    }
    if (matches > 1) Fail("Ambiguous column " + Quoted(expr), expr.clause, expr.position);
    if (matches == 1) return;
    if (scope.aliases && bindAlias(expr, scope)) return;
    if (outer_) {
      bindOuter(expr);
      return;
    }
    if (BindParameter(expr, environment_)) return;
    // Date, Now and Time may be written without parentheses.
    const FunctionDef* function = FindFunction(expr.name);
    if (function && function->minArguments == 0 && function->maxArguments == 0) {
      expr.kind = ExprKind::Function;
      expr.function = function;
      expr.type = function->resultType({});
      return;
    }
    Fail("Unknown column " + Quoted(expr), expr.clause, expr.position);
  }

  // A name the subquery's own tables do not have: the enclosing query's.
  void bindOuter(Expr& expr) {
    ExprType type;
    const std::size_t index = outer_->resolve(expr, type);
    expr.kind = ExprKind::Column;
    expr.slot = query_.rowWidth + index;
    expr.type = type;
  }

  // Binds a subquery's statement with this query as its enclosing one. The
  // values it reads from here become the expression's operands after the
  // tested value of IN, so that this query evaluates them for each row.
  class Correlations : public OuterResolver {
   public:
    Correlations(Binder& binder, const Scope& scope) : binder_(binder), scope_(scope) {}

    std::size_t resolve(const Expr& reference, ExprType& type) override {
      auto copy = std::make_unique<Expr>();
      copy->kind = ExprKind::Column;
      copy->clause = reference.clause;
      copy->position = reference.position;
      copy->qualifier = reference.qualifier;
      copy->name = reference.name;
      copy->bracketed = reference.bracketed;
      binder_.bindExpr(*copy, scope_);
      type = copy->type;
      references.push_back(std::move(copy));
      return references.size() - 1;
    }

    std::vector<ExprPtr> references;

   private:
    Binder& binder_;
    Scope scope_;
  };

  void bindSubquery(Expr& expr, const Scope& scope) {
    if (expr.runner) return;  // bound once already
    if (expr.kind == ExprKind::InSubquery) bindExpr(*expr.operands[0], scope);
    Correlations correlations(*this, scope);
    std::shared_ptr<QueryPlan> plan =
        PlanQuery(std::move(*expr.subquery), environment_, &correlations);
    expr.subquery.reset();
    if (expr.kind != ExprKind::Exists && plan->columns().size() != 1) {
      Fail(
          "You have written a subquery that can return more than one field without using the "
          "EXISTS reserved word in the main query's FROM clause. Revise the SELECT statement of "
          "the subquery to request only one field.",
          expr.clause, expr.position);
    }
    if (expr.kind == ExprKind::Subquery) {
      const ResultColumn& column = plan->columns().front();
      expr.type = TypeOf(column.type);
      expr.type.size = column.size;
      expr.type.precision = column.precision;
      expr.type.scale = column.scale;
    } else {
      expr.type = TypeOf(JetType::Boolean);
    }
    const bool correlated = !correlations.references.empty();
    for (ExprPtr& reference : correlations.references)
      expr.operands.push_back(std::move(reference));
    expr.runner = MakeSubqueryRunner(std::move(plan), correlated);
  }

  // --- TRANSFORM ... PIVOT -------------------------------------------------------

  void bindCrosstab() {
    SelectStatement& statement = query_.statement;
    if (statement.groupBy.empty()) {
      Fail("A crosstab query needs GROUP BY for its row headings", Clause::Transform,
           statement.transform->position);
    }
    query_.cellAggregates = query_.aggregates.size();
    bindExpr(*statement.transform, scope(true, false));
    if (query_.aggregates.size() == query_.cellAggregates) {
      Fail("The TRANSFORM expression must hold an aggregate function", Clause::Transform,
           statement.transform->position);
    }
    bindExpr(*statement.pivot, scope(false, false));
    for (ExprPtr& value : statement.pivotValues) {
      bindExpr(*value, Scope{});
      const bool constant =
          value->kind == ExprKind::Literal ||
          (value->kind == ExprKind::Unary && value->operands[0]->kind == ExprKind::Literal);
      if (!constant) {
        Fail("The values after PIVOT ... IN must be constants", value->clause, value->position);
      }
    }
  }

  bool bindAlias(Expr& expr, const Scope& scope) {
    SelectStatement& statement = query_.statement;
    for (std::size_t i = 0; i < statement.items.size(); ++i) {
      SelectItem& item = statement.items[i];
      if (item.alias.empty() || !NamesEqual(item.alias, expr.name)) continue;
      bindItem(i);
      if (!scope.aggregates && ContainsAggregate(*item.expr)) {
        Fail("Alias '" + item.alias + "' stands for an aggregate and is not allowed here",
             expr.clause, expr.position);
      }
      expr.aliasOf = item.expr.get();
      expr.type = item.expr->type;
      return true;
    }
    return false;
  }

  static bool ContainsAggregate(const Expr& expr) {
    if (expr.kind == ExprKind::Aggregate) return true;
    if (expr.aliasOf && ContainsAggregate(*expr.aliasOf)) return true;
    for (const ExprPtr& operand : expr.operands) {
      if (ContainsAggregate(*operand)) return true;
    }
    return false;
  }

  bool resolveIn(std::size_t t, Expr& expr) const {
    const BoundTable& table = query_.tables[t];
    const std::vector<SourceColumn>& columns = table.source->columns();
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (NamesEqual(columns[c].name, expr.name)) {
        expr.slot = table.offset + c;
        expr.type = TypeOfColumn(columns[c]);
        return true;
      }
    }
    return false;
  }

  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::size_t findTable(const std::string& qualifier) const {
    for (std::size_t t = 0; t < query_.tables.size(); ++t) {
      if (NamesEqual(query_.tables[t].qualifier, qualifier)) return t;
    }
    return kNone;
  }

  const BoundTable& tableOfSlot(std::size_t slot) const {
    for (const BoundTable& table : query_.tables) {
      if (table.offset <= slot && slot < table.offset + table.source->columns().size()) {
        return table;
      }
    }
    return query_.tables.front();
  }

  const SourceColumn& columnOf(const Expr& column) const {
    const BoundTable& table = tableOfSlot(column.slot);
    return table.source->columns()[column.slot - table.offset];
  }

  // --- WHERE --------------------------------------------------------------------

  void splitConditions(const Expr& expr) {
    if (expr.kind == ExprKind::Binary && expr.op == Operator::And) {
      splitConditions(*expr.operands[0]);
      splitConditions(*expr.operands[1]);
      return;
    }
    BoundCondition condition;
    condition.expr = &expr;
    condition.entry = lastEntryRead(expr);
    query_.conditions.push_back(condition);
  }

  std::size_t lastEntryRead(const Expr& expr) const {
    std::size_t last = 0;
    if (expr.kind == ExprKind::Column) {
      if (expr.aliasOf) return lastEntryRead(*expr.aliasOf);
      return tableOfSlot(expr.slot).entry;
    }
    for (const ExprPtr& operand : expr.operands)
      last = std::max(last, lastEntryRead(*operand));
    return last;
  }

  // --- GROUP BY -----------------------------------------------------------------

  void checkGrouping() {
    std::set<std::size_t> grouped;
    for (const ExprPtr& group : query_.statement.groupBy)
      collectSlots(*group, grouped);
    for (const Expr* output : query_.outputs)
      checkGrouped(*output, grouped);
    if (query_.statement.having) checkGrouped(*query_.statement.having, grouped);
    for (const OrderItem& item : query_.statement.orderBy)
      checkGrouped(*item.expr, grouped);
    if (query_.statement.transform) checkGrouped(*query_.statement.transform, grouped);
  }

  static void collectSlots(const Expr& expr, std::set<std::size_t>& slots) {
    if (expr.kind == ExprKind::Column && !expr.aliasOf) slots.insert(expr.slot);
    for (const ExprPtr& operand : expr.operands)
      collectSlots(*operand, slots);
  }

  void checkGrouped(const Expr& expr, const std::set<std::size_t>& grouped) const {
    if (expr.kind == ExprKind::Aggregate) return;
    if (expr.kind == ExprKind::Column) {
      if (expr.aliasOf) {
        checkGrouped(*expr.aliasOf, grouped);
      } else if (expr.slot < query_.rowWidth && !grouped.count(expr.slot)) {
        Fail("Column " + Quoted(expr) + " is neither in GROUP BY nor inside an aggregate function",
             expr.clause, expr.position);
      }
      return;
    }
    for (const ExprPtr& operand : expr.operands)
      checkGrouped(*operand, grouped);
  }

  BindEnvironment& environment_;
  BoundQuery& query_;
  OuterResolver* outer_;
  std::vector<std::size_t> all_;
  std::vector<std::pair<Expr*, std::vector<std::size_t>>> joins_;
  std::vector<ItemState> itemStates_;
};

}  // namespace

std::unique_ptr<BoundQuery> BindQuery(SelectStatement statement, BindEnvironment& environment,
                                      OuterResolver* outer) {
  auto query = std::make_unique<BoundQuery>();
  query->statement = std::move(statement);
  Binder(environment, *query, outer).run();
  return query;
}

}  // namespace tablift::jet
