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

// DISTINCTROW compares whole records of the tables whose columns the
// select list shows, when it shows some of the tables but not all: the slots
// of those tables, or none when it makes no difference.
std::vector<std::size_t> RecordSlots(const BoundQuery& query) {
  std::set<std::size_t> read;
  for (const Expr* output : query.outputs)
    SlotsRead(*output, read);
  std::vector<std::size_t> slots;
  std::size_t shownTables = 0;
  for (const BoundTable& table : query.tables) {
    const std::size_t width = table.source->columns().size();
    const auto first = read.lower_bound(table.offset);
    if (first == read.end() || *first >= table.offset + width) continue;
    ++shownTables;
    for (std::size_t c = 0; c < width; ++c)
      slots.push_back(table.offset + c);
  }
  if (shownTables == 0 || shownTables == query.tables.size()) slots.clear();
  return slots;
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
  // `readRows`: a crosstab without an IN list may read its rows to find its
  // columns (not when only its parameters are wanted, or some lack a value).
  SelectPlan(std::unique_ptr<BoundQuery> query, bool readRows) : query_(std::move(query)) {
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
    } else if (readRows) {
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
      if (query.statement.distinctRow && !query.grouped) {
        std::vector<std::size_t> shown = RecordSlots(query);
        if (!shown.empty()) rows = MakeDistinctRecords(std::move(rows), std::move(shown), row_);
      }
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
  return std::make_shared<SelectPlan>(BindQuery(std::move(select), environment, nullptr), true);
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
  std::vector<std::shared_ptr<QueryPlan>> selects;
  for (SelectStatement& select : statement.selects) {
    std::unique_ptr<BoundQuery> bound = BindQuery(std::move(select), environment, outer);
    const bool readRows = !environment.listing && environment.missing.empty();
    selects.push_back(std::make_shared<SelectPlan>(std::move(bound), readRows));
  }
  if (selects.size() == 1) return selects.front();
  std::shared_ptr<QueryPlan> unionPlan =
      MakeUnionPlan(std::move(selects), std::move(statement.unionAll));
  if (statement.orderBy.empty()) return unionPlan;
  return OrderedUnion(std::move(unionPlan), std::move(statement.orderBy), aliases, environment);
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

}  // namespace tablift::jet
