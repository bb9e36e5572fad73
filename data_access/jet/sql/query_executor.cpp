#include "data_access/jet/sql/query_executor.h"

#include <exception>
#include <new>
#include <utility>

#include "data_access/error_info.h"
#include "data_access/jet/sql/query_binder.h"
#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/result_stages.h"
#include "data_access/jet/sql/row_sources.h"
#include "data_access/jet/sql/sql_parser.h"

namespace tablift::jet {
namespace {

constexpr const char* kErrorSource = "Microsoft JET Database Engine";

// The joined rows of one comma-separated FROM entry: a table, or joins nested
// as written. Tables are taken in the order the binder numbered them.
std::unique_ptr<RowSource> BuildEntry(const FromNode& node, BoundQuery& query,
                                      std::size_t& nextTable, std::vector<Value>& row) {
  if (!node.isJoin) {
    BoundTable& table = query.tables[nextTable++];
    return MakeTableScan(*table.source, row, table.offset);
  }
  std::unique_ptr<RowSource> left = BuildEntry(*node.left, query, nextTable, row);
  std::unique_ptr<RowSource> right = BuildEntry(*node.right, query, nextTable, row);
  switch (node.join) {
    case JoinKind::Inner:
      return MakeNestedLoopJoin(std::move(left), std::move(right), node.on.get(), false, row);
    case JoinKind::Left:
      return MakeNestedLoopJoin(std::move(left), std::move(right), node.on.get(), true, row);
    case JoinKind::Right:
      return MakeNestedLoopJoin(std::move(right), std::move(left), node.on.get(), true, row);
  }
  return left;
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
  std::unique_ptr<RowSource> rows =
      MakeFilter(BuildEntry(*query.statement.from[0], query, nextTable, row), conditions[0], row);
  for (std::size_t entry = 1; entry < entries; ++entry) {
    std::unique_ptr<RowSource> inner =
        BuildEntry(*query.statement.from[entry], query, nextTable, row);
    rows = MakeFilter(MakeNestedLoopJoin(std::move(rows), std::move(inner), nullptr, false, row),
                      conditions[entry], row);
  }
  return rows;
}

class JetQueryResult : public QueryResult {
 public:
  explicit JetQueryResult(std::unique_ptr<BoundQuery> query) : query_(std::move(query)) {
    row_.assign(query_->rowWidth, Null{});
    std::unique_ptr<RowSource> rows = BuildRows(*query_, row_);
    stage_ = query_->grouped ? MakeGrouping(std::move(rows), *query_, row_)
                             : MakeProjection(std::move(rows), *query_, row_);
    const SelectStatement& statement = query_->statement;
    const std::size_t width = query_->columns.size();
    if (statement.distinct) stage_ = MakeDistinct(std::move(stage_), width);
    if (!statement.orderBy.empty()) {
      std::vector<bool> descending;
      for (const OrderItem& item : statement.orderBy)
        descending.push_back(item.descending);
      stage_ = MakeSort(std::move(stage_), width, std::move(descending));
    }
    if (statement.top) stage_ = MakeLimit(std::move(stage_), *statement.top);
  }

  const std::vector<ResultColumn>& columns() const override { return query_->columns; }

  HResult next(std::vector<Value>& row) override {
    if (finished_) return DB_S_ENDOFROWSET;
    if (Failed(failure_)) {
      PostError("The query cannot go on after an earlier failure", kErrorSource);
      return failure_;
    }
    try {
      std::vector<Value> out;
      if (!stage_->next(out)) {
        finished_ = true;
        return DB_S_ENDOFROWSET;
      }
      out.resize(query_->columns.size());
      row = std::move(out);
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
  std::unique_ptr<BoundQuery> query_;
  std::vector<Value> row_;
  std::unique_ptr<ResultStage> stage_;
  bool finished_ = false;
  HResult failure_ = S_OK;
};

}  // namespace

HResult ExecuteJetQuery(TableCatalog& catalog, std::string_view sql,
                        std::unique_ptr<QueryResult>& result) {
  result.reset();
  try {
    std::unique_ptr<BoundQuery> query = BindQuery(ParseSelect(sql), catalog);
    result = std::make_unique<JetQueryResult>(std::move(query));
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

}  // namespace tablift::jet
