#include "ui/config_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/config_file.h"
#include "tests/app/window_fixture.h"
#include "tests/support/private_server.h"
#include "ui/command_ids.h"

namespace tablift::test {
namespace {

using Kind = ScriptedPrompter::Kind;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i)
    items << list->itemText(i);
  return items;
}

class ConfigDialogTest : public WindowTest {
 protected:
  std::filesystem::path ConfigFile() const { return home.path() / "migrator.cfg"; }
  void WriteConfig(const std::string& text) {
    std::ofstream(ConfigFile(), std::ios::binary) << text;
  }
  template <typename Widget>
  static Widget* Control(const ConfigDialog& dialog, int id) {
    Widget* widget = dialog.control<Widget>(id);
    EXPECT_NE(widget, nullptr) << id;
    return widget;
  }
  static void Click(const ConfigDialog& dialog, int id) {
    Control<QAbstractButton>(dialog, id)->click();
  }
};

TEST_F(ConfigDialogTest, WithoutSettingsFileOffersTheListsAndClearSwitches) {
  ConfigDialog dialog(window.workbench(), &window);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Config"));
  EXPECT_EQ(Control<QPushButton>(dialog, kConfigTest)->text(), QStringLiteral("&Test Connections"));
  EXPECT_EQ(Control<QPushButton>(dialog, kConfigSave)->text(), QStringLiteral("Save Config"));
  EXPECT_EQ(Control<QPushButton>(dialog, kConfigConnect)->text(), QStringLiteral("Connect"));
  EXPECT_EQ(Control<QPushButton>(dialog, kConfigClose)->text(), QStringLiteral("Close"));

  // The two systems the sides speak, and nothing the program cannot open.
  const QStringList dbms{"Access", "MySQL"};
  for (int id : {kConfigSourceDbms, kConfigTargetDbms}) {
    EXPECT_EQ(Items(Control<QComboBox>(dialog, id)), dbms);
    EXPECT_FALSE(Control<QComboBox>(dialog, id)->isEnabled());
  }
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigSourceDbms)->currentText(), QStringLiteral("Access"));
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigTargetDbms)->currentText(), QStringLiteral("MySQL"));
  EXPECT_EQ(Control<QGroupBox>(dialog, kConfigSourceGroup)->title(), QStringLiteral("Access"));
  EXPECT_EQ(Control<QGroupBox>(dialog, kConfigTargetGroup)->title(), QStringLiteral("MySQL"));

  // The first choice on each side works here; the others stay offered.
  auto* sourceProviders = Control<QComboBox>(dialog, kConfigSourceProvider);
  EXPECT_EQ(Items(sourceProviders),
            (QStringList{"Microsoft Jet 4.0 OLE DB Provider", "Microsoft Jet 3.51 OLE DB Provider",
                         "Driver do Microsoft Access", "Microsoft Access Driver"}));
  EXPECT_TRUE(sourceProviders->isEditable());
  EXPECT_EQ(sourceProviders->currentIndex(), 0);
  auto* targetProviders = Control<QComboBox>(dialog, kConfigTargetProvider);
  EXPECT_EQ(Items(targetProviders),
            (QStringList{"TCP/IP:Port", "Microsoft OLE DB Provider for ODBC Drivers"}));
  EXPECT_EQ(targetProviders->currentIndex(), 0);
  EXPECT_EQ(Control<QLabel>(dialog, kConfigSourceNameLabel)->text(),
            QStringLiteral("Source Name:"));
  EXPECT_FALSE(Control<QPushButton>(dialog, kConfigNewAccessFile)->isHidden());
  EXPECT_EQ(Control<QLabel>(dialog, kConfigTargetNameLabel)->text(), QStringLiteral("Server:Port"));
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigTargetName)->currentText(),
            QStringLiteral("127.0.0.1:3306"));
  // An ODBC provider's list holds the data sources, and has no "New...".
  sourceProviders->setCurrentIndex(2);
  EXPECT_EQ(Control<QLabel>(dialog, kConfigSourceNameLabel)->text(), QStringLiteral("Source Name"));
  EXPECT_TRUE(Control<QPushButton>(dialog, kConfigNewAccessFile)->isHidden());
  EXPECT_EQ(Control<QLineEdit>(dialog, kConfigSourcePassword)->echoMode(), QLineEdit::Password);

  for (int id : {kConfigOverwriteTableBox, kConfigOverwriteDatabaseBox}) {
    EXPECT_FALSE(Control<QCheckBox>(dialog, id)->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(dialog, id)->isChecked());
  }
  EXPECT_EQ(Control<QCheckBox>(dialog, kConfigFromFileBox)->text(),
            QStringLiteral("Properties from and to config file"));
  EXPECT_EQ(Control<QCheckBox>(dialog, kConfigAutoBackupBox)->text(),
            QStringLiteral("Auto Backup (need more time and disk space)"));
  EXPECT_EQ(Control<QCheckBox>(dialog, kConfigTipsBox)->text(), QStringLiteral("Display Tips"));
  for (int id : {kConfigFromFileBox, kConfigAutoBackupBox, kConfigTipsBox})
    EXPECT_FALSE(Control<QCheckBox>(dialog, id)->isChecked());
  // Nothing is made on the user's behalf.
  EXPECT_FALSE(std::filesystem::exists(home.path() / "Access_New.mdb"));
}

TEST_F(ConfigDialogTest, LoadsTheSettingsFileIntoTheControls) {
  WriteConfig(
      "[Public]\nConfig=true\nAutoBackup=untrue\nTips=TRUE\n"
      "[SourceDB]\nProvider=MSDASQL\nSourceName=/data/Nordwind.mdb\nUserID=Admin\n"
      "PassWord=\nCatalogName=\n"
      "[TargetDB]\nProvider=tcp/ip:port\nSourceName=127.0.0.1:3307\nUserID=root\n"
      "PassWord=geheim\nCatalogName=Shop\n");
  ConfigDialog dialog(window.workbench(), &window);
  EXPECT_TRUE(Control<QCheckBox>(dialog, kConfigFromFileBox)->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(dialog, kConfigAutoBackupBox)->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(dialog, kConfigTipsBox)->isChecked());
  // A provider that is not offered falls back to the first entry.
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigSourceProvider)->currentText(),
            QStringLiteral("Microsoft Jet 4.0 OLE DB Provider"));
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigSourceName)->currentText(),
            QStringLiteral("/data/Nordwind.mdb"));
  EXPECT_EQ(Control<QLineEdit>(dialog, kConfigSourceUserId)->text(), QStringLiteral("Admin"));
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigTargetProvider)->currentText(),
            QStringLiteral("TCP/IP:Port"));
  EXPECT_EQ(Control<QLabel>(dialog, kConfigTargetNameLabel)->text(), QStringLiteral("Server:Port"));
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigTargetName)->currentText(),
            QStringLiteral("127.0.0.1:3307"));
  EXPECT_EQ(Control<QLineEdit>(dialog, kConfigTargetPassword)->text(), QStringLiteral("geheim"));
  EXPECT_EQ(Control<QLineEdit>(dialog, kConfigTargetCatalog)->text(), QStringLiteral("Shop"));
}

TEST_F(ConfigDialogTest, ChoosingServerAddressFillsTheLoopbackAddress) {
  ConfigDialog dialog(window.workbench(), &window);
  Control<QComboBox>(dialog, kConfigTargetProvider)->setCurrentIndex(1);
  EXPECT_EQ(Control<QLabel>(dialog, kConfigTargetNameLabel)->text(), QStringLiteral("Source Name"));
  Control<QComboBox>(dialog, kConfigTargetProvider)->setCurrentIndex(0);
  EXPECT_EQ(Control<QLabel>(dialog, kConfigTargetNameLabel)->text(), QStringLiteral("Server:Port"));
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigTargetName)->currentText(),
            QStringLiteral("127.0.0.1:3306"));
}

TEST_F(ConfigDialogTest, SaveConfigWritesTheWholeFileReadableByItsOwnerOnly) {
  ConfigDialog dialog(window.workbench(), &window);
  Click(dialog, kConfigFromFileBox);
  Click(dialog, kConfigAutoBackupBox);
  Control<QComboBox>(dialog, kConfigSourceProvider)->setCurrentIndex(1);  // Jet 3.51
  Control<QComboBox>(dialog, kConfigSourceName)->setCurrentText(QStringLiteral("/data/NW.mdb"));
  Control<QLineEdit>(dialog, kConfigSourceUserId)->setText(QStringLiteral("Admin"));
  Control<QComboBox>(dialog, kConfigTargetProvider)->setCurrentIndex(0);
  Control<QComboBox>(dialog, kConfigTargetName)->setCurrentText(QStringLiteral("db.local:3307"));
  Control<QLineEdit>(dialog, kConfigTargetUserId)->setText(QStringLiteral("root"));
  Control<QLineEdit>(dialog, kConfigTargetPassword)->setText(QStringLiteral("p=a;s s"));
  Control<QLineEdit>(dialog, kConfigTargetCatalog)->setText(QStringLiteral("Shop"));
  Click(dialog, kConfigSave);

  EXPECT_EQ(ReadAll(ConfigFile()),
            "[Public]\nConfig=true\nTips=false\nAutoBackup=true\nNames=keep\n"
            "[SourceDB]\nProvider=Microsoft Jet 3.51 OLE DB Provider\nSourceName=/data/NW.mdb\n"
            "UserID=Admin\nPassWord=\nCatalogName=\n"
            "[TargetDB]\nProvider=TCP/IP:Port\nSourceName=db.local:3307\nUserID=root\n"
            "PassWord=p=a;s s\nCatalogName=Shop\n");
  EXPECT_EQ(std::filesystem::status(ConfigFile()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(prompter.texts(Kind::Message).back(), "The Config Information saved successfully!");

  // Unticked, only the switch is written; the old sections stay.
  Click(dialog, kConfigFromFileBox);
  Click(dialog, kConfigSave);
  const std::string text = ReadAll(ConfigFile());
  EXPECT_NE(text.find("[Public]\nConfig=false\nTips=false\nAutoBackup=true\n"), std::string::npos);
  EXPECT_NE(text.find("PassWord=p=a;s s\n"), std::string::npos);
}

TEST_F(ConfigDialogTest, TipsSwitchShowsAndHidesTheTabAtOnce) {
  window.setDialogHook([&](QDialog& opened) {
    auto* opening = dynamic_cast<ConfigDialog*>(&opened);
    ASSERT_NE(opening, nullptr);
    QTimer::singleShot(0, opening, [&, opening] {
      ConfigDialog& dialog = *opening;
      Click(dialog, kConfigTipsBox);
      EXPECT_EQ(window.outputTabs()->count(), 3);
      EXPECT_EQ(window.outputTabs()->tabText(2), QStringLiteral("Tips"));
      Click(dialog, kConfigTipsBox);
      EXPECT_EQ(window.outputTabs()->count(), 2);
      Click(dialog, kConfigTipsBox);
      Click(dialog, kConfigClose);
    });
  });
  window.runCommand(kCmdToolConfigure);
  // Closing saves nothing, but the tab stays as the switch left it.
  EXPECT_EQ(window.outputTabs()->count(), 3);
  EXPECT_FALSE(std::filesystem::exists(ConfigFile()));
}

TEST_F(ConfigDialogTest, ConnectHandsLowerCaseProfilesToTheWindowAndConnects) {
  window.setDialogHook([&](QDialog& opened) {
    auto* opening = dynamic_cast<ConfigDialog*>(&opened);
    ASSERT_NE(opening, nullptr);
    QTimer::singleShot(0, opening, [&, opening] {
      ConfigDialog& dialog = *opening;
      Click(dialog, kConfigAutoBackupBox);
      Click(dialog, kConfigUnderscoreNamesBox);
      Control<QComboBox>(dialog, kConfigSourceProvider)->setCurrentIndex(2);
      Control<QComboBox>(dialog, kConfigSourceName)->setCurrentText(QStringLiteral("NordWind"));
      Control<QLineEdit>(dialog, kConfigSourceCatalog)->setText(QStringLiteral("NW"));
      Control<QComboBox>(dialog, kConfigTargetName)->setCurrentText(QStringLiteral("LocalHost:1"));
      Control<QLineEdit>(dialog, kConfigTargetUserId)->setText(QStringLiteral("Root"));
      Control<QLineEdit>(dialog, kConfigTargetCatalog)->setText(QStringLiteral("Shop"));
      Click(dialog, kConfigConnect);
    });
  });
  window.runCommand(kCmdToolConfigure);
  const ConnectionProfile& source = window.workbench().sourceProfile();
  EXPECT_EQ(source.providerName, "Driver do Microsoft Access");
  EXPECT_EQ(source.progId, "MSDASQL");
  EXPECT_EQ(source.sourceName, "nordwind");
  EXPECT_EQ(source.catalogName, "nw");
  const ConnectionProfile& target = window.workbench().targetProfile();
  EXPECT_EQ(target.providerName, "TCP/IP:Port");
  EXPECT_EQ(target.sourceName, "localhost:1");
  EXPECT_EQ(target.catalogName, "shop");
  EXPECT_EQ(target.userId, "Root");
  EXPECT_TRUE(window.autoBackupFlag());
  EXPECT_EQ(window.workbench().nameRule(), NameRule::Underscore);
  EXPECT_EQ(window.outputTabs()->currentIndex(), kTaskListTab);
  // The switches are written whether or not the properties are kept.
  EXPECT_EQ(ReadAll(ConfigFile()),
            "[Public]\nConfig=false\nTips=false\nAutoBackup=true\nNames=underscore\n");
  // The connect command follows: the source cannot be reached.
  ASSERT_TRUE(ProcessEventsUntil([&] {
    for (const std::string& text : prompter.texts(Kind::Message))
      if (text.find("Source Connection error!") != std::string::npos) return true;
    return false;
  }));
}

TEST_F(ConfigDialogTest, WindowStartsWithTheSavedProfilesAndSwitches) {
  WriteConfig(
      "[Public]\nConfig=true\nTips=true\nAutoBackup=false\nNames=underscore\n"
      "[SourceDB]\nProvider=Microsoft Jet 4.0 OLE DB Provider\nSourceName=/Data/NW.mdb\n"
      "[TargetDB]\nProvider=TCP/IP:Port\nSourceName=LocalHost\nCatalogName=Shop\n");
  MainWindow second{&prompter};
  EXPECT_EQ(second.outputTabs()->count(), 3);
  EXPECT_FALSE(second.autoBackupFlag());
  EXPECT_EQ(second.workbench().nameRule(), NameRule::Underscore);
  ConfigDialog dialog(second.workbench(), &second);
  EXPECT_TRUE(Control<QCheckBox>(dialog, kConfigUnderscoreNamesBox)->isChecked());
  EXPECT_EQ(second.workbench().sourceProfile().progId, "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(second.workbench().sourceProfile().sourceName, "/Data/NW.mdb");
  EXPECT_EQ(second.workbench().targetProfile().sourceName, "localhost");
  EXPECT_EQ(second.workbench().targetProfile().catalogName, "shop");
  EXPECT_EQ(second.workbench().targetProfile().progId, "MSDASQL");
}

// How many Access databases a folder holds, its subfolders included.
int AccessFiles(const std::filesystem::path& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    count += entry.path().extension() == ".mdb";
  return count;
}

TEST_F(ConfigDialogTest, JetProposesTheOpenFileAndNewMakesOneWhereTheUserSays) {
  const std::filesystem::path open = home.path() / "Nordwind.mdb";
  window.workbench().sourceProfile().sourceName = open.string();
  ConfigDialog dialog(window.workbench(), &window);
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigSourceName)->currentText(),
            QString::fromStdString(open.string()));
  Control<QComboBox>(dialog, kConfigSourceProvider)->setCurrentIndex(2);
  Control<QComboBox>(dialog, kConfigSourceProvider)->setCurrentIndex(1);  // Jet 3.51
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigSourceName)->currentText(),
            QString::fromStdString(open.string()));
  EXPECT_EQ(AccessFiles(home.path()), 0);

  // "New..." asks for a folder; cancelled, nothing is made.
  Click(dialog, kConfigNewAccessFile);
  EXPECT_EQ(prompter.texts(Kind::Folder).back(), "Folder for the new Access database");
  EXPECT_EQ(AccessFiles(home.path()), 0);
  // In the chosen folder, beside a database already there, under a new name.
  const std::filesystem::path folder = home.path() / "mine";
  std::filesystem::create_directory(folder);
  std::ofstream(folder / "Access_New.mdb") << "keep";
  prompter.queueChoice(folder.string());
  Click(dialog, kConfigNewAccessFile);
  const std::filesystem::path made = folder / "Access_New2.mdb";
  EXPECT_TRUE(std::filesystem::is_regular_file(made));
  EXPECT_GT(std::filesystem::file_size(made), 4u);
  EXPECT_EQ(ReadAll(folder / "Access_New.mdb"), "keep");
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigSourceName)->currentText(),
            QString::fromStdString(made.string()));

  // A Jet source's list browses for a file instead of dropping down.
  prompter.queueChoice("/data/Zoo.mdb");
  Control<QLineEdit>(dialog, kConfigSourceCatalog)->setText(QStringLiteral("old"));
  Control<QComboBox>(dialog, kConfigSourceName)->showPopup();
  EXPECT_EQ(prompter.texts(Kind::File).back(), "Open the database file");
  EXPECT_EQ(Control<QComboBox>(dialog, kConfigSourceName)->currentText(),
            QStringLiteral("/data/Zoo.mdb"));
  EXPECT_TRUE(Control<QLineEdit>(dialog, kConfigSourceCatalog)->text().isEmpty());
}

TEST_F(ConfigDialogTest, CatalogDoubleClickBrowsesOnlyForOdbcProviders) {
  ConfigDialog dialog(window.workbench(), &window);
  auto* catalog = dynamic_cast<DoubleClickEdit*>(Control<QLineEdit>(dialog, kConfigSourceCatalog));
  ASSERT_NE(catalog, nullptr);
  Control<QComboBox>(dialog, kConfigSourceProvider)->setCurrentIndex(2);  // ODBC
  Control<QComboBox>(dialog, kConfigSourceName)->setCurrentText(QStringLiteral("nordwind"));
  prompter.queueChoice("/data/Nordwind.mdb");
  catalog->doubleClicked();
  EXPECT_EQ(catalog->text(), QStringLiteral("/data/Nordwind.mdb"));
  EXPECT_TRUE(Control<QComboBox>(dialog, kConfigSourceName)->currentText().isEmpty());

  // A Jet provider opens its file from the Source Name list instead.
  Control<QComboBox>(dialog, kConfigSourceProvider)->setCurrentIndex(0);
  const std::size_t asked = prompter.texts(Kind::File).size();
  catalog->doubleClicked();
  EXPECT_EQ(prompter.texts(Kind::File).size(), asked);
}

TEST_F(ConfigDialogTest, TestConnectionsReportsEachSide) {
  const auto server = PrivateServerFromEnvironment();
  if (!server) GTEST_SKIP() << "no private MariaDB";
  ConfigDialog dialog(window.workbench(), &window);
  Control<QComboBox>(dialog, kConfigSourceProvider)->setCurrentIndex(2);  // ODBC, no such source
  Control<QComboBox>(dialog, kConfigSourceName)->setCurrentText(QStringLiteral("no_such_dsn"));
  Control<QComboBox>(dialog, kConfigTargetName)
      ->setCurrentText(QString::fromStdString(server->host + ":" + std::to_string(server->port)));
  Control<QLineEdit>(dialog, kConfigTargetUserId)->setText(QString::fromStdString(server->user));
  Control<QLineEdit>(dialog, kConfigTargetPassword)
      ->setText(QString::fromStdString(server->password));
  // One box per press, with each side's outcome and the reason of a failure.
  Click(dialog, kConfigTest);
  std::vector<std::string> messages = prompter.texts(Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], StartsWith("Source DB Connect ERROR!\n"));
  EXPECT_THAT(messages[0], EndsWith("\nTarget Connection Successful!"));
  EXPECT_GT(std::count(messages[0].begin(), messages[0].end(), '\n'), 1);

  Control<QLineEdit>(dialog, kConfigTargetPassword)->setText(QStringLiteral("wrong password"));
  Click(dialog, kConfigTest);
  messages = prompter.texts(Kind::Message);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_THAT(messages[1], HasSubstr("Access denied"));
  EXPECT_THAT(messages[1], Not(HasSubstr("Successful")));

  // The first choices as they open, with the open Access file: both work.
  const auto fixtures = FixturesDirectory();
  if (!fixtures) return;
  window.workbench().sourceProfile().sourceName = (*fixtures / "northwind-jet3.mdb").string();
  ConfigDialog fresh(window.workbench(), &window);
  Control<QComboBox>(fresh, kConfigTargetName)
      ->setCurrentText(QString::fromStdString(server->host + ":" + std::to_string(server->port)));
  Control<QLineEdit>(fresh, kConfigTargetUserId)->setText(QString::fromStdString(server->user));
  Control<QLineEdit>(fresh, kConfigTargetPassword)
      ->setText(QString::fromStdString(server->password));
  Click(fresh, kConfigTest);
  messages = prompter.texts(Kind::Message);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[2], "Source Connection Successful!\nTarget Connection Successful!");
}

}  // namespace
}  // namespace tablift::test
