#include "engine/config_file.h"

#include <algorithm>
#include <fstream>

#include "data_access/ascii_text.h"
#include "data_access/jet/sql/text_folding.h"
#include "data_access/profile_file.h"
#include "data_access/working_directories.h"
#include "translate/table_ddl.h"

namespace tablift {
namespace {

constexpr char kPublic[] = "Public";
constexpr char kSourceSection[] = "SourceDB";
constexpr char kTargetSection[] = "TargetDB";
constexpr char kOdbcDriversMisspelt[] = "Microsoft OLE DB Provider for ODBC Divers";

std::string Read(const std::filesystem::path& file, std::string_view section,
                 std::string_view key) {
  return ReadProfileString(file, section, key, "");
}

void LoadProfile(const std::filesystem::path& file, std::string_view section,
                 ConnectionProfile& profile) {
  profile.providerName = Read(file, section, "Provider");
  profile.sourceName = Read(file, section, "SourceName");
  profile.userId = Read(file, section, "UserID");
  profile.password = Read(file, section, "PassWord");
  profile.catalogName = Read(file, section, "CatalogName");
}

bool Write(const std::filesystem::path& file, std::string_view section, std::string_view key,
           std::string_view value, std::string* error) {
  // The file holds passwords: only its owner may read it.
  return WriteProfileString(file, section, key, value, error, ProfileFileAccess::Private);
}

bool SaveProfile(const std::filesystem::path& file, std::string_view section,
                 const ConnectionProfile& profile, std::string* error) {
  return Write(file, section, "Provider", profile.providerName, error) &&
         Write(file, section, "SourceName", profile.sourceName, error) &&
         Write(file, section, "UserID", profile.userId, error) &&
         Write(file, section, "PassWord", profile.password, error) &&
         Write(file, section, "CatalogName", profile.catalogName, error);
}

struct ProviderProgId {
  const char* name;
  const char* progId;
};

constexpr ProviderProgId kProviderProgIds[] = {
    {kOdbcDriversProvider, "MSDASQL"},
    // As settings files written before its spelling was corrected name it.
    {kOdbcDriversMisspelt, "MSDASQL"},
    {"TCP/IP:Port", "MSDASQL"},
    {"Microsoft OLE DB Provider for SQL Server", "SQLOLEDB"},
    {"Driver do Microsoft Excel", "MSDASQL"},
    {"Microsoft Excel Driver", "MSDASQL"},
    {"Driver do Microsoft Access", "MSDASQL"},
    {"Microsoft Access Driver", "MSDASQL"},
    {"Microsoft Jet 4.0 OLE DB Provider", "Microsoft.Jet.OLEDB.4.0"},
    {"Microsoft Jet 3.51 OLE DB Provider", "Microsoft.Jet.OLEDB.4.0"},
    {"Microsoft OLE DB Provider for Oracle", "MSDAORA"},
    {"Oracle Provider for OLE DB", "OraOLEDB.Oracle"},
};

}  // namespace

std::filesystem::path ConfigFilePath() {
  return ProgramDirectory() / "migrator.cfg";
}

bool IsConfigFlagSet(std::string_view value) {
  return value.find("true") != std::string_view::npos;
}

const char* ConfigFlagText(bool set) {
  return set ? "true" : "false";
}

ConfigSettings LoadConfig(const std::filesystem::path& file, Prompter* prompter) {
  ConfigSettings settings;
  if (!std::ifstream(file).is_open()) return settings;
  settings.configFromFile = IsConfigFlagSet(Read(file, kPublic, "Config"));
  if (settings.configFromFile && !std::ifstream(file).is_open()) {
    // The file went away while it was being read.
    if (prompter != nullptr) {
      std::string message = kConfigFileMissingMessage;
      message.replace(message.find("%s"), 2, file.string());
      prompter->showMessage(message, MessageIcon::Error);
    }
  } else if (settings.configFromFile) {
    LoadProfile(file, kSourceSection, settings.source);
    LoadProfile(file, kTargetSection, settings.target);
  }
  settings.autoBackup = IsConfigFlagSet(Read(file, kPublic, "AutoBackup"));
  settings.showTips = IsConfigFlagSet(Read(file, kPublic, "Tips"));
  settings.driverCheckAtStart = IsConfigFlagSet(Read(file, kPublic, "DriverCheck"));
  settings.names = ParseNameRule(Read(file, kPublic, "Names")).value_or(NameRule::Keep);
  if (std::string engine = Read(file, kPublic, "Engine"); !engine.empty())
    settings.storageEngine = IsInnoDb(engine) ? "InnoDB" : "MyISAM";
  if (std::string charset = Read(file, kPublic, "Charset"); !charset.empty())
    settings.charset = std::move(charset);
  return settings;
}

bool SaveConfigFlag(const std::filesystem::path& file, std::string_view key, bool set,
                    std::string* error) {
  return Write(file, kPublic, key, ConfigFlagText(set), error);
}

bool SaveConfigNames(const std::filesystem::path& file, NameRule rule, std::string* error) {
  return Write(file, kPublic, "Names", NameRuleText(rule), error);
}

bool SaveConfigStorageEngine(const std::filesystem::path& file, std::string_view engine,
                             std::string* error) {
  return Write(file, kPublic, "Engine", engine, error);
}

bool SaveConfigCharset(const std::filesystem::path& file, std::string_view charset,
                       std::string* error) {
  return Write(file, kPublic, "Charset", charset, error);
}

bool SaveConfigProfiles(const std::filesystem::path& file, const ConnectionProfile& source,
                        const ConnectionProfile& target, std::string* error) {
  return SaveProfile(file, kSourceSection, source, error) &&
         SaveProfile(file, kTargetSection, target, error);
}

std::string ProviderToProgId(std::string_view providerName) {
  for (const ProviderProgId& entry : kProviderProgIds) {
    if (EqualsIgnoreCase(providerName, entry.name)) return entry.progId;
  }
  return std::string(providerName);
}

std::string LowerConnectionName(std::string_view name) {
  // File names are case-sensitive here: lowering a path would lose the file.
  if (name.find('/') != std::string_view::npos) return std::string(name);
  return jet::ToLowerText(name);
}

ConnectionProfile HandOverProfile(const ConnectionProfile& profile) {
  ConnectionProfile result = profile;
  result.progId = ProviderToProgId(profile.providerName);
  result.sourceName = LowerConnectionName(profile.sourceName);
  result.catalogName = LowerConnectionName(profile.catalogName);
  return result;
}

}  // namespace tablift

namespace tablift {

std::vector<std::string> ProvidersForDbms(std::string_view dbmsName) {
  std::vector<std::string> providers;
  // The first of each list works on every machine the program runs on: the
  // Jet provider reads the file itself, and a server address needs no data
  // source of odbc.ini. The others need a driver or a data source set up.
  if (EqualsIgnoreCase(dbmsName, "Access")) {
    providers = {"Microsoft Jet 4.0 OLE DB Provider", "Microsoft Jet 3.51 OLE DB Provider",
                 "Driver do Microsoft Access", "Microsoft Access Driver"};
  } else if (EqualsIgnoreCase(dbmsName, "MySQL")) {
    providers = {"TCP/IP:Port", kOdbcDriversProvider};
  }
  return providers;
}

std::string OfferedProvider(std::string_view dbmsName, std::string_view stored) {
  const std::vector<std::string> providers = ProvidersForDbms(dbmsName);
  if (EqualsIgnoreCase(stored, kOdbcDriversMisspelt)) stored = kOdbcDriversProvider;
  for (const std::string& provider : providers) {
    if (EqualsIgnoreCase(provider, stored)) return provider;
  }
  return providers.empty() ? std::string() : providers.front();
}

bool IsJetProviderName(std::string_view providerName) {
  return providerName == "Microsoft Jet 4.0 OLE DB Provider" ||
         providerName == "Microsoft Jet 3.51 OLE DB Provider";
}

}  // namespace tablift
