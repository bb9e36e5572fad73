#pragma once

#include <filesystem>
#include <string>

#include "data_access/session.h"

namespace tablift {

class MigrationContext;

// What BackupTable and BackupView return.
enum ObjectBackup : int {
  kObjectBackedUp = 1,     // every file of the object written whole
  kObjectIncomplete = -1,  // the definition or the rows could not be read or written whole
  kObjectFileError = -2,   // the object's definition file could not be opened
};

// The folder of a backup task: the one chosen for it (`chosen`), else the
// latest choice of the Backup command, else "backup" beside the program.
std::filesystem::path BackupFolder(MigrationContext& job, const std::string& chosen);

// The folder inside `folder` named after the database: a drive prefix and
// the path before its last component taken off, made safe as a file name.
std::filesystem::path DatabaseBackupFolder(const std::filesystem::path& folder,
                                           const std::string& database);

// A table's CREATE text into <folder>/TABLES/<table>.tbl and its rows into
// <folder>/DATA/<table>.data, read from the target session's current
// database. The files are written at the paths given and the process's
// current directory is left alone, so a migration running meanwhile keeps
// writing its cache files where it writes them.
int BackupTable(MigrationContext& job, Session* targetSession, const std::string& database,
                const std::string& table, const std::filesystem::path& folder);

// A view's definition into <folder>/VIEWS/<view>.vw as one statement,
// "create view ...", lower-cased as a whole (string literals and names
// included). When the server gives no definition holding " view " (an error
// text, no connection), nothing is written: an earlier backup of the view
// stays as it was, and the failure is logged.
int BackupView(MigrationContext& job, Session* targetSession, const std::string& database,
               const std::string& view, const std::filesystem::path& folder);

// Every table of the database into its folder
// inside the task's backup folder (`chosen`, see BackupFolder), stopping
// between tables when asked. Returns the number of tables not backed up
// whole (a stop counts the table it cut short), or -1 when the table list
// cannot be opened (a message box says why).
int BackupAllTables(MigrationContext& job, Session* targetSession, const std::string& database,
                    const std::string& chosen);
// The same for the views of the database; a list failure is logged.
int BackupAllViews(MigrationContext& job, Session* targetSession, const std::string& database,
                   const std::string& chosen);

}  // namespace tablift
