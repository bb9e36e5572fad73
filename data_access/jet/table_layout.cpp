#include "data_access/jet/table_layout.h"

#include "data_access/jet/libmdb_database.h"

#include <set>
#include <span>
#include <string_view>

namespace tablift::jet {
namespace {

constexpr std::uint8_t kTableDefinitionPage = 0x02;
// A definition longer than this many pages is a loop or garbage: 255 columns
// with long names and 32 indexes fit in a few pages.
constexpr std::size_t kMaxDefinitionPages = 64;
// Access counts deleted columns towards its 255 until the file is compacted,
// so no column number, and no count of columns ever made, reaches 256.
constexpr std::size_t kMaxColumns = 256;
constexpr std::size_t kMaxIndexes = 1000;
constexpr std::size_t kIndexKeySlots = 10;
constexpr std::uint16_t kNoColumn = 0xFFFF;
constexpr std::size_t kMinimumUsageMap = 5;

// Where the two formats keep things (libmdb's format constants and the
// published description of the file format). A Decimal column keeps its
// precision before its scale; libmdb's constants name the two the other way
// round (and swap them back when it prints values).
struct DefinitionFormat {
  std::size_t rowCount;
  std::size_t variableColumns;
  std::size_t columnCount;
  std::size_t indexCount;
  std::size_t realIndexCount;
  std::size_t usageMap;
  std::size_t freeMap;
  std::size_t firstBlock;        // where the per-real-index counters start
  std::size_t realIndexCounter;  // bytes per real index in that block
  std::size_t columnEntry;       // bytes per column entry
  std::size_t columnNumber;      // offsets inside a column entry
  std::size_t columnScale;
  std::size_t columnPrecision;
  std::size_t columnFlags;
  std::size_t columnSize;
  std::size_t nameLengthBytes;  // 1 (Jet 3) or 2 (Jet 4)
  std::size_t realIndexPrefix;  // bytes before the key slots
  std::size_t realIndexMiddle;  // bytes between the key slots and the flags byte
  std::size_t realIndexSuffix;  // bytes after the flags byte
  std::size_t logicalIndexPrefix;
  std::size_t logicalIndexEntry;  // from the index number to the type byte, inclusive
  std::size_t logicalIndexSuffix;
};

constexpr DefinitionFormat kJet4Definition = {
    .rowCount = 16,
    .variableColumns = 43,
    .columnCount = 45,
    .indexCount = 47,
    .realIndexCount = 51,
    .usageMap = 55,
    .freeMap = 59,
    .firstBlock = 63,
    .realIndexCounter = 12,
    .columnEntry = 25,
    .columnNumber = 5,
    .columnScale = 12,
    .columnPrecision = 11,
    .columnFlags = 15,
    .columnSize = 23,
    .nameLengthBytes = 2,
    .realIndexPrefix = 4,
    .realIndexMiddle = 12,
    .realIndexSuffix = 5,
    .logicalIndexPrefix = 4,
    .logicalIndexEntry = 20,
    .logicalIndexSuffix = 4,
};
constexpr DefinitionFormat kJet3Definition = {
    .rowCount = 12,
    .variableColumns = 23,
    .columnCount = 25,
    .indexCount = 27,
    .realIndexCount = 31,
    .usageMap = 35,
    .freeMap = 39,
    .firstBlock = 43,
    .realIndexCounter = 8,
    .columnEntry = 18,
    .columnNumber = 1,
    .columnScale = 10,
    .columnPrecision = 9,
    .columnFlags = 13,
    .columnSize = 16,
    .nameLengthBytes = 1,
    .realIndexPrefix = 0,
    .realIndexMiddle = 8,
    .realIndexSuffix = 0,
    .logicalIndexPrefix = 0,
    .logicalIndexEntry = 20,
    .logicalIndexSuffix = 0,
};

// The definition's bytes as one stream: the first page whole, then each
// continuation page after its 8-byte header, as libmdb reads them.
class DefinitionStream {
 public:
  explicit DefinitionStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t size() const { return bytes_.size(); }
  std::size_t position() const { return position_; }
  void seek(std::size_t position) {
    if (position > bytes_.size()) ok_ = false;
    position_ = position;
  }
  bool ok() const { return ok_; }

  std::uint32_t read(std::size_t width) {
    if (!ok_ || width > bytes_.size() - position_) {
      ok_ = false;
      return 0;
    }
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
      value |= static_cast<std::uint32_t>(bytes_[position_ + i]) << (8 * i);
    position_ += width;
    return value;
  }
  std::span<const std::uint8_t> bytes(std::size_t count) {
    if (!ok_ || count > bytes_.size() - position_) {
      ok_ = false;
      return {};
    }
    const std::span<const std::uint8_t> span(bytes_.data() + position_, count);
    position_ += count;
    return span;
  }
  void skip(std::size_t count) { bytes(count); }
  std::uint32_t at(std::size_t offset, std::size_t width) {
    const std::size_t saved = position_;
    seek(offset);
    const std::uint32_t value = read(width);
    position_ = saved;
    return value;
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

bool ReadDefinitionPages(LibmdbDatabase& database, std::uint32_t page,
                         std::vector<std::uint8_t>& stream, std::string& problem) {
  std::set<std::uint32_t> seen;
  std::vector<std::uint8_t> bytes;
  while (page != 0) {
    if (seen.size() >= kMaxDefinitionPages || !seen.insert(page).second) {
      problem = "the table definition pages form a loop";
      return false;
    }
    if (!database.readPage(page, bytes)) {
      problem = "the table definition points past the end of the file";
      return false;
    }
    if (bytes[0] != kTableDefinitionPage) {
      problem = "page " + std::to_string(page) + " is not a table definition page";
      return false;
    }
    stream.insert(stream.end(), stream.empty() ? bytes.begin() : bytes.begin() + 8, bytes.end());
    page = static_cast<std::uint32_t>(bytes[4]) | (static_cast<std::uint32_t>(bytes[5]) << 8) |
           (static_cast<std::uint32_t>(bytes[6]) << 16) |
           (static_cast<std::uint32_t>(bytes[7]) << 24);
  }
  return true;
}

// The usage map (which pages hold the table's rows) is a row on some page;
// libmdb copies it and walks it without checking its length or type.
bool CheckMapPointer(LibmdbDatabase& database, std::uint32_t pointer, bool usageMap,
                     std::string& problem) {
  const std::uint32_t page = pointer >> 8;
  const std::uint32_t row = pointer & 0xFF;
  std::vector<std::uint8_t> bytes;
  if (!database.readPage(page, bytes)) {
    problem = "the table's page map lies past the end of the file";
    return false;
  }
  const std::optional<RowBounds> bounds = FindRow(bytes, database.pageFormat(), row);
  if (!bounds) {
    problem = "the table's page map is not a row of its page";
    return false;
  }
  if (usageMap && (bounds->length < kMinimumUsageMap ||
                   (bytes[bounds->start] != 0 && bytes[bounds->start] != 1))) {
    problem = "the table's page map is damaged";
    return false;
  }
  return true;
}

std::string ReadName(LibmdbDatabase& database, DefinitionStream& stream,
                     const DefinitionFormat& format) {
  const std::size_t length = stream.read(format.nameLengthBytes);
  const std::span<const std::uint8_t> stored = stream.bytes(length);
  if (!stream.ok()) return {};
  return database.decodeText(stored);
}

bool Fail(std::string& problem, std::string text) {
  problem = std::move(text);
  return false;
}

}  // namespace

bool ReadTableLayout(LibmdbDatabase& database, std::uint32_t page, TableLayout& layout,
                     std::string& problem) {
  layout = TableLayout{};
  const DefinitionFormat& format = database.jet3() ? kJet3Definition : kJet4Definition;
  std::vector<std::uint8_t> bytes;
  if (page == 0 || !ReadDefinitionPages(database, page, bytes, problem)) {
    if (problem.empty()) problem = "the table has no definition page";
    return false;
  }
  DefinitionStream stream(std::move(bytes));

  layout.rowCount = stream.at(format.rowCount, 4);
  layout.variableColumns = static_cast<std::uint16_t>(stream.at(format.variableColumns, 2));
  const std::size_t columnCount = stream.at(format.columnCount, 2);
  const std::size_t indexCount = stream.at(format.indexCount, 4);
  const std::size_t realIndexCount = stream.at(format.realIndexCount, 4);
  const std::uint32_t usageMap = stream.at(format.usageMap, 4);
  const std::uint32_t freeMap = stream.at(format.freeMap, 4);
  if (!stream.ok()) return Fail(problem, "the table definition is cut short");
  // The variable-column count counts every variable column the table ever
  // had, deleted ones included, so it may exceed the columns left.
  if (columnCount == 0 || columnCount > kMaxColumns || layout.variableColumns > kMaxColumns ||
      indexCount > kMaxIndexes || realIndexCount > kMaxIndexes) {
    return Fail(problem, "the table definition holds impossible counts");
  }
  if (!CheckMapPointer(database, usageMap, true, problem) ||
      !CheckMapPointer(database, freeMap, false, problem)) {
    return false;
  }

  // Column entries, then their names, in the same order.
  stream.seek(format.firstBlock + realIndexCount * format.realIndexCounter);
  std::set<std::uint16_t> numbers;
  for (std::size_t i = 0; i < columnCount; ++i) {
    const std::span<const std::uint8_t> entry = stream.bytes(format.columnEntry);
    if (!stream.ok()) return Fail(problem, "the column definitions are cut short");
    LayoutColumn column;
    column.type = entry[0];
    column.number = static_cast<std::uint16_t>(entry[format.columnNumber] |
                                               (entry[format.columnNumber + 1] << 8));
    column.scale = entry[format.columnScale];
    column.precision = entry[format.columnPrecision];
    column.flags = entry[format.columnFlags];
    // Jet 4 has no calculated or complex columns to mark there.
    if (database.ace()) {
      column.extraFlags = entry[format.columnFlags + 1];
      column.complexId = static_cast<std::uint32_t>(entry[9]) |
                         (static_cast<std::uint32_t>(entry[10]) << 8) |
                         (static_cast<std::uint32_t>(entry[11]) << 16) |
                         (static_cast<std::uint32_t>(entry[12]) << 24);
    }
    column.size =
        static_cast<std::uint16_t>(entry[format.columnSize] | (entry[format.columnSize + 1] << 8));
    // Deleted columns leave their numbers unused: numbers may have gaps and
    // reach past the column count. libmdb keeps a number in one byte.
    if (column.number >= kMaxColumns) {
      return Fail(problem, "a column number lies past the most columns a table can have");
    }
    if (!numbers.insert(column.number).second) {
      return Fail(problem, "two columns claim the same place in the row");
    }
    layout.columns.push_back(column);
  }
  for (LayoutColumn& column : layout.columns) {
    column.name = ReadName(database, stream, format);
    if (!stream.ok()) return Fail(problem, "the column names are cut short");
  }

  // Physical indexes: up to ten key columns each, then their flags.
  for (std::size_t i = 0; i < realIndexCount; ++i) {
    LayoutRealIndex index;
    stream.skip(format.realIndexPrefix);
    for (std::size_t slot = 0; slot < kIndexKeySlots; ++slot) {
      const auto column = static_cast<std::uint16_t>(stream.read(2));
      const bool ascending = stream.read(1) != 0;
      if (column != kNoColumn && numbers.count(column) != 0) {
        index.keys.push_back({column, ascending});
      }
    }
    stream.skip(format.realIndexMiddle);  // the index's usage map and first page
    index.flags = static_cast<std::uint8_t>(stream.read(1));
    stream.skip(format.realIndexSuffix);
    if (!stream.ok()) return Fail(problem, "the index definitions are cut short");
    layout.realIndexes.push_back(std::move(index));
  }

  // Logical indexes, then their names.
  for (std::size_t i = 0; i < indexCount; ++i) {
    stream.skip(format.logicalIndexPrefix);
    const std::span<const std::uint8_t> entry = stream.bytes(format.logicalIndexEntry);
    stream.skip(format.logicalIndexSuffix);
    if (!stream.ok()) return Fail(problem, "the index definitions are cut short");
    LayoutLogicalIndex index;
    index.realIndex = static_cast<std::uint32_t>(entry[4] | (entry[5] << 8) | (entry[6] << 16) |
                                                 (static_cast<std::uint32_t>(entry[7]) << 24));
    index.relationSide = entry[8];
    index.relatedTablePage =
        static_cast<std::uint32_t>(entry[13] | (entry[14] << 8) | (entry[15] << 16) |
                                   (static_cast<std::uint32_t>(entry[16]) << 24));
    index.kind = entry[19];
    if (index.realIndex >= layout.realIndexes.size()) {
      return Fail(problem, "an index refers to a missing index tree");
    }
    layout.logicalIndexes.push_back(std::move(index));
  }
  for (LayoutLogicalIndex& index : layout.logicalIndexes) {
    index.name = ReadName(database, stream, format);
    if (!stream.ok()) return Fail(problem, "the index names are cut short");
  }
  return true;
}

}  // namespace tablift::jet
