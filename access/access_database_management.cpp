#include "access/access_database_management.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "access/new_database_path.h"
#include "core/job_context.h"
#include "core/write_line.h"
#include "data_access/error_texts.h"
#include "data_access/jet/writer/jet_database_writer.h"
#include "data_access/provider_registry.h"
#include "data_access/result_codes.h"

namespace tablift {
namespace {

constexpr std::string_view kJetProgId = "Microsoft.Jet.OLEDB.4.0";

void WriteStepFailure(JobContext& job, HResult code, std::string_view step) {
  const std::string text = DescribeStepFailure(code, step);
  WriteLine(job, "%s", text.c_str());
}

// The Jet provider must be registered for Access files to be opened at all;
// without it nothing is created ("Database Init").
bool JetProviderRegistered(JobContext& job) {
  Clsid clsid = nullptr;
  const HResult result = CLSIDFromProgID(kJetProgId, clsid);
  if (Failed(result) || clsid == nullptr) {
    WriteStepFailure(job, Failed(result) ? result : REGDB_E_CLASSNOTREG, "Database Init");
    return false;
  }
  return true;
}

// Writes an empty Jet 4 database at `path`. On failure the step's text and
// the writer's own reason go to the log. The writer needs no separate
// administration interface, so the "Bind Property" step cannot fail here.
bool WriteEmptyDatabase(JobContext& job, const std::filesystem::path& path, std::string_view step) {
  jet::JetDatabaseWriter writer;
  jet::WriteStatus status = writer.create(path);
  if (status.ok()) status = writer.finish();
  if (status.ok()) return true;
  const HResult code =
      status.error() == jet::WriteError::FileExists ? DB_E_DUPLICATEDATASOURCE : E_FAIL;
  WriteStepFailure(job, code, step);
  WriteLine(job, "T::%s", status.message().c_str());
  return false;
}

}  // namespace

bool CreateWorkgroupFile(JobContext& job) {
  if (!JetProviderRegistered(job)) return false;
  const std::filesystem::path path = WorkgroupFilePath();
  if (path.has_parent_path()) {
    std::error_code ignored;  // a folder that cannot be made fails the write below
    std::filesystem::create_directories(path.parent_path(), ignored);
  }
  // The workgroup file carries the system tables of an empty database and no
  // user accounts: the source connection only needs the file to exist, and no
  // engine here reads accounts from it.
  return WriteEmptyDatabase(job, path, "Create SysDB");
}

bool CreateAccessDatabase(JobContext& job, std::string_view folder, std::string name) {
  const std::string path = NewAccessDatabasePath(folder, name);
  WriteLine(job, "Create Access MDB File [%s]", path.c_str());

  if (!JetProviderRegistered(job)) return false;
  if (!WriteEmptyDatabase(job, path, "Create DB")) return false;
  EnsureWorkgroupFile(job);
  return true;
}

void EnsureWorkgroupFile(JobContext& job) {
  const std::filesystem::path workgroup = WorkgroupFilePath();
  std::error_code error;
  const auto state = std::filesystem::status(workgroup, error);
  if (std::filesystem::is_directory(state)) {
    std::filesystem::remove_all(workgroup, error);
    CreateWorkgroupFile(job);
  } else if (!std::filesystem::exists(state)) {
    CreateWorkgroupFile(job);
  }
}

}  // namespace tablift
