#include "data_access/jet/writer/property_blob.h"

#include <algorithm>

#include "data_access/jet/writer/jet4_text_encoding.h"

namespace tablift::jet {
namespace {

constexpr std::uint16_t kNamesChunk = 0x0080;
constexpr std::uint16_t kObjectChunk = 0x0000;
constexpr std::uint16_t kColumnChunk = 0x0001;
constexpr std::size_t kChunkHeaderSize = 6;  // length, type
constexpr std::size_t kEntryHeaderSize = 8;  // length, DDL flag, type, name index, value length

ByteVector Ucs2(const std::string& text) {
  // Names and texts come from designs whose names were validated; text
  // property values were checked by the caller.
  return Utf8ToJet4Text(text).value_or(ByteVector{});
}

void AppendChunk(ByteVector& out, std::uint16_t type, const ByteVector& body) {
  AppendLe32(out, static_cast<std::uint32_t>(kChunkHeaderSize + body.size()));
  AppendLe16(out, type);
  AppendBytes(out, body);
}

PropertyEntry TextProperty(const std::string& name, JetType type, const std::string& value) {
  return {name, type, true, Ucs2(value)};
}

}  // namespace

ByteVector BuildPropertyBlob(const std::vector<PropertyGroup>& groups) {
  std::vector<std::string> names;
  for (const PropertyGroup& group : groups) {
    for (const PropertyEntry& entry : group.entries) {
      if (std::find(names.begin(), names.end(), entry.name) == names.end()) {
        names.push_back(entry.name);
      }
    }
  }

  ByteVector blob = {'M', 'R', '2', 0};
  ByteVector namesBody;
  for (const std::string& name : names) {
    const ByteVector encoded = Ucs2(name);
    AppendLe16(namesBody, static_cast<std::uint16_t>(encoded.size()));
    AppendBytes(namesBody, encoded);
  }
  AppendChunk(blob, kNamesChunk, namesBody);

  for (const PropertyGroup& group : groups) {
    const ByteVector objectName = Ucs2(group.objectName);
    ByteVector body;
    // The group starts with a block of its own length and the object's name.
    AppendLe32(body, static_cast<std::uint32_t>(4 + 2 + objectName.size()));
    AppendLe16(body, static_cast<std::uint16_t>(objectName.size()));
    AppendBytes(body, objectName);
    for (const PropertyEntry& entry : group.entries) {
      const auto index = static_cast<std::uint16_t>(
          std::find(names.begin(), names.end(), entry.name) - names.begin());
      AppendLe16(body, static_cast<std::uint16_t>(kEntryHeaderSize + entry.value.size()));
      body.push_back(entry.ddl ? 1 : 0);
      body.push_back(static_cast<std::uint8_t>(entry.type));
      AppendLe16(body, index);
      AppendLe16(body, static_cast<std::uint16_t>(entry.value.size()));
      AppendBytes(body, entry.value);
    }
    AppendChunk(blob, group.objectName.empty() ? kObjectChunk : kColumnChunk, body);
  }
  return blob;
}

ByteVector TableDesignProperties(const TableDesign& design) {
  std::vector<PropertyGroup> groups;
  PropertyGroup table;
  if (design.description) {
    table.entries.push_back(TextProperty("Description", JetType::Text, *design.description));
  }
  groups.push_back(std::move(table));
  for (const ColumnDesign& column : design.columns) {
    PropertyGroup group{column.name, {}};
    group.entries.push_back(
        {"Required", JetType::Boolean, true, {static_cast<std::uint8_t>(column.required ? 1 : 0)}});
    if (column.defaultValue) {
      // Access keeps a default value as a Memo property.
      group.entries.push_back(TextProperty("DefaultValue", JetType::Memo, *column.defaultValue));
    }
    if (column.description) {
      group.entries.push_back(TextProperty("Description", JetType::Text, *column.description));
    }
    groups.push_back(std::move(group));
  }
  return BuildPropertyBlob(groups);
}

}  // namespace tablift::jet
