// Nested queries (saved queries, derived tables, a union being sorted) as
// tables of FROM.

#include <utility>

#include "data_access/jet/sql/query_plan.h"

namespace tablift::jet {
namespace {

// A nested query read again and again (the inner side of a nested loop)
// does not run each time: the second complete read keeps its rows, up to
// this many, for the reads after it. A query read once (the usual case) is
// streamed without a copy; a larger result runs anew each time.
constexpr std::size_t kMostKeptRows = 100000;

using KeptRows = std::vector<std::vector<Value>>;

class PlanCursor : public RowCursor {
 public:
  PlanCursor(std::unique_ptr<ResultStage> run, std::shared_ptr<KeptRows>& kept, bool keep)
      : run_(std::move(run)), kept_(kept), keeping_(keep) {}
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
  bool keeping_;
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
      cursor = std::make_unique<PlanCursor>(plan_->start({}), kept_, ++opened_ >= 2);
    }
    return S_OK;
  }

 private:
  std::string name_;
  std::shared_ptr<QueryPlan> plan_;
  std::vector<SourceColumn> columns_;
  std::shared_ptr<KeptRows> kept_;
  std::size_t opened_ = 0;
};

}  // namespace

std::shared_ptr<TableSource> MakeQuerySource(std::string name, std::shared_ptr<QueryPlan> plan) {
  return std::make_shared<QuerySource>(std::move(name), std::move(plan));
}

}  // namespace tablift::jet
