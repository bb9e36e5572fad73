#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data_access/jet/jet_table_source.h"
#include "data_access/jet/sql/bind_environment.h"
#include "data_access/jet/sql/query_executor.h"
#include "data_access/jet/sql/result_stages.h"
#include "data_access/jet/sql/sql_ast.h"
#include "data_access/jet/sql/subquery_runner.h"

namespace tablift::jet {

// A bound statement that can be run any number of times: the outermost
// statement, a saved query read as input, a derived table, a subquery (once
// per row of the enclosing query when it is correlated).
class QueryPlan : public std::enable_shared_from_this<QueryPlan> {
 public:
  virtual ~QueryPlan() = default;
  virtual const std::vector<ResultColumn>& columns() const = 0;
  // A new run. `outer` holds the values a correlated subquery reads from the
  // enclosing query. Its rows hold exactly the result columns, converted to
  // their types. Failures are thrown as by RowSource.
  virtual std::unique_ptr<ResultStage> start(const std::vector<Value>& outer) = 0;
};

// Binds a whole statement: its parameters, its selects (a union's selects and
// order), a crosstab. `outer` is the enclosing query of a subquery, null
// otherwise. Throws QueryError (Command) as BindQuery does.
std::shared_ptr<QueryPlan> PlanQuery(QueryStatement statement, BindEnvironment& environment,
                                     OuterResolver* outer);

// UNION (or UNION ALL where all[i] says so between selects i and i + 1) of
// plans with the same number of columns: names from the first, each
// column's type the one every select's values fit. Throws QueryError (Command)
// when the numbers of columns differ.
std::shared_ptr<QueryPlan> MakeUnionPlan(std::vector<std::shared_ptr<QueryPlan>> selects,
                                         std::vector<bool> all);

// The rows of a plan as a table of FROM, its columns the plan's result
// columns. Each cursor runs the plan anew.
std::shared_ptr<TableSource> MakeQuerySource(std::string name, std::shared_ptr<QueryPlan> plan);

// The saved query of that name bound as a row source; null when the catalog
// has no such saved query. A saved query that reads itself, directly or
// through others, is an error.
std::shared_ptr<TableSource> PlanSavedQuery(const std::string& name, std::size_t position,
                                            BindEnvironment& environment);

// A subquery's runner; `correlated` when it reads the enclosing query's
// values, so that nothing may be kept from one run to the next.
std::shared_ptr<SubqueryRunner> MakeSubqueryRunner(std::shared_ptr<QueryPlan> plan,
                                                   bool correlated);

// The domain aggregate functions over the catalog, with the statement's
// parameter values. The catalog must outlive the results that call them.
std::shared_ptr<DomainRunner> MakeDomainRunner(TableCatalog& catalog, QueryParameters values);

// The statement a domain function runs: SELECT aggregate(expression) FROM
// [domain] [WHERE criteria].
std::string DomainStatement(AggregateKind kind, const std::string& expression,
                            const std::string& domain, const std::string& criteria);

}  // namespace tablift::jet
