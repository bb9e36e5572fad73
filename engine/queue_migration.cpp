#include "engine/queue_migration.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/write_line.h"
#include "data_access/working_directories.h"
#include "engine/command_refusal.h"
#include "engine/main_controller.h"
#include "engine/requests.h"
#include "engine/workbench.h"
#include "mysql/catalog_statements.h"

namespace tablift {
namespace {

void Refuse(Workbench& window, std::string_view hint, std::string_view box) {
  RefuseCommand(window.prompter(), hint, box);
}

// What the user is asked to confirm, what is queued on OK, and what the log
// says when nobody is asked.
struct Order {
  TaskType type;
  std::string question;
  std::string doing;
  MigrationTask::Names names;
};

// The order for a request into an existing target database.
Order IntoDatabase(const MigrationRequest& request) {
  const std::string& database = request.sourceDatabase;
  const std::string& object = request.object;
  const std::string into = "] into Target database [" + request.targetDatabase + "]?";
  const std::string intoDoing = "] into database [" + request.targetDatabase + "]";
  MigrationTask::Names names{.sourceDatabase = database, .targetDatabase = request.targetDatabase};
  if (IsSingleObject(request.scope)) names.sourceObject = object;
  switch (request.scope) {
    case ObjectScope::Table:
      return Order{ConvertTable, "Convert table [" + object + into,
                   "Converting table [" + object + intoDoing, names};
    case ObjectScope::Tables:
      return Order{ConvertTables, "Convert tables of [" + database + into,
                   "Converting the tables of [" + database + intoDoing, names};
    case ObjectScope::View:
      return Order{ConvertView, "Convert view [" + object + into,
                   "Converting view [" + object + intoDoing, names};
    case ObjectScope::Views:
      return Order{ConvertViews, "Convert views of [" + database + into,
                   "Converting the views of [" + database + intoDoing, names};
    case ObjectScope::Database:
      break;
  }
  return Order{ConvertDatabase, "Convert database [" + database + into,
               "Converting database [" + database + intoDoing, names};
}

// A source database cloned into a new target database of the same name.
Order CloneOrder(const std::string& database) {
  return Order{CloneDatabase,
               "Clone database [" + database + "] of source tree?",
               "Cloning database [" + database + "] into a new database [" +
                   StripDatabasePath(database) + "]",
               {.sourceDatabase = database, .targetDatabase = database}};
}

bool RefuseWithoutTarget(Workbench& window) {
  if (window.targetSession() != nullptr) return false;
  Refuse(window, "Please confirm your Target Database Connection is valid!",
         "No Target DataSource Connection!");
  return true;
}

// The question names what the tables it makes will be, so that a choice
// that would refuse relationships or text is seen before the run.
std::string Question(Workbench& window, const Order& order) {
  if (order.type == ConvertView || order.type == ConvertViews) return order.question;
  // The engine the tables will have: on a cluster InnoDB, whatever was chosen.
  return order.question + "\nNew tables: storage engine " +
         window.migrationSettings().storageEngine + ", character set " + window.charset() + ".";
}

// Whether the order may be queued: asked, or said in the log.
bool Agreed(Workbench& window, const Order& order, Consent consent) {
  if (consent == Consent::Ask) return window.prompter().askOkCancel(Question(window, order));
  WriteLine(window, "%s", order.doing.c_str());
  return true;
}

TaskPtr Queue(Workbench& window, Order order, bool resume) {
  order.names.resume = resume;
  order.names.sourceDbms = window.sourceConnection().dbmsName();
  order.names.targetDbms = window.targetConnection().dbmsName();
  auto task = std::make_shared<MigrationTask>(order.type, std::move(order.names));
  window.tasks().append(task);
  StartController(window);
  return task;
}

}  // namespace

TaskPtr QueueMigration(Workbench& window, const MigrationRequest& request, Consent consent) {
  if (RefuseWithoutTarget(window)) return nullptr;
  // A failure is told by the directory operation itself; each table's cache
  // file then says it cannot be written.
  MakeDirectory(window.cacheFolder());
  const bool clone = request.targetDatabase.empty();
  if (clone && request.scope != ObjectScope::Database) {
    Refuse(window, "Please select a database in Target Database Tree!",
           "Please select a target Database!");
    return nullptr;
  }
  Order order = clone ? CloneOrder(request.sourceDatabase) : IntoDatabase(request);
  if (!Agreed(window, order, consent)) return nullptr;
  return Queue(window, std::move(order), request.resume);
}

TaskPtr MigrateCommand(Workbench& window) {
  if (RefuseWithoutTarget(window)) return nullptr;
  const CatalogSelection source = window.sourceTree().selection();
  if (source.empty()) {
    Refuse(window, "Please Select a Object to Convert in Source Databases Tree!",
           "No Selected Source Database Object!");
    return nullptr;
  }
  const CatalogSelection target = window.targetTree().selection();
  if (target.empty()) {
    Refuse(window, "Please Select a object in Target Tree!", "No Selected Target Objects!");
    return nullptr;
  }
  const std::optional<ObjectScope> scope = ScopeOfNode(source.kind());
  MigrationRequest request;
  if (scope) {
    request.scope = *scope;
    request.sourceDatabase = source.nearest(NodeKind::Database);
    if (IsSingleObject(*scope)) request.object = source.text();
  }

  if (target.kind() == NodeKind::Database) {
    if (!scope) {
      // Fields, indexes and their folders are no migration.
      StartController(window);
      return nullptr;
    }
    request.targetDatabase = target.text();
    return QueueMigration(window, request, Consent::Ask);
  }
  if (target.kind() == NodeKind::Root && source.kind() == NodeKind::Database) {
    TaskPtr task = QueueMigration(window, request, Consent::Ask);
    if (task == nullptr) window.targetTree().clearDropTarget();
    return task;
  }
  Refuse(window, "Please select a database in Target Database Tree!",
         "Please select a target Database!");
  return nullptr;
}

bool CanResume(const MigrationTask& task) {
  return task.category() == kMigrationCategory &&
         (task.state() == kTaskFailed || task.state() == kTaskStopped);
}

TaskPtr ResumeTask(Workbench& window, int index) {
  const std::vector<TaskPtr> records = window.tasks().snapshot();
  if (index < 0 || index >= static_cast<int>(records.size())) return nullptr;
  const TaskPtr& record = records[static_cast<std::size_t>(index)];
  if (!CanResume(*record)) return nullptr;
  MigrationTask::Names names = record->names();
  names.resume = true;
  auto task = std::make_shared<MigrationTask>(record->type(), std::move(names));
  window.tasks().append(task);
  StartController(window);
  return task;
}

TaskPtr DropOnTarget(Workbench& window, const std::vector<CatalogStep>& path) {
  CatalogTree& target = window.targetTree();
  if (!target.select(path)) target.clearSelection();
  return MigrateCommand(window);
}

}  // namespace tablift
