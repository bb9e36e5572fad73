#include "data_access/jet/sql/query_executor.h"

#include <exception>
#include <new>
#include <utility>

#include "data_access/error_info.h"
#include "data_access/jet/sql/bind_environment.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/query_plan.h"
#include "data_access/jet/sql/sql_parser.h"
#include "data_access/jet/sql/text_folding.h"

namespace tablift::jet {
namespace {

constexpr const char* kErrorSource = "Microsoft JET Database Engine";

class JetQueryResult : public QueryResult {
 public:
  explicit JetQueryResult(std::shared_ptr<QueryPlan> plan)
      : plan_(std::move(plan)), stage_(plan_->start({})) {}

  const std::vector<ResultColumn>& columns() const override { return plan_->columns(); }

  HResult next(std::vector<Value>& row) override {
    if (finished_) return DB_S_ENDOFROWSET;
    if (Failed(failure_)) {
      PostError("The query cannot go on after an earlier failure", kErrorSource);
      return failure_;
    }
    try {
      // Into the caller's row: its values' memory serves the next row.
      if (!stage_->next(row)) {
        finished_ = true;
        return DB_S_ENDOFROWSET;
      }
      return S_OK;
    } catch (const QueryError& error) {
      failure_ = error.kind() == QueryError::Kind::Command ? DB_E_ERRORSINCOMMAND : E_FAIL;
      PostError(error.message(), kErrorSource);
    } catch (const SourceFailure& failure) {
      // The cursor has posted its own error object.
      failure_ = failure.code;
    } catch (const std::bad_alloc&) {
      failure_ = E_OUTOFMEMORY;
      PostError("Out of memory while running the query", kErrorSource);
    } catch (const std::exception& error) {
      failure_ = E_FAIL;
      PostError(error.what(), kErrorSource);
    } catch (...) {
      failure_ = E_FAIL;
      PostError("Unexpected failure while running the query", kErrorSource);
    }
    return failure_;
  }

 private:
  std::shared_ptr<QueryPlan> plan_;
  std::unique_ptr<ResultStage> stage_;
  bool finished_ = false;
  HResult failure_ = S_OK;
};

// Runs `prepare` and turns what it throws into a result code and an error
// object.
template <typename Prepare>
HResult Guarded(Prepare prepare) {
  try {
    prepare();
    return S_OK;
  } catch (const QueryError& error) {
    PostError(error.message(), kErrorSource);
    return error.kind() == QueryError::Kind::Command ? DB_E_ERRORSINCOMMAND : E_FAIL;
  } catch (const SourceFailure& failure) {
    return failure.code;
  } catch (const std::bad_alloc&) {
    PostError("Out of memory while preparing the query", kErrorSource);
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    PostError(error.what(), kErrorSource);
    return E_FAIL;
  } catch (...) {
    PostError("Unexpected failure while preparing the query", kErrorSource);
    return E_FAIL;
  }
}

}  // namespace

bool ParameterNameLess::operator()(const std::string& a, const std::string& b) const {
  return CompareText(a, b) < 0;
}

HResult ExecuteJetQuery(TableCatalog& catalog, std::string_view sql,
                        std::unique_ptr<QueryResult>& result) {
  return ExecuteJetQuery(catalog, sql, QueryParameters{}, result);
}

HResult ExecuteJetQuery(TableCatalog& catalog, std::string_view sql,
                        const QueryParameters& parameters, std::unique_ptr<QueryResult>& result) {
  result.reset();
  return Guarded([&] {
    BindEnvironment environment(catalog);
    environment.values = &parameters;
    std::shared_ptr<QueryPlan> plan = PlanQuery(ParseQuery(sql), environment, nullptr);
    CheckParameterValues(environment);
    result = std::make_unique<JetQueryResult>(std::move(plan));
  });
}

HResult ListJetQueryParameters(TableCatalog& catalog, std::string_view sql,
                               std::vector<QueryParameterInfo>& parameters) {
  parameters.clear();
  return Guarded([&] {
    BindEnvironment environment(catalog);
    environment.listing = true;
    PlanQuery(ParseQuery(sql), environment, nullptr);
    CheckParameterValues(environment);
    parameters = ParametersNeeded(environment);
  });
}

}  // namespace tablift::jet
