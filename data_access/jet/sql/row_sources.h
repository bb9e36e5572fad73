#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "data_access/jet/jet_table_source.h"
#include "data_access/jet/sql/expression_evaluator.h"

namespace tablift::jet {

// Producers of the joined row. All of them write into one shared row, each
// table into its own slots, so conditions read any table's columns by slot
// wherever they are tested. Failures are thrown: QueryError for a value that
// cannot be computed, SourceFailure for a table cursor that failed.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // Starts (again) from the first row.
  virtual void open() = 0;
  // Fills the slots with the next row; false at the end.
  virtual bool next() = 0;
  // Sets the slots to Null: the missing side of an outer join.
  virtual void clear() = 0;
};

// One table, read through its cursor one row at a time.
std::unique_ptr<RowSource> MakeTableScan(TableSource& table, std::vector<Value>& row,
                                         std::size_t offset);

// Rows of `input` for which every condition is true.
std::unique_ptr<RowSource> MakeFilter(std::unique_ptr<RowSource> input,
                                      std::vector<const Expr*> conditions, std::vector<Value>& row);

// For each row of `outer`, the rows of `inner` for which `on` is true (every
// row when there is no condition). With keepUnmatched, an outer row without
// a match comes once with the inner slots Null (LEFT and RIGHT JOIN).
//
// A nested loop: the inner side is read again from its start for every outer
// row, so the cost is outer rows times inner rows. That is cheap for the
// system tables and the small joins this executor exists for; it is no
// engine for joining large user tables.
std::unique_ptr<RowSource> MakeNestedLoopJoin(std::unique_ptr<RowSource> outer,
                                              std::unique_ptr<RowSource> inner, const Expr* on,
                                              bool keepUnmatched, std::vector<Value>& row);

// Rows whose values in `slots` differ from every earlier row's: DISTINCTROW,
// which leaves out repeated records of the tables the select list shows.
// It remembers the values of every row it has passed on.
std::unique_ptr<RowSource> MakeDistinctRecords(std::unique_ptr<RowSource> input,
                                               std::vector<std::size_t> slots,
                                               std::vector<Value>& row);

// The same join for an ON condition that holds equalities between the two
// sides (outer key = inner key, And-ed with anything else): the inner side is
// read once and its rows kept by key, and each outer row looks up its
// matches, which must still pass the whole condition. `innerSlots` are the
// slots the inner side writes. A Null key matches nothing, as = never holds
// for Null.
std::unique_ptr<RowSource> MakeHashJoin(std::unique_ptr<RowSource> outer,
                                        std::unique_ptr<RowSource> inner, const Expr* on,
                                        bool keepUnmatched, std::vector<Value>& row,
                                        std::vector<const Expr*> outerKeys,
                                        std::vector<const Expr*> innerKeys,
                                        std::vector<std::size_t> innerSlots);

}  // namespace tablift::jet
