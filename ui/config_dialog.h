#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <functional>
#include <map>

#include "engine/config_file.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tablift {

class Workbench;

// Control ids of the configuration dialog.
enum ConfigControl : int {
  kConfigConnect = 1,
  kConfigClose = 2,
  kConfigTest = 3,
  kConfigSave = 4,
  kConfigSourceUserId = 1004,
  kConfigSourcePassword = 1005,
  kConfigSourceCatalog = 1006,
  kConfigSourceProvider = 1007,
  kConfigFromFileBox = 1008,
  kConfigSourceDbms = 1009,
  kConfigTargetProvider = 1010,
  kConfigTargetUserId = 1011,
  kConfigTargetPassword = 1012,
  kConfigTargetCatalog = 1013,
  kConfigOverwriteTableBox = 1014,
  kConfigOverwriteDatabaseBox = 1015,
  kConfigAutoBackupBox = 1016,
  kConfigSourceName = 1017,
  kConfigTargetName = 1018,
  kConfigTipsBox = 1019,
  kConfigTargetDbms = 1021,
  kConfigUnderscoreNamesBox = 1022,
  kConfigSourceGroup = 1043,
  kConfigTargetGroup = 1044,
  kConfigSourceNameLabel = 1047,
  kConfigTargetNameLabel = 1048,
  kConfigNewAccessFile = 1049,
};

// A list that lets its owner act before it drops down; the owner may take
// the place of the drop-down (by browsing for a file instead).
class DropDownList : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<bool()> beforeDropDown;  // true: handled, do not drop down
  void showPopup() override;
};

// An edit that reports double-clicks.
class DoubleClickEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  std::function<void()> doubleClicked;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The connection configuration: both sides' providers, source names,
// credentials and catalogs, the connection test, saving to the settings file
// and the hand-over to the main window. Built afresh on each opening; it
// reads the settings file when it is made.
class ConfigDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ConfigDialog(Workbench& window, QWidget* parent = nullptr);

  // A control by its id (see ConfigControl).
  template <typename Widget>
  Widget* control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : qobject_cast<Widget*>(found->second);
  }
  const ConfigSettings& settings() const { return settings_; }

  void testConnections();
  void saveConfig();
  // Hands the profiles to the main window and closes the dialog.
  void connectSides();
  // Lets the user choose a database file into a Source Name list (1017,
  // 1018) or a Catalog Name edit (1006, 1013).
  void browseDatabaseFile(int controlId);
  // "New...": a new, empty Access database in a folder the user chooses
  // becomes the Source Name.
  void createAccessFile();

 signals:
  // The "Display Tips" switch changed: the main window shows or hides its
  // "Tips" tab at once.
  void tipsShownChanged(bool shown);
  // Connect was pressed: the main window connects both sides.
  void connectRequested(bool autoBackup);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  struct Side {
    int dbms, group, provider, name, nameLabel, userId, password, catalog;
    ConnectionProfile* profile;
  };
  const Side& side(int index) const { return sides_[index]; }
  void buildControls();
  QWidget* buildSide(int index, const QString& title);
  void initialise();
  void copyFieldsToControls();
  void copyControlsToFields();
  void refillSourceNames(int index);
  void proposeOpenAccessFile();
  bool dropDownSourceNames(int index);
  void catalogDoubleClicked(int index);
  QString providerText(int index) const;
  void add(int id, QWidget* widget);

  Workbench& window_;
  ConfigSettings settings_;
  std::string dbmsNames_[2];
  Side sides_[2];
  std::map<int, QWidget*> controls_;
  bool initialising_ = false;
};

}  // namespace tablift
