#include "engine/migrate_command.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/write_line.h"
#include "data_access/working_directories.h"
#include "engine/command_refusal.h"
#include "engine/main_controller.h"
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

// The order for a source node migrated into the existing target database
// `targetDatabase`; none for a source node that cannot be migrated (fields,
// indexes and their folders, the root).
std::optional<Order> IntoDatabase(const CatalogSelection& source,
                                  const std::string& targetDatabase) {
  const std::string& node = source.text();
  const std::string database = source.nearest(kImageDatabase);
  const std::string into = "] into Target database [" + targetDatabase + "]?";
  const std::string intoDoing = "] into database [" + targetDatabase + "]";
  switch (source.image()) {
    case kImageDatabase:
      return Order{ConvertDatabase,
                   "Convert database [" + node + into,
                   "Converting database [" + node + intoDoing,
                   {.sourceDatabase = node, .targetDatabase = targetDatabase}};
    case kImageTable:
      return Order{
          ConvertTable,
          "Convert table [" + node + into,
          "Converting table [" + node + intoDoing,
          {.sourceObject = node, .sourceDatabase = database, .targetDatabase = targetDatabase}};
    case kImageTablesFolder:
      return Order{ConvertTables,
                   "Convert tables of [" + database + into,
                   "Converting the tables of [" + database + intoDoing,
                   {.sourceDatabase = database, .targetDatabase = targetDatabase}};
    case kImageView:
      return Order{
          ConvertView,
          "Convert view [" + node + into,
          "Converting view [" + node + intoDoing,
          {.sourceObject = node, .sourceDatabase = database, .targetDatabase = targetDatabase}};
    case kImageViewsFolder:
      return Order{ConvertViews,
                   "Convert views of [" + database + into,
                   "Converting the views of [" + database + intoDoing,
                   {.sourceDatabase = database, .targetDatabase = targetDatabase}};
    default:
      return std::nullopt;
  }
}

// A source database cloned into a new target database of the same name.
Order CloneOrder(const CatalogSelection& source) {
  const std::string& database = source.text();
  return Order{CloneDatabase,
               "Clone database [" + database + "] of source tree?",
               "Cloning database [" + database + "] into a new database [" +
                   StripDatabasePath(database) + "]",
               {.sourceDatabase = database, .targetDatabase = database}};
}

// Whether the order may be queued: asked, or said in the log.
bool Agreed(Workbench& window, const Order& order, Consent consent) {
  if (consent == Consent::Ask) return window.prompter().askOkCancel(order.question);
  WriteLine(window, "%s", order.doing.c_str());
  return true;
}

TaskPtr Queue(Workbench& window, Order order) {
  order.names.sourceDbms = window.sourceConnection().dbmsName();
  order.names.targetDbms = window.targetConnection().dbmsName();
  auto task = std::make_shared<MigrationTask>(order.type, std::move(order.names));
  window.tasks().append(task);
  StartController(window);
  return task;
}

}  // namespace

TaskPtr MigrateCommand(Workbench& window, Consent consent) {
  if (window.targetSession() == nullptr) {
    Refuse(window, "Please confirm your Target Database Connection is valid!",
           "No Target DataSource Connection!");
    return nullptr;
  }
  // A failure is told by the directory operation itself; each table's cache
  // file then says it cannot be written.
  MakeDirectory(window.cacheFolder());

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

  if (target.image() == kImageDatabase) {
    std::optional<Order> order = IntoDatabase(source, target.text());
    if (!order) {
      StartController(window);
      return nullptr;
    }
    if (!Agreed(window, *order, consent)) return nullptr;
    return Queue(window, std::move(*order));
  }
  if (target.image() == kImageRoot && source.image() == kImageDatabase) {
    Order order = CloneOrder(source);
    if (!Agreed(window, order, consent)) {
      window.targetTree().clearDropTarget();
      return nullptr;
    }
    return Queue(window, std::move(order));
  }
  Refuse(window, "Please select a database in Target Database Tree!",
         "Please select a target Database!");
  return nullptr;
}

TaskPtr DropOnTarget(Workbench& window, const std::vector<CatalogStep>& path) {
  CatalogTree& target = window.targetTree();
  if (!target.select(path)) target.clearSelection();
  return MigrateCommand(window);
}

}  // namespace tablift
