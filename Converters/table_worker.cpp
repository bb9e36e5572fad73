#include "Converters/table_worker.h"

#include <vector>

#include "Converters/cache_file.h"
#include "Converters/execute_statement.h"
#include "Converters/object_workers.h"
#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/safe_file_name.h"
#include "source_access/key_statements.h"
#include "source_access/mysql_names.h"
#include "source_access/row_transfer.h"
#include "source_access/source_tables.h"
#include "source_access/table_ddl.h"
#include "target_mysql/statement_pieces.h"

namespace tablift {
namespace {

constexpr std::string_view kNoSession = "FALSE";

// Adds the primary key; false when the table has one that did not arrive.
bool MigratePrimaryKey(Workbench& window, Session* sourceSession, const std::string& database,
                       const std::string& table, const std::string& cacheFile,
                       const std::string& createStatement) {
  WritePlainLine(window, "Primary Keys Migrating..... ");
  const std::string statement =
      BuildPrimaryKeyStatement(window, sourceSession, window.targetSession(), database, table);
  if (statement.empty()) {
    WritePlainLine(window, "NO PRIMARY KEY(S)!");
    return true;
  }
  if (statement == kNoSession) return false;
  AppendCacheFile(cacheFile, statement);
  if (!ExecuteStatement(window, window.targetSession(), statement, 1)) {
    WriteLine(window, "E::Create PK failure!");
    return false;
  }
  WritePlainLine(window, "Create PRIMARY KEY SUCCESSFULLY!!!");
  // The AutoNumber column's own index is redundant once the primary key
  // leads with it; the server refuses the drop otherwise, which is harmless.
  if (createStatement.find(kAutoNumberKeyName) != std::string::npos) {
    ExecuteStatement(window, window.targetSession(),
                     DropAutoNumberKeyStatement(MySqlName(table, window.nameRule())), 0);
  }
  return true;
}

// Adds the unique indexes; false when one did not arrive.
bool MigrateUniqueIndexes(Workbench& window, Session* sourceSession, const std::string& database,
                          const std::string& table, const std::string& cacheFile) {
  WritePlainLine(window, "Unique Keys Migrating..... ");
  const std::string text =
      BuildUniqueIndexStatement(window, sourceSession, window.targetSession(), database, table);
  if (text.empty()) {
    WritePlainLine(window, "NO Index(es)!");
    return true;
  }
  if (text == kNoSession) return false;
  AppendCacheFile(cacheFile, text);
  bool all = true;
  for (const std::string& statement : SplitStatements(text)) {
    std::string failure;
    if (ExecuteStatement(window, window.targetSession(), statement, 0, &failure)) {
      WritePlainLine(window, "Create Index SUCCESSFULLY!!!");
    } else {
      // A unique constraint that did not arrive is worth its reason, right
      // before the line that says so.
      if (!failure.empty()) WriteLine(window, "T::%s", failure.c_str());
      WritePlainLine(window, "Create Index failure!");
      all = false;
    }
  }
  return all;
}

}  // namespace

int MigrateTable(Workbench& window, Session* sourceSession, std::string database,
                 std::string table) {
  const std::string cacheFile = SafeFileName(table);
  if (!RewriteCacheFile(cacheFile, {})) {
    WriteCacheFileFailure(window);
    return kTableCacheFileError;
  }
  WriteLine(window, "TABLE: [%s].[%s] Migrating..... ", database.c_str(), table.c_str());
  const std::string create = TranslateTableDdl(window, sourceSession, database, table);
  if (create.empty()) return kTableNotCreated;  // the reason is logged
  RewriteCacheFile(cacheFile, create);
  if (!ExecuteStatement(window, window.targetSession(), create, 1)) {
    WriteLine(window, "E::TABLE: Create [%s].[%s] ERROR !", database.c_str(), table.c_str());
    return kTableNotCreated;
  }
  WriteLine(window, "Create table [%s] SUCCESSFULLY!!!", table.c_str());

  bool whole = MigratePrimaryKey(window, sourceSession, database, table, cacheFile, create);
  whole = MigrateUniqueIndexes(window, sourceSession, database, table, cacheFile) && whole;
  const std::string rows =
      TransferRows(window, sourceSession, window.targetSession(), database, table);
  whole = rows == kRowsTransferred && whole;
  return whole ? kTableMigrated : kTableIncomplete;
}

int MigrateAllTables(Workbench& window, Session* sourceSession, std::string database) {
  WriteLine(window, "Convert Tables of database [%s]", database.c_str());
  std::vector<std::string> tables;
  std::vector<std::string> temporary;
  const HResult opened =
      sourceSession == nullptr ? E_FAIL : ListSourceTables(*sourceSession, tables, &temporary);
  if (Failed(opened)) {
    WritePlainLine(window, DescribeStepFailure(opened, "Open tables Error: "));
    return -1;
  }
  for (const std::string& table : temporary)
    WriteLine(window, "Table [%s] left out: a temporary table Access left behind", table.c_str());
  int incomplete = 0;
  for (const std::string& table : tables) {
    if (MigrateTable(window, sourceSession, database, table) != kTableMigrated) ++incomplete;
    if (window.runFlag().load() == kRunStopRequested) {
      WriteLine(window, "Tables Converting Terminated!");
      break;
    }
  }
  if (MigrateRelationships(window, sourceSession, database) != 0) ++incomplete;
  return incomplete;
}

}  // namespace tablift
