#include "ui/new_database_dialog.h"
#include "ui/background_drag.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

namespace tablift {

NewDatabaseDialog::NewDatabaseDialog(QWidget* parent, const QString& caption, const QString& label)
    : QDialog(parent) {
  setObjectName(QStringLiteral("NewDatabaseDialog"));
  setWindowTitle(caption.isEmpty() ? QStringLiteral("New Database") : caption);
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(label.isEmpty() ? QStringLiteral("DB Name:") : label, this));
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QString::number(kNewDatabaseNameEdit));
  edit_->setMinimumWidth(200);
  row->addWidget(edit_);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  edit_->setFocus();
}

QString NewDatabaseDialog::name() const {
  return edit_->text();
}

void NewDatabaseDialog::mousePressEvent(QMouseEvent* event) {
  if (!StartBackgroundDrag(*this, event)) QDialog::mousePressEvent(event);
}

}  // namespace tablift
