#include "data_access/jet/writer/table_definition_pages.h"

#include <algorithm>

#include "data_access/jet/writer/jet4_page_format.h"
#include "data_access/jet/writer/jet4_text_encoding.h"

namespace tablift::jet {
namespace {

constexpr std::size_t kPageHeaderSize = 8;
constexpr std::size_t kColumnEntrySize = 25;
constexpr std::size_t kLongValueColumnEntrySize = 10;
constexpr std::uint16_t kEndOfList = 0xFFFF;

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
  StoreLe16(entry + 5, column.number);
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

// The definition as one byte stream, as if it were a single long page.
ByteVector DefinitionStream(const RowShape& shape, const TableDefinitionFields& fields) {
  ByteVector out(63, 0);
  out[0] = jet4::kPageTableDefinition;
  out[1] = 0x01;
  StoreLe32(&out[12], jet4::kTableDefinitionMagic);
  StoreLe32(&out[16], fields.rowCount);
  StoreLe32(&out[20], fields.lastAutoNumber);
  out[24] = 0x01;
  out[40] = fields.systemTable ? jet4::kTableTypeSystem : jet4::kTableTypeUser;
  const auto columnCount = static_cast<std::uint16_t>(shape.columns.size());
  StoreLe16(&out[41], columnCount);
  StoreLe16(&out[43], shape.variableCount);
  StoreLe16(&out[45], columnCount);
  StoreLe32(&out[47], 0);  // logical indexes
  StoreLe32(&out[51], 0);  // physical indexes
  StoreLe32(&out[55], fields.usedPagesMap);
  StoreLe32(&out[59], fields.pagesWithRoomMap);

  for (const ColumnSlot& column : shape.columns) {
    AppendColumnEntry(out, column, fields.systemTable);
  }
  for (const ColumnSlot& column : shape.columns) {
    const ByteVector name = EncodedName(column.name);
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

std::size_t DefinitionLength(const RowShape& shape) {
  std::size_t length = 63 + 2;
  for (const ColumnSlot& column : shape.columns) {
    length += kColumnEntrySize + 2 + EncodedName(column.name).size();
    if (column.longValue) length += kLongValueColumnEntrySize;
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

std::uint32_t TableDefinitionPageCount(const RowShape& shape) {
  return PagesFor(DefinitionLength(shape));
}

std::vector<ByteVector> BuildTableDefinitionPages(const RowShape& shape,
                                                  const TableDefinitionFields& fields,
                                                  std::uint32_t firstPage) {
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
    } else {
      page[0] = jet4::kPageTableDefinition;
      page[1] = 0x01;
      const std::size_t chunk =
          std::min(stream.size() - consumed, jet4::kPageSize - kPageHeaderSize);
      std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(consumed), chunk,
                  page.begin() + kPageHeaderSize);
      used = kPageHeaderSize + chunk;
    }
    consumed = i == 0 ? used : consumed + (used - kPageHeaderSize);
    StoreFreeSpace(page, used);
    StoreLe32(&page[4], i + 1 < count ? firstPage + i + 1 : 0);
    pages.push_back(std::move(page));
  }
  return pages;
}

}  // namespace tablift::jet
