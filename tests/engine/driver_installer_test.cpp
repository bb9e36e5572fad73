#include "engine/driver_installer.h"

#include <gtest/gtest.h>

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

// A program directory, a driver configuration and an install folder of the
// test's own; each test runs in a process of its own, so the driver manager
// takes this configuration.
class DriverInstallerTest : public ::testing::Test {
 protected:
  DriverInstallerTest() {
    std::ofstream(odbc.path() / "odbcinst.ini") << "";
    std::filesystem::create_directories(home.path() / kShippedDriverFolder);
  }
  void Ship(const char* name, const std::string& content) {
    std::ofstream(home.path() / kShippedDriverFolder / name, std::ios::binary) << content;
  }
  std::string Configuration() const { return ReadAll(odbc.path() / "odbcinst.ini"); }

  ScopedTempDir home;
  ScopedTempDir odbc;
  ScopedTempDir folder;
  ScopedEnvironment homeVariable{"TABLIFT_HOME", home.path().string()};
  ScopedEnvironment systemVariable{"ODBCSYSINI", odbc.path().string()};
};

TEST_F(DriverInstallerTest, CopiesTheShippedFilesAndRegistersTheDriver) {
  Ship(kShippedDriverLibrary, "driver");
  Ship(kShippedSetupLibrary, "setup");
  const DriverInstallResult result = InstallShippedMySqlDriver(folder.path());
  EXPECT_TRUE(result.installed);
  EXPECT_EQ(result.message, "MySQL ODBC 3.51 Driver installed successfully!");
  EXPECT_EQ(ReadAll(folder.path() / kShippedDriverLibrary), "driver");
  EXPECT_EQ(ReadAll(folder.path() / kShippedSetupLibrary), "setup");
  const std::string text = Configuration();
  EXPECT_NE(text.find("[MySQL ODBC 3.51 Driver]"), std::string::npos) << text;
  EXPECT_NE(text.find("Driver=" + (folder.path() / kShippedDriverLibrary).string()),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Setup=" + (folder.path() / kShippedSetupLibrary).string()),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("UsageCount=2"), std::string::npos) << text;
  EXPECT_NE(text.find("[ODBC Drivers]\nMySQL ODBC 3.51 Driver=Installed"), std::string::npos)
      << text;
}

TEST_F(DriverInstallerTest, KeepsFilesAlreadyInTheFolderAndStillRegisters) {
  Ship(kShippedDriverLibrary, "new driver");
  std::ofstream(folder.path() / kShippedDriverLibrary, std::ios::binary) << "old driver";
  EXPECT_TRUE(InstallShippedMySqlDriver(folder.path()).installed);
  EXPECT_EQ(ReadAll(folder.path() / kShippedDriverLibrary), "old driver");
  const std::string text = Configuration();
  EXPECT_NE(text.find("UsageCount=2"), std::string::npos) << text;
  // No configuration library shipped: none registered.
  EXPECT_EQ(text.find("Setup="), std::string::npos) << text;
}

TEST_F(DriverInstallerTest, MissingShippedDriverOrFolderIsNotASuccess) {
  DriverInstallResult result = InstallShippedMySqlDriver(folder.path());
  EXPECT_FALSE(result.installed);
  EXPECT_NE(result.message.find("is missing"), std::string::npos);

  // A folder that cannot be made (a file stands where its parent would be)
  // says so and registers nothing.
  Ship(kShippedDriverLibrary, "driver");
  std::ofstream(folder.path() / "plain-file") << "";
  result = InstallShippedMySqlDriver(folder.path() / "plain-file" / "drivers");
  EXPECT_FALSE(result.installed);
  EXPECT_NE(result.message.find("Cannot create the folder " +
                                (folder.path() / "plain-file" / "drivers").string()),
            std::string::npos)
      << result.message;
  EXPECT_EQ(Configuration().find("MySQL ODBC 3.51 Driver"), std::string::npos);
}

TEST_F(DriverInstallerTest, MakesAMissingFolderWithItsParents) {
  Ship(kShippedDriverLibrary, "driver");
  const std::filesystem::path fresh = folder.path() / "not" / "there" / "yet";
  const DriverInstallResult result = InstallShippedMySqlDriver(fresh);
  EXPECT_TRUE(result.installed) << result.message;
  EXPECT_EQ(ReadAll(fresh / kShippedDriverLibrary), "driver");
  EXPECT_NE(Configuration().find("Driver=" + (fresh / kShippedDriverLibrary).string()),
            std::string::npos);
}

}  // namespace
}  // namespace tablift
