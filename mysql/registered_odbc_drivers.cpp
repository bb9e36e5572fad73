#include "mysql/registered_odbc_drivers.h"

#include <odbcinst.h>

#include <optional>
#include <string_view>

namespace tablift {
namespace {

// libodbcinst's own logical name for the driver configuration; it stands for
// the system file plus the user's file, as when the driver manager looks a
// driver up.
constexpr const char* kDriverConfiguration = "ODBCINST.INI";

// Section lists are bounded by libodbcinst's WORD-sized buffers; values by its
// 1000-character limit.
constexpr int kListBufferSize = 65535;
constexpr int kValueBufferSize = 1024;

// The value of one key of a driver's section, "" when it is absent; nothing
// when the configuration could not be read.
std::optional<std::string> ReadValue(const std::string& section, const char* key) {
  char buffer[kValueBufferSize] = {};
  if (SQLGetPrivateProfileString(section.c_str(), key, "", buffer, sizeof buffer,
                                 kDriverConfiguration) < 0) {
    return std::nullopt;
  }
  return std::string(buffer);
}

// The driver manager prefers the 64-bit variant of a library value when it is
// itself a 64-bit build.
std::optional<std::string> ReadLibraryValue(const std::string& section, const char* key,
                                            const char* key64) {
  if constexpr (sizeof(void*) == 8) {
    std::optional<std::string> value = ReadValue(section, key64);
    if (!value || !value->empty()) return value;
  }
  return ReadValue(section, key);
}

RegisteredOdbcDriver ReadDriver(std::string name) {
  RegisteredOdbcDriver driver;
  driver.name = std::move(name);
  std::optional<std::string> library = ReadLibraryValue(driver.name, "Driver", "Driver64");
  std::optional<std::string> setup = ReadLibraryValue(driver.name, "Setup", "Setup64");
  if (!library || !setup) {
    driver.readable = false;
    return driver;
  }
  driver.driverLibrary = std::move(*library);
  driver.setupLibrary = std::move(*setup);
  return driver;
}

}  // namespace

std::vector<RegisteredOdbcDriver> ReadRegisteredOdbcDrivers() {
  std::string names(kListBufferSize, '\0');
  // A null section asks for the list of section names, each ending in NUL,
  // the list ending in an empty name; the [ODBC] options section is left out.
  const int length = SQLGetPrivateProfileString(
      nullptr, nullptr, "", names.data(), static_cast<int>(names.size()), kDriverConfiguration);
  if (length < 0) return {};

  std::vector<RegisteredOdbcDriver> drivers;
  for (std::size_t at = 0; at < names.size() && names[at] != '\0';) {
    const std::size_t end = names.find('\0', at);
    if (end == std::string::npos) break;
    drivers.push_back(ReadDriver(names.substr(at, end - at)));
    at = end + 1;
  }
  return drivers;
}

}  // namespace tablift
