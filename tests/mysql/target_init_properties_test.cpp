// The initialisation properties that open the MySQL target, in both of the
// configuration's modes, with driver discovery and the probe running for real.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <type_traits>
#include <variant>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/scripted_prompter.h"
#include "data_access/data_source.h"
#include "data_access/session.h"
#include "data_access/text_query.h"
#include "mysql/odbc_library_files.h"
#include "mysql/target_init_properties.h"
#include "tests/mysql/fresh_process.h"
#include "tests/support/private_server.h"
#include "tests/support/test_paths.h"

namespace tablift::test {
namespace {

namespace fs = std::filesystem;
using ::testing::Not;

constexpr const char* kNoConfig = "No appropriate Config, Please correct!!!";

// One line per entry, "<id> <value>", so that order and repeats show.
std::string Listing(const PropertySet& set) {
  std::string text;
  for (const Property& property : set.properties()) {
    text += std::to_string(property.id) + " ";
    std::visit(
        [&text](const auto& value) {
          using Value = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Value, bool>) {
            text += value ? "true" : "false";
          } else if constexpr (std::is_same_v<Value, PropertyString>) {
            text += value ? *value : "(null)";
          } else {
            text += std::to_string(value);
          }
        },
        property.value);
    text += "\n";
  }
  return text;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The reporting form in server mode, for the profile that the TABLIFT_TEST_*
// variables describe: the result, the set and the messages shown.
const FreshProcessQuestion kServerMode("server mode properties", [] {
  ConnectionProfile profile;
  profile.providerName = "tcp/ip:port";
  profile.progId = Environment("TABLIFT_TEST_PROGID");
  profile.sourceName = Environment("TABLIFT_TEST_SOURCE");
  profile.catalogName = "shop";
  profile.userId = "migrator";
  profile.password = "secret";
  PropertySet set(PropertySetId::DBInit);
  ScriptedPrompter prompter;
  const bool built = BuildTargetInitPropertiesReporting(profile, set, prompter);
  std::string text = built ? "built\n" : "not built\n";
  text += Listing(set);
  for (const std::string& message : prompter.texts(ScriptedPrompter::Kind::Message)) {
    text += "message: " + message + "\n";
  }
  return text;
});

TEST(TargetServerAddress, SplitsAtTheFirstColonWithPort3306ByDefault) {
  EXPECT_EQ(SplitServerAddress("db.example:3307").host, "db.example");
  EXPECT_EQ(SplitServerAddress("db.example:3307").port, "3307");
  EXPECT_EQ(SplitServerAddress("127.0.0.1").host, "127.0.0.1");
  EXPECT_EQ(SplitServerAddress("127.0.0.1").port, "3306");
  EXPECT_EQ(SplitServerAddress("db.example:").host, "db.example");
  EXPECT_EQ(SplitServerAddress("db.example:").port, "3306");
}

TEST(TargetDriverConnectionString, NamesDriverServerPortAndDatabase) {
  EXPECT_EQ(ComposeDriverConnectionString("MySQL ODBC 3.51 Driver", {"127.0.0.1", "3306"}, "shop"),
            ";Driver={MySQL ODBC 3.51 Driver};SERVER=127.0.0.1;PORT=3306;UID=root;Database=shop");
  EXPECT_EQ(ComposeDriverConnectionString("MariaDB Unicode", {"db", "3307"}, ""),
            ";Driver={MariaDB Unicode};SERVER=db;PORT=3307;UID=root;");
}

TEST(TargetInitProperties, DataSourceModeNamesSourceAndCatalogWhenGiven) {
  ConnectionProfile profile{"Microsoft OLE DB Provider for ODBC Drivers",
                            "MSDASQL",
                            "shop_dsn",
                            "shop",
                            "migrator",
                            "secret"};
  PropertySet set(PropertySetId::DBInit);
  ScriptedPrompter prompter;

  EXPECT_TRUE(BuildTargetInitPropertiesReporting(profile, set, prompter));
  EXPECT_EQ(Listing(set), "8 false\n9 secret\n12 migrator\n59 shop_dsn\n233 shop\n63 16\n64 4\n");
  EXPECT_TRUE(prompter.prompts().empty());

  profile.sourceName.clear();
  profile.catalogName.clear();
  PropertySet bare(PropertySetId::DBInit);
  EXPECT_TRUE(BuildTargetInitProperties(profile, bare));
  EXPECT_EQ(Listing(bare), "8 false\n9 secret\n12 migrator\n63 16\n64 4\n");
}

class TargetServerMode : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = ResolveOdbcLibrary("libmaodbc.so");
    ASSERT_TRUE(driver_) << "MariaDB Connector/ODBC (odbc-mariadb) is not installed";
  }

  // An odbcinst.ini registering the real MariaDB driver under each name.
  void registerDrivers(const std::vector<std::string>& names) {
    std::ofstream file(dir_.path() / "odbcinst.ini");
    for (const std::string& name : names) {
      file << "[" << name << "]\nDriver=" << driver_->string() << "\n\n";
    }
  }

  std::string askServerMode(const std::string& progId, const std::string& source) {
    EnvironmentChanges changes = OdbcConfigurationIn(dir_.path().string());
    changes.emplace_back("TABLIFT_TEST_PROGID", progId);
    changes.emplace_back("TABLIFT_TEST_SOURCE", source);
    return kServerMode.ask(changes);
  }

  std::optional<fs::path> driver_;
  ScopedTempDir dir_;
};

// Port 1 on the loopback refuses at once, so every probe fails quickly.
constexpr const char* kClosedPort = "127.0.0.1:1";

TEST_F(TargetServerMode, UnusableFirstDriverEndsTheSetUpWithoutTryingTheSecond) {
  std::ofstream(dir_.path() / "odbcinst.ini")
      << "[MySQL ODBC 3.51 Driver]\nDriver=" << (dir_.path() / "missing.so").string() << "\n\n"
      << "[MariaDB Unicode]\nDriver=" << driver_->string() << "\n";

  EXPECT_EQ(askServerMode("MSDASQL", kClosedPort),
            "not built\n8 false\n9 secret\n12 migrator\nmessage: " + std::string(kNoConfig) + "\n");
}

TEST_F(TargetServerMode, ThreeFailedProbesStillGiveAFinishedSet) {
  registerDrivers({"MariaDB A", "MariaDB B", "MariaDB C", "MariaDB D"});

  const std::string answer = askServerMode("MSDASQL", kClosedPort);

  EXPECT_THAT(answer, ::testing::StartsWith("built\n"));
  EXPECT_THAT(answer, ::testing::HasSubstr("{MariaDB C};SERVER=127.0.0.1;PORT=1;UID=root;"
                                           "Database=shop\n63 16\n64 4\nmessage: "));
  EXPECT_THAT(answer, Not(::testing::HasSubstr("MariaDB D")));
  EXPECT_THAT(answer, Not(::testing::HasSubstr(kNoConfig)));
  // Each failed probe is reported with the provider's text, not the fallback.
  std::size_t messages = 0;
  for (std::size_t at = 0; (at = answer.find("\nmessage: ", at)) != std::string::npos; ++at) {
    ++messages;
  }
  EXPECT_EQ(messages, 3u);
  EXPECT_THAT(answer, Not(::testing::HasSubstr("Unknown Error!")));
}

TEST_F(TargetServerMode, UnknownProviderFailsEveryProbeWithUnknownError) {
  registerDrivers({"MariaDB Unicode"});

  EXPECT_EQ(askServerMode("No.Such.Provider", kClosedPort),
            "not built\n8 false\n9 secret\n12 migrator\n"
            "160 ;Driver={MariaDB Unicode};SERVER=127.0.0.1;PORT=1;UID=root;Database=shop\n"
            "message: Unknown Error!\nmessage: " +
                std::string(kNoConfig) + "\n");
}

// Against the private server, with the test programs' own driver
// configuration (MariaDB Unicode).
class TargetServerModeOnPrivateServer : public ::testing::Test {
 protected:
  void SetUp() override {
    auto found = PrivateServerFromEnvironment();
    ASSERT_TRUE(found) << "no private server: run through ctest (mariadb fixture)";
    server_ = *found;
  }

  ConnectionProfile profileFor(std::string user, std::string password, std::string catalog) {
    return {"TCP/IP:Port", "MSDASQL",       server_.host + ":" + std::to_string(server_.port),
            catalog,       std::move(user), std::move(password)};
  }

  // The first column of the first row of `sql` on a connection opened with the
  // finished set, or the failure.
  static std::string QueryWith(const PropertySet& set, const std::string& sql) {
    Clsid clsid = nullptr;
    if (Failed(CLSIDFromProgID("MSDASQL", clsid))) return "no provider";
    DataSource dataSource;
    if (Failed(dataSource.open(clsid, &set, 1))) return "open failed";
    Session session;
    if (Failed(session.open(dataSource))) return "no session";
    std::string first;
    const std::string result = RunTextQuery(&session, sql, nullptr, [&first](const TextRow& row) {
      first = row.text(1);
      return false;
    });
    return result.empty() ? first : result;
  }

  PrivateServer server_;
};

// The driver connection string always says UID=root; the user of the profile
// must still be the one who logs in, with the catalog as default database.
TEST_F(TargetServerModeOnPrivateServer, LogsInAsTheProfileUser) {
  PropertySet admin(PropertySetId::DBInit);
  ASSERT_TRUE(BuildTargetInitProperties(profileFor(server_.user, server_.password, ""), admin));
  for (const std::string& sql :
       {std::string("CREATE DATABASE IF NOT EXISTS `tablift_target_shop`"),
        std::string("CREATE OR REPLACE USER 'tablift_target'@'%' IDENTIFIED BY 'pw;x'"),
        std::string("GRANT ALL ON `tablift_target_shop`.* TO 'tablift_target'@'%'")}) {
    ASSERT_EQ(QueryWith(admin, sql), "RESULT: The operation completed SUCCESSFULLY") << sql;
  }

  PropertySet set(PropertySetId::DBInit);
  ScriptedPrompter prompter;
  ASSERT_TRUE(BuildTargetInitPropertiesReporting(
      profileFor("tablift_target", "pw;x", "tablift_target_shop"), set, prompter));
  EXPECT_TRUE(prompter.prompts().empty());
  EXPECT_EQ(Listing(set),
            "8 false\n9 pw;x\n12 tablift_target\n160 ;Driver={MariaDB Unicode};SERVER=" +
                server_.host + ";PORT=" + std::to_string(server_.port) +
                ";UID=root;Database=tablift_target_shop\n63 16\n64 4\n");
  EXPECT_EQ(QueryWith(set, "select concat(current_user(), ' ', database())"),
            "tablift_target@% tablift_target_shop");

  QueryWith(admin, "DROP USER 'tablift_target'@'%'");
  QueryWith(admin, "DROP DATABASE `tablift_target_shop`");
}

}  // namespace
}  // namespace tablift::test
