#include "data_access/jet/writer/table_writer.h"

#include <limits>
#include <string>

#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

// Long values up to this size stay in their row when it has room, as the
// engine does; larger ones go to long-value pages.
constexpr std::size_t kLargestInlineLongValue = 64;

}  // namespace

TableWriter::TableWriter(PageFile& file, std::string name, RowShape shape,
                         std::uint32_t definitionPage, bool systemTable)
    : file_(file),
      name_(std::move(name)),
      shape_(std::move(shape)),
      definitionPage_(definitionPage),
      systemTable_(systemTable),
      page_(DataPageBuilder::ForTable(definitionPage)) {
  for (const ColumnSlot& column : shape_.columns) {
    if (column.longValue) {
      longValueColumns_.push_back({column.number, std::make_unique<LongValueStore>(file_)});
    }
  }
}

LongValueStore& TableWriter::storeFor(std::uint16_t columnNumber) {
  for (LongValueColumn& column : longValueColumns_) {
    if (column.columnNumber == columnNumber) return *column.store;
  }
  return *longValueColumns_.front().store;  // every long column has a store
}

WriteStatus TableWriter::encodeRow(const std::vector<Value>& values,
                                   std::vector<EncodedField>& fields, std::int64_t& autoNumber) {
  autoNumber = lastAutoNumber_;
  fields.resize(shape_.columns.size());
  for (const ColumnSlot& column : shape_.columns) {
    const Value* value = &values[column.number];
    Value assigned;
    if (column.autoNumber) {
      if (IsNull(*value)) {
        if (lastAutoNumber_ >= std::numeric_limits<std::int32_t>::max()) {
          return WriteStatus::Failure(WriteError::InvalidValue,
                                      "Table [" + name_ + "]: the AutoNumber column [" +
                                          column.name + "] has no numbers left");
        }
        assigned = lastAutoNumber_ + 1;
        value = &assigned;
      }
      if (const auto* number = std::get_if<std::int64_t>(value); number && *number > autoNumber) {
        autoNumber = *number;
      }
    }
    if (WriteStatus status = EncodeField(column, *value, fields[column.number]); !status) {
      return WriteStatus::Failure(status.error(), "Table [" + name_ + "], column [" + column.name +
                                                      "]: " + status.message());
    }
  }
  return WriteStatus::Success();
}

WriteStatus TableWriter::placeLongValues(std::vector<EncodedField>& fields) {
  // First count every long value as its 12-byte field alone: the row must
  // fit even when nothing stays inline.
  std::vector<ByteVector> contents(fields.size());
  for (const ColumnSlot& column : shape_.columns) {
    EncodedField& field = fields[column.number];
    if (!column.longValue || !field.present) continue;
    contents[column.number] = std::move(field.bytes);
    field.bytes.assign(jet4::kLongValueFieldSize, 0);
  }
  const std::size_t baseLength = RowImageLength(shape_, fields);
  if (baseLength > jet4::kMaxRowSize) {
    return WriteStatus::Failure(WriteError::InvalidValue,
                                "Table [" + name_ + "]: the row takes " +
                                    std::to_string(baseLength) + " bytes, more than the " +
                                    std::to_string(jet4::kMaxRowSize) + " a row can hold");
  }
  std::size_t room = jet4::kMaxRowSize - baseLength;
  for (const ColumnSlot& column : shape_.columns) {
    EncodedField& field = fields[column.number];
    if (!column.longValue || !field.present) continue;
    const ByteVector& content = contents[column.number];
    if (content.size() <= kLargestInlineLongValue && content.size() <= room) {
      field.bytes = InlineLongValueField(content);
      room -= content.size();
    } else if (WriteStatus status = storeFor(column.number).store(content, field.bytes); !status) {
      return WriteStatus::Failure(status.error(), "Table [" + name_ + "], column [" + column.name +
                                                      "]: " + status.message());
    }
  }
  return WriteStatus::Success();
}

WriteStatus TableWriter::appendRow(const std::vector<Value>& values) {
  if (values.size() != shape_.columns.size()) {
    return WriteStatus::Failure(
        WriteError::InvalidValue,
        "Table [" + name_ + "] has " + std::to_string(shape_.columns.size()) +
            " columns; the row has " + std::to_string(values.size()) + " values");
  }
  std::vector<EncodedField> fields;
  std::int64_t autoNumber = 0;
  if (WriteStatus status = encodeRow(values, fields, autoNumber); !status) return status;
  if (WriteStatus status = placeLongValues(fields); !status) return status;
  const ByteVector row = AssembleRow(shape_, fields);

  if (!page_.empty() && !page_.fits(row.size())) {
    if (WriteStatus status = writeOpenPage(); !status) return status;
  }
  if (page_.empty()) {
    if (WriteStatus status = file_.allocate(pageNumber_); !status) return status;
    dataPages_.add(pageNumber_);
  }
  page_.add(row);
  ++rowCount_;
  lastAutoNumber_ = autoNumber;
  return WriteStatus::Success();
}

WriteStatus TableWriter::writeOpenPage() {
  if (page_.empty()) return WriteStatus::Success();
  return file_.write(pageNumber_, page_.take());
}

WriteStatus TableWriter::finish() {
  if (!page_.empty() && page_.fits(1)) dataPagesWithRoom_.add(pageNumber_);
  if (WriteStatus status = writeOpenPage(); !status) return status;
  for (LongValueColumn& column : longValueColumns_) {
    if (WriteStatus status = column.store->finish(); !status) return status;
  }
  return WriteStatus::Success();
}

std::vector<ByteVector> TableWriter::definitionPages(
    std::uint32_t usedPagesMap, std::uint32_t pagesWithRoomMap,
    const std::vector<LongValueColumnMaps>& longMaps) const {
  TableDefinitionFields fields;
  fields.systemTable = systemTable_;
  fields.rowCount = rowCount_;
  fields.lastAutoNumber = static_cast<std::uint32_t>(lastAutoNumber_);
  fields.usedPagesMap = usedPagesMap;
  fields.pagesWithRoomMap = pagesWithRoomMap;
  fields.longValueColumns = longMaps;
  return BuildTableDefinitionPages(shape_, fields, definitionPage_);
}

}  // namespace tablift::jet
