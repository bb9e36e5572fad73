#include "ui/charset_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "mysql/charset_table.h"

namespace tablift {
namespace {

constexpr int kRowsPerColumn = 18;

}  // namespace

CharsetDialog::CharsetDialog(const std::string& currentName, QWidget* parent)
    : QDialog(parent), chosen_(currentName) {
  setObjectName(QStringLiteral("CharsetDialog"));
  setWindowTitle(QStringLiteral("Charset"));
  auto* layout = new QVBoxLayout(this);
  auto* box = new QGroupBox(QStringLiteral("Character Sets"), this);
  auto* grid = new QGridLayout(box);
  grid->setVerticalSpacing(2);
  grid->setHorizontalSpacing(12);
  group_ = new QButtonGroup(this);
  group_->setExclusive(true);
  const auto choices = CharsetChoices();
  const int current = CharsetIndexOf(currentName);
  for (int index = 0; index < static_cast<int>(choices.size()); ++index) {
    const CharsetChoice& choice = choices[static_cast<std::size_t>(index)];
    auto* radio = new QRadioButton(
        QString::fromUtf8(choice.radio.data(), static_cast<qsizetype>(choice.radio.size())), box);
    radio->setObjectName(QString::number(choice.id));
    auto* description =
        new QLabel(QString::fromUtf8(choice.description.data(),
                                     static_cast<qsizetype>(choice.description.size())),
                   box);
    // Left column first, then the right one; a choice beyond the two full
    // columns goes below the left one.
    const int column = index < kRowsPerColumn || index >= 2 * kRowsPerColumn ? 0 : 2;
    const int row = index < 2 * kRowsPerColumn ? index % kRowsPerColumn : index - kRowsPerColumn;
    grid->addWidget(radio, row, column);
    grid->addWidget(description, row, column + 1);
    group_->addButton(radio, index);
    if (index == current) radio->setChecked(true);
  }
  connect(group_, &QButtonGroup::idClicked, this,
          [this](int index) { chosen_ = CharsetNameAt(index); });
  layout->addWidget(box);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  select_ = new QPushButton(QStringLiteral("Select"), this);
  select_->setObjectName(QString::number(kCharsetSelectButton));
  select_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QString::number(kCharsetCancelButton));
  connect(select_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(select_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
}

QRadioButton* CharsetDialog::radio(int id) const {
  const auto choices = CharsetChoices();
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (choices[i].id == id)
      return qobject_cast<QRadioButton*>(group_->button(static_cast<int>(i)));
  }
  return nullptr;
}

}  // namespace tablift
