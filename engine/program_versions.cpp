#include "engine/program_versions.h"

#include "data_access/property_set.h"
#include "engine/driver_check.h"
#include "engine/workbench.h"
#include "tablift_version.h"

namespace tablift {
namespace {

std::string ConfiguredDriver() {
  // The first row is the ODBC provider itself, the last the server address
  // choice; the drivers are between them.
  const std::vector<DriverReportRow> rows = MySqlDriverRows();
  for (std::size_t i = 1; i + 1 < rows.size(); ++i) {
    if (rows[i].usability == "Usable") return rows[i].name + " (version shown once connected)";
  }
  return "none usable";
}

}  // namespace

ProgramVersions ReadProgramVersions(Workbench& window) {
  ProgramVersions versions;
  versions.libmdb = TABLIFT_LIBMDB_VERSION;
  std::string driver;
  Connection& target = window.targetConnection();
  if (target.openSession() != nullptr &&
      !Failed(ReadDataSourceInfo(target.dataSource, DBPROP_PROVIDERVER, driver)) &&
      !driver.empty()) {
    versions.mysqlDriver = driver;
  } else {
    versions.mysqlDriver = ConfiguredDriver();
  }
  return versions;
}

}  // namespace tablift
