#include "access/table_columns.h"

#include <algorithm>

#include "access/source_init_properties.h"
#include "data_access/db_types.h"
#include "data_access/error_texts.h"

namespace tablift {
namespace {

// The column flag values the type rules are keyed on, compared as whole
// values.
enum JetRule : std::uint32_t {
  kJetLongNullable = 234,      // 0xEA
  kJetFixedRequired = 90,      // 0x5A
  kJetFixedNullable = 122,     // 0x7A
  kJetAutoNumber = 24,         // 0x18
  kJetVariableNullable = 106,  // 0x6A
  kJetLongRequired = 202,      // 0xCA
  kJetVariableRequired = 74,   // 0x4A
};

enum OdbcRule : std::uint32_t {
  kOdbcLong = 232,   // 0xE8
  kOdbcFixed = 120,  // 0x78
  kOdbcAutoNumber = 24,
  kOdbcVariable = 104,  // 0x68
};

constexpr std::uint32_t kDefaultLength = 512;

std::string WithLength(const char* name, std::uint32_t length) {
  return std::string(name) + "(" + std::to_string(length) + ") ";
}

}  // namespace

std::string JetTypeText(std::uint32_t flags, std::uint16_t type, std::uint32_t maxLength) {
  const std::uint32_t n = maxLength == 0 ? kDefaultLength : maxLength;
  // Each rule either names the type or hands it on to the next rule of the
  // chain 234 -> 90 -> 24 -> 106 -> 202 -> 74.
  switch (flags) {
    case kJetLongNullable:
      if (type == DBTYPE_BYTES) return "LONGBINARY";
      if (type == DBTYPE_WSTR) return "LONGTEXT";
      [[fallthrough]];
    case kJetFixedRequired:
    case kJetFixedNullable:
      switch (type) {
        case DBTYPE_I2:
          return "SHORT";
        case DBTYPE_I4:
          return "LONG";
        case DBTYPE_R4:
          return "SINGLE";
        case DBTYPE_R8:
          return "NUMERIC";
        case DBTYPE_CY:
        case DBTYPE_NUMERIC:
          return "CURRENCY";
        case DBTYPE_DATE:
          return "DATETIME";
        case DBTYPE_UI1:
          return "BYTE";
        case DBTYPE_GUID:
          return "GUID";
        default:
          break;
      }
      [[fallthrough]];
    case kJetAutoNumber:
      if (type == DBTYPE_I4) return "COUNTER";
      if (type == DBTYPE_BOOL) return "BIT";
      [[fallthrough]];
    case kJetVariableNullable:
      if (type == DBTYPE_BYTES) return "BINARY";
      if (type == DBTYPE_WSTR) return "TEXT";
      [[fallthrough]];
    case kJetLongRequired:
      if (type == DBTYPE_BYTES) return WithLength("VARBINARY", n);
      [[fallthrough]];
    case kJetVariableRequired:
      if (type == DBTYPE_BYTES) return WithLength("CHAR", n);
      if (type == DBTYPE_WSTR) return WithLength("VARCHAR", n);
      return "USERDEFINE";
    default:
      return "USERDEFINE";
  }
}

std::string OdbcTypeText(std::uint32_t flags, std::uint16_t type, std::uint32_t maxLength) {
  const std::string suffix = maxLength == 0 ? "(512)" : "(" + std::to_string(maxLength) + ")";
  // The chain 232 -> 120 -> 24 -> 104.
  switch (flags) {
    case kOdbcLong:
      if (type == DBTYPE_BYTES) return "LONGBINARY";
      if (type == DBTYPE_WSTR) return "LONGTEXT";
      [[fallthrough]];
    case kOdbcFixed:
      switch (type) {
        case DBTYPE_BYTES:
          return "BINARY";
        case DBTYPE_I2:
          return "SHORT";
        case DBTYPE_I4:
          return "LONG";
        case DBTYPE_R4:
          return "SINGLE";
        case DBTYPE_R8:
          return "NUMERIC";
        case DBTYPE_I1:
          return "BYTE";
        case DBTYPE_GUID:
          return "GUID";
        case DBTYPE_NUMERIC:
          return "CURRENCY";
        case DBTYPE_DBTIMESTAMP:
          return "DATETIME";
        default:
          break;
      }
      [[fallthrough]];
    case kOdbcAutoNumber:
      if (type == DBTYPE_I4) return "COUNTER";
      if (type == DBTYPE_BOOL) return "BIT";
      [[fallthrough]];
    case kOdbcVariable:
      if (type == DBTYPE_BYTES) return "VARBINARY" + suffix;
      if (type == DBTYPE_WSTR) return "CHAR" + suffix;
      return "USERDEFINE";
    default:
      return "USERDEFINE";
  }
}

bool ReadTableColumns(Session& session, const std::string& tableName,
                      std::vector<ColumnRow>& columns, std::string* problem) {
  columns.clear();
  ColumnsRowset rowset;
  if (Failed(rowset.open(session, "", "", tableName, ""))) {
    if (problem != nullptr) *problem = DescribeOleDbError(&rowset, InterfaceId::IDBSchemaRowset);
    return false;
  }
  while (rowset.moveNext() == S_OK) {
    columns.push_back(rowset.row());
  }
  rowset.close();
  std::stable_sort(columns.begin(), columns.end(), [](const ColumnRow& a, const ColumnRow& b) {
    return a.ordinalPosition < b.ordinalPosition;
  });
  return true;
}

}  // namespace tablift
