#pragma once

#include <string>
#include <string_view>

#include "core/connection_profile.h"
#include "core/prompter.h"
#include "data_access/property_set.h"

namespace tablift {

// The provider choice that names a server address instead of a data source.
inline constexpr std::string_view kServerAddressProvider = "TCP/IP:Port";
inline constexpr std::string_view kDefaultMySqlPort = "3306";

struct ServerAddress {
  std::string host;
  std::string port;
};

// "host" or "host:port", split at the first ":"; the port defaults to 3306
// (also when nothing follows the ":").
ServerAddress SplitServerAddress(std::string_view sourceName);

// The driver connection string of server mode:
// ";Driver={<driver>};SERVER=<host>;PORT=<port>;UID=root;" followed directly
// by "Database=<catalog>" when there is a catalog. The profile's user travels
// in the user ID property, which the ODBC provider puts in place of this
// string's UID when it is not empty; so root is only the default user.
std::string ComposeDriverConnectionString(std::string_view driver, const ServerAddress& server,
                                          std::string_view catalog);

// Fills the DBPROPSET_DBINIT set that opens the MySQL target: the credentials,
// then either the data source and catalog (data-source mode) or, in server
// mode ("TCP/IP:Port"), one provider string per MySQL ODBC driver tried until
// a probe opens, then the mode and no-prompt properties. False when server
// mode runs out of usable drivers before a probe opens. This is the quiet form
// of the connect flow.
bool BuildTargetInitProperties(const ConnectionProfile& profile, PropertySet& set);

// The same for the configuration dialog's connection test, which in addition
// tells the user why a driver failed ("No appropriate Config, Please
// correct!!!", or the provider's error text of each failed probe).
bool BuildTargetInitPropertiesReporting(const ConnectionProfile& profile, PropertySet& set,
                                        Prompter& prompter);

}  // namespace tablift
