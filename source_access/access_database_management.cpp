#include "source_access/access_database_management.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "Converters/workbench.h"
#include "Converters/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/jet/writer/jet_database_writer.h"
#include "data_access/provider_registry.h"
#include "data_access/result_codes.h"
#include "source_access/new_database_path.h"

namespace tablift {
namespace {

constexpr std::string_view kJetProgId = "Microsoft.Jet.OLEDB.4.0";

void WriteStepFailure(Workbench& window, HResult code, std::string_view step) {
  const std::string text = DescribeStepFailure(code, step);
  WriteLine(window, "%s", text.c_str());
}

// The Jet provider must be registered for Access files to be opened at all;
// without it nothing is created ("Database Init").
bool JetProviderRegistered(Workbench& window) {
  Clsid clsid = nullptr;
  const HResult result = CLSIDFromProgID(kJetProgId, clsid);
  if (Failed(result) || clsid == nullptr) {
    WriteStepFailure(window, Failed(result) ? result : REGDB_E_CLASSNOTREG, "Database Init");
    return false;
  }
  return true;
}

// Writes an empty Jet 4 database at `path`. On failure the step's text and
// the writer's own reason go to the log. The writer needs no separate
// administration interface, so the "Bind Property" step cannot fail here.
bool WriteEmptyDatabase(Workbench& window, const std::filesystem::path& path,
                        std::string_view step) {
  jet::JetDatabaseWriter writer;
  jet::WriteStatus status = writer.create(path);
  if (status.ok()) status = writer.finish();
  if (status.ok()) return true;
  const HResult code =
      status.error() == jet::WriteError::FileExists ? DB_E_DUPLICATEDATASOURCE : E_FAIL;
  WriteStepFailure(window, code, step);
  WriteLine(window, "T::%s", status.message().c_str());
  return false;
}

}  // namespace

bool CreateWorkgroupFile(Workbench& window) {
  if (!JetProviderRegistered(window)) return false;
  const std::filesystem::path path = WorkgroupFilePath();
  if (path.has_parent_path()) {
    std::error_code ignored;  // a folder that cannot be made fails the write below
    std::filesystem::create_directories(path.parent_path(), ignored);
  }
  // The workgroup file carries the system tables of an empty database and no
  // user accounts: the source connection only needs the file to exist, and no
  // engine here reads accounts from it.
  return WriteEmptyDatabase(window, path, "Create SysDB");
}

bool CreateAccessDatabase(Workbench& window, std::string name) {
  const int side = window.sideName() == "Source" ? Workbench::kSourceSide : Workbench::kTargetSide;
  const std::string path = NewAccessDatabasePath(FolderPart(window.treeDatabasePath(side)), name);
  WriteLine(window, "Create Access MDB File [%s]", path.c_str());

  if (!JetProviderRegistered(window)) return false;
  if (!WriteEmptyDatabase(window, path, "Create DB")) return false;
  EnsureWorkgroupFile(window);
  return true;
}

void EnsureWorkgroupFile(Workbench& window) {
  const std::filesystem::path workgroup = WorkgroupFilePath();
  std::error_code error;
  const auto state = std::filesystem::status(workgroup, error);
  if (std::filesystem::is_directory(state)) {
    std::filesystem::remove_all(workgroup, error);
    CreateWorkgroupFile(window);
  } else if (!std::filesystem::exists(state)) {
    CreateWorkgroupFile(window);
  }
}

}  // namespace tablift
