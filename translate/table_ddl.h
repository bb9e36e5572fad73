#pragma once

#include <string>
#include <string_view>

#include "core/status.h"
#include "data_access/catalog_rowsets.h"
#include "data_access/session.h"
#include "translate/default_values.h"
#include "translate/migration_settings.h"

namespace tablift {

class JobContext;

// The index that keeps an Access AutoNumber column valid in MySQL, where an
// AUTO_INCREMENT column must lead some index. The table worker adds the
// table's primary key afterwards, exactly as Access has it; this index lets
// that work whether the primary key is the AutoNumber column, a composite one,
// another column or missing.
inline constexpr std::string_view kAutoNumberKeyName = "tablift_autonumber";

// Drops the AutoNumber column's own index once the table's primary key
// starts with that column and so serves as its index; the table then keeps
// the Access primary key and nothing besides. (Sent otherwise, MySQL refuses
// it and the index stays, which is harmless.)
std::string DropAutoNumberKeyStatement(std::string_view table);

// The MySQL type of a Jet (or ODBC) type word, such as SHORT or CURRENCY, by
// a fixed table; a word the table does not name is its own MySQL type.
std::string MySqlTypeOfJetWord(std::string_view word);

// " ENGINE=MyISAM " when the engine text contains "MyISAM", else
// " ENGINE=InnoDB ".
std::string EngineClause(std::string_view storageEngine);
// Whether tables of the storage engine chosen for the target are InnoDB
// tables (every engine but MyISAM is taken to mean InnoDB).
bool IsInnoDb(std::string_view storageEngine);

// " DEFAULT CHARSET=<charset>\n" for servers newer than 4.0, else "\n".
std::string CharsetClause(double serverVersion, std::string_view charset);

// Whether the column is an AutoNumber (a Long the engine numbers), which
// becomes an AUTO_INCREMENT column.
bool IsAutoNumber(const ColumnRow& column, bool jetRules);

// The MySQL type of one Access column, from its catalog row. The Jet (or
// ODBC) type word goes through MySqlTypeOfJetWord; on top of that every column keeps its values
// whole: Double becomes DOUBLE, Byte TINYINT UNSIGNED, Decimal DECIMAL(p,s), Text(n) VARCHAR(n)
// whether required or not, Memo LONGTEXT and OLE Object LONGBLOB whether required or not, Binary(n)
// VARBINARY(510), AutoNumber INT AUTO_INCREMENT, Large Number BIGINT, Date/Time Extended (a
// timestamp with a fraction precision) DATETIME(6).
std::string MySqlColumnType(const ColumnRow& column, bool jetRules);

// What a default value of the column must fit (see TranslateDefaultValue).
DefaultTarget DefaultTargetOf(const ColumnRow& column, bool jetRules, double serverVersion);

// The MySQL CREATE TABLE statement for one Access table of the source
// session: the table and column names quoted with backquotes, each column's
// MySQL type, its default translated (a default MySQL cannot take is left out
// with a log line naming table and column), NULL or NOT NULL (nullable text
// columns that would overflow MySQL's row size become TEXT, see FitRowSize),
// an index on the
// AutoNumber column (kAutoNumberKeyName), then the engine clause of the
// settings' storage engine and the character set clause for the target
// server's version and the settings' character set. A failure without a
// session ("No Connection!", also logged), or for a table whose columns
// cannot be read or that lists none (after an E:: line naming the table, in
// `databaseName`, and the provider's reason): there is no statement to send.
Result<std::string> TranslateTableDdl(JobContext& job, Session* session,
                                      const MigrationSettings& settings, std::string databaseName,
                                      std::string tableName);

}  // namespace tablift
