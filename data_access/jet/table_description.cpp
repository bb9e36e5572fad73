#include "data_access/jet/table_description.h"

#include <map>
#include <set>

namespace tablift::jet {
namespace {

constexpr std::uint8_t kFixedLengthFlag = 0x01;
constexpr std::uint8_t kAutoNumberFlag = 0x04;
constexpr std::uint8_t kAutoGuidFlag = 0x40;
constexpr std::uint8_t kHyperlinkFlag = 0x80;
constexpr std::uint8_t kCalculatedFlags = 0xC0;  // in the extra flags
constexpr std::int64_t kRichTextFormat = 1;

constexpr std::uint8_t kUniqueIndexFlag = 0x01;
constexpr std::uint8_t kIgnoreNullsIndexFlag = 0x02;
constexpr std::uint8_t kRequiredIndexFlag = 0x08;

constexpr std::uint8_t kPrimaryKeyIndex = 1;
constexpr std::uint8_t kRelationshipIndex = 2;
constexpr std::uint8_t kReferencedSide = 1;

void ApplyColumnProperties(ColumnDefinition& column, const PropertyBlock& block,
                           const TextDecoder& decodeText) {
  if (const PropertyValue* value = block.find("Required")) {
    column.required = PropertyFlag(*value).value_or(false);
  }
  if (const PropertyValue* value = block.find("AllowZeroLength")) {
    column.allowZeroLength = PropertyFlag(*value).value_or(false);
  }
  if (const PropertyValue* value = block.find("DefaultValue")) {
    column.defaultValue = PropertyText(*value, decodeText);
  }
  if (const PropertyValue* value = block.find("Description")) {
    column.description = PropertyText(*value, decodeText);
  }
  if (const PropertyValue* value = block.find("Expression")) {
    column.expression = PropertyText(*value, decodeText);
  }
  if (const PropertyValue* value = block.find("UnicodeCompression")) {
    column.compressedText = PropertyFlag(*value).value_or(false);
  }
  if (const PropertyValue* value = block.find("AppendOnly")) {
    column.appendOnly = PropertyFlag(*value).value_or(false);
  }
  if (const PropertyValue* value = block.find("TextFormat")) {
    column.richText = PropertyInteger(*value) == kRichTextFormat;
  }
}

}  // namespace

JetType JetTypeOfStored(std::uint8_t type) {
  switch (type) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
    case 0x07:
    case 0x08:
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0F:
    case 0x10:
    case 0x12:
    case 0x13:
    case 0x14:
      return static_cast<JetType>(type);
    default:
      return JetType::Binary;
  }
}

TableDefinition DescribeTable(const std::string& name, const TableLayout& layout,
                              std::span<const std::uint8_t> properties,
                              const TextDecoder& decodeText) {
  TableDefinition table;
  table.name = name;
  table.rowCount = layout.rowCount;
  const std::vector<PropertyBlock> blocks = ParsePropertyBlocks(properties, decodeText);
  if (const PropertyBlock* own = FindPropertyBlock(blocks, "")) {
    if (const PropertyValue* value = own->find("Description")) {
      table.description = PropertyText(*value, decodeText);
    }
  }

  std::map<std::uint16_t, std::string> names;
  std::set<std::uint16_t> complexNumbers;
  for (const LayoutColumn& stored : layout.columns) {
    ColumnDefinition column;
    column.name = stored.name;
    column.type = JetTypeOfStored(stored.type);
    column.storedSize = stored.size;
    if (column.type == JetType::Decimal) {
      column.precision = stored.precision;
      column.scale = stored.scale;
    }
    column.fixedLength = (stored.flags & kFixedLengthFlag) != 0;
    column.autoNumber = column.type == JetType::Long && (stored.flags & kAutoNumberFlag) != 0;
    column.autoGuid = column.type == JetType::ReplicationId && (stored.flags & kAutoGuidFlag) != 0;
    column.hyperlink = column.type == JetType::Memo && (stored.flags & kHyperlinkFlag) != 0;
    column.calculated = (stored.extraFlags & kCalculatedFlags) != 0;
    if (const PropertyBlock* block = FindPropertyBlock(blocks, column.name)) {
      ApplyColumnProperties(column, *block, decodeText);
    }
    names[stored.number] = column.name;
    if (column.type == JetType::Complex) {
      complexNumbers.insert(stored.number);
      column.complexId = stored.complexId;
    }
    table.columns.push_back(std::move(column));
  }

  for (const LayoutLogicalIndex& logical : layout.logicalIndexes) {
    // The referenced table's side of a relationship is an index of Jet's own,
    // hidden from Access and DAO alike.
    if (logical.kind == kRelationshipIndex && logical.relationSide == kReferencedSide) continue;
    const LayoutRealIndex& real = layout.realIndexes[logical.realIndex];
    // A complex column gets a unique index of its own, which Access hides.
    if (real.keys.size() == 1 && complexNumbers.count(real.keys[0].column) != 0) continue;
    IndexDefinition index;
    index.name = logical.name;
    index.primaryKey = logical.kind == kPrimaryKeyIndex;
    index.foreign = logical.kind == kRelationshipIndex;
    index.unique = (real.flags & kUniqueIndexFlag) != 0;
    index.ignoreNulls = (real.flags & kIgnoreNullsIndexFlag) != 0;
    index.required = (real.flags & kRequiredIndexFlag) != 0;
    for (const LayoutIndexKey& key : real.keys) {
      index.columns.push_back({names[key.column], key.ascending});
    }
    table.indexes.push_back(std::move(index));
  }
  return table;
}

}  // namespace tablift::jet
