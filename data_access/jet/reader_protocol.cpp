#include "data_access/jet/reader_protocol.h"

namespace tablift::jet {
namespace {

// Counts come from the other process; a count that cannot fit in what is left
// of the message is a damaged message, not a reason to reserve memory.
constexpr std::uint32_t kMaxItems = 1u << 20;

void WriteOptionalText(WireWriter& out, const std::optional<std::string>& text) {
  out.boolean(text.has_value());
  if (text) out.text(*text);
}

bool ReadOptionalText(WireReader& in, std::optional<std::string>& text) {
  bool present = false;
  if (!in.boolean(present)) return false;
  text.reset();
  if (!present) return true;
  std::string value;
  if (!in.text(value)) return false;
  text = std::move(value);
  return true;
}

void WriteColumn(WireWriter& out, const ColumnDefinition& column) {
  out.text(column.name);
  out.u8(static_cast<std::uint8_t>(column.type));
  out.u32(column.storedSize);
  out.u8(column.precision);
  out.u8(column.scale);
  out.boolean(column.fixedLength);
  out.boolean(column.autoNumber);
  out.boolean(column.autoGuid);
  out.boolean(column.required);
  out.boolean(column.allowZeroLength);
  WriteOptionalText(out, column.defaultValue);
  WriteOptionalText(out, column.description);
  out.boolean(column.calculated);
  WriteOptionalText(out, column.expression);
  out.boolean(column.hyperlink);
  out.boolean(column.richText);
  out.boolean(column.compressedText);
  out.boolean(column.appendOnly);
  out.u8(static_cast<std::uint8_t>(column.complexKind));
  out.u32(column.complexId);
  out.u8(static_cast<std::uint8_t>(column.complexValueType));
  out.text(column.versionedColumn);
}

bool ReadColumn(WireReader& in, ColumnDefinition& column) {
  std::uint8_t type = 0;
  const bool read =
      in.text(column.name) && in.u8(type) && in.u32(column.storedSize) && in.u8(column.precision) &&
      in.u8(column.scale) && in.boolean(column.fixedLength) && in.boolean(column.autoNumber) &&
      in.boolean(column.autoGuid) && in.boolean(column.required) &&
      in.boolean(column.allowZeroLength) && ReadOptionalText(in, column.defaultValue) &&
      ReadOptionalText(in, column.description);
  column.type = static_cast<JetType>(type);
  std::uint8_t kind = 0;
  std::uint8_t valueType = 0;
  const bool details = read && in.boolean(column.calculated) &&
                       ReadOptionalText(in, column.expression) && in.boolean(column.hyperlink) &&
                       in.boolean(column.richText) && in.boolean(column.compressedText) &&
                       in.boolean(column.appendOnly) && in.u8(kind) && in.u32(column.complexId) &&
                       in.u8(valueType) && in.text(column.versionedColumn) &&
                       kind <= static_cast<std::uint8_t>(ComplexKind::VersionHistory);
  column.complexKind = static_cast<ComplexKind>(kind);
  column.complexValueType = static_cast<JetType>(valueType);
  return details;
}

void WriteIndex(WireWriter& out, const IndexDefinition& index) {
  out.text(index.name);
  out.boolean(index.primaryKey);
  out.boolean(index.unique);
  out.boolean(index.foreign);
  out.boolean(index.ignoreNulls);
  out.boolean(index.required);
  out.u32(static_cast<std::uint32_t>(index.columns.size()));
  for (const IndexColumn& column : index.columns) {
    out.text(column.name);
    out.boolean(column.ascending);
  }
}

bool ReadIndex(WireReader& in, IndexDefinition& index) {
  std::uint32_t count = 0;
  if (!in.text(index.name) || !in.boolean(index.primaryKey) || !in.boolean(index.unique) ||
      !in.boolean(index.foreign) || !in.boolean(index.ignoreNulls) || !in.boolean(index.required) ||
      !in.u32(count) || count > kMaxItems) {
    return false;
  }
  index.columns.clear();
  for (std::uint32_t i = 0; i < count; ++i) {
    IndexColumn column;
    if (!in.text(column.name) || !in.boolean(column.ascending)) return false;
    index.columns.push_back(std::move(column));
  }
  return true;
}

}  // namespace

void WriteCatalogObjects(WireWriter& out, const std::vector<CatalogObject>& objects) {
  out.u32(static_cast<std::uint32_t>(objects.size()));
  for (const CatalogObject& object : objects) {
    out.i32(object.id);
    out.i32(object.parentId);
    out.text(object.name);
    out.i32(object.type);
    out.u32(object.flags);
    out.f64(object.created);
    out.f64(object.updated);
  }
}

bool ReadCatalogObjects(WireReader& in, std::vector<CatalogObject>& objects) {
  objects.clear();
  std::uint32_t count = 0;
  if (!in.u32(count) || count > kMaxItems) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    CatalogObject object;
    if (!in.i32(object.id) || !in.i32(object.parentId) || !in.text(object.name) ||
        !in.i32(object.type) || !in.u32(object.flags) || !in.f64(object.created) ||
        !in.f64(object.updated)) {
      return false;
    }
    objects.push_back(std::move(object));
  }
  return true;
}

void WriteTableDefinition(WireWriter& out, const TableDefinition& table) {
  out.text(table.name);
  WriteOptionalText(out, table.description);
  out.u32(table.rowCount);
  out.u32(static_cast<std::uint32_t>(table.columns.size()));
  for (const ColumnDefinition& column : table.columns)
    WriteColumn(out, column);
  out.u32(static_cast<std::uint32_t>(table.indexes.size()));
  for (const IndexDefinition& index : table.indexes)
    WriteIndex(out, index);
}

bool ReadTableDefinition(WireReader& in, TableDefinition& table) {
  table = TableDefinition{};
  std::uint32_t count = 0;
  if (!in.text(table.name) || !ReadOptionalText(in, table.description) || !in.u32(table.rowCount) ||
      !in.u32(count) || count > kMaxItems) {
    return false;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    ColumnDefinition column;
    if (!ReadColumn(in, column)) return false;
    table.columns.push_back(std::move(column));
  }
  if (!in.u32(count) || count > kMaxItems) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    IndexDefinition index;
    if (!ReadIndex(in, index)) return false;
    table.indexes.push_back(std::move(index));
  }
  return true;
}

namespace {

void WriteOptionalDate(WireWriter& out, const std::optional<DateTime>& date) {
  out.boolean(date.has_value());
  if (date) out.f64(date->days);
}

bool ReadOptionalDate(WireReader& in, std::optional<DateTime>& date) {
  bool present = false;
  if (!in.boolean(present)) return false;
  date.reset();
  if (!present) return true;
  double days = 0;
  if (!in.f64(days)) return false;
  date = DateTime{days};
  return true;
}

}  // namespace

void WriteComplexValues(WireWriter& out, const std::vector<ComplexValue>& values) {
  out.u32(static_cast<std::uint32_t>(values.size()));
  for (const ComplexValue& value : values) {
    out.i64(value.key);
    out.value(value.value);
    WriteOptionalDate(out, value.modified);
    out.text(value.fileName);
    out.text(value.fileType);
    out.value(Value(value.fileData));
    WriteOptionalText(out, value.fileUrl);
    WriteOptionalDate(out, value.fileTimeStamp);
    out.boolean(value.fileFlags.has_value());
    out.i64(value.fileFlags.value_or(0));
  }
}

bool ReadComplexValues(WireReader& in, std::vector<ComplexValue>& values) {
  values.clear();
  std::uint32_t count = 0;
  if (!in.u32(count)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    ComplexValue value;
    Value data;
    bool hasFlags = false;
    std::int64_t flags = 0;
    if (!in.i64(value.key) || !in.value(value.value) || !ReadOptionalDate(in, value.modified) ||
        !in.text(value.fileName) || !in.text(value.fileType) || !in.value(data) ||
        !ReadOptionalText(in, value.fileUrl) || !ReadOptionalDate(in, value.fileTimeStamp) ||
        !in.boolean(hasFlags) || !in.i64(flags)) {
      return false;
    }
    if (auto* bytes = std::get_if<Bytes>(&data)) value.fileData = std::move(*bytes);
    if (hasFlags) value.fileFlags = flags;
    values.push_back(std::move(value));
  }
  return true;
}

}  // namespace tablift::jet
