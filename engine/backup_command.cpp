#include "engine/backup_command.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "data_access/working_directories.h"
#include "engine/command_refusal.h"
#include "engine/main_controller.h"
#include "engine/workbench.h"

namespace fs = std::filesystem;

namespace tablift {
namespace {

struct Record {
  TaskType type;
  MigrationTask::Names names;
};

// The record for the selected target node; none for a node that cannot be
// backed up (the root, fields, indexes and their folders).
std::optional<Record> RecordFor(const CatalogSelection& node) {
  const std::string database = node.nearest(kImageDatabase);
  switch (node.image()) {
    case kImageDatabase:
      return Record{BackupDatabase, {.backupScope = "A", .targetDatabase = node.text()}};
    case kImageTablesFolder:
      return Record{BackupDatabase, {.backupScope = "T", .targetDatabase = database}};
    case kImageViewsFolder:
      return Record{BackupDatabase, {.backupScope = "V", .targetDatabase = database}};
    case kImageTable:
      return Record{BackupObject,
                    {.backupScope = "T", .targetObject = node.text(), .targetDatabase = database}};
    case kImageView:
      return Record{BackupObject,
                    {.backupScope = "V", .targetObject = node.text(), .targetDatabase = database}};
    default:
      return std::nullopt;
  }
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

TaskPtr BackupCommand(Workbench& window) {
  Prompter& prompter = window.prompter();
  if (window.targetSession() == nullptr) {
    RefuseCommand(prompter, "Please confirm your target Database connected SUCCESSFULLY!",
                  "No Target DataSource Connection!");
    return nullptr;
  }
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
      "Please choise your backup directory:", (latest.empty() ? programBackup : latest).string());
  if (!chosen || chosen->empty()) return nullptr;
  const std::string directory = BackupDirectoryFor(*chosen);
  window.setBackupDirectory(directory);
  if (!MakeDirectory(directory)) return nullptr;

  std::optional<Record> record = RecordFor(node);
  if (!record) {
    StartController(window);
    return nullptr;
  }
  record->names.targetDbms = window.targetConnection().dbmsName();
  record->names.backupDirectory = directory;
  auto task = std::make_shared<MigrationTask>(record->type, std::move(record->names));
  window.tasks().append(task);
  StartController(window);
  return task;
}

}  // namespace tablift
