// DLookup, DCount, DSum and the other domain aggregate functions: a statement
// of their own, made from their text arguments, for each call.

#include <map>
#include <utility>

#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/query_plan.h"
#include "data_access/jet/sql/sql_parser.h"

namespace tablift::jet {
namespace {

// A domain function whose domain calls domain functions may come back to
// itself; this keeps that from exhausting the stack.
constexpr int kMostNestedCalls = 16;

std::string_view AggregateWord(AggregateKind kind) {
  switch (kind) {
    case AggregateKind::Count:
      return "Count";
    case AggregateKind::Sum:
      return "Sum";
    case AggregateKind::Avg:
      return "Avg";
    case AggregateKind::Min:
      return "Min";
    case AggregateKind::Max:
      return "Max";
    case AggregateKind::First:
      return "First";
    case AggregateKind::Last:
      return "Last";
    case AggregateKind::StDev:
      return "StDev";
    case AggregateKind::StDevP:
      return "StDevP";
    case AggregateKind::Var:
      return "Var";
    case AggregateKind::VarP:
      return "VarP";
  }
  return "First";
}

class CatalogDomains : public DomainRunner {
 public:
  CatalogDomains(TableCatalog& catalog, QueryParameters values)
      : catalog_(catalog), values_(std::move(values)) {}

  Value aggregate(AggregateKind kind, const std::string& expression, const std::string& domain,
                  const std::string& criteria) override {
    std::string sql = DomainStatement(kind, expression, domain, criteria);
    // The rows do not change while a statement runs: the same call gives the
    // same value.
    const auto known = results_.find(sql);
    if (known != results_.end()) return known->second;
    if (depth_ >= kMostNestedCalls) {
      throw EvaluationError("Domain functions call each other more than " +
                            std::to_string(kMostNestedCalls) + " levels deep");
    }
    ++depth_;
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{depth_};
    Value value = Null{};
    try {
      BindEnvironment environment(catalog_);
      environment.values = &values_;
      const std::shared_ptr<QueryPlan> plan = PlanQuery(ParseQuery(sql), environment, nullptr);
      CheckParameterValues(environment);
      std::vector<Value> row;
      if (plan->start({})->next(row)) value = std::move(row.front());
    } catch (const QueryError& error) {
      // Text that makes no statement is a fault of this call, reported where
      // the call stands.
      throw EvaluationError(error.message() + " (in " + sql + ")");
    }
    results_.emplace(std::move(sql), value);
    return value;
  }

 private:
  TableCatalog& catalog_;
  QueryParameters values_;
  std::map<std::string, Value> results_;
  int depth_ = 0;
};

}  // namespace

std::string DomainStatement(AggregateKind kind, const std::string& expression,
                            const std::string& domain, const std::string& criteria) {
  std::string sql = "SELECT " + std::string(AggregateWord(kind)) + "(" + expression + ") FROM ";
  sql += !domain.empty() && domain.front() == '[' ? domain : "[" + domain + "]";
  if (!criteria.empty()) sql += " WHERE " + criteria;
  return sql;
}

std::shared_ptr<DomainRunner> MakeDomainRunner(TableCatalog& catalog, QueryParameters values) {
  return std::make_shared<CatalogDomains>(catalog, std::move(values));
}

}  // namespace tablift::jet
