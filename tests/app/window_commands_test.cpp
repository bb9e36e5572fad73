// The window's smaller commands: keys on every menu entry, the manual behind
// F1, the About box, and when the driver check opens at start.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <set>

#include "engine/config_file.h"
#include "engine/driver_check.h"
#include "tablift_version.h"
#include "tests/app/window_fixture.h"
#include "ui/command_ids.h"
#include "ui/driver_check_dialog.h"

namespace tablift::test {
namespace {

using ::testing::HasSubstr;

// Every entry of every menu shows its keys, and no two entries share them
// (a shared key fires neither).
TEST_F(WindowTest, EveryMenuCommandHasItsOwnShortcut) {
  std::set<QString> seen;
  for (int position = 0; window.menuAt(position) != nullptr; ++position) {
    for (QAction* action : window.menuAt(position)->actions()) {
      if (action->isSeparator()) continue;
      const QString keys = action->shortcut().toString();
      EXPECT_FALSE(keys.isEmpty()) << action->text().toStdString();
      EXPECT_TRUE(seen.insert(keys).second) << keys.toStdString() << " twice";
    }
  }
  const auto keysOf = [&](int command) { return window.commandAction(command)->shortcut(); };
  EXPECT_EQ(keysOf(kCmdManual), QKeySequence(Qt::Key_F1));
  EXPECT_EQ(keysOf(kCmdRefresh), QKeySequence(Qt::Key_F5));
  EXPECT_EQ(keysOf(kCmdDeleteSelected), QKeySequence(Qt::Key_Delete));
  for (int command : {kCmdConfig, kCmdConnect, kCmdMigrate, kCmdBackup, kCmdStartStopTasks})
    EXPECT_FALSE(keysOf(command).isEmpty()) << command;
  // The mini tool bar's buttons name the keys of their menu twins.
  EXPECT_THAT(window.commandAction(kCmdToolMigrate)->toolTip().toStdString(),
              HasSubstr(keysOf(kCmdMigrate).toString(QKeySequence::NativeText).toStdString()));
}

// Without a manual anywhere, F1 says where it looked instead of doing
// nothing; with one, it is handed to the desktop's opener. (The opener is a
// stand-in: a test cannot watch a browser open.)
TEST_F(WindowTest, TheManualOpensOrSaysWhyNot) {
  std::vector<QUrl> opened;
  window.setUrlOpener([&](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  const QString missing = QString::fromStdString((home.path() / "no-manual.html").string());
  window.setManualCandidates({missing});
  window.commandAction(kCmdManual)->trigger();
  EXPECT_TRUE(opened.empty());
  const auto messages = prompter.texts(ScriptedPrompter::Kind::Message);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], HasSubstr("The manual was not found"));
  EXPECT_THAT(messages[0], HasSubstr(missing.toStdString()));

  const auto manual = home.path() / "manual.html";
  std::ofstream(manual) << "<html></html>";
  window.setManualCandidates({missing, QString::fromStdString(manual.string())});
  window.commandAction(kCmdManual)->trigger();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(manual.string())));

  // A desktop with nothing to show HTML says so.
  window.setUrlOpener([](const QUrl&) { return false; });
  window.commandAction(kCmdManual)->trigger();
  EXPECT_THAT(prompter.texts(ScriptedPrompter::Kind::Message).back(),
              HasSubstr("could not be opened"));
}

// The About box is the program's own: name, version, the versions it
// stands on and its licence, and no web page.
TEST_F(WindowTest, AboutNamesTheVersionsAndTheLicence) {
  const std::string about = window.aboutText().toStdString();
  EXPECT_THAT(about, HasSubstr(std::string("Tablift ") + TABLIFT_VERSION));
  EXPECT_THAT(about, HasSubstr(std::string("Qt ") + qVersion()));
  EXPECT_THAT(about, HasSubstr(std::string("libmdb ") + TABLIFT_LIBMDB_VERSION));
  EXPECT_THAT(about, ::testing::ContainsRegex("libmdb [0-9]+\\.[0-9]+"));
  EXPECT_THAT(about, HasSubstr("MySQL ODBC driver: "));
  EXPECT_THAT(about, HasSubstr(std::string("Licence: ") + TABLIFT_LICENSE));
  EXPECT_THAT(about, ::testing::Not(HasSubstr("http")));
}

// With every driver in place the check stays shut at start, unless its
// "Show at start" was set; the box's state is kept in the settings.
TEST_F(WindowTest, TheDriverCheckOpensAtStartOnlyWhenAsked) {
  ASSERT_FALSE(DriversMissing(AccessDriverRows(), MySqlDriverRows()))
      << "the tests' driver configuration names MariaDB's driver";
  int shown = 0;
  bool boxChecked = false;
  window.setDialogHook([&](QDialog& dialog) {
    ++shown;
    auto* check = dynamic_cast<DriverCheckDialog*>(&dialog);
    ASSERT_NE(check, nullptr);
    QTimer::singleShot(0, check, [&, check] {
      auto* box = check->control<QCheckBox>(kDriverCheckShowAtStart);
      boxChecked = box->isChecked();
      box->setChecked(!boxChecked);
      check->reject();
    });
  });
  window.openDriverCheckAtStart();
  EXPECT_EQ(shown, 0);
  window.runCommand(kCmdDriverCheck);  // from the menu it always opens
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(boxChecked);
  EXPECT_TRUE(LoadConfig(ConfigFilePath()).driverCheckAtStart);
  window.openDriverCheckAtStart();
  EXPECT_EQ(shown, 2);
  EXPECT_TRUE(boxChecked);
  EXPECT_FALSE(LoadConfig(ConfigFilePath()).driverCheckAtStart);
}

// What counts as missing: a side that cannot connect at all, not an optional
// Access ODBC driver.
TEST(DriversMissingTest, OnlyWhatASideNeedsCounts) {
  const std::vector<DriverReportRow> access = {
      {"Microsoft Jet 4.0 OLE DB Provider", "Installed", "Usable"},
      {"Microsoft OLE DB Provider for ODBC Drivers", "Installed", "Usable"},
      {"Microsoft Access Driver", "Not installed", "Unusable"}};
  const std::vector<DriverReportRow> mySql = {
      {"Microsoft OLE DB Provider for ODBC Drivers", "Installed", "Usable"},
      {"MariaDB Unicode", "Installed", "Usable"},
      {"TCP/IP:Port", "N/A", "Usable"}};
  EXPECT_FALSE(DriversMissing(access, mySql));
  auto noJet = access;
  noJet[0].usability = "Unusable";
  EXPECT_TRUE(DriversMissing(noJet, mySql));
  const std::vector<DriverReportRow> noDriver = {
      {"Microsoft OLE DB Provider for ODBC Drivers", "Installed", "Usable"},
      {"MySQL ODBC Driver", "Not installed", "Unusable"},
      {"TCP/IP:Port", "N/A", "Unusable"}};
  EXPECT_TRUE(DriversMissing(access, noDriver));
}

}  // namespace
}  // namespace tablift::test
