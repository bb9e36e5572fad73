#include "engine/queue_file_clones.h"

#include <filesystem>

#include "access/source_init_properties.h"
#include "data_access/jet/jet_provider.h"
#include "engine/access_file_list.h"
#include "engine/command_refusal.h"
#include "engine/queue_migration.h"
#include "engine/requests.h"
#include "engine/workbench.h"

namespace tablift {
namespace {

constexpr const char* kFilesRefused = "Cannot clone these files!";

// The question names every file with its database, and what the tables will
// be, so that a wrong file or choice is seen before the run.
std::string Question(Workbench& window, const std::vector<std::filesystem::path>& files) {
  std::string question = "Clone " + std::to_string(files.size()) +
                         " Access files into new databases named after them?\n";
  for (const std::filesystem::path& file : files)
    question += "  " + file.filename().string() + " \u2192 " + CloneDatabaseName(file) + "\n";
  return question + "New tables: storage engine " + window.targetTree().storageEngine() +
         ", character set " + window.charset() + ".";
}

// The tasks switch the source side from file to file by path, which only
// the Jet provider reads as an Access file.
void ReadAccessFiles(Workbench& window) {
  ConnectionProfile& source = window.sourceProfile();
  if (IsJetProgId(source.progId)) return;
  source.providerName = "Microsoft Jet 4.0 OLE DB Provider";
  source.progId = kJetProgId;
  source.catalogName.clear();
  source.userId = "Admin";
  source.password.clear();
}

}  // namespace

std::vector<TaskPtr> QueueFileClones(Workbench& window, const std::vector<std::string>& files) {
  if (window.targetSession() == nullptr) {
    RefuseCommand(window.prompter(), "Please confirm your Target Database Connection is valid!",
                  "No Target DataSource Connection!");
    return {};
  }
  for (const std::string& file : files) {
    if (!IsAccessFileName(file) || std::filesystem::is_directory(file)) {
      RefuseCommand(window.prompter(), file + " is no Access file (.mdb or .accdb).",
                    kFilesRefused);
      return {};
    }
  }
  const Result<std::vector<std::filesystem::path>> listed = AccessFilesOf(files);
  if (!listed.ok()) {
    RefuseCommand(window.prompter(), listed.message(), kFilesRefused);
    return {};
  }
  if (!window.prompter().askOkCancel(Question(window, listed.value()))) return {};
  ReadAccessFiles(window);
  std::vector<TaskPtr> queued;
  for (const std::filesystem::path& file : listed.value()) {
    const MigrationRequest request{.scope = ObjectScope::Database,
                                   .sourceDatabase = AccessDatabaseName(file.string())};
    if (TaskPtr task = QueueMigration(window, request, Consent::Given)) queued.push_back(task);
  }
  return queued;
}

}  // namespace tablift
