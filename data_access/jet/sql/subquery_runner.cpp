// Subqueries in expressions: one value, EXISTS, IN and comparisons with
// ANY or ALL rows.

#include <map>
#include <set>
#include <utility>

#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/query_plan.h"
#include "data_access/jet/sql/value_comparison.h"

namespace tablift::jet {
namespace {

class PlanSubquery : public SubqueryRunner {
 public:
  PlanSubquery(std::shared_ptr<QueryPlan> plan, bool correlated)
      : plan_(std::move(plan)), correlated_(correlated) {}

  Value scalar(const std::vector<Value>& outer) override {
    if (const Value* known = Recalled(scalars_, outer)) return *known;
    std::unique_ptr<ResultStage> run = plan_->start(outer);
    std::vector<Value> row;
    Value value = Null{};
    if (run->next(row)) {
      value = std::move(row.front());
      if (run->next(row)) {
        throw EvaluationError("At most one record can be returned by this subquery.");
      }
    }
    Remember(scalars_, outer, value);
    return value;
  }

  bool exists(const std::vector<Value>& outer) override {
    if (const bool* known = Recalled(exists_, outer)) return *known;
    std::vector<Value> row;
    const bool found = plan_->start(outer)->next(row);
    Remember(exists_, outer, found);
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
  // Answers by the enclosing query's values: a correlated subquery runs once
  // for each distinct set of them (up to a bound), not once per row.
  template <typename T>
  using Answers = std::map<std::vector<Value>, T, RowLess>;
  static constexpr std::size_t kMostAnswers = 10000;

  template <typename T>
  static const T* Recalled(const Answers<T>& answers, const std::vector<Value>& outer) {
    const auto found = answers.find(outer);
    // The order takes "a" for "A" and 1 for 1.0; an answer is reused only
    // for the very same values.
    if (found == answers.end() || found->first != outer) return nullptr;
    return &found->second;
  }

  template <typename T>
  static void Remember(Answers<T>& answers, const std::vector<Value>& outer, const T& answer) {
    if (answers.size() < kMostAnswers) answers.emplace(outer, answer);
  }

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
  Answers<Value> scalars_;
  Answers<bool> exists_;
  std::optional<std::vector<Value>> rows_;
  std::optional<std::set<std::vector<Value>, RowLess>> values_;
  bool hasNull_ = false;
};

}  // namespace

std::shared_ptr<SubqueryRunner> MakeSubqueryRunner(std::shared_ptr<QueryPlan> plan,
                                                   bool correlated) {
  return std::make_shared<PlanSubquery>(std::move(plan), correlated);
}

}  // namespace tablift::jet
