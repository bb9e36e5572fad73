#include "engine/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "tests/support/test_paths.h"

namespace tablift {
namespace {

using test::ScopedEnvironment;
using test::ScopedTempDir;

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

ConnectionProfile Profile(std::string provider, std::string source, std::string user,
                          std::string password, std::string catalog) {
  ConnectionProfile profile;
  profile.providerName = std::move(provider);
  profile.sourceName = std::move(source);
  profile.userId = std::move(user);
  profile.password = std::move(password);
  profile.catalogName = std::move(catalog);
  return profile;
}

TEST(ConfigFileTest, LivesInTheProgramDirectory) {
  ScopedTempDir home;
  ScopedEnvironment variable("TABLIFT_HOME", home.path().string());
  EXPECT_EQ(ConfigFilePath(), home.path() / "migrator.cfg");
}

TEST(ConfigFileTest, SavedTextIsThePlainIniFileReadableByItsOwnerOnly) {
  ScopedTempDir home;
  const auto file = home.path() / "migrator.cfg";
  ASSERT_TRUE(SaveConfigFlag(file, "Config", true));
  ASSERT_TRUE(SaveConfigFlag(file, "Tips", false));
  ASSERT_TRUE(SaveConfigFlag(file, "AutoBackup", true));
  ASSERT_TRUE(SaveConfigProfiles(
      file, Profile("Microsoft Jet 4.0 OLE DB Provider", "/data/Nordwind.mdb", "Admin", "", ""),
      Profile("TCP/IP:Port", "127.0.0.1:3307", "root", "s3cret", "Shop")));
  EXPECT_EQ(ReadAll(file),
            "[Public]\n"
            "Config=true\n"
            "Tips=false\n"
            "AutoBackup=true\n"
            "[SourceDB]\n"
            "Provider=Microsoft Jet 4.0 OLE DB Provider\n"
            "SourceName=/data/Nordwind.mdb\n"
            "UserID=Admin\n"
            "PassWord=\n"
            "CatalogName=\n"
            "[TargetDB]\n"
            "Provider=TCP/IP:Port\n"
            "SourceName=127.0.0.1:3307\n"
            "UserID=root\n"
            "PassWord=s3cret\n"
            "CatalogName=Shop\n");
  struct stat status {};
  ASSERT_EQ(stat(file.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);

  const ConfigSettings settings = LoadConfig(file);
  EXPECT_TRUE(settings.configFromFile);
  EXPECT_TRUE(settings.autoBackup);
  EXPECT_FALSE(settings.showTips);
  EXPECT_EQ(settings.source.providerName, "Microsoft Jet 4.0 OLE DB Provider");
  EXPECT_EQ(settings.source.sourceName, "/data/Nordwind.mdb");
  EXPECT_EQ(settings.target.password, "s3cret");
  EXPECT_EQ(settings.target.catalogName, "Shop");
}

TEST(ConfigFileTest, SavingIntoAnOpenFileMakesItOwnerOnly) {
  ScopedTempDir home;
  const auto file = home.path() / "migrator.cfg";
  WriteAll(file, "[Public]\nConfig=false\n");
  std::filesystem::permissions(
      file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read | std::filesystem::perms::others_read);
  ASSERT_TRUE(SaveConfigFlag(file, "Config", true));
  struct stat status {};
  ASSERT_EQ(stat(file.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST(ConfigFileTest, MissingFileLeavesEverythingClearAndEmpty) {
  ScopedTempDir home;
  const ConfigSettings settings = LoadConfig(home.path() / "migrator.cfg");
  EXPECT_FALSE(settings.configFromFile);
  EXPECT_FALSE(settings.autoBackup);
  EXPECT_FALSE(settings.showTips);
  EXPECT_TRUE(settings.source.providerName.empty());
  EXPECT_TRUE(settings.target.sourceName.empty());
}

TEST(ConfigFileTest, SwitchIsSetWhenItsValueContainsLowerCaseTrue) {
  EXPECT_TRUE(IsConfigFlagSet("true"));
  EXPECT_TRUE(IsConfigFlagSet("untrue"));
  EXPECT_FALSE(IsConfigFlagSet("TRUE"));
  EXPECT_FALSE(IsConfigFlagSet("false"));
  EXPECT_FALSE(IsConfigFlagSet(""));

  ScopedTempDir home;
  const auto file = home.path() / "migrator.cfg";
  WriteAll(file,
           "[Public]\nConfig=TRUE\nTips=untrue\n[SourceDB]\nProvider=Microsoft Access Driver\n");
  const ConfigSettings settings = LoadConfig(file);
  EXPECT_FALSE(settings.configFromFile);
  EXPECT_TRUE(settings.showTips);
  EXPECT_FALSE(settings.autoBackup);
  // The profiles are read only when the properties come from the file.
  EXPECT_TRUE(settings.source.providerName.empty());
}

TEST(ConfigFileTest, LongValuesReadBackWhole) {
  ScopedTempDir home;
  const auto file = home.path() / "migrator.cfg";
  const std::string longPath = "/srv/" + std::string(120, 'a') + "/Nordwind.mdb";
  ASSERT_TRUE(SaveConfigFlag(file, "Config", true));
  ASSERT_TRUE(SaveConfigProfiles(file, Profile("Microsoft Access Driver", longPath, "", "", ""),
                                 Profile("TCP/IP:Port", "", "", std::string(100, 'p'), "")));
  const ConfigSettings settings = LoadConfig(file);
  EXPECT_EQ(settings.source.sourceName, longPath);
  EXPECT_EQ(settings.target.password, std::string(100, 'p'));
}

TEST(ConfigFileTest, OnlyTheConfigSwitchKeepsOldProfilesInTheFile) {
  ScopedTempDir home;
  const auto file = home.path() / "migrator.cfg";
  ASSERT_TRUE(SaveConfigFlag(file, "Config", true));
  ASSERT_TRUE(SaveConfigProfiles(file, Profile("Microsoft Access Driver", "nw", "", "", ""),
                                 Profile("TCP/IP:Port", "127.0.0.1", "root", "", "")));
  ASSERT_TRUE(SaveConfigFlag(file, "Config", false));
  const std::string text = ReadAll(file);
  EXPECT_NE(text.find("Config=false\n"), std::string::npos);
  EXPECT_NE(text.find("[TargetDB]\nProvider=TCP/IP:Port\n"), std::string::npos);
  EXPECT_TRUE(LoadConfig(file).target.providerName.empty());
}

TEST(ConfigFileTest, ProviderDisplayNamesMapToProgIds) {
  EXPECT_EQ(ProviderToProgId("Microsoft Jet 4.0 OLE DB Provider"), "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(ProviderToProgId("microsoft jet 3.51 ole db provider"), "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(ProviderToProgId("Microsoft OLE DB Provider for ODBC Drivers"), "MSDASQL");
  EXPECT_EQ(ProviderToProgId("TCP/IP:Port"), "MSDASQL");
  EXPECT_EQ(ProviderToProgId("Driver do Microsoft Access"), "MSDASQL");
  EXPECT_EQ(ProviderToProgId("Microsoft OLE DB Provider for SQL Server"), "SQLOLEDB");
  EXPECT_EQ(ProviderToProgId("Oracle Provider for OLE DB"), "OraOLEDB.Oracle");
  EXPECT_EQ(ProviderToProgId("MSDASQL.1"), "MSDASQL.1");
}

TEST(ConfigFileTest, HandedOverProfileHasProgIdAndLowerCaseNames) {
  const ConnectionProfile profile =
      HandOverProfile(Profile("TCP/IP:Port", "LocalHost:3307", "Root", "PassWord", "Shop_ÄÖ"));
  EXPECT_EQ(profile.progId, "MSDASQL");
  EXPECT_EQ(profile.providerName, "TCP/IP:Port");
  EXPECT_EQ(profile.sourceName, "localhost:3307");
  EXPECT_EQ(profile.catalogName, "shop_äö");
  EXPECT_EQ(profile.userId, "Root");
  EXPECT_EQ(profile.password, "PassWord");

  const ConnectionProfile file = HandOverProfile(
      Profile("Microsoft Jet 4.0 OLE DB Provider", "/Data/Nordwind.mdb", "Admin", "", "NW"));
  EXPECT_EQ(file.progId, "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(file.sourceName, "/Data/Nordwind.mdb");
  EXPECT_EQ(file.catalogName, "nw");
}

}  // namespace
}  // namespace tablift

namespace tablift {
namespace {

TEST(ConfigFileTest, StoredProviderNotOfferedFallsBackToTheFirstEntry) {
  // The providers that need no driver or data source set up come first.
  EXPECT_EQ(ProvidersForDbms("access"),
            (std::vector<std::string>{"Microsoft Jet 4.0 OLE DB Provider",
                                      "Microsoft Jet 3.51 OLE DB Provider",
                                      "Driver do Microsoft Access", "Microsoft Access Driver"}));
  EXPECT_EQ(
      ProvidersForDbms("MySQL"),
      (std::vector<std::string>{"TCP/IP:Port", "Microsoft OLE DB Provider for ODBC Drivers"}));
  EXPECT_EQ(OfferedProvider("MySQL", "tcp/ip:port"), "TCP/IP:Port");
  EXPECT_EQ(OfferedProvider("MySQL", "microsoft ole db provider for odbc drivers"),
            "Microsoft OLE DB Provider for ODBC Drivers");
  EXPECT_EQ(OfferedProvider("MySQL", "MSDASQL"), "TCP/IP:Port");
  EXPECT_EQ(OfferedProvider("Access", ""), "Microsoft Jet 4.0 OLE DB Provider");
  // Settings files written before the provider's name was spelt right.
  EXPECT_EQ(OfferedProvider("MySQL", "Microsoft OLE DB Provider for ODBC Divers"),
            "Microsoft OLE DB Provider for ODBC Drivers");
  EXPECT_EQ(ProviderToProgId("Microsoft OLE DB Provider for ODBC Divers"), "MSDASQL");
  EXPECT_EQ(OfferedProvider("Oracle", "x"), "");
}

}  // namespace
}  // namespace tablift
