#include "migration/backup_workers.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/write_line.h"
#include "data_access/ascii_text.h"
#include "data_access/error_texts.h"
#include "data_access/object_names.h"
#include "data_access/provider_calls.h"
#include "data_access/regex_service.h"
#include "data_access/safe_file_name.h"
#include "data_access/working_directories.h"
#include "migration/cache_file.h"
#include "migration/migration_context.h"
#include "mysql/catalog_statements.h"
#include "mysql/data_backup.h"
#include "mysql/script_header.h"

namespace fs = std::filesystem;

namespace tablift {
namespace {

// Writes an object's definition file; on failure the user learns which file
// and why, after the line the workers have always written.
bool WriteDefinitionFile(MigrationContext& job, const fs::path& file, std::string_view text) {
  if (RewriteCacheFile(file.string(), text)) return true;
  const std::string reason = std::strerror(errno);
  WriteCacheFileFailure(job);
  WriteLine(job, "E::Can not write [%s]: %s", file.c_str(), reason.c_str());
  return false;
}

void WriteDefinitionFailure(MigrationContext& job, const char* kind, const std::string& database,
                            const std::string& name, const std::string& failure) {
  WriteLine(job, "E::No definition of %s [%s].[%s] to back up: %s", kind, database.c_str(),
            name.c_str(), failure.c_str());
}

// Backs up each object in turn, stopping between objects when asked. The
// objects a stop leaves out count as not backed up.
template <typename BackupOne>
int BackupEach(MigrationContext& job, const std::vector<std::string>& names, const char* stopLine,
               BackupOne backupOne) {
  int failed = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (backupOne(names[i]) != kObjectBackedUp) ++failed;
    if (job.stopRequested()) {
      WriteLine(job, "%s", stopLine);
      return failed + static_cast<int>(names.size() - i - 1);
    }
  }
  return failed;
}

}  // namespace

fs::path BackupFolder(MigrationContext& job, const std::string& chosen) {
  if (!chosen.empty()) return chosen;
  if (fs::path latest = job.migrationSettings().backupFolder; !latest.empty()) return latest;
  return ProgramDirectory() / "backup";
}

fs::path DatabaseBackupFolder(const fs::path& folder, const std::string& database) {
  const std::string withoutDrive = ReplaceAll(database, "[a-zA-Z]:[\\\\|/]", "");
  return folder / SafeFileName(StripDatabasePath(withoutDrive));
}

int BackupTable(MigrationContext& job, Session* targetSession, const std::string& database,
                const std::string& table, const fs::path& folder) {
  const fs::path tables = folder / "TABLES";
  if (!MakeDirectory(tables)) {
    WriteCacheFileFailure(job);
    return kObjectFileError;
  }
  std::string failure;
  const std::string definition = ShowCreateTable(job, targetSession, table, &failure);
  if (!failure.empty()) {
    WriteDefinitionFailure(job, "table", database, table, failure);
    return kObjectIncomplete;
  }
  if (!WriteDefinitionFile(job, tables / (SafeFileName(table) + ".tbl"),
                           std::string(kScriptCharsetLine) + definition)) {
    return kObjectFileError;
  }
  const fs::path data = folder / "DATA";
  if (!MakeDirectory(data)) return kObjectIncomplete;
  const DataBackup rows = BackupTableData(job, targetSession, table, data);
  return rows == BackupOutcome::Written ? kObjectBackedUp : kObjectIncomplete;
}

int BackupView(MigrationContext& job, Session* targetSession, const std::string& database,
               const std::string& view, const fs::path& folder) {
  const fs::path views = folder / "VIEWS";
  if (!MakeDirectory(views)) {
    WriteCacheFileFailure(job);
    return kObjectFileError;
  }
  WriteLine(job, "Backup View [%s].[%s]", database.c_str(), view.c_str());
  std::string failure;
  const std::string definition = ShowCreateView(job, targetSession, view, &failure);
  // The server's text from " VIEW " on, without its ALGORITHM, DEFINER and
  // SQL SECURITY clauses, so that it replays under any account. Its letter
  // case stays: string literals are data, and table names differ by case on
  // most servers outside Windows.
  const std::string lowered = ToLowerAscii(definition);
  const std::size_t start = lowered.find(" view ");
  if (!failure.empty() || start == std::string::npos) {
    WriteDefinitionFailure(job, "view", database, view, failure.empty() ? definition : failure);
    return kObjectIncomplete;
  }
  if (lowered.find("create view") != std::string::npos) {
    WriteLine(job, "RESULT: The operation completed SUCCESSFULLY");
  }
  const std::string statement =
      std::string(kScriptCharsetLine) + "CREATE" + definition.substr(start) + "\n";
  if (!WriteDefinitionFile(job, views / (SafeFileName(view) + ".vw"), statement)) {
    return kObjectFileError;
  }
  return kObjectBackedUp;
}

int BackupAllTables(MigrationContext& job, Session* targetSession, const std::string& database,
                    const std::string& chosen) {
  WriteLine(job, "Backup Tables of database [%s]", database.c_str());
  const fs::path folder = DatabaseBackupFolder(BackupFolder(job, chosen), database);
  const Result<std::vector<std::string>> listed = ObjectNames(
      targetSession, StripDatabasePath(database), ObjectKind::Table, "Open tables Error: ");
  if (!listed.ok()) {
    job.prompter().showMessage(listed.message(), MessageIcon::Error);
    return -1;
  }
  const std::vector<std::string>& tables = listed.value();
  return BackupEach(job, tables, "Tables Backup Terminated!", [&](const std::string& table) {
    return BackupTable(job, targetSession, database, table, folder);
  });
}

int BackupAllViews(MigrationContext& job, Session* targetSession, const std::string& database,
                   const std::string& chosen) {
  WriteLine(job, "Backup Views of database [%s]", database.c_str());
  const fs::path folder = DatabaseBackupFolder(BackupFolder(job, chosen), database);
  const Result<std::vector<std::string>> listed = ObjectNames(
      targetSession, StripDatabasePath(database), ObjectKind::View, "Open views Error: ");
  if (!listed.ok()) {
    WritePlainLine(job, listed.message());
    return -1;
  }
  const std::vector<std::string>& views = listed.value();
  return BackupEach(job, views, "Views Backup Terminated!", [&](const std::string& view) {
    return BackupView(job, targetSession, database, view, folder);
  });
}

}  // namespace tablift
