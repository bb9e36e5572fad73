#include "mysql/target_init_properties.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "data_access/ascii_text.h"
#include "mysql/mysql_odbc_drivers.h"
#include "mysql/target_probe.h"

namespace tablift {
namespace {

constexpr int kDriversToTry = 3;

// Null `prompter` is the quiet form.
bool BuildTargetInitProperties(const ConnectionProfile& profile, PropertySet& set,
                               Prompter* prompter) {
  set.addBool(DBPROP_AUTH_MASK_PASSWORD, false);
  set.addString(DBPROP_AUTH_PASSWORD, profile.password);
  set.addString(DBPROP_AUTH_USERID, profile.userId);

  if (!EqualsIgnoreCase(profile.providerName, kServerAddressProvider)) {
    if (!profile.sourceName.empty()) set.addString(DBPROP_INIT_DATASOURCE, profile.sourceName);
    if (!profile.catalogName.empty()) set.addString(DBPROP_INIT_CATALOG, profile.catalogName);
  } else {
    const ServerAddress server = SplitServerAddress(profile.sourceName);
    for (int n = 1; n <= kDriversToTry; ++n) {
      const std::string driver = FindMySqlOdbcDriver(n);
      if (driver.empty()) {
        if (prompter != nullptr) {
          prompter->showMessage("No appropriate Config, Please correct!!!", MessageIcon::Warning);
        }
        return false;
      }
      set.addString(DBPROP_INIT_PROVIDERSTRING,
                    ComposeDriverConnectionString(driver, server, profile.catalogName));
      const std::optional<std::string> failure = ProbeTargetDataSource(profile.progId, set);
      if (!failure) break;
      if (prompter != nullptr) prompter->showMessage(*failure, MessageIcon::Warning);
    }
  }

  set.addInt32(DBPROP_INIT_MODE, DB_MODE_SHARE_DENY_NONE);
  set.addInt16(DBPROP_INIT_PROMPT, DBPROMPT_NOPROMPT);
  return true;
}

}  // namespace

ServerAddress SplitServerAddress(std::string_view sourceName) {
  const std::size_t colon = sourceName.find(':');
  if (colon == std::string_view::npos) {
    return {std::string(sourceName), std::string(kDefaultMySqlPort)};
  }
  std::string_view port = sourceName.substr(colon + 1);
  // "host:" would hand the driver an empty port; the user meant the default.
  if (port.empty()) port = kDefaultMySqlPort;
  return {std::string(sourceName.substr(0, colon)), std::string(port)};
}

std::string ComposeDriverConnectionString(std::string_view driver, const ServerAddress& server,
                                          std::string_view catalog) {
  std::string text = ";Driver={";
  text += driver;
  text += "};SERVER=";
  text += server.host;
  text += ";PORT=";
  text += server.port;
  text += ";UID=root;";
  if (!catalog.empty()) {
    text += "Database=";
    text += catalog;
  }
  return text;
}

bool BuildTargetInitProperties(const ConnectionProfile& profile, PropertySet& set) {
  return BuildTargetInitProperties(profile, set, nullptr);
}

bool BuildTargetInitPropertiesReporting(const ConnectionProfile& profile, PropertySet& set,
                                        Prompter& prompter) {
  return BuildTargetInitProperties(profile, set, &prompter);
}

}  // namespace tablift
