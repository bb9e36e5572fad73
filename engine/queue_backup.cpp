#include "engine/queue_backup.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "data_access/working_directories.h"
#include "engine/command_refusal.h"
#include "engine/main_controller.h"
#include "engine/requests.h"
#include "engine/workbench.h"

namespace fs = std::filesystem;

namespace tablift {
namespace {

struct Record {
  TaskType type;
  MigrationTask::Names names;
};

// The task record of a backup request.
Record RecordFor(const BackupRequest& request) {
  const char* scope = request.scope == ObjectScope::Database ? "A"
                      : request.scope == ObjectScope::Tables || request.scope == ObjectScope::Table
                          ? "T"
                          : "V";
  MigrationTask::Names names{.backupScope = scope, .targetDatabase = request.database};
  if (!IsSingleObject(request.scope)) return Record{BackupDatabase, std::move(names)};
  names.targetObject = request.object;
  return Record{BackupObject, std::move(names)};
}

bool RefuseWithoutTarget(Workbench& window) {
  if (window.targetSession() != nullptr) return false;
  RefuseCommand(window.prompter(), "Please confirm your target Database connected SUCCESSFULLY!",
                "No Target DataSource Connection!");
  return true;
}

// The folder the backup writes into, kept as the latest choice and made to
// exist; nothing when it cannot be made.
std::optional<std::string> PrepareFolder(Workbench& window, const std::string& chosen) {
  const std::string directory = BackupDirectoryFor(chosen);
  window.setBackupDirectory(directory);
  if (!MakeDirectory(directory)) return std::nullopt;
  return directory;
}

}  // namespace

std::string BackupDirectoryFor(const std::string& chosen) {
  std::string generic = chosen;
  for (char& c : generic) {
    if (c == '\\') c = '/';
  }
  // A root is a path whose every character after an optional drive letter is
  // a separator: "/", "//", "C:\", "C:/".
  std::size_t at = generic.size() >= 2 && generic[1] == ':' ? 2 : 0;
  const bool root = at < generic.size() && generic.find_first_not_of('/', at) == std::string::npos;
  return root ? chosen + "Backup.Script" : chosen;
}

TaskPtr QueueBackup(Workbench& window, const BackupRequest& request) {
  if (RefuseWithoutTarget(window)) return nullptr;
  const std::optional<std::string> directory = PrepareFolder(window, request.folder);
  if (!directory) return nullptr;
  Record record = RecordFor(request);
  record.names.targetDbms = window.targetConnection().dbmsName();
  record.names.backupDirectory = *directory;
  auto task = std::make_shared<MigrationTask>(record.type, std::move(record.names));
  window.tasks().append(task);
  StartController(window);
  return task;
}

TaskPtr BackupCommand(Workbench& window) {
  Prompter& prompter = window.prompter();
  if (RefuseWithoutTarget(window)) return nullptr;
  const fs::path programBackup = ProgramDirectory() / "backup";
  MakeDirectory(programBackup);  // a failure is told by the operation itself

  const CatalogSelection node = window.targetTree().selection();
  if (node.empty()) {
    RefuseCommand(prompter, "Please select a Object in Target Databases Tree to backup!",
                  "No selected Objects to backup!");
    StartController(window);
    return nullptr;
  }

  const fs::path latest = window.backupDirectory();
  const std::optional<std::string> chosen = prompter.chooseFolder(
      "Please choose your backup directory:", (latest.empty() ? programBackup : latest).string());
  if (!chosen || chosen->empty()) return nullptr;

  const std::optional<ObjectScope> scope = ScopeOfNode(node.kind());
  if (!scope) {
    // The root, fields, indexes and their folders are no backup; the folder
    // chosen is still the latest choice.
    PrepareFolder(window, *chosen);
    StartController(window);
    return nullptr;
  }
  BackupRequest request{
      .scope = *scope, .database = node.nearest(NodeKind::Database), .folder = *chosen};
  if (*scope == ObjectScope::Database) request.database = node.text();
  if (IsSingleObject(*scope)) request.object = node.text();
  return QueueBackup(window, request);
}

}  // namespace tablift
