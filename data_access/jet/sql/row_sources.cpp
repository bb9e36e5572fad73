#include "data_access/jet/sql/row_sources.h"

#include <utility>

#include "data_access/jet/sql/query_error.h"
#include "data_access/result_codes.h"

namespace tablift::jet {
namespace {

class TableScan : public RowSource {
 public:
  TableScan(TableSource& table, std::vector<Value>& row, std::size_t offset)
      : table_(table), row_(row), offset_(offset), width_(table.columns().size()) {}

  void open() override {
    cursor_.reset();
    const HResult hr = table_.open(cursor_);
    if (Failed(hr) || !cursor_) throw SourceFailure{Failed(hr) ? hr : E_FAIL};
  }

  // The values are swapped rather than moved: the previous row's values go
  // back to the cursor, which can decode the next row into their memory.
  bool next() override {
    const HResult hr = cursor_->next(buffer_);
    if (Failed(hr)) throw SourceFailure{hr};
    if (hr == DB_S_ENDOFROWSET) return false;
    for (std::size_t i = 0; i < width_; ++i) {
      if (i < buffer_.size()) {
        row_[offset_ + i].swap(buffer_[i]);
      } else {
        row_[offset_ + i] = Null{};
      }
    }
    return true;
  }

  void clear() override {
    for (std::size_t i = 0; i < width_; ++i)
      row_[offset_ + i] = Null{};
  }

 private:
  TableSource& table_;
  std::vector<Value>& row_;
  std::size_t offset_;
  std::size_t width_;
  std::unique_ptr<RowCursor> cursor_;
  std::vector<Value> buffer_;
};

class Filter : public RowSource {
 public:
  Filter(std::unique_ptr<RowSource> input, std::vector<const Expr*> conditions,
         std::vector<Value>& row)
      : input_(std::move(input)), conditions_(std::move(conditions)) {
    context_.row = &row;
  }

  void open() override { input_->open(); }

  bool next() override {
    while (input_->next()) {
      if (accepted()) return true;
    }
    return false;
  }

  void clear() override { input_->clear(); }

 private:
  bool accepted() const {
    for (const Expr* condition : conditions_) {
      if (EvaluateCondition(*condition, context_) != true) return false;
    }
    return true;
  }

  std::unique_ptr<RowSource> input_;
  std::vector<const Expr*> conditions_;
  EvalContext context_;
};

class NestedLoopJoin : public RowSource {
 public:
  NestedLoopJoin(std::unique_ptr<RowSource> outer, std::unique_ptr<RowSource> inner, const Expr* on,
                 bool keepUnmatched, std::vector<Value>& row)
      : outer_(std::move(outer)), inner_(std::move(inner)), on_(on), keepUnmatched_(keepUnmatched) {
    context_.row = &row;
  }

  void open() override {
    outer_->open();
    outerRowActive_ = false;
  }

  bool next() override {
    while (true) {
      if (!outerRowActive_) {
        if (!outer_->next()) return false;
        inner_->open();
        outerRowActive_ = true;
        matched_ = false;
      }
      while (inner_->next()) {
        if (!on_ || EvaluateCondition(*on_, context_) == true) {
          matched_ = true;
          return true;
        }
      }
      outerRowActive_ = false;
      if (keepUnmatched_ && !matched_) {
        inner_->clear();
        return true;
      }
    }
  }

  void clear() override {
    outer_->clear();
    inner_->clear();
  }

 private:
  std::unique_ptr<RowSource> outer_;
  std::unique_ptr<RowSource> inner_;
  const Expr* on_;
  bool keepUnmatched_;
  EvalContext context_;
  bool outerRowActive_ = false;
  bool matched_ = false;
};

}  // namespace

std::unique_ptr<RowSource> MakeTableScan(TableSource& table, std::vector<Value>& row,
                                         std::size_t offset) {
  return std::make_unique<TableScan>(table, row, offset);
}

std::unique_ptr<RowSource> MakeFilter(std::unique_ptr<RowSource> input,
                                      std::vector<const Expr*> conditions,
                                      std::vector<Value>& row) {
  if (conditions.empty()) return input;
  return std::make_unique<Filter>(std::move(input), std::move(conditions), row);
}

std::unique_ptr<RowSource> MakeNestedLoopJoin(std::unique_ptr<RowSource> outer,
                                              std::unique_ptr<RowSource> inner, const Expr* on,
                                              bool keepUnmatched, std::vector<Value>& row) {
  return std::make_unique<NestedLoopJoin>(std::move(outer), std::move(inner), on, keepUnmatched,
                                          row);
}

}  // namespace tablift::jet
