#include "data_access/jet/sql/row_sources.h"

#include <map>
#include <set>
#include <utility>

#include "data_access/jet/sql/value_comparison.h"

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

class HashJoin : public RowSource {
 public:
  HashJoin(std::unique_ptr<RowSource> outer, std::unique_ptr<RowSource> inner, const Expr* on,
           bool keepUnmatched, std::vector<Value>& row, std::vector<const Expr*> outerKeys,
           std::vector<const Expr*> innerKeys, std::vector<std::size_t> innerSlots)
      : outer_(std::move(outer)),
        inner_(std::move(inner)),
        on_(on),
        keepUnmatched_(keepUnmatched),
        row_(row),
        outerKeys_(std::move(outerKeys)),
        innerKeys_(std::move(innerKeys)),
        innerSlots_(std::move(innerSlots)) {
    context_.row = &row;
  }

  void open() override {
    if (!built_) build();
    outer_->open();
    matches_ = nullptr;
  }

  bool next() override {
    while (true) {
      if (!matches_) {
        if (!outer_->next()) return false;
        matched_ = false;
        position_ = 0;
        std::vector<Value> key;
        if (keyOf(outerKeys_, key)) {
          const auto found = table_.find(key);
          if (found != table_.end()) matches_ = &found->second;
        }
        if (!matches_) matches_ = &none_;
      }
      while (position_ < matches_->size()) {
        const std::vector<Value>& values = (*matches_)[position_++];
        for (std::size_t i = 0; i < innerSlots_.size(); ++i)
          row_[innerSlots_[i]] = values[i];
        if (EvaluateCondition(*on_, context_) == true) {
          matched_ = true;
          return true;
        }
      }
      matches_ = nullptr;
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
  // False when a key value is Null.
  bool keyOf(const std::vector<const Expr*>& keys, std::vector<Value>& key) const {
    key.clear();
    for (const Expr* expr : keys) {
      key.push_back(Evaluate(*expr, context_));
      if (IsNull(key.back())) return false;
    }
    return true;
  }

  void build() {
    inner_->open();
    std::vector<Value> key;
    while (inner_->next()) {
      if (!keyOf(innerKeys_, key)) continue;
      std::vector<Value> values;
      values.reserve(innerSlots_.size());
      for (std::size_t slot : innerSlots_)
        values.push_back(row_[slot]);
      table_[key].push_back(std::move(values));
    }
    built_ = true;
  }

  std::unique_ptr<RowSource> outer_;
  std::unique_ptr<RowSource> inner_;
  const Expr* on_;
  bool keepUnmatched_;
  std::vector<Value>& row_;
  std::vector<const Expr*> outerKeys_;
  std::vector<const Expr*> innerKeys_;
  std::vector<std::size_t> innerSlots_;
  EvalContext context_;
  std::map<std::vector<Value>, std::vector<std::vector<Value>>, RowLess> table_;
  const std::vector<std::vector<Value>> none_;
  const std::vector<std::vector<Value>>* matches_ = nullptr;
  std::size_t position_ = 0;
  bool matched_ = false;
  bool built_ = false;
};

class DistinctRecords : public RowSource {
 public:
  DistinctRecords(std::unique_ptr<RowSource> input, std::vector<std::size_t> slots,
                  std::vector<Value>& row)
      : input_(std::move(input)), slots_(std::move(slots)), row_(row) {}

  void open() override {
    input_->open();
    seen_.clear();
  }

  bool next() override {
    while (input_->next()) {
      std::vector<Value> key;
      key.reserve(slots_.size());
      for (std::size_t slot : slots_)
        key.push_back(row_[slot]);
      if (seen_.insert(std::move(key)).second) return true;
    }
    return false;
  }

  void clear() override { input_->clear(); }

 private:
  std::unique_ptr<RowSource> input_;
  std::vector<std::size_t> slots_;
  std::vector<Value>& row_;
  std::set<std::vector<Value>, RowLess> seen_;
};

}  // namespace

std::unique_ptr<RowSource> MakeDistinctRecords(std::unique_ptr<RowSource> input,
                                               std::vector<std::size_t> slots,
                                               std::vector<Value>& row) {
  return std::make_unique<DistinctRecords>(std::move(input), std::move(slots), row);
}

std::unique_ptr<RowSource> MakeHashJoin(std::unique_ptr<RowSource> outer,
                                        std::unique_ptr<RowSource> inner, const Expr* on,
                                        bool keepUnmatched, std::vector<Value>& row,
                                        std::vector<const Expr*> outerKeys,
                                        std::vector<const Expr*> innerKeys,
                                        std::vector<std::size_t> innerSlots) {
  return std::make_unique<HashJoin>(std::move(outer), std::move(inner), on, keepUnmatched, row,
                                    std::move(outerKeys), std::move(innerKeys),
                                    std::move(innerSlots));
}

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
