#include "ui/config_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>
#include <filesystem>

#include "access/access_database_management.h"
#include "data_access/ascii_text.h"
#include "data_access/working_directories.h"
#include "engine/odbc_data_sources.h"
#include "engine/test_connections.h"
#include "engine/workbench.h"
#include "mysql/target_init_properties.h"
#include "ui/background_drag.h"

namespace tablift {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Adds a text to a list that keeps its entries in alphabetical order (as the
// sorted lists of the dialog do, without regard to case); an entry already
// there is not added twice. The entry's index.
int AddSorted(QComboBox* list, const QString& text) {
  const int existing = list->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (existing >= 0) return existing;
  int index = 0;
  while (index < list->count() &&
         QString::compare(list->itemText(index), text, Qt::CaseInsensitive) <= 0)
    ++index;
  list->insertItem(index, text);
  return index;
}

constexpr const char* kSourceNameLabelText = "Source Name:";

}  // namespace

void DropDownList::showPopup() {
  if (beforeDropDown && beforeDropDown()) return;
  QComboBox::showPopup();
}

void DoubleClickEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  QLineEdit::mouseDoubleClickEvent(event);
  if (doubleClicked) doubleClicked();
}

ConfigDialog::ConfigDialog(Workbench& window, QWidget* parent)
    : QDialog(parent),
      window_(window),
      sides_{{kConfigSourceDbms, kConfigSourceGroup, kConfigSourceProvider, kConfigSourceName,
              kConfigSourceNameLabel, kConfigSourceUserId, kConfigSourcePassword,
              kConfigSourceCatalog, &settings_.source},
             {kConfigTargetDbms, kConfigTargetGroup, kConfigTargetProvider, kConfigTargetName,
              kConfigTargetNameLabel, kConfigTargetUserId, kConfigTargetPassword,
              kConfigTargetCatalog, &settings_.target}} {
  setModal(true);
  buildControls();
  settings_ = LoadConfig(ConfigFilePath(), &window_.prompter());
  control<QCheckBox>(kConfigFromFileBox)->setChecked(settings_.configFromFile);
  control<QCheckBox>(kConfigAutoBackupBox)->setChecked(settings_.autoBackup);
  control<QCheckBox>(kConfigTipsBox)->setChecked(settings_.showTips);
  control<QCheckBox>(kConfigUnderscoreNamesBox)
      ->setChecked(settings_.names == NameRule::Underscore);
  initialise();
  copyFieldsToControls();
}

void ConfigDialog::add(int id, QWidget* widget) {
  widget->setObjectName(QStringLiteral("control%1").arg(id));
  controls_[id] = widget;
}

QWidget* ConfigDialog::buildSide(int index, const QString& title) {
  const Side& s = sides_[index];
  auto* group = new QGroupBox(title, this);
  add(s.group, group);
  auto* form = new QFormLayout(group);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

  auto* provider = new QComboBox(group);
  provider->setEditable(true);
  provider->setInsertPolicy(QComboBox::InsertAlphabetically);
  provider->setMinimumContentsLength(40);
  add(s.provider, provider);
  form->addRow(QStringLiteral("DB Provider:"), provider);

  auto* names = new DropDownList(group);
  names->setEditable(true);
  names->setInsertPolicy(QComboBox::InsertAlphabetically);
  names->setMinimumContentsLength(40);
  names->beforeDropDown = [this, index] { return dropDownSourceNames(index); };
  add(s.name, names);
  auto* nameLabel = new QLabel(QString::fromLatin1(kSourceNameLabelText), group);
  add(s.nameLabel, nameLabel);
  if (index == 0) {
    auto* row = new QHBoxLayout;
    row->addWidget(names, 1);
    auto* create = new QPushButton(QStringLiteral("New..."), group);
    create->setAutoDefault(false);
    create->setToolTip(
        QStringLiteral("Create a new, empty Access database in a folder you choose"));
    add(kConfigNewAccessFile, create);
    connect(create, &QPushButton::clicked, this, &ConfigDialog::createAccessFile);
    row->addWidget(create);
    form->addRow(nameLabel, row);
  } else {
    form->addRow(nameLabel, names);
  }

  auto* user = new QLineEdit(group);
  add(s.userId, user);
  form->addRow(QStringLiteral("User ID:"), user);
  auto* password = new QLineEdit(group);
  password->setEchoMode(QLineEdit::Password);
  add(s.password, password);
  form->addRow(QStringLiteral("Password:"), password);
  auto* catalog = new DoubleClickEdit(group);
  catalog->doubleClicked = [this, index] { catalogDoubleClicked(index); };
  add(s.catalog, catalog);
  form->addRow(QStringLiteral("Catalog Name:"), catalog);

  connect(provider, &QComboBox::currentIndexChanged, this,
          [this, index] { refillSourceNames(index); });
  return group;
}

void ConfigDialog::buildControls() {
  auto* layout = new QVBoxLayout(this);

  auto* dbmsRow = new QHBoxLayout;
  for (int index = 0; index < 2; ++index) {
    auto* list = new QComboBox(this);
    list->setEnabled(false);
    add(sides_[index].dbms, list);
    dbmsRow->addWidget(new QLabel(
        index == 0 ? QStringLiteral("    Source DB:") : QStringLiteral("    Target DB:"), this));
    dbmsRow->addWidget(list, 1);
  }
  layout->addLayout(dbmsRow);

  auto* sidesRow = new QHBoxLayout;
  sidesRow->addWidget(buildSide(0, QStringLiteral("Source Database")));
  sidesRow->addWidget(buildSide(1, QStringLiteral("Target Database")));
  layout->addLayout(sidesRow);

  auto* switches = new QGridLayout;
  auto addBox = [&](int id, const char* text, int row, int column) {
    auto* box = new QCheckBox(QString::fromLatin1(text), this);
    add(id, box);
    switches->addWidget(box, row, column);
    return box;
  };
  addBox(kConfigOverwriteTableBox, "Overwrite the same-name table", 0, 0)->setEnabled(false);
  addBox(kConfigOverwriteDatabaseBox, "Overwrite the same-name database", 0, 1)->setEnabled(false);
  auto* fromFile = addBox(kConfigFromFileBox, "Properties from and to config file", 1, 0);
  auto* autoBackup =
      addBox(kConfigAutoBackupBox, "Auto Backup (need more time and disk space)", 1, 1);
  auto* tips = addBox(kConfigTipsBox, "Display Tips", 2, 0);
  auto* underscore =
      addBox(kConfigUnderscoreNamesBox, "Replace blanks in MySQL names with _", 2, 1);
  underscore->setToolTip(QStringLiteral(
      "Tables, columns, keys, foreign keys and views get MySQL-friendly names; the views "
      "refer to them under the same names. Unticked, every object keeps its Access name."));
  layout->addLayout(switches);
  connect(fromFile, &QCheckBox::toggled, this, [this](bool on) { settings_.configFromFile = on; });
  connect(autoBackup, &QCheckBox::toggled, this, [this](bool on) { settings_.autoBackup = on; });
  connect(underscore, &QCheckBox::toggled, this,
          [this](bool on) { settings_.names = on ? NameRule::Underscore : NameRule::Keep; });
  connect(tips, &QCheckBox::toggled, this, [this](bool on) {
    settings_.showTips = on;
    emit tipsShownChanged(on);
  });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto addButton = [&](int id, const char* text) {
    auto* button = new QPushButton(QString::fromLatin1(text), this);
    button->setAutoDefault(false);
    add(id, button);
    buttons->addWidget(button);
    return button;
  };
  auto* test = addButton(kConfigTest, "Test Connections");
  auto* save = addButton(kConfigSave, "Save Config");
  auto* connectButton = addButton(kConfigConnect, "Connect");
  connectButton->setDefault(true);
  auto* close = addButton(kConfigClose, "Close");
  layout->addLayout(buttons);
  connect(test, &QPushButton::clicked, this, &ConfigDialog::testConnections);
  connect(save, &QPushButton::clicked, this, &ConfigDialog::saveConfig);
  connect(connectButton, &QPushButton::clicked, this, &ConfigDialog::connectSides);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void ConfigDialog::initialise() {
  initialising_ = true;
  setWindowTitle(QStringLiteral("Config"));
  control<QPushButton>(kConfigTest)->setText(QStringLiteral("&Test Connections"));

  // Each side speaks one system: the source Access, the target MySQL.
  const char* const selected[2] = {kDbmsAccessName, kDbmsMySqlName};
  for (int index = 0; index < 2; ++index) {
    auto* list = control<QComboBox>(sides_[index].dbms);
    list->clear();
    for (const char* name : {kDbmsAccessName, kDbmsMySqlName})
      list->addItem(QString::fromLatin1(name));
    list->setCurrentText(QString::fromLatin1(selected[index]));
    dbmsNames_[index] = list->currentText().toStdString();
    control<QGroupBox>(sides_[index].group)->setTitle(list->currentText());
  }

  for (int index = 0; index < 2; ++index) {
    const Side& s = sides_[index];
    auto* providers = control<QComboBox>(s.provider);
    const QSignalBlocker blocker(providers);
    providers->clear();
    // In the engine's order: the first entry works without any set-up.
    for (const std::string& provider : ProvidersForDbms(dbmsNames_[index]))
      providers->addItem(ToQString(provider));
  }
  for (int index = 0; index < 2; ++index) {
    const Side& s = sides_[index];
    auto* providers = control<QComboBox>(s.provider);
    s.profile->providerName = OfferedProvider(dbmsNames_[index], s.profile->providerName);
    {
      const QSignalBlocker blocker(providers);
      providers->setCurrentIndex(providers->findText(ToQString(s.profile->providerName)));
    }
    refillSourceNames(index);
  }
  initialising_ = false;
}

void ConfigDialog::copyFieldsToControls() {
  for (const Side& s : sides_) {
    // Long provider names show from their start.
    control<QComboBox>(s.provider)->lineEdit()->setCursorPosition(0);
    // An empty name keeps what the provider proposed (the open Access file,
    // the local server's address).
    if (!s.profile->sourceName.empty())
      control<QComboBox>(s.name)->setCurrentText(ToQString(s.profile->sourceName));
    control<QLineEdit>(s.userId)->setText(ToQString(s.profile->userId));
    control<QLineEdit>(s.password)->setText(ToQString(s.profile->password));
    control<QLineEdit>(s.catalog)->setText(ToQString(s.profile->catalogName));
  }
}

void ConfigDialog::copyControlsToFields() {
  for (const Side& s : sides_) {
    s.profile->providerName = control<QComboBox>(s.provider)->currentText().toStdString();
    s.profile->sourceName = control<QComboBox>(s.name)->currentText().toStdString();
    s.profile->userId = control<QLineEdit>(s.userId)->text().toStdString();
    s.profile->password = control<QLineEdit>(s.password)->text().toStdString();
    s.profile->catalogName = control<QLineEdit>(s.catalog)->text().toStdString();
  }
}

QString ConfigDialog::providerText(int index) const {
  auto* providers = control<QComboBox>(sides_[index].provider);
  const int current = providers->currentIndex();
  return providers->itemText(current < 0 ? 0 : current);
}

void ConfigDialog::refillSourceNames(int index) {
  const Side& s = sides_[index];
  auto* names = control<QComboBox>(s.name);
  auto* label = control<QLabel>(s.nameLabel);
  names->clear();
  const std::string provider = providerText(index).toStdString();
  if (provider == kOdbcDriversProvider || provider == "Driver do Microsoft Excel" ||
      provider == "Microsoft Excel Driver" || provider == "Driver do Microsoft Access" ||
      provider == "Microsoft Access Driver") {
    for (const std::string& name : ListOdbcDataSources(dbmsNames_[index]))
      AddSorted(names, ToQString(name));
    names->setCurrentIndex(names->count() > 0 ? 0 : -1);
    label->setText(QStringLiteral("Source Name"));
  } else if (provider == kServerAddressProvider) {
    label->setText(QStringLiteral("Server:Port"));
    names->setCurrentText(QStringLiteral("127.0.0.1:3306"));
  } else if (IsJetProviderName(provider)) {
    label->setText(QString::fromLatin1(kSourceNameLabelText));
    if (index == 0) proposeOpenAccessFile();
  }
  auto* create = control<QPushButton>(kConfigNewAccessFile);
  if (index == 0 && create != nullptr) create->setHidden(!IsJetProviderName(provider));
}

void ConfigDialog::proposeOpenAccessFile() {
  // The Access file the window has open (or was last told to open) is the
  // one the user most likely means; nothing is made on the user's behalf.
  const std::string open = window_.sourceProfile().sourceName;
  if (open.empty()) return;
  auto* names = control<QComboBox>(kConfigSourceName);
  names->setCurrentIndex(AddSorted(names, ToQString(open)));
}

void ConfigDialog::createAccessFile() {
  // A new database only where the user says, never beside real ones unasked.
  const std::optional<std::string> folder =
      window_.prompter().chooseFolder("Folder for the new Access database", ".");
  if (!folder || folder->empty()) return;
  std::string name = "Access_New";
  std::error_code error;
  for (int n = 2; std::filesystem::exists(std::filesystem::path(*folder) / (name + ".mdb"), error);
       ++n)
    name = "Access_New" + std::to_string(n);
  if (!CreateAccessDatabase(window_, *folder + "/", name)) {
    window_.prompter().showMessage(
        "The new Access database could not be made in " + *folder + "; the log says why.",
        MessageIcon::Error);
    return;
  }
  auto* names = control<QComboBox>(kConfigSourceName);
  const std::string made = (std::filesystem::path(*folder) / (name + ".mdb")).string();
  names->setCurrentIndex(AddSorted(names, ToQString(made)));
  control<QLineEdit>(kConfigSourceCatalog)->clear();
}

bool ConfigDialog::dropDownSourceNames(int index) {
  if (!IsJetProviderName(providerText(index).toStdString())) return false;
  browseDatabaseFile(sides_[index].name);
  return true;
}

void ConfigDialog::catalogDoubleClicked(int index) {
  const Side& s = sides_[index];
  if (IsJetProviderName(control<QComboBox>(s.provider)->currentText().toStdString())) return;
  browseDatabaseFile(s.catalog);
  if (!control<QLineEdit>(s.catalog)->text().isEmpty())
    control<QComboBox>(s.name)->setCurrentText(QString());
}

void ConfigDialog::browseDatabaseFile(int controlId) {
  if (controlId != kConfigSourceName && controlId != kConfigTargetName &&
      controlId != kConfigSourceCatalog && controlId != kConfigTargetCatalog)
    return;
  const bool sourceSide = controlId == kConfigSourceName || controlId == kConfigSourceCatalog;
  const Side& s = sides_[sourceSide ? 0 : 1];
  const std::string dbms = control<QGroupBox>(s.group)->title().toStdString();
  const char* filter = EqualsIgnoreCase(dbms, "ACCESS")
                           ? "Access File (*.mdb *.accdb)"
                           : "All (*.mdb *.accdb *.xls);;Access File (*.mdb *.accdb);;"
                             "Excel File (*.xls)";
  const std::optional<std::string> file =
      window_.prompter().chooseFile("Open the database file", filter, ".");
  QWidget* target = controls_.at(controlId);
  if (file) {
    if (auto* list = qobject_cast<QComboBox*>(target)) {
      control<QLineEdit>(s.catalog)->clear();
      const QString path = ToQString(*file);
      const int wanted = QFontMetrics(list->font()).horizontalAdvance(path) +
                         list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4 * 2;
      if (list->view()->minimumWidth() < wanted) list->view()->setMinimumWidth(wanted);
      // The chosen file is the one selected, wherever it sorts.
      list->setCurrentIndex(AddSorted(list, path));
    } else if (auto* edit = qobject_cast<QLineEdit*>(target)) {
      edit->setText(ToQString(*file));
    }
  }
  target->setFocus();
}

void ConfigDialog::testConnections() {
  copyControlsToFields();
  TestConnections(settings_.source, settings_.target, window_.prompter());
}

void ConfigDialog::mousePressEvent(QMouseEvent* event) {
  if (!StartBackgroundDrag(*this, event)) QDialog::mousePressEvent(event);
}

void ConfigDialog::saveConfig() {
  const auto file = ConfigFilePath();
  std::string error;
  bool saved = true;
  if (settings_.configFromFile) {
    saved = SaveConfigFlag(file, "Config", true, &error) &&
            SaveConfigFlag(file, "Tips", settings_.showTips, &error) &&
            SaveConfigFlag(file, "AutoBackup", settings_.autoBackup, &error) &&
            SaveConfigNames(file, settings_.names, &error);
    copyControlsToFields();
    if (saved) saved = SaveConfigProfiles(file, settings_.source, settings_.target, &error);
  } else {
    saved = SaveConfigFlag(file, "Config", false, &error);
  }
  // A file that could not be written is not reported as saved.
  if (!saved) {
    window_.prompter().showMessage(error, MessageIcon::Error);
    return;
  }
  window_.prompter().showMessage("The Config Information saved successfully!",
                                 MessageIcon::Information);
}

void ConfigDialog::connectSides() {
  copyControlsToFields();
  const auto file = ConfigFilePath();
  std::string error;
  bool saved = true;
  if (!settings_.configFromFile) saved = SaveConfigFlag(file, "Config", false, &error);
  saved = saved && SaveConfigFlag(file, "Tips", settings_.showTips, &error) &&
          SaveConfigFlag(file, "AutoBackup", settings_.autoBackup, &error) &&
          SaveConfigNames(file, settings_.names, &error);
  if (saved && settings_.configFromFile) {
    saved = SaveConfigFlag(file, "Config", true, &error) &&
            SaveConfigProfiles(file, settings_.source, settings_.target, &error);
  }
  if (!saved) window_.prompter().showMessage(error, MessageIcon::Error);

  window_.sourceProfile() = HandOverProfile(settings_.source);
  window_.targetProfile() = HandOverProfile(settings_.target);
  window_.setNameRule(settings_.names);
  for (ConnectionProfile* profile : {&settings_.source, &settings_.target}) {
    profile->sourceName = LowerConnectionName(profile->sourceName);
    profile->catalogName = LowerConnectionName(profile->catalogName);
  }
  accept();
  emit connectRequested(settings_.autoBackup);
}

}  // namespace tablift
