#include "cli/connection_options.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "Converters/config_file.h"
#include "Converters/connect_side.h"
#include "Converters/workbench.h"
#include "data_access/jet/jet_provider.h"
#include "target_mysql/target_init_properties.h"

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

void FillTargetProfile(ConnectionProfile& target, const ConnectionOptions& options,
                       const ConfigSettings& saved) {
  if (options.server.empty() && options.dsn.empty()) {
    target = HandOverProfile(saved.target);
  } else {
    target.progId = "MSDASQL";
    target.providerName = options.dsn.empty() ? std::string(kServerAddressProvider) : "MySQL";
    target.sourceName = options.dsn.empty() ? options.server : options.dsn;
    target.catalogName.clear();
    target.userId = options.user;
    target.password = options.password;
  }
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

std::string MissingConnectionOption(const ConnectionOptions& options) {
  if (!options.server.empty() && !options.dsn.empty()) return "give only one of --server and --dsn";
  return {};
}

bool ConnectBothSides(Workbench& window, const ConnectionOptions& options) {
  // What the options leave out comes from the settings the desktop program
  // saved, when it saved them ("Properties from and to config file").
  const bool needsSaved =
      options.sourcePath.empty() || (options.server.empty() && options.dsn.empty());
  const ConfigSettings saved = needsSaved ? LoadConfig(ConfigFilePath()) : ConfigSettings{};
  if (needsSaved && !saved.configFromFile) {
    std::fprintf(stderr,
                 "tablift-cli: name the Access file and the server (--server or --dsn), or save "
                 "them in the desktop program's configuration (%s)\n",
                 ConfigFilePath().c_str());
    return false;
  }

  ConnectionProfile& source = window.sourceProfile();
  if (options.sourcePath.empty()) {
    source = HandOverProfile(saved.source);
  } else {
    source.providerName = "Microsoft Jet 4.0 OLE DB Provider";
    source.progId = kJetProgId;
    source.sourceName = std::filesystem::absolute(options.sourcePath).string();
    source.catalogName.clear();
    source.userId = "Admin";
    source.password = options.sourcePassword;
  }

  FillTargetProfile(window.targetProfile(), options, saved);
  const ConnectionProfile& target = window.targetProfile();

  ConnectCommand(window);
  bool connected = true;
  if (window.sourceSession() == nullptr) {
    std::fprintf(stderr, "tablift-cli: cannot open the Access file %s\n",
                 source.sourceName.c_str());
    connected = false;
  }
  if (window.targetSession() == nullptr) {
    std::fprintf(stderr, "tablift-cli: cannot connect to the MySQL server %s\n",
                 target.sourceName.c_str());
    connected = false;
  }
  return connected;
}

bool ConnectTargetSide(Workbench& window, const ConnectionOptions& options,
                       const std::string& database) {
  const bool needsSaved = options.server.empty() && options.dsn.empty();
  const ConfigSettings saved = needsSaved ? LoadConfig(ConfigFilePath()) : ConfigSettings{};
  if (needsSaved && !saved.configFromFile) {
    std::fprintf(stderr,
                 "tablift-cli: name the server (--server or --dsn), or save it in the desktop "
                 "program's configuration (%s)\n",
                 ConfigFilePath().c_str());
    return false;
  }
  FillTargetProfile(window.targetProfile(), options, saved);
  window.targetProfile().catalogName = database;
  ConnectTarget(window);
  if (window.targetSession() != nullptr) return true;
  std::fprintf(stderr, "tablift-cli: cannot connect to the MySQL server %s%s%s\n",
               window.targetProfile().sourceName.c_str(), database.empty() ? "" : " database ",
               database.c_str());
  return false;
}

}  // namespace tablift
