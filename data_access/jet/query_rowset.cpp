#include "data_access/jet/query_rowset.h"

#include "data_access/jet/column_types.h"
#include "data_access/jet/provider_boundary.h"
#include "data_access/jet/value_text.h"

namespace tablift::jet {
namespace {

constexpr std::size_t kBookmarkSize = 4;

ColumnInfo BookmarkColumn() {
  ColumnInfo bookmark;
  bookmark.name = "";
  bookmark.ordinal = 0;
  bookmark.type = DBTYPE_BYTES;
  bookmark.flags = DBCOLUMNFLAGS_ISBOOKMARK | DBCOLUMNFLAGS_ISFIXEDLENGTH;
  bookmark.size = kBookmarkSize;
  return bookmark;
}

}  // namespace

std::vector<ColumnInfo> QueryColumnInfo(const std::vector<ResultColumn>& columns) {
  std::vector<ColumnInfo> info;
  info.reserve(columns.size() + 1);
  info.push_back(BookmarkColumn());
  std::size_t ordinal = 0;
  for (const ResultColumn& column : columns) {
    const OleDbColumnType type =
        DescribeColumnType(column.type, static_cast<std::uint32_t>(column.size), column.precision,
                           column.scale, false, false);
    ColumnInfo entry;
    entry.name = column.name;
    entry.ordinal = ++ordinal;
    entry.type = type.dataType;
    entry.flags = type.flags;
    switch (column.type) {
      case JetType::Memo:
        entry.size = kMemoColumnSize;
        break;
      case JetType::OleObject:
        entry.size = kOleColumnSize;
        break;
      case JetType::Text:
      case JetType::Binary:
        entry.size = column.size;
        break;
      default:
        entry.size = type.numericPrecision.value_or(0);
        break;
    }
    entry.precision = static_cast<std::uint8_t>(type.numericPrecision.value_or(0));
    entry.scale = static_cast<std::uint8_t>(type.numericScale.value_or(0));
    info.push_back(std::move(entry));
  }
  return info;
}

HResult QueryRowset::columnInfo(std::vector<ColumnInfo>& columns) {
  return AtBoundary([&] {
    columns = QueryColumnInfo(result_->columns());
    return S_OK;
  });
}

HResult QueryRowset::start() {
  const HResult result = result_->next(row_);
  if (Failed(result)) return result;
  if (result == S_OK) {
    firstRowAhead_ = true;
  } else {
    ended_ = true;
    row_.clear();
  }
  return S_OK;
}

HResult QueryRowset::nextRow() {
  return AtBoundary([&]() -> HResult {
    if (firstRowAhead_) {
      firstRowAhead_ = false;
      rowHeld_ = true;
      ++rowNumber_;
      return S_OK;
    }
    // The row is written over: the values' memory serves the next one.
    rowHeld_ = false;
    if (ended_) return DB_S_ENDOFROWSET;
    const HResult result = result_->next(row_);
    if (result != S_OK) {
      ended_ = true;
      row_.clear();
      return result;
    }
    rowHeld_ = true;
    ++rowNumber_;
    return S_OK;
  });
}

HResult QueryRowset::value(std::size_t ordinal, ColumnValue& value) {
  return AtBoundary([&]() -> HResult {
    if (!rowHeld_) return DB_E_BADROWHANDLE;
    if (ordinal == 0) {
      std::vector<std::uint8_t> bookmark(kBookmarkSize);
      for (std::size_t i = 0; i < kBookmarkSize; ++i)
        bookmark[i] = static_cast<std::uint8_t>(rowNumber_ >> (8 * i));
      value = ColumnValue{HexText(bookmark), false};
      return S_OK;
    }
    const std::vector<ResultColumn>& columns = result_->columns();
    if (ordinal > columns.size() || ordinal > row_.size()) return DB_E_BADORDINAL;
    ValueText(row_[ordinal - 1], columns[ordinal - 1].type, value);
    return S_OK;
  });
}

}  // namespace tablift::jet
