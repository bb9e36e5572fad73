#include "data_access/jet/writer/table_definition_pages.h"

#include <algorithm>

#include "data_access/ascii_text.h"
#include "data_access/jet/writer/jet4_page_format.h"
#include "data_access/jet/writer/jet4_text_encoding.h"

namespace tablift::jet {
namespace {

constexpr std::size_t kPageHeaderSize = 8;
constexpr std::size_t kColumnEntrySize = 25;
constexpr std::size_t kLongValueColumnEntrySize = 10;
constexpr std::uint16_t kEndOfList = 0xFFFF;
constexpr std::size_t kPhysicalIndexCountSize = 12;
constexpr std::size_t kPhysicalIndexEntrySize = 52;
constexpr std::size_t kLogicalIndexEntrySize = 28;
// The engine starts every physical index entry with this number.
constexpr std::uint32_t kPhysicalIndexMagic = 1923;
constexpr std::uint8_t kNoRelationshipAction = 0x04;

ByteVector EncodedName(const std::string& name) {
  // Names were checked when the table was added.
  return Utf8ToJet4Text(name).value_or(ByteVector{});
}

void AppendColumnEntry(ByteVector& out, const ColumnSlot& column, bool systemTable) {
  const std::size_t at = out.size();
  out.resize(at + kColumnEntrySize, 0);
  std::uint8_t* entry = &out[at];
  entry[0] = static_cast<std::uint8_t>(column.type);
  StoreLe32(entry + 1, jet4::kTableDefinitionMagic);
  StoreLe16(entry + 5, column.storedNumber);
  StoreLe16(entry + 7, column.variableIndex);
  StoreLe16(entry + 9, column.number);
  if (column.type == JetType::Decimal) {
    entry[11] = column.precision;
    entry[12] = column.scale;
  } else {
    // Text sort order; the engine records it on every other column too.
    StoreLe16(entry + 11, jet4::kGeneralSortOrder);
  }
  entry[15] = static_cast<std::uint8_t>(column.flags | (systemTable ? jet4::kColumnUpdatable : 0));
  StoreLe16(entry + 21, column.fixedOffset);
  StoreLe16(entry + 23, column.longValue ? 0 : column.length);
}

void AppendPhysicalIndex(ByteVector& out, const RowShape& shape, const PhysicalIndex& index,
                         const PhysicalIndexPages& pages) {
  AppendLe32(out, kPhysicalIndexMagic);
  for (std::size_t i = 0; i < jet4::kMaxIndexColumns; ++i) {
    if (i < index.columns.size()) {
      AppendLe16(out, shape.columns[index.columns[i].columnNumber].storedNumber);
      out.push_back(index.columns[i].ascending ? 0x01 : 0x00);
    } else {
      AppendLe16(out, kEndOfList);
      out.push_back(0x00);
    }
  }
  AppendLe32(out, pages.usedPagesMap);
  AppendLe32(out, pages.rootPage);
  AppendLe32(out, 0);
  out.push_back(index.flags);
  out.insert(out.end(), 5, 0);
}

void AppendLogicalIndex(ByteVector& out, const LogicalIndex& index) {
  AppendLe32(out, jet4::kTableDefinitionMagic);
  AppendLe32(out, index.number);
  AppendLe32(out, index.physical);
  out.push_back(index.relatedSide);
  AppendLe32(out, static_cast<std::uint32_t>(index.relatedIndexNumber));
  AppendLe32(out, index.relatedTablePage);
  if (index.kind == IndexKind::ForeignKey) {
    out.push_back(index.cascadeUpdates ? 1 : 0);
    out.push_back(index.cascadeDeletes ? 1 : 0);
  } else {
    // What the engine records for indexes outside relationships.
    out.push_back(kNoRelationshipAction);
    out.push_back(kNoRelationshipAction);
  }
  out.push_back(static_cast<std::uint8_t>(index.kind));
  AppendLe32(out, 0);
}

// The engine lists named indexes by name.
std::vector<const LogicalIndex*> LogicalIndexesByName(const IndexSet& indexes) {
  std::vector<const LogicalIndex*> sorted;
  for (const LogicalIndex& index : indexes.logical)
    sorted.push_back(&index);
  std::stable_sort(sorted.begin(), sorted.end(), [](const LogicalIndex* a, const LogicalIndex* b) {
    return ToLowerAscii(a->name) < ToLowerAscii(b->name);
  });
  return sorted;
}

// The definition as one byte stream, as if it were a single long page.
ByteVector DefinitionStream(const RowShape& shape, const TableDefinitionFields& fields) {
  const IndexSet& indexes = fields.indexes;
  ByteVector out(63, 0);
  out[0] = jet4::kPageTableDefinition;
  out[1] = 0x01;
  StoreLe32(&out[12], jet4::kTableDefinitionMagic);
  StoreLe32(&out[16], fields.rowCount);
  StoreLe32(&out[20], fields.lastAutoNumber);
  out[24] = 0x01;
  out[40] = fields.systemTable ? jet4::kTableTypeSystem : jet4::kTableTypeUser;
  // The columns and the variable columns ever made, deleted ones included,
  // then the columns the table has.
  StoreLe16(&out[41], shape.storedColumnCount);
  StoreLe16(&out[43], shape.variableCount);
  StoreLe16(&out[45], static_cast<std::uint16_t>(shape.columns.size()));
  StoreLe32(&out[47], static_cast<std::uint32_t>(indexes.logical.size()));
  StoreLe32(&out[51], static_cast<std::uint32_t>(indexes.physical.size()));
  StoreLe32(&out[55], fields.usedPagesMap);
  StoreLe32(&out[59], fields.pagesWithRoomMap);

  for (std::size_t i = 0; i < indexes.physical.size(); ++i) {
    AppendLe32(out, 0);
    AppendLe32(out, i < fields.indexPages.size() ? fields.indexPages[i].entryCount : 0);
    AppendLe32(out, 0);
  }
  for (const ColumnSlot& column : shape.columns) {
    AppendColumnEntry(out, column, fields.systemTable);
  }
  for (const ColumnSlot& column : shape.columns) {
    const ByteVector name = EncodedName(column.name);
    AppendLe16(out, static_cast<std::uint16_t>(name.size()));
    AppendBytes(out, name);
  }
  for (std::size_t i = 0; i < indexes.physical.size(); ++i) {
    AppendPhysicalIndex(out, shape, indexes.physical[i],
                        i < fields.indexPages.size() ? fields.indexPages[i] : PhysicalIndexPages{});
  }
  const std::vector<const LogicalIndex*> logical = LogicalIndexesByName(indexes);
  for (const LogicalIndex* index : logical)
    AppendLogicalIndex(out, *index);
  for (const LogicalIndex* index : logical) {
    const ByteVector name = EncodedName(index->name);
    AppendLe16(out, static_cast<std::uint16_t>(name.size()));
    AppendBytes(out, name);
  }
  for (const LongValueColumnMaps& maps : fields.longValueColumns) {
    AppendLe16(out, maps.columnNumber);
    AppendLe32(out, maps.usedPagesMap);
    AppendLe32(out, maps.pagesWithRoomMap);
  }
  AppendLe16(out, kEndOfList);
  StoreLe32(&out[8], static_cast<std::uint32_t>(out.size()));
  return out;
}

std::size_t DefinitionLength(const RowShape& shape, const IndexSet& indexes) {
  std::size_t length = 63 + 2;
  for (const ColumnSlot& column : shape.columns) {
    length += kColumnEntrySize + 2 + EncodedName(column.name).size();
    if (column.longValue) length += kLongValueColumnEntrySize;
  }
  length += indexes.physical.size() * (kPhysicalIndexCountSize + kPhysicalIndexEntrySize);
  for (const LogicalIndex& index : indexes.logical) {
    length += kLogicalIndexEntrySize + 2 + EncodedName(index.name).size();
  }
  return length;
}

std::uint32_t PagesFor(std::size_t length) {
  if (length <= jet4::kPageSize) return 1;
  const std::size_t perContinuation = jet4::kPageSize - kPageHeaderSize;
  return static_cast<std::uint32_t>(1 + (length - jet4::kPageSize + perContinuation - 1) /
                                            perContinuation);
}

void StoreFreeSpace(ByteVector& page, std::size_t used) {
  // The engine records the free space less the 8 header bytes.
  const std::size_t free = jet4::kPageSize - used;
  StoreLe16(&page[2],
            static_cast<std::uint16_t>(free > kPageHeaderSize ? free - kPageHeaderSize : 0));
}

}  // namespace

std::uint32_t TableDefinitionPageCount(const RowShape& shape, const IndexSet& indexes) {
  return PagesFor(DefinitionLength(shape, indexes));
}

std::vector<ByteVector> BuildTableDefinitionPages(const RowShape& shape,
                                                  const TableDefinitionFields& fields,
                                                  const std::vector<std::uint32_t>& pageNumbers) {
  const ByteVector stream = DefinitionStream(shape, fields);
  const std::uint32_t count = PagesFor(stream.size());
  std::vector<ByteVector> pages;
  std::size_t consumed = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    ByteVector page(jet4::kPageSize, 0);
    std::size_t used = 0;
    if (i == 0) {
      used = std::min(stream.size(), jet4::kPageSize);
      std::copy_n(stream.begin(), used, page.begin());
      consumed = used;
    } else {
      page[0] = jet4::kPageTableDefinition;
      page[1] = 0x01;
      const std::size_t chunk =
          std::min(stream.size() - consumed, jet4::kPageSize - kPageHeaderSize);
      std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(consumed), chunk,
                  page.begin() + kPageHeaderSize);
      used = kPageHeaderSize + chunk;
      consumed += chunk;
    }
    StoreFreeSpace(page, used);
    StoreLe32(&page[4], i + 1 < count && i + 1 < pageNumbers.size() ? pageNumbers[i + 1] : 0);
    pages.push_back(std::move(page));
  }
  return pages;
}

}  // namespace tablift::jet
