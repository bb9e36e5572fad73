#include "translate/complex_table_shape.h"

#include "data_access/jet/column_types.h"

namespace tablift {
namespace {

// Multi-value Text columns keep Access's usual 255 characters.
constexpr std::uint32_t kTextLength = 255;

ComplexValueColumn Column(std::string name, jet::JetType type) {
  ComplexValueColumn column;
  column.name = std::move(name);
  column.type = type;
  const jet::OleDbColumnType described = jet::DescribeColumnType(
      type, type == jet::JetType::Text ? kTextLength : 0, 28, 10, false, false);
  column.row.columnName = column.name;
  column.row.dataType = described.dataType;
  column.row.columnFlags = described.flags;
  column.row.isNullable = true;
  column.row.characterMaximumLength = described.characterMaximumLength.value_or(0);
  column.row.numericPrecision = described.numericPrecision.value_or(0);
  column.row.numericScale = described.numericScale.value_or(0);
  column.row.datetimePrecision = described.datetimePrecision.value_or(0);
  return column;
}

jet::Value Optional(const std::optional<std::string>& text) {
  if (!text) return jet::Null{};
  return *text;
}

jet::Value Optional(const std::optional<jet::DateTime>& date) {
  if (!date) return jet::Null{};
  return *date;
}

}  // namespace

std::vector<ComplexValueColumn> ComplexValueColumns(const jet::ColumnDefinition& column) {
  using jet::JetType;
  switch (column.complexKind) {
    case jet::ComplexKind::Attachment:
      return {Column("FileName", JetType::Text),          Column("FileType", JetType::Text),
              Column("FileData", JetType::OleObject),     Column("FileURL", JetType::Memo),
              Column("FileTimeStamp", JetType::DateTime), Column("FileFlags", JetType::BigInt)};
    case jet::ComplexKind::MultiValue:
      return {Column("Value", column.complexValueType)};
    case jet::ComplexKind::VersionHistory:
      return {Column("Value", JetType::Memo), Column("Modified", JetType::DateTime)};
    case jet::ComplexKind::None:
      break;
  }
  return {};
}

std::vector<jet::Value> ComplexRowValues(jet::ComplexKind kind, const jet::ComplexValue& value) {
  switch (kind) {
    case jet::ComplexKind::Attachment: {
      jet::Value flags = jet::Null{};
      if (value.fileFlags) flags = *value.fileFlags;
      return {value.fileName,
              value.fileType,
              value.fileData,
              Optional(value.fileUrl),
              Optional(value.fileTimeStamp),
              flags};
    }
    case jet::ComplexKind::MultiValue:
      return {value.value};
    case jet::ComplexKind::VersionHistory:
      return {value.value, Optional(value.modified)};
    case jet::ComplexKind::None:
      break;
  }
  return {};
}

std::string ComplexTableAccessName(const std::string& parentTable,
                                   const jet::ColumnDefinition& column) {
  const bool history =
      column.complexKind == jet::ComplexKind::VersionHistory && !column.versionedColumn.empty();
  return parentTable + "_" + (history ? column.versionedColumn : column.name);
}

}  // namespace tablift
