#include "cli/connection_options.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "data_access/jet/jet_provider.h"
#include "data_access/secret_masking.h"
#include "engine/config_file.h"
#include "engine/connect_side.h"
#include "engine/workbench.h"
#include "mysql/target_init_properties.h"

namespace tablift {
namespace {

bool TakeValue(int argc, char** argv, int& i, std::string& value, std::string& error) {
  if (i + 1 >= argc) {
    error = std::string(argv[i]) + " needs a value";
    return false;
  }
  value = argv[++i];
  return true;
}

}  // namespace

bool TakeConnectionOption(int argc, char** argv, int& i, ConnectionOptions& options,
                          std::string& error) {
  const std::string_view argument = argv[i];
  std::string* value = nullptr;
  if (argument == "--server") {
    value = &options.server;
  } else if (argument == "--dsn") {
    value = &options.dsn;
  } else if (argument == "--user") {
    value = &options.user;
  } else if (argument == "--password") {
    value = &options.password;
  } else if (argument == "--source-password") {
    value = &options.sourcePassword;
  } else if (argument == "--database") {
    value = &options.database;
  } else if (options.sourcePath.empty() && !argument.starts_with("-")) {
    options.sourcePath = argument;
    return true;
  } else {
    return false;
  }
  return TakeValue(argc, argv, i, *value, error);
}

namespace {

std::string_view TrimmedBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

// A port after the last ':' must be a number a server can listen on; an
// IPv6 address in brackets keeps its own colons.
bool PortReadable(std::string_view server) {
  const std::size_t colon = server.rfind(':');
  if (colon == std::string_view::npos || server.find(']', colon) != std::string_view::npos) {
    return true;
  }
  const std::string_view port = server.substr(colon + 1);
  if (port.empty() || port.size() > 5) return false;
  for (const char c : port)
    if (c < '0' || c > '9') return false;
  const int number = std::stoi(std::string(port));
  return number >= 1 && number <= 65535;
}

}  // namespace

Result<std::vector<std::string>> ParseServerList(std::string_view servers) {
  std::vector<std::string> list;
  for (std::size_t start = 0; start <= servers.size();) {
    const std::size_t comma = std::min(servers.find(',', start), servers.size());
    const std::string_view entry = TrimmedBlanks(servers.substr(start, comma - start));
    if (entry.empty()) return Status::Failure("--server names an empty server");
    if (!PortReadable(entry)) {
      return Status::Failure("--server: '" + std::string(entry) + "' has no valid port");
    }
    list.emplace_back(entry);
    start = comma + 1;
  }
  return list;
}

std::string MissingConnectionOption(const ConnectionOptions& options) {
  if (!options.server.empty() && !options.dsn.empty()) return "give only one of --server and --dsn";
  if (!options.server.empty()) {
    if (const auto servers = ParseServerList(options.server); !servers.ok())
      return servers.message();
  }
  return {};
}

void DescribeSourceFile(ConnectionProfile& profile, const std::string& path,
                        const std::string& password) {
  profile.providerName = "Microsoft Jet 4.0 OLE DB Provider";
  profile.progId = kJetProgId;
  profile.sourceName = std::filesystem::absolute(path).string();
  profile.catalogName.clear();
  profile.userId = "Admin";
  profile.password = password;
}

namespace {

// What the options leave out comes from the settings the desktop program
// saved, when it saved them ("Properties from and to config file"). False,
// after saying so, when something is left out and nothing was saved.
bool LoadSavedWhenNeeded(bool needsSaved, ConfigSettings& saved) {
  if (!needsSaved) return true;
  saved = LoadConfig(ConfigFilePath());
  if (saved.configFromFile) return true;
  std::fprintf(stderr,
               "tablift-cli: name the Access file and the server (--server or --dsn), or save "
               "them in the desktop program's configuration (%s)\n",
               ConfigFilePath().c_str());
  return false;
}

bool NamesServer(const ConnectionOptions& options) {
  return !options.server.empty() || !options.dsn.empty();
}

void FillSourceProfile(Workbench& window, const ConnectionOptions& options,
                       const ConfigSettings& saved) {
  ConnectionProfile& source = window.sourceProfile();
  if (options.sourcePath.empty()) {
    source = HandOverProfile(saved.source);
    return;
  }
  DescribeSourceFile(source, options.sourcePath, options.sourcePassword);
}

void FillTargetProfile(Workbench& window, const ConnectionOptions& options,
                       const ConfigSettings& saved) {
  ConnectionProfile& target = window.targetProfile();
  if (!NamesServer(options)) {
    target = HandOverProfile(saved.target);
    return;
  }
  target.progId = "MSDASQL";
  target.providerName = options.dsn.empty() ? std::string(kServerAddressProvider) : "MySQL";
  // Of a cluster's nodes the first is the one worked on; every node holds the
  // same data.
  const auto servers = ParseServerList(options.server);
  const std::string server =
      servers.ok() && !servers.value().empty() ? servers.value().front() : options.server;
  target.sourceName = options.dsn.empty() ? server : options.dsn;
  target.catalogName.clear();
  target.userId = options.user;
  target.password = options.password;
}

// Connects the MySQL side; on failure says so on standard error with the
// server's or driver's reason.
// The driver's own tag in front of its messages ("[ma-3.1.15]") says nothing
// to the user.
std::string WithoutDriverTag(const std::string& reason) {
  if (!reason.starts_with('[')) return reason;
  const std::size_t end = reason.find(']');
  return end == std::string::npos ? reason : reason.substr(end + 1);
}

bool TargetConnected(Workbench& window) {
  const Status connected = ConnectTargetReporting(window);
  if (connected.ok() && window.targetSession() != nullptr) return true;
  const ConnectionProfile& target = window.targetProfile();
  std::fprintf(stderr, "tablift-cli: cannot connect to the MySQL server %s%s%s: %s\n",
               MaskPasswords(target.sourceName).c_str(),
               target.catalogName.empty() ? "" : " database ", target.catalogName.c_str(),
               MaskPasswords(WithoutDriverTag(connected.message())).c_str());
  return false;
}

}  // namespace

bool ConnectBothSides(Workbench& window, const ConnectionOptions& options) {
  ConfigSettings saved;
  if (!LoadSavedWhenNeeded(options.sourcePath.empty() || !NamesServer(options), saved)) {
    return false;
  }
  FillSourceProfile(window, options, saved);
  FillTargetProfile(window, options, saved);
  // No task runs yet: the sides are connected as the Connect command does,
  // source first.
  ConnectSource(window);
  bool connected = true;
  if (window.sourceSession() == nullptr) {
    std::fprintf(stderr, "tablift-cli: cannot open the Access file %s\n",
                 window.sourceProfile().sourceName.c_str());
    connected = false;
  }
  return TargetConnected(window) && connected;
}

bool ConnectTargetSide(Workbench& window, const ConnectionOptions& options,
                       const std::string& database) {
  ConfigSettings saved;
  if (!LoadSavedWhenNeeded(!NamesServer(options), saved)) return false;
  FillTargetProfile(window, options, saved);
  window.targetProfile().catalogName = database;
  return TargetConnected(window);
}

}  // namespace tablift
