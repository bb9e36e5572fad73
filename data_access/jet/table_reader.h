#pragma once

#include "data_access/jet/libmdb.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "data_access/jet/jet_value.h"
#include "data_access/jet/libmdb_database.h"
#include "data_access/jet/table_layout.h"

namespace tablift::jet {

// Reads the rows of one table with libmdb, one at a time, page after page as
// the table's usage map lists them. Values are decoded only when asked for, so
// a reader that needs two columns of a wide table pays for two. Several
// readers may share one database: each puts its own page back before it goes
// on.
class TableReader {
 public:
  enum class Step { Row, End, Damaged };

  // The layout must come from ReadTableLayout for the entry's page; `entry`
  // must outlive the reader.
  static std::unique_ptr<TableReader> open(LibmdbDatabase& database, MdbCatalogEntry& entry,
                                           const TableLayout& layout, std::string& problem);
  ~TableReader();
  TableReader(const TableReader&) = delete;
  TableReader& operator=(const TableReader&) = delete;

  // Columns in the layout's order.
  std::size_t columnCount() const { return fieldOfColumn_.size(); }

  Step advance(std::string& problem);
  // A column of the current row (after advance() gave Row).
  bool value(std::size_t column, Value& value, std::string& problem);

 private:
  TableReader(LibmdbDatabase& database, MdbTableDef* table);

  LibmdbDatabase& database_;
  MdbTableDef* table_;
  std::vector<std::size_t> fieldOfColumn_;  // layout order -> libmdb's column order
  std::vector<unsigned> scaleOfColumn_;     // Decimal scales, in layout order
  std::vector<bool> calculatedColumn_;      // in layout order
  std::vector<MdbField> fields_;
  bool started_ = false;
  std::size_t nextRow_ = 0;  // on the current page
  unsigned rowColumns_ = 0;  // the current row's column count, deleted columns included
  std::size_t rowStart_ = 0;
  std::size_t rowEnd_ = 0;
};

}  // namespace tablift::jet
