#include "data_access/jet/table_reader.h"

#include <cstring>
#include <span>

#include "data_access/jet/long_value.h"
#include "data_access/jet/stored_values.h"

namespace tablift::jet {
namespace {

// libmdb's type codes for what ACE added.
constexpr int kComplexType = 0x12;
constexpr int kBigIntType = 0x13;
constexpr int kExtendedDateTimeType = 0x14;
constexpr std::uint8_t kCalculatedFlags = 0xC0;

template <typename T>
T Load(std::span<const std::uint8_t> bytes) {
  T value{};
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

// The bytes a fixed-size value of the type needs; 0 for the variable types.
std::size_t FixedSize(int type) {
  switch (type) {
    case MDB_BYTE:
      return 1;
    case MDB_INT:
      return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
    case kComplexType:
      return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
    case kBigIntType:
      return 8;
    case MDB_REPID:
      return 16;
    case MDB_NUMERIC:
      return 17;
    default:
      return 0;
  }
}

}  // namespace

std::unique_ptr<TableReader> TableReader::open(LibmdbDatabase& database, MdbCatalogEntry& entry,
                                               const TableLayout& layout, std::string& problem) {
  MdbTableDef* table = mdb_read_table(&entry);
  if (table == nullptr) {
    problem = "libmdb cannot read the table definition";
    return nullptr;
  }
  std::unique_ptr<TableReader> reader(new TableReader(database, table));
  if (mdb_read_columns(table) == nullptr || table->num_cols != layout.columns.size()) {
    problem = "libmdb cannot read the columns";
    return nullptr;
  }
  for (const LayoutColumn& column : layout.columns) {
    bool found = false;
    for (std::size_t i = 0; i < table->num_cols && !found; ++i) {
      const auto* mdbColumn = static_cast<const MdbColumn*>(g_ptr_array_index(table->columns, i));
      if (mdbColumn->col_num == column.number) {
        reader->fieldOfColumn_.push_back(i);
        reader->scaleOfColumn_.push_back(column.scale);
        reader->calculatedColumn_.push_back((column.extraFlags & kCalculatedFlags) != 0);
        found = true;
      }
    }
    if (!found) {
      problem = "libmdb and the table definition disagree about the columns";
      return nullptr;
    }
  }
  reader->fields_.resize(table->num_cols);
  return reader;
}

TableReader::TableReader(LibmdbDatabase& database, MdbTableDef* table)
    : database_(database), table_(table) {}

TableReader::~TableReader() {
  mdb_free_tabledef(table_);
}

TableReader::Step TableReader::advance(std::string& problem) {
  MdbHandle* mdb = database_.handle();
  const PageFormat& format = database_.pageFormat();
  for (;;) {
    if (!started_) {
      started_ = true;
      mdb_rewind_table(table_);
      if (mdb_read_next_dpg(table_) == 0) return Step::End;
      nextRow_ = 0;
    } else if (mdb->cur_pg != table_->cur_phys_pg &&
               mdb_read_pg(mdb, table_->cur_phys_pg) != mdb->fmt->pg_size) {
      problem = "a data page cannot be read again";
      return Step::Damaged;
    }
    const std::span<const std::uint8_t> page(mdb->pg_buf, format.pageSize);
    if (nextRow_ >= PageRowCount(page, format)) {
      if (mdb_read_next_dpg(table_) == 0) return Step::End;
      nextRow_ = 0;
      continue;
    }
    const std::optional<RowBounds> bounds = FindRow(page, format, nextRow_++);
    if (!bounds) {
      problem = "the row table of page " + std::to_string(table_->cur_phys_pg) + " is damaged";
      return Step::Damaged;
    }
    if (bounds->deleted || bounds->length == 0) continue;
    const int columns =
        mdb_crack_row(table_, static_cast<int>(bounds->start), bounds->length, fields_.data());
    if (columns < 0) {
      problem = "a row on page " + std::to_string(table_->cur_phys_pg) + " is damaged";
      return Step::Damaged;
    }
    rowColumns_ = static_cast<unsigned>(columns);
    rowStart_ = bounds->start;
    rowEnd_ = bounds->start + bounds->length;
    return Step::Row;
  }
}

bool TableReader::value(std::size_t column, Value& value, std::string& problem) {
  value = Null{};
  if (column >= fieldOfColumn_.size()) return false;
  const std::size_t index = fieldOfColumn_[column];
  const MdbField& field = fields_[index];
  const auto* mdbColumn = static_cast<const MdbColumn*>(g_ptr_array_index(table_->columns, index));
  const int type = mdbColumn->col_type;

  // A row written before the column was added ends before the column's
  // number: it holds no value for it, and libmdb would take the column's bit
  // from past the row's null mask. Access shows such a Yes/No as No.
  if (static_cast<unsigned>(mdbColumn->col_num) >= rowColumns_) {
    if (type == MDB_BOOL) value = false;
    return true;
  }
  // Yes/No lives in the null mask: a set bit is Yes.
  if (type == MDB_BOOL) {
    value = field.is_null == 0;
    return true;
  }
  if (field.is_null != 0) return true;
  if (field.siz < 0 || field.start < 0 || static_cast<std::size_t>(field.start) < rowStart_ ||
      static_cast<std::size_t>(field.start) + static_cast<std::size_t>(field.siz) > rowEnd_) {
    problem = "a value lies outside its row";
    return false;
  }
  std::span<const std::uint8_t> bytes(database_.handle()->pg_buf + field.start,
                                      static_cast<std::size_t>(field.siz));
  // A calculated column keeps the value it last computed behind a header.
  if (calculatedColumn_[column]) {
    const auto unwrapped = CalculatedValueBytes(bytes);
    if (!unwrapped) {
      problem = "a calculated value is shorter than its header";
      return false;
    }
    bytes = *unwrapped;
    // Its long text is kept whole in the row, not in long-value pages.
    if (type == MDB_MEMO) {
      value = database_.decodeText(bytes);
      return true;
    }
    if (bytes.empty()) return true;  // nothing computed: Null
  }
  const std::size_t needed = FixedSize(type);
  if (bytes.size() < needed) {
    problem = "a value is shorter than its type";
    return false;
  }
  switch (type) {
    case MDB_BYTE:
      value = static_cast<std::int64_t>(bytes[0]);
      return true;
    case MDB_INT:
      value = static_cast<std::int64_t>(Load<std::int16_t>(bytes));
      return true;
    case MDB_LONGINT:
    case kComplexType:
      value = static_cast<std::int64_t>(Load<std::int32_t>(bytes));
      return true;
    case kBigIntType:
      value = Load<std::int64_t>(bytes);
      return true;
    case kExtendedDateTimeType: {
      std::optional<std::string> text = ExtendedDateTimeText(bytes);
      if (!text) {
        problem = "a Date/Time Extended value is damaged";
        return false;
      }
      value = std::move(*text);
      return true;
    }
    case MDB_MONEY:
      value = Currency{Load<std::int64_t>(bytes)};
      return true;
    case MDB_FLOAT:
      value = static_cast<double>(Load<float>(bytes));
      return true;
    case MDB_DOUBLE:
      value = Load<double>(bytes);
      return true;
    case MDB_DATETIME:
      value = DateTime{Load<double>(bytes)};
      return true;
    case MDB_REPID:
      value = Guid{GuidText(bytes.first<16>())};
      return true;
    case MDB_NUMERIC:
      value = Decimal{DecimalDigits(bytes.first<17>(), scaleOfColumn_[column])};
      return true;
    case MDB_TEXT:
      value = database_.decodeText(bytes);
      return true;
    case MDB_MEMO:
    case MDB_OLE: {
      std::vector<std::uint8_t> data;
      if (!ReadLongValue(database_, bytes, data, problem)) return false;
      if (type == MDB_MEMO) {
        value = database_.decodeText(data);
      } else {
        value = Bytes{std::move(data)};
      }
      return true;
    }
    default:  // Binary, and types this provider does not know: the bytes
      value = Bytes{std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
      return true;
  }
}

}  // namespace tablift::jet
