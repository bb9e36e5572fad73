#include "engine/connect_side.h"

#include <memory>
#include <string>
#include <vector>

#include "access/access_database_management.h"
#include "access/source_format.h"
#include "access/source_init_properties.h"
#include "access/source_version.h"
#include "core/scripted_prompter.h"
#include "core/write_line.h"
#include "data_access/ascii_text.h"
#include "data_access/error_texts.h"
#include "data_access/provider_calls.h"
#include "data_access/provider_registry.h"
#include "engine/controller_commands.h"
#include "engine/list_catalog.h"
#include "engine/workbench.h"
#include "mysql/catalog_statements.h"
#include "mysql/cluster_target.h"
#include "mysql/execute_statement.h"
#include "mysql/target_init_properties.h"

namespace tablift {
namespace {

struct SideTexts {
  const char* side;  // "Source" or "Target", as the log lines name it
  const char* hint;
  const char* box;
  const char* connected;
};

constexpr SideTexts kSourceTexts{
    "Source", "Source Connection error! Please confirm source database connection properties !",
    "Source Connection error!", "Connect Source Database!"};
constexpr SideTexts kTargetTexts{
    "Target", "Target Connection error! Please confirm target database connection properties !",
    "Target Connection error!", "Connect Target Database!"};

void RefuseConnection(Workbench& window, const SideTexts& texts) {
  window.prompter().showHint(texts.hint);
  window.prompter().showMessage(texts.box, MessageIcon::Error);
}

// Opens the data source of the side's provider with the given property sets;
// on failure logs the provider's reason (taken at once, on this thread) and
// returns it.
Status OpenDataSource(Workbench& window, Connection& side, const std::vector<PropertySet>& sets) {
  Clsid clsid = nullptr;
  CLSIDFromProgID(side.profile.progId, clsid);
  if (Succeeded(side.dataSource.open(clsid, sets.data(), sets.size()))) return Status::Ok();
  const std::string reason = DescribeOleDbError(&side.dataSource, InterfaceId::IDBInitialize);
  if (!reason.empty()) WriteLine(window, "T::%s", reason.c_str());
  side.dataSource.close();
  return Status::Failure(reason);
}

// The steps both sides share once their property sets are built.
Status OpenSide(Workbench& window, Connection& side, const std::vector<PropertySet>& sets,
                const SideTexts& texts) {
  if (Status opened = OpenDataSource(window, side, sets); !opened.ok()) {
    RefuseConnection(window, texts);
    return opened;
  }
  WriteLine(window, "%s", texts.connected);

  auto session = std::make_shared<Session>();
  if (Failed(session->open(side.dataSource))) {
    window.prompter().showMessage("Couldn't create session on data source", MessageIcon::Error);
    side.dataSource.close();
    return Status::Failure("Couldn't create session on data source");
  }
  side.session = std::move(session);

  std::string name;
  if (Failed(ReadDataSourceInfo(side.dataSource, DBPROP_DBMSNAME, name))) {
    WriteLine(window, "Get %s DBMS Name Error!", texts.side);
  }
  name = TrimBlanks(name);
  if (!name.empty()) {
    std::string version;
    if (Failed(ReadDataSourceInfo(side.dataSource, DBPROP_DBMSVER, version))) {
      WriteLine(window, "Get %s DBMS Version Error!", texts.side);
    } else {
      side.dbmsVersion = version;
      name += "[" + version + "]";
    }
  }
  WriteLine(window, "RESULT: The operation completed SUCCESSFULLY");
  side.setDbmsName(std::move(name));
  return Status::Ok();
}

// Hands the side's tree what it shows and has it list the catalog anew.
void ShowInTree(Workbench& window, CatalogTree& tree, int dbmsKind, std::string database) {
  tree.setDbmsKind(dbmsKind);
  tree.setCurrentDatabase(std::move(database));
  ListCatalog(window, tree);
}

// The database a side's tree shows: an Access file's database name (its
// path without ".mdb" or ".accdb"), or the catalog of other providers.
std::string TreeDatabase(const ConnectionProfile& profile) {
  return IsJetProgId(profile.progId) ? AccessDatabaseName(profile.sourceName) : profile.catalogName;
}

// The session's SQL mode such that no value is changed silently: strict for
// every engine (MyISAM too), so a value that does not fit is refused and
// counted instead of cut or zeroed, and without NO_BACKSLASH_ESCAPES, which
// would make the escaped literals of the INSERT statements mean something
// else.
void UseSafeSqlMode(Workbench& window, Session* session) {
  ExecuteStatement(window, session,
                   "SET SESSION sql_mode = TRIM(BOTH ',' FROM REPLACE(CONCAT(',', "
                   "@@SESSION.sql_mode, ',STRICT_ALL_TABLES,'), ',NO_BACKSLASH_ESCAPES,', ','))")
      .ok();
}

// A new session speaks latin1; it is switched to the character set new tables
// get, so that text outside Latin-1 reaches the server whole. A set the
// session cannot speak is told, and latin1 stays in force.
void UseWorkbenchCharset(Workbench& window, Session* session) {
  if (session == nullptr) return;
  if (const Status set = SetClientCharset(*session, window.charset()); !set.ok()) {
    WriteLine(window, "E::%s", set.message().c_str());
    window.setCharset("LATIN1");
  }
}

}  // namespace

void ConnectCommand(Workbench& window) {
  if (!MayRunBesideTasks(window)) return;
  ConnectSource(window);
  ConnectTarget(window);
}

void ConnectSource(Workbench& window) {
  Connection& source = window.sourceConnection();
  source.close();
  window.sourceTree().clear();

  std::vector<PropertySet> sets;
  sets.emplace_back(PropertySetId::DBInit);
  if (!BuildSourceInitProperties(window.sourceProfile(), sets.back())) {
    RefuseConnection(window, kSourceTexts);
    return;
  }
  EnsureWorkgroupFile(window);
  if (IsJetProgId(source.profile.progId)) sets.push_back(BuildJetInitProperties());

  if (!OpenSide(window, source, sets, kSourceTexts).ok()) return;
  // Which Access the file comes from decides which types and features it may
  // hold, so the log names it.
  if (const Result<std::string> format = AccessFileFormat(source.dataSource); format.ok())
    WriteLine(window, "Access file format: %s", format.value().c_str());
  ShowInTree(window, window.sourceTree(), kDbmsAccess, TreeDatabase(source.profile));
  if (source.dbmsName().empty()) source.setDbmsName(SourceVersion(window, source.openSession()));
}

void ConnectTarget(Workbench& window) {
  ConnectTargetReporting(window).ok();
}

Status ConnectTargetReporting(Workbench& window) {
  Connection& target = window.targetConnection();
  target.close();
  window.targetTree().clear();

  std::vector<PropertySet> sets;
  sets.emplace_back(PropertySetId::DBInit);
  // Each MySQL driver tried says why it could not connect; kept aside, so
  // that a failure can name the server's or driver's reason ("Access denied
  // for user ...", "Can't connect ...") instead of only that it failed.
  ScriptedPrompter probes;
  if (!BuildTargetInitPropertiesReporting(target.profile, sets.back(), probes)) {
    // The first driver's reason: the driver the user's setup is meant to use.
    const std::vector<std::string> texts = probes.texts(ScriptedPrompter::Kind::Message);
    if (!texts.empty()) WriteLine(window, "T::%s", texts.front().c_str());
    RefuseConnection(window, kTargetTexts);
    return Status::Failure(texts.empty() ? kTargetTexts.box : texts.front());
  }
  if (Status opened = OpenSide(window, target, sets, kTargetTexts); !opened.ok()) return opened;
  UseSafeSqlMode(window, target.openSession());
  // A MySQL source name is a data source or a server address; the tree shows
  // the profile's database.
  ShowInTree(window, window.targetTree(), kDbmsMySql, TreeDatabase(target.profile));
  if (target.dbmsName().empty()) {
    target.setDbmsName(ReadServerVersion(window, target.openSession()));
  }
  UseWorkbenchCharset(window, target.openSession());
  // Tables, keys and transactions are made to suit a cluster's replication.
  target.cluster = ReadClusterTarget(target.openSession());
  if (target.cluster.replicated()) {
    WriteLine(window, "Target is a %s", DescribeClusterTarget(target.cluster).c_str());
  }
  return Status::Ok();
}

}  // namespace tablift
