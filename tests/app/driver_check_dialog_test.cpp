#include "ui/driver_check_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "data_access/profile_file.h"
#include "engine/driver_installer.h"
#include "engine/test_connections.h"
#include "tests/app/window_fixture.h"
#include "tests/support/private_server.h"
#include "ui/command_ids.h"
#include "ui/config_dialog.h"

namespace tablift::test {
namespace {

QString Text(const DriverCheckDialog& dialog, int id) {
  auto* label = dialog.control<QLabel>(id);
  EXPECT_NE(label, nullptr) << id;
  return label != nullptr ? label->text() : QString();
}

TEST(DriverCheckDialogTest, ShowsBothGroupsRowsInColour) {
  Application();
  const std::vector<DriverReportRow> access{
      {"Microsoft Jet 4.0 OLE DB Provider", "Installed", "Usable"},
      {"Microsoft Access Driver", "Not installed", "Unusable"}};
  const std::vector<DriverReportRow> mysql =
      WithServerAddressRow({{"Microsoft OLE DB Provider for ODBC Drivers", "Installed", "Usable"},
                            {"MySQL ODBC Driver", "Not installed", "Unusable"}});
  DriverCheckDialog dialog(access, mysql);
  EXPECT_EQ(dialog.control<QGroupBox>(kDriverCheckAccessGroup)->title(), QStringLiteral("Access"));
  EXPECT_EQ(dialog.control<QGroupBox>(kDriverCheckMySqlGroup)->title(), QStringLiteral("MySQL"));
  EXPECT_EQ(Text(dialog, 2113), QStringLiteral("Microsoft Jet 4.0 OLE DB Provider"));
  EXPECT_EQ(Text(dialog, 2119), QStringLiteral("Not installed"));
  EXPECT_EQ(Text(dialog, 2163), QStringLiteral("Microsoft OLE DB Provider for ODBC Drivers"));
  EXPECT_EQ(Text(dialog, 2168), QStringLiteral("MySQL ODBC Driver"));
  EXPECT_EQ(Text(dialog, 2173), QStringLiteral("TCP/IP:Port"));
  EXPECT_EQ(Text(dialog, 2174), QStringLiteral("N/A"));
  EXPECT_EQ(Text(dialog, 2175), QStringLiteral("Unusable"));
  dialog.ensurePolished();
  EXPECT_EQ(dialog.control<QLabel>(2175)->palette().color(QPalette::WindowText),
            QColor(0xd0, 0, 0));
  EXPECT_EQ(dialog.control<QLabel>(2115)->palette().color(QPalette::WindowText),
            QColor(0, 0x80, 0));
  EXPECT_EQ(dialog.control<QLabel>(2118)->styleSheet(), QString());
  // Notes lose their tabs.
  EXPECT_FALSE(Text(dialog, kDriverCheckAccessNote).contains(QLatin1Char('\t')));
  EXPECT_TRUE(Text(dialog, kDriverCheckMySqlNote)
                  .endsWith(QStringLiteral(
                      "Or Press Button 'Install Mysql ODBC 3.51 Driver' to install from local.")));

  auto* microsoft = dialog.control<QPushButton>(kDriverCheckMicrosoftLink);
  EXPECT_EQ(microsoft->text(), QStringLiteral("Go Microsoft to get Setup"));
  EXPECT_EQ(microsoft->toolTip(), QStringLiteral("Get Setup Program from Authoritative site"));
  EXPECT_EQ(dialog.control<QPushButton>(kDriverCheckMySqlLink)->text(),
            QStringLiteral("Go MySQL to get Setup"));
  EXPECT_EQ(dialog.control<QPushButton>(kDriverCheckInstall)->text(),
            QStringLiteral("Install Mysql ODBC 3.51 Driver"));
  EXPECT_TRUE(dialog.control<QPushButton>(kDriverCheckOpenConfig)->isDefault());
  EXPECT_EQ(dialog.control<QPushButton>(kDriverCheckCancel)->text(), QStringLiteral("Cancel"));
}

TEST_F(WindowTest, DriverCheckOpenConfigLeadsOnToTheConfiguration) {
  std::vector<std::string> opened;
  window.setDialogHook([&](QDialog& dialog) {
    opened.push_back(dialog.metaObject()->className());
    QDialog* shown = &dialog;
    QTimer::singleShot(0, shown, [shown] {
      if (auto* check = qobject_cast<DriverCheckDialog*>(shown)) {
        // The real reports: the tests' driver configuration has MariaDB's.
        EXPECT_EQ(check->control<QLabel>(2168)->text(), QStringLiteral("MariaDB Unicode"));
        check->control<QPushButton>(kDriverCheckOpenConfig)->click();
      } else {
        shown->reject();
      }
    });
  });
  window.runCommand(kCmdDriverCheck);
  ASSERT_TRUE(ProcessEventsUntil([&] { return opened.size() == 2; }));
  EXPECT_EQ(opened[0], "tablift::DriverCheckDialog");
  EXPECT_EQ(opened[1], "tablift::ConfigDialog");
}

TEST_F(WindowTest, InstallingTheShippedDriverClosesTheCheckAndOpensAFreshOne) {
  // A driver configuration of the test's own, taken before anything asks the
  // driver manager.
  ScopedTempDir odbc;
  std::ofstream(odbc.path() / "odbcinst.ini") << "";
  ScopedEnvironment systemVariable("ODBCSYSINI", odbc.path().string());
  std::filesystem::create_directories(home.path() / kShippedDriverFolder);
  std::ofstream(home.path() / kShippedDriverFolder / kShippedDriverLibrary) << "driver";
  ScopedTempDir folder;

  int opened = 0;
  std::string secondShows;
  window.setDialogHook([&](QDialog& dialog) {
    ++opened;
    auto* check = qobject_cast<DriverCheckDialog*>(&dialog);
    ASSERT_NE(check, nullptr);
    const bool first = opened == 1;
    QTimer::singleShot(0, check, [&, check, first] {
      if (!first) {
        // The fresh check shows the driver just registered.
        auto* row = check->control<QLabel>(2168);
        secondShows = row != nullptr ? row->text().toStdString() : "";
        check->reject();
        return;
      }
      prompter.queueChoice(folder.path().string());
      check->control<QPushButton>(kDriverCheckInstall)->click();
    });
  });
  window.runCommand(kCmdDriverCheck);
  ASSERT_TRUE(ProcessEventsUntil([&] { return opened == 2; }));
  EXPECT_EQ(prompter.texts(ScriptedPrompter::Kind::Folder).back(),
            "Please choose install directory:");
  EXPECT_EQ(prompter.texts(ScriptedPrompter::Kind::Message).back(),
            "MySQL ODBC 3.51 Driver installed successfully!");
  EXPECT_TRUE(std::filesystem::exists(folder.path() / kShippedDriverLibrary));
  ASSERT_TRUE(ProcessEventsUntil([&] { return !secondShows.empty(); }));
  EXPECT_EQ(secondShows, kShippedDriverName);
}

TEST(DriverInstallTest, InstalledDriverShowsUsableAndReachesTheServer) {
  const auto server = PrivateServerFromEnvironment();
  if (!server) GTEST_SKIP() << "no private MariaDB";
  // The connector the tests' own driver configuration names is what the
  // build ships.
  const char* testOdbc = std::getenv("ODBCSYSINI");
  ASSERT_NE(testOdbc, nullptr);
  const std::string connector = ReadProfileString(std::filesystem::path(testOdbc) / "odbcinst.ini",
                                                  kMariaDbOdbcDriver, "Driver", "");
  ASSERT_FALSE(connector.empty());

  ScopedTempDir home;
  ScopedTempDir odbc;
  ScopedTempDir folder;
  std::ofstream(odbc.path() / "odbcinst.ini") << "";
  std::ofstream(odbc.path() / "odbc.ini") << "";
  ScopedEnvironment homeVariable("TABLIFT_HOME", home.path().string());
  ScopedEnvironment systemVariable("ODBCSYSINI", odbc.path().string());
  ScopedEnvironment userVariable("ODBCINI", (odbc.path() / "odbc.ini").string());
  std::filesystem::create_directories(home.path() / kShippedDriverFolder);
  std::filesystem::copy_file(connector, home.path() / kShippedDriverFolder / kShippedDriverLibrary);

  ASSERT_TRUE(InstallShippedMySqlDriver(folder.path()).installed);
  const std::vector<DriverReportRow> rows = MySqlDriverRows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].name, kShippedDriverName);
  EXPECT_EQ(rows[1].installed, "Installed");
  EXPECT_EQ(rows[1].usability, "Usable");
  EXPECT_EQ(rows[2].usability, "Usable");

  ConnectionProfile source;
  source.providerName = "Microsoft Access Driver";
  ConnectionProfile target;
  target.providerName = "TCP/IP:Port";
  target.sourceName = server->host + ":" + std::to_string(server->port);
  target.userId = server->user;
  target.password = server->password;
  ScriptedPrompter prompter;
  TestConnections(source, target, prompter);
  // One box for both sides: the source's missing Access driver, then the
  // target reached through the installed driver.
  EXPECT_THAT(prompter.texts(ScriptedPrompter::Kind::Message).back(),
              ::testing::EndsWith("\nTarget Connection Successful!"));
}

}  // namespace
}  // namespace tablift::test
