#include "data_access/jet/writer/row_shape.h"

#include <map>
#include <set>

#include "data_access/ascii_text.h"
#include "data_access/jet/writer/jet4_page_format.h"
#include "data_access/jet/writer/jet4_text_encoding.h"

namespace tablift::jet {
namespace {

constexpr std::size_t kMaxNameCharacters = 64;
constexpr std::uint16_t kMaxTextCharacters = 255;
constexpr std::uint16_t kMaxBinaryBytes = 510;
constexpr std::uint8_t kMaxDecimalPrecision = 28;

// Bytes of a fixed-length type in the row; 0 for variable-length types.
std::uint16_t FixedSize(JetType type) {
  switch (type) {
    case JetType::Boolean:
    case JetType::Byte:
      return 1;
    case JetType::Integer:
      return 2;
    case JetType::Long:
    case JetType::Single:
      return 4;
    case JetType::Currency:
    case JetType::Double:
    case JetType::DateTime:
      return 8;
    case JetType::ReplicationId:
      return 16;
    case JetType::Decimal:
      return 17;
    case JetType::Binary:
    case JetType::Text:
    case JetType::OleObject:
    case JetType::Memo:
      return 0;
    case JetType::Complex:  // ACE types: a Jet 4 file has none (KnownType)
    case JetType::BigInt:
    case JetType::DateTimeExtended:
      return 0;
  }
  return 0;
}

bool KnownType(JetType type) {
  switch (type) {
    case JetType::Boolean:
    case JetType::Byte:
    case JetType::Integer:
    case JetType::Long:
    case JetType::Currency:
    case JetType::Single:
    case JetType::Double:
    case JetType::DateTime:
    case JetType::Binary:
    case JetType::Text:
    case JetType::OleObject:
    case JetType::Memo:
    case JetType::ReplicationId:
    case JetType::Decimal:
      return true;
    case JetType::Complex:  // Access 2007 and later: not in a Jet 4 file
    case JetType::BigInt:
    case JetType::DateTimeExtended:
      return false;
  }
  return false;
}

WriteStatus Invalid(const std::string& message) {
  return WriteStatus::Failure(WriteError::InvalidDesign, message);
}

// Access keeps property texts of up to 255 characters.
std::string CheckPropertyText(const std::optional<std::string>& text) {
  if (!text) return {};
  const auto encoded = Utf8ToJet4Text(*text);
  if (!encoded) return "is not valid UTF-8";
  if (encoded->size() / 2 > kMaxTextCharacters) return "is longer than 255 characters";
  return {};
}

WriteStatus SizeColumn(const std::string& table, const ColumnDesign& column, ColumnSlot& slot) {
  const std::string where = "Column [" + column.name + "] of table [" + table + "]";
  if (!KnownType(column.type)) return Invalid(where + " has an unknown type");
  if (const std::string problem = CheckPropertyText(column.defaultValue); !problem.empty()) {
    return Invalid(where + ": the default value " + problem);
  }
  if (const std::string problem = CheckPropertyText(column.description); !problem.empty()) {
    return Invalid(where + ": the description " + problem);
  }
  if (column.autoNumber && column.type != JetType::Long) {
    return Invalid(where + ": only a Long column can be an AutoNumber");
  }
  slot.length = FixedSize(column.type);
  slot.fixed = slot.length != 0;
  slot.longValue = column.type == JetType::Memo || column.type == JetType::OleObject;
  switch (column.type) {
    case JetType::Text:
      if (column.size < 1 || column.size > kMaxTextCharacters) {
        return Invalid(where + ": a Text size must be 1 to 255 characters");
      }
      slot.maxCharacters = column.size;
      slot.length = static_cast<std::uint16_t>(column.size * 2);
      break;
    case JetType::Binary:
      if (column.size < 1 || column.size > kMaxBinaryBytes) {
        return Invalid(where + ": a Binary size must be 1 to 510 bytes");
      }
      slot.length = column.size;
      break;
    case JetType::Decimal:
      if (column.precision < 1 || column.precision > kMaxDecimalPrecision) {
        return Invalid(where + ": a Decimal precision must be 1 to 28");
      }
      if (column.scale > column.precision) {
        return Invalid(where + ": a Decimal scale cannot exceed its precision");
      }
      slot.precision = column.precision;
      slot.scale = column.scale;
      break;
    default:
      break;
  }
  return WriteStatus::Success();
}

}  // namespace

std::string CheckObjectName(const std::string& name) {
  const auto encoded = Utf8ToJet4Text(name);
  if (!encoded) return "is not valid UTF-8";
  if (name.empty()) return "is empty";
  if (encoded->size() / 2 > kMaxNameCharacters) return "is longer than 64 characters";
  if (name.front() == ' ') return "begins with a blank";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return "contains a control character";
    if (c == '.' || c == '!' || c == '`' || c == '[' || c == ']') {
      return std::string("contains the character ") + c;
    }
  }
  return {};
}

WriteStatus ShapeRows(const TableDesign& design, RowShape& shape) {
  if (const std::string problem = CheckObjectName(design.name); !problem.empty()) {
    return Invalid("The table name [" + design.name + "] " + problem);
  }
  if (const std::string problem = CheckPropertyText(design.description); !problem.empty()) {
    return Invalid("The description of table [" + design.name + "] " + problem);
  }
  if (design.columns.empty()) return Invalid("Table [" + design.name + "] has no columns");
  const std::size_t slots = design.columns.size() + design.deletedColumns.size();
  if (slots > kMaxColumnsPerTable) {
    return Invalid("Table [" + design.name + "] has more than 255 columns" +
                   (design.deletedColumns.empty() ? "" : ", its deleted ones counted"));
  }
  std::map<std::uint16_t, JetType> deleted;
  for (const DeletedColumnDesign& column : design.deletedColumns) {
    const std::string where = "Deleted column number " + std::to_string(column.number) +
                              " of table [" + design.name + "]";
    if (!KnownType(column.type)) return Invalid(where + " has an unknown type");
    if (column.number >= slots) return Invalid(where + " lies past the columns ever made");
    if (!deleted.emplace(column.number, column.type).second) {
      return Invalid(where + " is deleted twice");
    }
  }

  RowShape result;
  // A deleted column keeps its place in the rows: its fixed bytes or its
  // variable slot stay taken, and the columns made after it come after it.
  std::uint16_t stored = 0;
  auto passDeleted = [&] {
    for (auto found = deleted.find(stored); found != deleted.end();
         found = deleted.find(++stored)) {
      const JetType type = found->second;
      if (FixedSize(type) == 0) {
        ++result.variableCount;
      } else if (type != JetType::Boolean) {
        result.fixedAreaSize = static_cast<std::uint16_t>(result.fixedAreaSize + FixedSize(type));
      }
    }
  };
  std::set<std::string> seen;
  bool hasAutoNumber = false;
  for (const ColumnDesign& column : design.columns) {
    if (const std::string problem = CheckObjectName(column.name); !problem.empty()) {
      return Invalid("The column name [" + column.name + "] in table [" + design.name + "] " +
                     problem);
    }
    if (!seen.insert(ToLowerAscii(column.name)).second) {
      return Invalid("Table [" + design.name + "] has two columns named [" + column.name + "]");
    }
    if (column.autoNumber && hasAutoNumber) {
      return Invalid("Table [" + design.name + "] has more than one AutoNumber column");
    }
    hasAutoNumber = hasAutoNumber || column.autoNumber;

    ColumnSlot slot;
    slot.name = column.name;
    slot.type = column.type;
    slot.number = static_cast<std::uint16_t>(result.columns.size());
    passDeleted();
    slot.storedNumber = stored++;
    slot.required = column.required;
    slot.autoNumber = column.autoNumber;
    if (WriteStatus status = SizeColumn(design.name, column, slot); !status) return status;

    slot.flags = jet4::kColumnNullable;
    if (slot.fixed) slot.flags |= jet4::kColumnFixedLength;
    if (slot.autoNumber) slot.flags |= jet4::kColumnAutoLong;
    if (slot.fixed) {
      slot.variableIndex = result.variableCount;
      if (slot.type != JetType::Boolean) {
        slot.fixedOffset = result.fixedAreaSize;
        result.fixedAreaSize = static_cast<std::uint16_t>(result.fixedAreaSize + slot.length);
      }
    } else {
      slot.variableIndex = result.variableCount++;
    }
    result.columns.push_back(std::move(slot));
  }
  passDeleted();
  result.storedColumnCount = stored;
  shape = std::move(result);
  return WriteStatus::Success();
}

}  // namespace tablift::jet
