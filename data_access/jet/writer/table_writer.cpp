#include "data_access/jet/writer/table_writer.h"

#include "data_access/jet/writer/index_key.h"

#include <limits>
#include <string>

#include "data_access/jet/writer/jet4_page_format.h"

namespace tablift::jet {
namespace {

// Long values up to this size stay in their row when it has room, as the
// engine does; larger ones go to long-value pages.
constexpr std::size_t kLargestInlineLongValue = 64;

}  // namespace

TableWriter::TableWriter(PageFile& file, std::string name, RowShape shape, IndexSet indexes,
                         std::uint32_t definitionPage, bool systemTable)
    : file_(file),
      name_(std::move(name)),
      shape_(std::move(shape)),
      indexes_(std::move(indexes)),
      definitionPage_(definitionPage),
      systemTable_(systemTable),
      page_(DataPageBuilder::ForTable(definitionPage)) {
  for (const ColumnSlot& column : shape_.columns) {
    if (column.longValue) {
      longValueColumns_.push_back({column.number, std::make_unique<LongValueStore>(file_)});
    }
  }
  for (const PhysicalIndex& index : indexes_.physical)
    indexBuilders_.emplace_back(index.unique());
}

WriteStatus TableWriter::addRelationshipIndex(LogicalIndex index,
                                              const std::vector<IndexKeyColumn>& columns) {
  const std::size_t before = indexes_.physical.size();
  const std::uint32_t physical = PhysicalIndexFor(indexes_, columns);
  if (indexes_.physical.size() != before) {
    if (rowCount_ != 0) {
      indexes_.physical.pop_back();
      return WriteStatus::Failure(
          WriteError::WrongState,
          "Table [" + name_ + "] already has rows; its relationships must be added first");
    }
    indexBuilders_.emplace_back(false);
  }
  index.physical = physical;
  indexes_.logical.push_back(std::move(index));
  return WriteStatus::Success();
}

std::string TableWriter::indexName(std::size_t physical) const {
  for (const LogicalIndex& index : indexes_.logical) {
    if (index.physical == physical) return index.name;
  }
  return {};
}

WriteStatus TableWriter::buildKeys(const std::vector<EncodedField>& fields,
                                   std::vector<PendingKey>& keys) {
  keys.assign(indexes_.physical.size(), {});
  for (std::size_t i = 0; i < indexes_.physical.size(); ++i) {
    const PhysicalIndex& index = indexes_.physical[i];
    PendingKey& pending = keys[i];
    bool allNull = true;
    for (const IndexKeyColumn& key : index.columns) {
      const ColumnSlot& column = shape_.columns[key.columnNumber];
      const EncodedField& field = fields[key.columnNumber];
      const auto refuse = [&](const std::string& reason) {
        return WriteStatus::Failure(WriteError::InvalidValue, "Table [" + name_ + "], index [" +
                                                                  indexName(i) + "], column [" +
                                                                  column.name + "]: " + reason);
      };
      if (!field.present) {
        if (index.required()) return refuse("the index requires a value");
        pending.complete = false;
      } else {
        allNull = false;
      }
      std::string problem;
      if (!AppendIndexKeyPart(column, field, key.ascending, pending.key, problem)) {
        return refuse(problem);
      }
    }
    pending.skipped = allNull && index.ignoresNulls();
    if (!pending.skipped && pending.complete && indexBuilders_[i].holds(pending.key)) {
      return WriteStatus::Failure(WriteError::InvalidValue,
                                  "Table [" + name_ +
                                      "]: the row repeats a value of the unique index [" +
                                      indexName(i) + "]");
    }
  }
  return WriteStatus::Success();
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
  std::vector<PendingKey> keys;
  if (WriteStatus status = buildKeys(fields, keys); !status) return status;
  if (WriteStatus status = placeLongValues(fields); !status) return status;
  const ByteVector row = AssembleRow(shape_, fields);

  if (!page_.empty() && !page_.fits(row.size())) {
    if (WriteStatus status = writeOpenPage(); !status) return status;
  }
  if (page_.empty()) {
    if (WriteStatus status = file_.allocate(pageNumber_); !status) return status;
    dataPages_.add(pageNumber_);
  }
  const std::uint32_t pageRow = (pageNumber_ << 8) | page_.add(row);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!keys[i].skipped) indexBuilders_[i].add(keys[i].key, pageRow, keys[i].complete);
  }
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
  if (!indexesWritten_) {
    indexesWritten_ = true;
    for (IndexBuilder& builder : indexBuilders_) {
      if (WriteStatus status = builder.writePages(file_, definitionPage_); !status) return status;
    }
  }
  return WriteStatus::Success();
}

WriteStatus TableWriter::writeDefinition(std::uint32_t usedPagesMap, std::uint32_t pagesWithRoomMap,
                                         const std::vector<LongValueColumnMaps>& longMaps,
                                         const std::vector<std::uint32_t>& indexUsedPagesMaps) {
  TableDefinitionFields fields;
  fields.systemTable = systemTable_;
  fields.rowCount = rowCount_;
  fields.lastAutoNumber = static_cast<std::uint32_t>(lastAutoNumber_);
  fields.usedPagesMap = usedPagesMap;
  fields.pagesWithRoomMap = pagesWithRoomMap;
  fields.longValueColumns = longMaps;
  fields.indexes = indexes_;
  for (std::size_t i = 0; i < indexBuilders_.size(); ++i) {
    fields.indexPages.push_back({i < indexUsedPagesMaps.size() ? indexUsedPagesMaps[i] : 0,
                                 indexBuilders_[i].rootPage(), indexBuilders_[i].entryCount()});
  }
  std::vector<std::uint32_t> pages = {definitionPage_};
  const std::uint32_t count = TableDefinitionPageCount(shape_, indexes_);
  while (pages.size() < count) {
    std::uint32_t page = 0;
    if (WriteStatus status = file_.allocate(page); !status) return status;
    pages.push_back(page);
  }
  const std::vector<ByteVector> images = BuildTableDefinitionPages(shape_, fields, pages);
  for (std::size_t i = 0; i < images.size(); ++i) {
    if (WriteStatus status = file_.write(pages[i], images[i]); !status) return status;
  }
  return WriteStatus::Success();
}

}  // namespace tablift::jet
