#include "data_access/jet/sql/query_plan.h"

#include <algorithm>
#include <set>
#include <utility>

#include "data_access/error_info.h"
#include "data_access/jet/sql/query_binder.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/row_sources.h"
#include "data_access/jet/sql/sql_parser.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/jet/sql/value_comparison.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

// Binding recurses through saved queries that read saved queries; this keeps
// a pathological chain from exhausting the stack.
constexpr std::size_t kMostNestedSavedQueries = 50;

// --- one select ---------------------------------------------------------------

// The slots an expression reads.
void SlotsRead(const Expr& expr, std::set<std::size_t>& slots) {
  if (expr.kind == ExprKind::Column) {
    if (expr.aliasOf) {
      SlotsRead(*expr.aliasOf, slots);
    } else {
      slots.insert(expr.slot);
    }
  }
  for (const ExprPtr& operand : expr.operands)
    SlotsRead(*operand, slots);
}

bool Within(const std::set<std::size_t>& read, const std::set<std::size_t>& side,
            std::size_t rowWidth) {
  for (std::size_t slot : read) {
    // A subquery's values from the enclosing query are the same on both sides.
    if (slot < rowWidth && !side.count(slot)) return false;
  }
  return true;
}

// The equalities of an ON condition that compare one side with the other.
void JoinKeys(const Expr& on, const std::set<std::size_t>& outer,
              const std::set<std::size_t>& inner, std::size_t rowWidth,
              std::vector<const Expr*>& outerKeys, std::vector<const Expr*>& innerKeys) {
  if (on.kind == ExprKind::Binary && on.op == Operator::And) {
    JoinKeys(*on.operands[0], outer, inner, rowWidth, outerKeys, innerKeys);
    JoinKeys(*on.operands[1], outer, inner, rowWidth, outerKeys, innerKeys);
    return;
  }
  if (on.kind != ExprKind::Binary || on.op != Operator::Equal) return;
  std::set<std::size_t> left, right;
  SlotsRead(*on.operands[0], left);
  SlotsRead(*on.operands[1], right);
  if (left.empty() || right.empty()) return;
  if (Within(left, outer, rowWidth) && Within(right, inner, rowWidth)) {
    outerKeys.push_back(on.operands[0].get());
    innerKeys.push_back(on.operands[1].get());
  } else if (Within(left, inner, rowWidth) && Within(right, outer, rowWidth)) {
    outerKeys.push_back(on.operands[1].get());
    innerKeys.push_back(on.operands[0].get());
  }
}

// The joined rows of one comma-separated FROM entry: a table, or joins nested
// as written. Tables are taken in the order the binder numbered them; `slots`
// gets the slots the entry writes.
std::unique_ptr<RowSource> BuildEntry(const FromNode& node, BoundQuery& query,
                                      std::size_t& nextTable, std::vector<Value>& row,
                                      std::set<std::size_t>& slots) {
  if (!node.isJoin) {
    BoundTable& table = query.tables[nextTable++];
    for (std::size_t c = 0; c < table.source->columns().size(); ++c)
      slots.insert(table.offset + c);
    return MakeTableScan(*table.source, row, table.offset);
  }
  std::set<std::size_t> leftSlots, rightSlots;
  std::unique_ptr<RowSource> left = BuildEntry(*node.left, query, nextTable, row, leftSlots);
  std::unique_ptr<RowSource> right = BuildEntry(*node.right, query, nextTable, row, rightSlots);
  slots.insert(leftSlots.begin(), leftSlots.end());
  slots.insert(rightSlots.begin(), rightSlots.end());
  const bool keepUnmatched = node.join != JoinKind::Inner;
  if (node.join == JoinKind::Right) {
    std::swap(left, right);
    std::swap(leftSlots, rightSlots);
  }
  std::vector<const Expr*> outerKeys, innerKeys;
  if (node.on) JoinKeys(*node.on, leftSlots, rightSlots, query.rowWidth, outerKeys, innerKeys);
  if (outerKeys.empty()) {
    return MakeNestedLoopJoin(std::move(left), std::move(right), node.on.get(), keepUnmatched, row);
  }
  return MakeHashJoin(std::move(left), std::move(right), node.on.get(), keepUnmatched, row,
                      std::move(outerKeys), std::move(innerKeys),
                      std::vector<std::size_t>(rightSlots.begin(), rightSlots.end()));
}

// The FROM entries as nested loops, the first entry outermost. Each part of
// WHERE is tested as soon as the entries it reads are joined, so that
// "FROM O, Q WHERE O.name = 'x' AND O.Id = Q.ObjectId" reads Q once per
// matching O row instead of once per O row.
std::unique_ptr<RowSource> BuildRows(BoundQuery& query, std::vector<Value>& row) {
  const std::size_t entries = query.statement.from.size();
  std::vector<std::vector<const Expr*>> conditions(entries);
  for (const BoundCondition& condition : query.conditions) {
    conditions[condition.entry].push_back(condition.expr);
  }
  std::size_t nextTable = 0;
  std::set<std::size_t> slots;
  std::unique_ptr<RowSource> rows = MakeFilter(
      BuildEntry(*query.statement.from[0], query, nextTable, row, slots), conditions[0], row);
  for (std::size_t entry = 1; entry < entries; ++entry) {
    std::unique_ptr<RowSource> inner =
        BuildEntry(*query.statement.from[entry], query, nextTable, row, slots);
    rows = MakeFilter(MakeNestedLoopJoin(std::move(rows), std::move(inner), nullptr, false, row),
                      conditions[entry], row);
  }
  return rows;
}

// Pivot columns named in PIVOT ... IN (...), or found in the rows.
class PivotValues : public PivotColumns {
 public:
  explicit PivotValues(std::vector<Value> values, bool listed)
      : values_(std::move(values)), listed_(listed) {}

  std::optional<std::size_t> columnOf(const Value& value) const override {
    for (std::size_t i = 0; i < values_.size(); ++i) {
      if (listed_ ? Matches(value, values_[i]) : CompareForOrdering(value, values_[i]) == 0) {
        return i;
      }
    }
    return std::nullopt;
  }
  std::size_t count() const override { return values_.size(); }
  const std::vector<Value>& values() const { return values_; }

 private:
  // A listed value matches a pivot value that equals it, or reads the same
  // ("1" lists the pivot value 1).
  static bool Matches(const Value& value, const Value& listed) {
    if (IsNull(value) || IsNull(listed)) return IsNull(value) && IsNull(listed);
    try {
      if (CompareValues(value, listed) == 0) return true;
    } catch (const QueryError&) {
      // Kinds that do not compare: try their text.
    }
    return CompareText(TextOf(value), TextOf(listed)) == 0;
  }

  std::vector<Value> values_;
  bool listed_;
};

class SelectPlan : public QueryPlan {
 public:
  explicit SelectPlan(std::unique_ptr<BoundQuery> query) : query_(std::move(query)) {
    columns_ = query_->columns;
    if (!query_->statement.transform) return;
    // A crosstab's columns: the row headings, then one per pivot value.
    const Expr& transform = *query_->statement.transform;
    cell_.type = transform.type.type.value_or(JetType::Text);
    cell_.size = transform.type.type ? transform.type.size : kComputedTextSize;
    cell_.precision = transform.type.precision;
    cell_.scale = transform.type.scale;
    std::vector<Value> values;
    const bool listed = !query_->statement.pivotValues.empty();
    if (listed) {
      EvalContext none;
      for (const ExprPtr& value : query_->statement.pivotValues)
        values.push_back(Evaluate(*value, none));
    } else {
      std::vector<Value> row(query_->rowWidth, Null{});
      values = DistinctPivotValues(BuildRows(*query_, row), *query_, row);
    }
    for (const Value& value : values) {
      ResultColumn column = cell_;
      column.name = IsNull(value) ? "<>" : TextOf(value);
      columns_.push_back(std::move(column));
    }
    pivot_ = std::make_unique<PivotValues>(std::move(values), listed);
  }

  const std::vector<ResultColumn>& columns() const override { return columns_; }

  std::unique_ptr<ResultStage> start(const std::vector<Value>& outer) override {
    return std::make_unique<Run>(std::static_pointer_cast<SelectPlan>(shared_from_this()), outer);
  }

 private:
  // One run: its own joined row and stages over the plan's bound query.
  class Run : public ResultStage {
   public:
    Run(std::shared_ptr<SelectPlan> plan, const std::vector<Value>& outer)
        : plan_(std::move(plan)) {
      BoundQuery& query = *plan_->query_;
      row_.assign(query.rowWidth, Null{});
      row_.insert(row_.end(), outer.begin(), outer.end());
      std::unique_ptr<RowSource> rows = BuildRows(query, row_);
      if (query.statement.transform) {
        stage_ = MakeCrosstab(std::move(rows), query, row_, *plan_->pivot_, plan_->cell_);
        sortBy(query.statement.orderBy, plan_->columns_.size());
        return;
      }
      stage_ = query.grouped ? MakeGrouping(std::move(rows), query, row_)
                             : MakeProjection(std::move(rows), query, row_);
      const SelectStatement& statement = query.statement;
      const std::size_t width = query.columns.size();
      if (statement.distinct) stage_ = MakeDistinct(std::move(stage_), width);
      sortBy(statement.orderBy, width);
      if (statement.top) {
        stage_ = MakeTop(std::move(stage_), width, statement.orderBy.size(), *statement.top,
                         statement.topPercent);
      }
    }

    // The ORDER BY values follow the `width` result columns of the rows.
    void sortBy(const std::vector<OrderItem>& orderBy, std::size_t width) {
      if (orderBy.empty()) return;
      std::vector<bool> descending;
      for (const OrderItem& item : orderBy)
        descending.push_back(item.descending);
      stage_ = MakeSort(std::move(stage_), width, std::move(descending));
    }

    bool next(std::vector<Value>& out) override {
      if (!stage_->next(out)) return false;
      out.resize(plan_->columns_.size());
      return true;
    }

   private:
    std::shared_ptr<SelectPlan> plan_;
    std::vector<Value> row_;
    std::unique_ptr<ResultStage> stage_;
  };

  std::unique_ptr<BoundQuery> query_;
  std::vector<ResultColumn> columns_;
  ResultColumn cell_;
  std::unique_ptr<PivotValues> pivot_;
};

// --- UNION --------------------------------------------------------------------

class UnionPlan : public QueryPlan {
 public:
  UnionPlan(std::vector<std::shared_ptr<QueryPlan>> parts, std::vector<bool> all)
      : parts_(std::move(parts)), all_(std::move(all)) {
    const std::size_t width = parts_.front()->columns().size();
    for (const std::shared_ptr<QueryPlan>& part : parts_) {
      if (part->columns().size() != width) {
        throw QueryError(QueryError::Kind::Command,
                         "The number of columns in the two selected tables or queries of a union "
                         "query do not match.",
                         true);
      }
    }
    // Names from the first select; each column's type the one all its
    // values fit.
    columns_ = parts_.front()->columns();
    for (std::size_t c = 0; c < width; ++c) {
      ExprType type = TypeOfColumn(columns_[c]);
      for (const std::shared_ptr<QueryPlan>& part : parts_)
        type = UnifyTypes(type, TypeOfColumn(part->columns()[c]));
      columns_[c].type = type.type.value_or(JetType::Text);
      columns_[c].size = type.type ? type.size : kComputedTextSize;
      columns_[c].precision = type.precision;
      columns_[c].scale = type.scale;
    }
  }

  const std::vector<ResultColumn>& columns() const override { return columns_; }

  std::unique_ptr<ResultStage> start(const std::vector<Value>& outer) override {
    std::unique_ptr<ResultStage> stage =
        std::make_unique<Widened>(parts_.front()->start(outer), columns_);
    for (std::size_t i = 1; i < parts_.size(); ++i) {
      stage = std::make_unique<Concatenation>(
          std::move(stage), std::make_unique<Widened>(parts_[i]->start(outer), columns_));
      // UNION without ALL leaves out duplicates of everything before it.
      if (!all_[i - 1]) stage = MakeDistinct(std::move(stage), columns_.size());
    }
    return std::make_unique<Holding>(std::static_pointer_cast<UnionPlan>(shared_from_this()),
                                     std::move(stage));
  }

 private:
  static ExprType TypeOfColumn(const ResultColumn& column) {
    ExprType type = TypeOf(column.type);
    type.size = column.size;
    type.precision = column.precision;
    type.scale = column.scale;
    return type;
  }

  // A part's rows in the union's column types.
  class Widened : public ResultStage {
   public:
    Widened(std::unique_ptr<ResultStage> input, const std::vector<ResultColumn>& columns)
        : input_(std::move(input)), columns_(columns) {}
    bool next(std::vector<Value>& out) override {
      if (!input_->next(out)) return false;
      for (std::size_t c = 0; c < columns_.size(); ++c)
        out[c] = ConvertToType(std::move(out[c]), columns_[c].type, columns_[c].scale);
      return true;
    }

   private:
    std::unique_ptr<ResultStage> input_;
    const std::vector<ResultColumn>& columns_;
  };

  class Concatenation : public ResultStage {
   public:
    Concatenation(std::unique_ptr<ResultStage> first, std::unique_ptr<ResultStage> second)
        : first_(std::move(first)), second_(std::move(second)) {}
    bool next(std::vector<Value>& out) override {
      if (!firstDone_) {
        if (first_->next(out)) return true;
        firstDone_ = true;
      }
      return second_->next(out);
    }

   private:
    std::unique_ptr<ResultStage> first_;
    std::unique_ptr<ResultStage> second_;
    bool firstDone_ = false;
  };

  // Keeps the plan (and the columns the stages read) alive for the run.
  class Holding : public ResultStage {
   public:
    Holding(std::shared_ptr<UnionPlan> plan, std::unique_ptr<ResultStage> stage)
        : plan_(std::move(plan)), stage_(std::move(stage)) {}
    bool next(std::vector<Value>& out) override { return stage_->next(out); }

   private:
    std::shared_ptr<UnionPlan> plan_;
    std::unique_ptr<ResultStage> stage_;
  };

  std::vector<std::shared_ptr<QueryPlan>> parts_;
  std::vector<bool> all_;
  std::vector<ResultColumn> columns_;
};

// --- plans as row sources -----------------------------------------------------

// A nested query read again and again (the inner side of a nested loop)
// runs once: its rows are kept after the first complete read, up to this
// many; a larger result runs anew each time.
constexpr std::size_t kMostKeptRows = 100000;

using KeptRows = std::vector<std::vector<Value>>;

class PlanCursor : public RowCursor {
 public:
  PlanCursor(std::unique_ptr<ResultStage> run, std::shared_ptr<KeptRows>& kept)
      : run_(std::move(run)), kept_(kept) {}
  // A failure inside the nested query is thrown on to the query reading it,
  // with its own message.
  HResult next(std::vector<Value>& row) override {
    if (!run_->next(row)) {
      if (keeping_) kept_ = std::make_shared<KeptRows>(std::move(rows_));
      keeping_ = false;
      return DB_S_ENDOFROWSET;
    }
    if (keeping_) {
      if (rows_.size() < kMostKeptRows) {
        rows_.push_back(row);
      } else {
        keeping_ = false;
        rows_.clear();
      }
    }
    return S_OK;
  }

 private:
  std::unique_ptr<ResultStage> run_;
  std::shared_ptr<KeptRows>& kept_;
  KeptRows rows_;
  bool keeping_ = true;
};

class KeptCursor : public RowCursor {
 public:
  explicit KeptCursor(std::shared_ptr<const KeptRows> rows) : rows_(std::move(rows)) {}
  HResult next(std::vector<Value>& row) override {
    if (position_ >= rows_->size()) return DB_S_ENDOFROWSET;
    row = (*rows_)[position_++];
    return S_OK;
  }

 private:
  std::shared_ptr<const KeptRows> rows_;
  std::size_t position_ = 0;
};

class QuerySource : public TableSource {
 public:
  QuerySource(std::string name, std::shared_ptr<QueryPlan> plan)
      : name_(std::move(name)), plan_(std::move(plan)) {
    for (const ResultColumn& column : plan_->columns()) {
      SourceColumn source;
      source.name = column.name;
      source.type = column.type;
      source.size = column.size;
      source.precision = column.precision;
      source.scale = column.scale;
      columns_.push_back(std::move(source));
    }
  }
  const std::string& name() const override { return name_; }
  const std::vector<SourceColumn>& columns() const override { return columns_; }
  HResult open(std::unique_ptr<RowCursor>& cursor) override {
    if (kept_) {
      cursor = std::make_unique<KeptCursor>(kept_);
    } else {
      cursor = std::make_unique<PlanCursor>(plan_->start({}), kept_);
    }
    return S_OK;
  }

 private:
  std::string name_;
  std::shared_ptr<QueryPlan> plan_;
  std::vector<SourceColumn> columns_;
  std::shared_ptr<KeptRows> kept_;
};

// --- subqueries ---------------------------------------------------------------

class PlanSubquery : public SubqueryRunner {
 public:
  PlanSubquery(std::shared_ptr<QueryPlan> plan, bool correlated)
      : plan_(std::move(plan)), correlated_(correlated) {}

  Value scalar(const std::vector<Value>& outer) override {
    if (!correlated_ && scalar_) return *scalar_;
    std::unique_ptr<ResultStage> run = plan_->start(outer);
    std::vector<Value> row;
    Value value = Null{};
    if (run->next(row)) {
      value = std::move(row.front());
      if (run->next(row)) {
        throw EvaluationError("At most one record can be returned by this subquery.");
      }
    }
    if (!correlated_) scalar_ = value;
    return value;
  }

  bool exists(const std::vector<Value>& outer) override {
    if (!correlated_ && exists_) return *exists_;
    std::vector<Value> row;
    const bool found = plan_->start(outer)->next(row);
    if (!correlated_) exists_ = found;
    return found;
  }

  std::optional<bool> compare(Operator op, bool all, const Value& value,
                              const std::vector<Value>& outer) override {
    if (op == Operator::Equal && !all && !correlated_) return contains(value);
    std::vector<Value> fresh;
    const std::vector<Value>* values = &fresh;
    if (correlated_) {
      fresh = column(outer);
    } else {
      if (!rows_) rows_ = column(outer);
      values = &*rows_;
    }
    bool unknown = false;
    for (const Value& candidate : *values) {
      const std::optional<bool> holds = Holds(op, value, candidate);
      if (!holds) {
        unknown = true;
      } else if (*holds != all) {
        return !all;
      }
    }
    if (unknown) return std::nullopt;
    return all;
  }

 private:
  static std::optional<bool> Holds(Operator op, const Value& a, const Value& b) {
    const std::optional<int> c = CompareValues(a, b);
    if (!c) return std::nullopt;
    switch (op) {
      case Operator::Equal:
        return *c == 0;
      case Operator::NotEqual:
        return *c != 0;
      case Operator::Less:
        return *c < 0;
      case Operator::Greater:
        return *c > 0;
      case Operator::LessOrEqual:
        return *c <= 0;
      case Operator::GreaterOrEqual:
        return *c >= 0;
      default:
        return std::nullopt;
    }
  }

  std::vector<Value> column(const std::vector<Value>& outer) {
    std::vector<Value> values;
    std::unique_ptr<ResultStage> run = plan_->start(outer);
    std::vector<Value> row;
    while (run->next(row))
      values.push_back(std::move(row.front()));
    return values;
  }

  // IN over rows kept once: the values in their order, Nulls noted apart.
  std::optional<bool> contains(const Value& value) {
    if (IsNull(value)) {
      if (!values_) fillValues();
      return values_->empty() && !hasNull_ ? std::optional<bool>(false) : std::nullopt;
    }
    if (!values_) fillValues();
    if (values_->count(std::vector<Value>{value})) return true;
    // Ordering equality is looser than comparison for some kinds (text
    // against numbers); check the candidates the slow way.
    for (const std::vector<Value>& candidate : *values_) {
      if (CompareValues(value, candidate.front()) == 0) return true;
    }
    if (hasNull_) return std::nullopt;
    return false;
  }

  void fillValues() {
    values_.emplace();
    for (Value& value : column({})) {
      if (IsNull(value)) {
        hasNull_ = true;
      } else {
        values_->insert(std::vector<Value>{std::move(value)});
      }
    }
  }

  std::shared_ptr<QueryPlan> plan_;
  bool correlated_;
  std::optional<Value> scalar_;
  std::optional<bool> exists_;
  std::optional<std::vector<Value>> rows_;
  std::optional<std::set<std::vector<Value>, RowLess>> values_;
  bool hasNull_ = false;
};

// A union's ORDER BY names the union's columns: as the first select names
// them, or by the column an alias there stands for, with or without the
// table written before it.
void NameUnionColumns(Expr& expr, const std::vector<ResultColumn>& columns,
                      const std::vector<std::pair<std::string, std::string>>& aliases) {
  if (expr.kind == ExprKind::Column) {
    const auto named = [&](const std::string& name) {
      for (const ResultColumn& column : columns) {
        if (NamesEqual(column.name, name)) return true;
      }
      return false;
    };
    if (!expr.qualifier.empty() && named(expr.qualifier + "." + expr.name)) {
      expr.name = expr.qualifier + "." + expr.name;
      expr.qualifier.clear();
    }
    expr.qualifier.clear();
    if (!named(expr.name)) {
      for (const auto& [column, alias] : aliases) {
        if (NamesEqual(column, expr.name)) expr.name = alias;
      }
    }
  }
  for (ExprPtr& operand : expr.operands)
    NameUnionColumns(*operand, columns, aliases);
}

// A union's ORDER BY sorts its rows as a select over the union would.
std::shared_ptr<QueryPlan> OrderedUnion(
    std::shared_ptr<QueryPlan> unionPlan, std::vector<OrderItem> orderBy,
    const std::vector<std::pair<std::string, std::string>>& aliases, BindEnvironment& environment) {
  for (OrderItem& item : orderBy)
    NameUnionColumns(*item.expr, unionPlan->columns(), aliases);
  SelectStatement select;
  SelectItem all;
  all.kind = SelectItem::Kind::AllColumns;
  select.items.push_back(std::move(all));
  auto from = std::make_unique<FromNode>();
  from->source = MakeQuerySource("", std::move(unionPlan));
  select.from.push_back(std::move(from));
  select.orderBy = std::move(orderBy);
  return std::make_shared<SelectPlan>(BindQuery(std::move(select), environment, nullptr));
}

}  // namespace

std::shared_ptr<QueryPlan> PlanQuery(QueryStatement statement, BindEnvironment& environment,
                                     OuterResolver* outer) {
  DeclareParameters(statement.parameters, environment);
  // The first select's aliased columns, which a union's ORDER BY may name.
  std::vector<std::pair<std::string, std::string>> aliases;
  for (const SelectItem& item : statement.selects.front().items) {
    if (item.expr && item.expr->kind == ExprKind::Column && !item.alias.empty())
      aliases.emplace_back(item.expr->name, item.alias);
  }
  std::vector<std::shared_ptr<QueryPlan>> parts;
  for (SelectStatement& select : statement.selects) {
    parts.push_back(std::make_shared<SelectPlan>(BindQuery(std::move(select), environment, outer)));
  }
  if (parts.size() == 1) return parts.front();
  auto unionPlan = std::make_shared<UnionPlan>(std::move(parts), std::move(statement.unionAll));
  if (statement.orderBy.empty()) return unionPlan;
  return OrderedUnion(std::move(unionPlan), std::move(statement.orderBy), aliases, environment);
}

std::shared_ptr<TableSource> MakeQuerySource(std::string name, std::shared_ptr<QueryPlan> plan) {
  return std::make_shared<QuerySource>(std::move(name), std::move(plan));
}

std::shared_ptr<TableSource> PlanSavedQuery(const std::string& name, std::size_t position,
                                            BindEnvironment& environment) {
  const std::optional<std::string> sql = environment.catalog.savedQuerySql(name);
  if (!sql) return nullptr;
  // The catalog may have posted "no such table" before the name turned out
  // to be a saved query.
  ClearThreadErrorObject();
  if (environment.savedQueries.size() >= kMostNestedSavedQueries) {
    throw QueryError(QueryError::Kind::Command,
                     "Query is too complex: saved queries read each other more than " +
                         std::to_string(kMostNestedSavedQueries) + " levels deep",
                     true);
  }
  for (const std::string& open : environment.savedQueries) {
    if (NamesEqual(open, name)) {
      throw QueryError(QueryError::Kind::Command, "Circular reference caused by '" + name + "'.",
                       true);
    }
  }
  if (environment.savedQueries.empty()) environment.anchor = position;
  environment.savedQueries.push_back(name);
  // Popped however binding ends.
  struct Leave {
    std::vector<std::string>& names;
    ~Leave() { names.pop_back(); }
  } leave{environment.savedQueries};
  std::shared_ptr<QueryPlan> plan;
  try {
    plan = PlanQuery(ParseQuery(*sql), environment, nullptr);
  } catch (const QueryError& error) {
    // Its positions are in the saved query's own text: say which one.
    throw QueryError(error.kind(), "In saved query '" + name + "': " + error.message(), true);
  }
  return MakeQuerySource(name, std::move(plan));
}

std::shared_ptr<SubqueryRunner> MakeSubqueryRunner(std::shared_ptr<QueryPlan> plan,
                                                   bool correlated) {
  return std::make_shared<PlanSubquery>(std::move(plan), correlated);
}

}  // namespace tablift::jet
