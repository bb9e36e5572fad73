#include "engine/provider_check.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "data_access/ascii_text.h"
#include "data_access/jet/jet_provider.h"
#include "data_access/jet/libmdb.h"
#include "data_access/provider_registry.h"
#include "mysql/driver_installation_report.h"
#include "mysql/odbc_library_files.h"

namespace tablift {
namespace {

bool Registered(std::string_view progId) {
  Clsid clsid = nullptr;
  return Succeeded(CLSIDFromProgID(progId, clsid)) && clsid != nullptr;
}

void AppendProvider(std::string& report, const char* name, bool installed, bool usable) {
  report += name;
  report += "|";
  report += installed ? "Installed|" : "Not Installed|";
  report += usable ? "Usable|" : "Unusable|";
}

bool IsMdbToolsLibrary(std::string_view library) {
  const std::size_t separator = library.find_last_of("/\\");
  return ToLowerAscii(separator == std::string_view::npos ? library : library.substr(separator + 1))
      .starts_with("libmdbodbc");
}

}  // namespace

std::optional<std::string> LoadedJetLibrary() {
  Dl_info info{};
  // The address of one of libmdb's entry points leads to the object that
  // provides it, wherever the dynamic linker found it.
  if (dladdr(reinterpret_cast<void*>(&mdb_open), &info) == 0 || info.dli_fname == nullptr) {
    return std::nullopt;
  }
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(info.dli_fname, ignored)) return std::nullopt;
  return std::string(info.dli_fname);
}

bool IsAccessOdbcDriver(const RegisteredOdbcDriver& driver) {
  return driver.name.find("Access") != std::string::npos || IsMdbToolsLibrary(driver.driverLibrary);
}

std::string DescribeProviders(const ProviderFacts& facts) {
  std::string report;
  AppendProvider(report, "Microsoft Jet 4.0 OLE DB Provider", facts.jetInstalled, facts.jetUsable);
  AppendProvider(report, "Microsoft OLE DB Provider for ODBC Drivers", facts.odbcInstalled,
                 facts.odbcUsable);
  if (!facts.odbcUsable) return report;

  bool anyAccessDriver = false;
  for (const RegisteredOdbcDriver& driver : facts.drivers) {
    if (!IsAccessOdbcDriver(driver)) continue;
    anyAccessDriver = true;
    // A driver without a configuration library counts as usable when its own
    // library is there: drivers on this platform need none (IsUsableOdbcDriver).
    report += DescribeOdbcDriver(driver);
  }
  if (!anyAccessDriver) report += "Microsoft Access Driver|Not installed|Unusable|";
  return report;
}

std::string CheckProviders() {
  ProviderFacts facts;
  facts.jetInstalled = Registered(kJetProgId);
  facts.jetUsable = facts.jetInstalled && LoadedJetLibrary().has_value();
  facts.odbcInstalled = Registered("MSDASQL");
  facts.odbcUsable = facts.odbcInstalled && LoadedDriverManagerLibrary().has_value();
  if (facts.odbcUsable) facts.drivers = ReadRegisteredOdbcDrivers();
  return DescribeProviders(facts);
}

}  // namespace tablift
