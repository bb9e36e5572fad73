#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/connection_profile.h"
#include "core/prompter.h"
#include "engine/target_settings.h"
#include "translate/mysql_names.h"

namespace tablift {

// The settings file, "migrator.cfg" in the program's directory. It holds the
// two sides' connection properties (passwords in clear, so the file is made
// readable by its owner only), three program-wide switches and the name rule.
std::filesystem::path ConfigFilePath();

// What the settings file holds. A profile's provider is its display name, as
// the configuration dialog lists it; the ProgID is not stored.
struct ConfigSettings {
  bool configFromFile = false;  // "Properties from and to config file"
  bool autoBackup = false;
  bool showTips = false;
  // The driver check opens at every start ("DriverCheck"), not only when a
  // side misses what it needs.
  bool driverCheckAtStart = false;
  NameRule names = NameRule::Keep;  // how Access names are spelt on the MySQL side
  // What new tables get: the last choice made in the window, else the
  // defaults.
  std::string storageEngine = kDefaultStorageEngine;
  std::string charset = kDefaultCharset;
  ConnectionProfile source;
  ConnectionProfile target;
};

// A switch reads as set when its value contains "true" (with case: "TRUE" is
// clear, "untrue" is set); a missing key or file reads as clear.
bool IsConfigFlagSet(std::string_view value);
const char* ConfigFlagText(bool set);

// Told (with the file's full path for %s) when the file that was there a
// moment ago cannot be opened to read the connection properties.
inline constexpr char kConfigFileMissingMessage[] = "找不到有效配置文件(%s),检查配置文件路径!";

// Reads the settings; a missing file leaves everything clear and empty. The
// profiles are read only when "Config" is set; missing keys read as "".
ConfigSettings LoadConfig(const std::filesystem::path& file, Prompter* prompter = nullptr);

// Writes one "Public" switch ("Config", "Tips", "AutoBackup" or
// "DriverCheck").
bool SaveConfigFlag(const std::filesystem::path& file, std::string_view key, bool set,
                    std::string* error = nullptr);
// Writes the name rule ("Names", "keep" or "underscore"); a missing or
// unknown value reads as "keep".
bool SaveConfigNames(const std::filesystem::path& file, NameRule rule,
                     std::string* error = nullptr);
// Writes the storage engine ("Engine") or the character set ("Charset") new
// tables get.
bool SaveConfigStorageEngine(const std::filesystem::path& file, std::string_view engine,
                             std::string* error = nullptr);
bool SaveConfigCharset(const std::filesystem::path& file, std::string_view charset,
                       std::string* error = nullptr);
// Writes the five keys of "SourceDB" and of "TargetDB".
bool SaveConfigProfiles(const std::filesystem::path& file, const ConnectionProfile& source,
                        const ConnectionProfile& target, std::string* error = nullptr);

// The data access provider (ProgID) behind a provider's display name
// (compared without regard to case); other texts are taken as ProgIDs.
std::string ProviderToProgId(std::string_view providerName);

// A source or catalog name as the main window keeps it: in lower case, except
// a file path (one holding "/"), whose case names a different file.
std::string LowerConnectionName(std::string_view name);

// The profile the main window connects with: the ProgID filled in from the
// display name, source and catalog names lowered as above.
ConnectionProfile HandOverProfile(const ConnectionProfile& profile);

}  // namespace tablift

namespace tablift {

// The providers the configuration dialog offers for a DBMS ("Access" or
// "MySQL", compared without regard to case), the one that works without any
// set-up first; none for other DBMS names.
std::vector<std::string> ProvidersForDbms(std::string_view dbmsName);

// The offered provider that a stored one selects (compared without regard to
// case), or the first offered when none matches; "" when none is offered.
std::string OfferedProvider(std::string_view dbmsName, std::string_view stored);

// The MySQL side's provider for a data source of odbc.ini.
inline constexpr char kOdbcDriversProvider[] = "Microsoft OLE DB Provider for ODBC Drivers";

// True for the two Jet providers' display names.
bool IsJetProviderName(std::string_view providerName);

}  // namespace tablift
