#include "ui/driver_check_dialog.h"
#include "ui/background_drag.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace tablift {
namespace {

QString WithoutTabs(const char* text) {
  return QString::fromLatin1(text).remove(QLatin1Char('\t'));
}

const char kAccessNote[] =
    "Note: If there is no 'Usable' Driver, your computer can not connect to remote/local "
    "database. \tSo, you must install/repair at least one of them. ('Installed' but "
    "'Unusable' need repair.)\r\n\tIf have not a Setup Software, \tyou can link to the "
    "authoritative site to download.";
const char kMySqlNote[] =
    "Note: If there is no 'Usable' Driver, your computer can not connect to remote/local "
    "database. \tSo, you must install/repair at least one of them. ('Installed' but "
    "'Unusable' need repair.) \tYou can link to the authoritative site to get one. Or Press "
    "Button 'Install Mysql ODBC 3.51 Driver' to install from local.";
const char kLinkToolTip[] = "Get Setup Program from Authoritative site";

QPushButton* LinkButton(const char* text, const char* url, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setFlat(true);
  button->setCursor(Qt::PointingHandCursor);
  button->setStyleSheet(
      QStringLiteral("QPushButton { color: #0645ad; text-decoration: underline; border: none; }"));
  button->setToolTip(QString::fromLatin1(kLinkToolTip));
  button->setAutoDefault(false);
  const QUrl page(QString::fromLatin1(url));
  QObject::connect(button, &QPushButton::clicked, [page] { QDesktopServices::openUrl(page); });
  return button;
}

}  // namespace

QString DriverLabelStyle(const QString& text) {
  if (text.startsWith(QStringLiteral("Unusable")))
    return QStringLiteral("QLabel { color: #d00000; background: transparent; }");
  if (text.startsWith(QStringLiteral("Usable")))
    return QStringLiteral("QLabel { color: #008000; background: transparent; }");
  return QString();
}

DriverCheckDialog::DriverCheckDialog(std::vector<DriverReportRow> accessRows,
                                     std::vector<DriverReportRow> mySqlRows, QWidget* parent,
                                     bool showAtStart)
    : QDialog(parent) {
  setModal(true);
  setWindowTitle(QStringLiteral("Driver Check"));
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(buildGroup(kDriverCheckAccessGroup, QStringLiteral("Access"),
                               kDriverCheckAccessRows, accessRows));
  auto* microsoft = LinkButton("Go Microsoft to get Setup", kMicrosoftDownloadPage, this);
  add(kDriverCheckMicrosoftLink, microsoft);
  auto* accessLinks = new QHBoxLayout;
  accessLinks->addStretch(1);
  accessLinks->addWidget(microsoft);
  layout->addLayout(accessLinks);
  auto* accessNote = new QLabel(WithoutTabs(kAccessNote), this);
  accessNote->setWordWrap(true);
  add(kDriverCheckAccessNote, accessNote);
  layout->addWidget(accessNote);

  layout->addWidget(buildGroup(kDriverCheckMySqlGroup, QStringLiteral("MySQL"),
                               kDriverCheckMySqlRows, mySqlRows));
  auto* mySqlLinks = new QHBoxLayout;
  auto* install = new QPushButton(QStringLiteral("Install Mysql ODBC 3.51 Driver"), this);
  install->setAutoDefault(false);
  add(kDriverCheckInstall, install);
  auto* mysql = LinkButton("Go MySQL to get Setup", kMySqlDownloadPage, this);
  add(kDriverCheckMySqlLink, mysql);
  mySqlLinks->addStretch(1);
  mySqlLinks->addWidget(install);
  mySqlLinks->addWidget(mysql);
  layout->addLayout(mySqlLinks);
  auto* mySqlNote = new QLabel(WithoutTabs(kMySqlNote), this);
  mySqlNote->setWordWrap(true);
  add(kDriverCheckMySqlNote, mySqlNote);
  layout->addWidget(mySqlNote);

  auto* buttons = new QHBoxLayout;
  auto* showAtStartBox = new QCheckBox(QStringLiteral("Show at start"), this);
  showAtStartBox->setChecked(showAtStart);
  add(kDriverCheckShowAtStart, showAtStartBox);
  buttons->addWidget(showAtStartBox);
  buttons->addStretch(1);
  auto* openConfig = new QPushButton(QStringLiteral("Open Config"), this);
  openConfig->setDefault(true);
  openConfig->setMinimumSize(80, 25);
  add(kDriverCheckOpenConfig, openConfig);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setAutoDefault(false);
  cancel->setMinimumSize(80, 25);
  add(kDriverCheckCancel, cancel);
  buttons->addWidget(openConfig);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  connect(openConfig, &QPushButton::clicked, this, [this] {
    accept();
    emit openConfigRequested();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(install, &QPushButton::clicked, this, &DriverCheckDialog::installRequested);
  connect(showAtStartBox, &QCheckBox::toggled, this, &DriverCheckDialog::showAtStartChanged);
  setMinimumWidth(560);
}

void DriverCheckDialog::add(int id, QWidget* widget) {
  widget->setObjectName(QStringLiteral("control%1").arg(id));
  controls_[id] = widget;
}

QWidget* DriverCheckDialog::buildGroup(int groupId, const QString& title, int firstRowId,
                                       const std::vector<DriverReportRow>& rows) {
  auto* group = new QGroupBox(title, this);
  add(groupId, group);
  auto* grid = new QGridLayout(group);
  grid->setColumnStretch(0, 4);
  grid->setColumnStretch(1, 2);
  grid->setColumnStretch(2, 1);
  grid->setVerticalSpacing(2);
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const std::string* fields[3] = {&rows[row].name, &rows[row].installed, &rows[row].usability};
    for (int column = 0; column < 3; ++column) {
      auto* label = new QLabel(QString::fromStdString(*fields[column]), group);
      label->setStyleSheet(DriverLabelStyle(label->text()));
      label->setMinimumHeight(20);
      if (column == 1) label->setMinimumWidth(80);
      if (column == 2) label->setMinimumWidth(50);
      add(firstRowId + 5 * static_cast<int>(row) + column, label);
      grid->addWidget(label, static_cast<int>(row), column);
    }
  }
  return group;
}

void DriverCheckDialog::mousePressEvent(QMouseEvent* event) {
  if (!StartBackgroundDrag(*this, event)) QDialog::mousePressEvent(event);
}

}  // namespace tablift
