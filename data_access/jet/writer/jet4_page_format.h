#pragma once

#include <cstddef>
#include <cstdint>

// Layout constants of Jet 4 (Access 2000-2003) database files, as far as the
// writer relies on them. All multi-byte numbers in a page are little-endian.
namespace tablift::jet::jet4 {

constexpr std::size_t kPageSize = 4096;

// The first byte of every page.
constexpr std::uint8_t kPageDatabaseHeader = 0x00;
constexpr std::uint8_t kPageData = 0x01;
constexpr std::uint8_t kPageTableDefinition = 0x02;
constexpr std::uint8_t kPageIndexNode = 0x03;
constexpr std::uint8_t kPageIndexLeaf = 0x04;
constexpr std::uint8_t kPageUsageBitmap = 0x05;

// The MSysObjects table definition is always on page 2; readers bootstrap
// the catalog from there.
constexpr std::uint32_t kCatalogDefinitionPage = 2;
// Page 1 holds the database-wide map of free pages.
constexpr std::uint32_t kGlobalUsageMapPage = 1;

// Jet 4 files are limited to 2 GB.
constexpr std::uint32_t kMaxPages = 0x80000000u / kPageSize;

// Data and long-value pages: type, 0x01, free space, owner (table definition
// page, or "LVAL"), four unused bytes, row count, then one offset per row.
constexpr std::size_t kDataPageFreeSpaceOffset = 2;
constexpr std::size_t kDataPageOwnerOffset = 4;
constexpr std::size_t kDataPageRowCountOffset = 12;
constexpr std::size_t kDataPageRowOffsetsStart = 14;
// A row is addressed by a 24-bit page number and an 8-bit row number.
constexpr std::size_t kMaxRowsPerPage = 255;
// The largest row Access puts on a data page.
constexpr std::size_t kMaxRowSize = 4060;

// A long value (Memo, OLE Object) is a 12-byte field in the row: its length
// with flags in the top bits, a page/row pointer, four unused bytes.
constexpr std::size_t kLongValueFieldSize = 12;
constexpr std::uint32_t kLongValueInline = 0x80000000u;
constexpr std::uint32_t kLongValueSingleRow = 0x40000000u;
constexpr std::uint32_t kMaxLongValueLength = 0x3FFFFFFFu;
// Bytes of a long value on each page of a multi-page chain: Access fills a
// chain page with one row of a 4-byte next pointer and 4072 bytes of data.
constexpr std::size_t kLongValueChainChunk = 4072;

// Every table definition and column entry carries this number.
constexpr std::uint32_t kTableDefinitionMagic = 0x0659;
constexpr std::uint8_t kTableTypeUser = 0x4E;
constexpr std::uint8_t kTableTypeSystem = 0x53;

// Column flags in the table definition.
constexpr std::uint8_t kColumnFixedLength = 0x01;
constexpr std::uint8_t kColumnNullable = 0x02;
constexpr std::uint8_t kColumnAutoLong = 0x04;
constexpr std::uint8_t kColumnUpdatable = 0x10;
constexpr std::uint8_t kColumnAutoGuid = 0x40;

// The "General" sort order (1033) of Access 2000-2003, and Windows code page 1252.
constexpr std::uint16_t kGeneralSortOrder = 0x0409;
constexpr std::uint16_t kCodePage1252 = 1252;

// Usage maps: a type 0 map row is a start page and a bitmap of 64 bytes; a
// type 1 map row lists pages of type 0x05, each a bitmap of the pages below.
constexpr std::size_t kInlineMapBitmapBytes = 64;
constexpr std::size_t kReferenceMapPointers = 17;
constexpr std::uint32_t kPagesPerReferenceMap = (kPageSize - 4) * 8;

// Index flags in the table definition; the engine sets 0x80 on every index.
constexpr std::uint8_t kIndexUnique = 0x01;
constexpr std::uint8_t kIndexIgnoreNulls = 0x02;
constexpr std::uint8_t kIndexRequired = 0x08;
constexpr std::uint8_t kIndexAlwaysSet = 0x80;
constexpr std::size_t kMaxIndexColumns = 10;
constexpr std::size_t kMaxIndexesPerTable = 32;

// Index pages: a header, a bitmap marking where each entry ends, and the
// entries from offset 0x1E0 to the end of the page.
constexpr std::size_t kIndexBitmapStart = 0x1B;
constexpr std::size_t kIndexEntriesStart = 0x1E0;
constexpr std::size_t kIndexPrevPageOffset = 8;
constexpr std::size_t kIndexNextPageOffset = 12;

}  // namespace tablift::jet::jet4
