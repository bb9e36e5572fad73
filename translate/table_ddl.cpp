#include "translate/table_ddl.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "access/access_table_details.h"
#include "access/source_init_properties.h"
#include "access/table_columns.h"
#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/db_types.h"
#include "mysql/server_version.h"
#include "mysql/sql_literals.h"
#include "translate/mysql_names.h"
#include "translate/row_size.h"

namespace tablift {
namespace {

// Access Currency: 15 digits before the point and 4 after.
constexpr std::string_view kCurrencyType = "DECIMAL(19,4)";
constexpr std::pair<int, int> kCurrencyShape{19, 4};

// The Jet and ODBC type words whose MySQL type differs from the word itself.
constexpr std::pair<std::string_view, std::string_view> kJetWords[] = {
    {"LONGBINARY", "LONGBLOB"},  {"BINARY", "VARBINARY(510)"},
    {"CURRENCY", kCurrencyType}, {"GUID", "char(48)"},
    {"NUMERIC", "FLOAT"},        {"SINGLE", "REAL"},
    {"BYTE", "TINYINT"},         {"SHORT", "SMALLINT"},
    {"LONG", "INTEGER"},         {"VARBINARY", "VARBINARY(510)"},
};

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string TypeWord(const ColumnRow& column, bool jetRules) {
  return jetRules
             ? JetTypeText(column.columnFlags, column.dataType, column.characterMaximumLength)
             : OdbcTypeText(column.columnFlags, column.dataType, column.characterMaximumLength);
}

bool IsLong(const ColumnRow& column) {
  return (column.columnFlags & DBCOLUMNFLAGS_ISLONG) != 0;
}

// Access Decimal holds up to 28 digits; DECIMAL keeps every one of them,
// where the text column of Currency (24 characters) would cut the widest.
std::pair<int, int> DecimalShape(const ColumnRow& column) {
  const int precision =
      column.numericPrecision >= 1 && column.numericPrecision <= 65 ? column.numericPrecision : 18;
  const int scale = std::clamp<int>(column.numericScale, 0, std::min(precision, 30));
  return {precision, scale};
}

std::uint32_t TextLength(const ColumnRow& column) {
  return column.characterMaximumLength == 0 ? 512 : column.characterMaximumLength;
}

}  // namespace

bool IsAutoNumber(const ColumnRow& column, bool jetRules) {
  return TypeWord(column, jetRules) == "COUNTER";
}

std::string DropAutoNumberKeyStatement(std::string_view table) {
  return "alter table " + QuoteIdentifier(table) + " drop key " +
         QuoteIdentifier(kAutoNumberKeyName);
}

std::string MySqlTypeOfJetWord(std::string_view word) {
  for (const auto& [jet, mysql] : kJetWords) {
    if (word == jet) return std::string(mysql);
  }
  return std::string(word);
}

// Every engine other than MyISAM makes an InnoDB table.
bool IsInnoDb(std::string_view storageEngine) {
  return storageEngine.find("MyISAM") == std::string_view::npos;
}

std::string EngineClause(std::string_view storageEngine) {
  return IsInnoDb(storageEngine) ? " ENGINE=InnoDB " : " ENGINE=MyISAM ";
}

std::string CharsetClause(double serverVersion, std::string_view charset) {
  if (serverVersion > 4.0) return " DEFAULT CHARSET=" + std::string(charset) + "\n";
  return "\n";
}

std::string MySqlColumnType(const ColumnRow& column, bool jetRules) {
  const std::string word = TypeWord(column, jetRules);
  // An AutoNumber column is an auto-increment integer wherever it stands; it
  // becomes no primary key here (the table gets exactly Access's primary key
  // later) but leads an index of its own, which MySQL requires.
  if (word == "COUNTER") return "INT AUTO_INCREMENT";
  switch (column.dataType) {
    case DBTYPE_R8:  // FLOAT would keep about 7 of a Double's 15 digits
      return "DOUBLE";
    case DBTYPE_UI1:  // Access Byte runs from 0 to 255
      return "TINYINT UNSIGNED";
    case DBTYPE_I8:  // Large Number: 64 bits
      return "BIGINT";
    case DBTYPE_DBTIMESTAMP:
      // Date/Time Extended counts 100 ns (seven digits); MySQL keeps six, and
      // the row transfer says when a seventh that is not 0 is dropped.
      return column.datetimePrecision > 0 ? "DATETIME(6)" : "DATETIME";
    case DBTYPE_NUMERIC: {
      const auto [precision, scale] = DecimalShape(column);
      return "DECIMAL(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
    }
    case DBTYPE_CY:
      // Currency is a number of four decimals: as text it would sort, compare
      // and take MIN and MAX as text in every query that reads it.
      return std::string(kCurrencyType);
    case DBTYPE_WSTR:
      // A required Memo would otherwise become VARCHAR(512) and cut longer
      // texts; a nullable Text(n) TEXT, which cannot carry a key.
      if (IsLong(column)) return "LONGTEXT";
      return "VARCHAR(" + std::to_string(TextLength(column)) + ")";
    case DBTYPE_BYTES:
      // A required OLE Object would otherwise become VARBINARY(512), and a
      // required Binary(n) CHAR(n), which drops trailing blanks (0x20 bytes).
      if (IsLong(column)) return "LONGBLOB";
      return "VARBINARY(" +
             std::to_string(std::max<std::uint32_t>(510, column.characterMaximumLength)) + ")";
    default:
      break;
  }
  return MySqlTypeOfJetWord(Trimmed(word));
}

DefaultTarget DefaultTargetOf(const ColumnRow& column, bool jetRules, double serverVersion) {
  DefaultTarget target;
  if (IsAutoNumber(column, jetRules)) return target;
  using Kind = DefaultTarget::Kind;
  auto integer = [&](std::int64_t minimum, std::int64_t maximum) {
    target.kind = Kind::Integer;
    target.minimum = minimum;
    target.maximum = maximum;
  };
  switch (column.dataType) {
    case DBTYPE_BOOL:
      target.kind = Kind::Bit;
      break;
    case DBTYPE_UI1:
      integer(0, 255);
      break;
    case DBTYPE_I1:
      integer(-128, 127);
      break;
    case DBTYPE_I2:
      integer(std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
      break;
    case DBTYPE_I4:
      integer(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
      break;
    case DBTYPE_I8:
      integer(std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max());
      break;
    case DBTYPE_R4:
    case DBTYPE_R8:
      target.kind = Kind::Real;
      break;
    case DBTYPE_NUMERIC: {
      target.kind = Kind::Decimal;
      std::tie(target.precision, target.scale) = DecimalShape(column);
      break;
    }
    case DBTYPE_CY:
      target.kind = Kind::Decimal;
      std::tie(target.precision, target.scale) = kCurrencyShape;
      break;
    case DBTYPE_DATE:
    case DBTYPE_DBTIMESTAMP:
      target.kind = Kind::DateTime;
      // An unknown version (0) is taken for a current server.
      target.currentTimestamp = serverVersion == 0.0 || serverVersion >= 5.6;
      break;
    case DBTYPE_WSTR:
      if (!IsLong(column)) {
        target.kind = Kind::Text;
        target.maxCharacters = TextLength(column);
      }
      break;
    default:
      break;
  }
  return target;
}

Result<std::string> TranslateTableDdl(JobContext& job, Session* session,
                                      const MigrationSettings& settings, std::string databaseName,
                                      std::string tableName) {
  if (session == nullptr) {
    WriteLine(job, "No Connection!");
    return Status::Failure("No Connection!");
  }
  const double version = settings.serverVersion;
  const bool jetRules = settings.jetSource;

  std::vector<ColumnRow> columns;
  std::string problem;
  if (!ReadTableColumns(*session, tableName, columns, &problem) || columns.empty()) {
    // A table without columns is no statement the server takes; the reason
    // belongs in the log, and the migration goes on with the next table.
    if (problem.empty()) problem = "the source lists no column of it";
    WriteLine(job, "E::TABLE: [%s].[%s] cannot be created, its columns cannot be read: %s",
              databaseName.c_str(), tableName.c_str(), problem.c_str());
    return Status::Failure("its columns cannot be read: " + problem);
  }
  // A complex column's values become a table of their own (see
  // complex_table_ddl.h); its key into Access's hidden table means nothing
  // in MySQL.
  const std::set<std::string> complex = ComplexColumnNames(*session, tableName);
  std::erase_if(columns, [&](const ColumnRow& column) { return complex.count(column.columnName); });
  std::vector<std::string> types;
  std::vector<bool> nullable;
  for (const ColumnRow& column : columns) {
    types.push_back(MySqlColumnType(column, jetRules));
    nullable.push_back(column.isNullable);
  }
  std::vector<bool> movedOffRow(columns.size(), false);
  const bool innoDb = IsInnoDb(settings.storageEngine);
  for (std::size_t i : FitRowSize(types, nullable, settings.charset, innoDb))
    movedOffRow[i] = true;

  const NameRule rule = settings.nameRule;
  std::string statement = "CREATE TABLE " + QuoteIdentifier(MySqlName(tableName, rule)) + "(\n";
  std::string autoNumberColumn;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnRow& column = columns[i];
    if (i > 0) statement += ",\n";
    const std::string name = MySqlName(column.columnName, rule);
    statement += QuoteIdentifier(name) + " " + types[i] + " ";
    if (IsAutoNumber(column, jetRules) && autoNumberColumn.empty()) autoNumberColumn = name;
    if (column.columnHasDefault) {
      // A TEXT column takes no default on MySQL before 8.0.13.
      const DefaultTarget target =
          movedOffRow[i] ? DefaultTarget{} : DefaultTargetOf(column, jetRules, version);
      const TranslatedDefault translated = TranslateDefaultValue(column.columnDefault, target);
      if (translated.dropped) {
        WriteLine(job, "Default value [%s] of column [%s].[%s] left out: MySQL cannot take it",
                  column.columnDefault.c_str(), tableName.c_str(), column.columnName.c_str());
      } else if (!translated.value.empty()) {
        statement += "default " + translated.value + " ";
      }
    }
    statement += column.isNullable ? "NULL " : "NOT NULL ";
  }
  if (!autoNumberColumn.empty()) {
    statement += ",\nKEY " + QuoteIdentifier(kAutoNumberKeyName) + " (" +
                 QuoteIdentifier(autoNumberColumn) + ")";
  }
  statement += ")";
  statement += EngineClause(settings.storageEngine);
  statement += CharsetClause(version, settings.charset);
  return statement;
}

}  // namespace tablift
