// UNION [ALL]: the selects' rows one after the other, in the union's column
// types, duplicates left out where UNION says so.

#include <utility>

#include "data_access/jet/sql/query_error.h"
#include "data_access/jet/sql/query_plan.h"
#include "data_access/jet/sql/value_conversion.h"

namespace tablift::jet {
namespace {

class UnionPlan : public QueryPlan {
 public:
  UnionPlan(std::vector<std::shared_ptr<QueryPlan>> selects, std::vector<bool> all)
      : selects_(std::move(selects)), all_(std::move(all)) {
    const std::size_t width = selects_.front()->columns().size();
    for (const std::shared_ptr<QueryPlan>& select : selects_) {
      if (select->columns().size() != width) {
        throw QueryError(QueryError::Kind::Command,
                         "The number of columns in the two selected tables or queries of a union "
                         "query do not match.",
                         true);
      }
    }
    // Names from the first select; each column's type the one all its
    // values fit.
    columns_ = selects_.front()->columns();
    for (std::size_t c = 0; c < width; ++c) {
      ExprType type = TypeOfColumn(columns_[c]);
      for (const std::shared_ptr<QueryPlan>& select : selects_)
        type = UnifyTypes(type, TypeOfColumn(select->columns()[c]));
      columns_[c].type = type.type.value_or(JetType::Text);
      columns_[c].size = type.type ? type.size : kComputedTextSize;
      columns_[c].precision = type.precision;
      columns_[c].scale = type.scale;
    }
  }

  const std::vector<ResultColumn>& columns() const override { return columns_; }

  std::unique_ptr<ResultStage> start(const std::vector<Value>& outer) override {
    std::unique_ptr<ResultStage> stage =
        std::make_unique<Widened>(selects_.front()->start(outer), columns_);
    for (std::size_t i = 1; i < selects_.size(); ++i) {
      stage = std::make_unique<Concatenation>(
          std::move(stage), std::make_unique<Widened>(selects_[i]->start(outer), columns_));
      // UNION without ALL leaves out duplicates of everything before it.
      if (!all_[i - 1]) stage = MakeDistinct(std::move(stage), columns_.size());
    }
    return std::make_unique<Holding>(std::static_pointer_cast<UnionPlan>(shared_from_this()),
                                     std::move(stage));
  }

 private:
  // A select's rows in the union's column types.
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

  std::vector<std::shared_ptr<QueryPlan>> selects_;
  std::vector<bool> all_;
  std::vector<ResultColumn> columns_;
};

}  // namespace

std::shared_ptr<QueryPlan> MakeUnionPlan(std::vector<std::shared_ptr<QueryPlan>> selects,
                                         std::vector<bool> all) {
  return std::make_shared<UnionPlan>(std::move(selects), std::move(all));
}

}  // namespace tablift::jet
