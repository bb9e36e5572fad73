#include "ui/condition_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "core/prompter.h"
#include "engine/workbench.h"
#include "ui/background_drag.h"

namespace tablift {

ConditionDialog::ConditionDialog(Workbench& window, ConditionSubject subject, QWidget* parent)
    : QDialog(parent), window_(window), subject_(std::move(subject)) {
  setWindowTitle(QStringLiteral("Migration Condition"));
  // A file that cannot be made is reported when the condition is saved.
  EnsureConditionFile(window_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Condition(SQL WHERE clause):"), this));
  auto* select = new QLabel(
      QStringLiteral("select * from %1 where").arg(QString::fromStdString(subject_.table)), this);
  add(kConditionSelectLabel, select);
  layout->addWidget(select);
  auto* edit = new QPlainTextEdit(this);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit->setTabChangesFocus(true);
  add(kConditionEdit, edit);
  layout->addWidget(edit, 2);
  layout->addWidget(new QLabel(QStringLiteral("Result:"), this));
  auto* result = new QPlainTextEdit(this);
  result->setReadOnly(true);
  add(kConditionResult, result);
  layout->addWidget(result, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  const auto addButton = [&](int id, const char* text) {
    auto* button = new QPushButton(QString::fromLatin1(text), this);
    button->setAutoDefault(false);
    add(id, button);
    buttons->addWidget(button);
    return button;
  };
  QPushButton* testButton = addButton(kConditionTest, "Test");
  QPushButton* saveButton = addButton(kConditionSave, "Save");
  QPushButton* closeButton = addButton(kConditionClose, "Close");
  saveButton->setEnabled(false);
  layout->addLayout(buttons);
  resize(480, 360);

  edit->setPlainText(
      QString::fromStdString(LoadCondition(window_, subject_.database, subject_.table)));
  connect(edit, &QPlainTextEdit::textChanged, this, &ConditionDialog::conditionEdited);
  connect(testButton, &QPushButton::clicked, this, &ConditionDialog::test);
  connect(saveButton, &QPushButton::clicked, this, &ConditionDialog::save);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ConditionDialog::add(int id, QWidget* widget) {
  widget->setObjectName(QStringLiteral("control%1").arg(id));
  controls_[id] = widget;
}

QString ConditionDialog::editText() const {
  return control<QPlainTextEdit>(kConditionEdit)->toPlainText();
}

void ConditionDialog::conditionEdited() {
  // The edit takes at most kMaxConditionLength characters.
  auto* edit = control<QPlainTextEdit>(kConditionEdit);
  const QList<uint> characters = edit->toPlainText().toUcs4();
  if (static_cast<std::size_t>(characters.size()) > kMaxConditionLength) {
    const QSignalBlocker blocker(edit);
    edit->setPlainText(QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.data()),
                                         static_cast<qsizetype>(kMaxConditionLength)));
    edit->moveCursor(QTextCursor::End);
  }
  // A changed text has not been tested.
  control<QPushButton>(kConditionSave)->setEnabled(false);
}

void ConditionDialog::test() {
  condition_ = editText().toStdString();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ConditionTest outcome = TestCondition(window_, subject_.table, condition_);
  QApplication::restoreOverrideCursor();
  result_ = outcome.result;
  control<QPushButton>(kConditionSave)->setEnabled(outcome.passed);
  if (!outcome.passed && outcome.errorPosition > 0) selectCharacter(outcome.errorPosition);
  // The result's line break is "\r\n"; the edit shows one line break for it.
  control<QPlainTextEdit>(kConditionResult)
      ->setPlainText(
          QString::fromStdString(result_).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void ConditionDialog::selectCharacter(std::size_t position) {
  // The edit counts UTF-16 units; the position counts characters.
  auto* edit = control<QPlainTextEdit>(kConditionEdit);
  const QString text = edit->toPlainText();
  qsizetype unit = 0;
  for (std::size_t character = 1; character < position && unit < text.size(); ++character)
    unit += text.at(unit).isHighSurrogate() ? 2 : 1;
  unit = std::min(unit, text.size());
  QTextCursor cursor(edit->document());
  cursor.setPosition(static_cast<int>(unit));
  const qsizetype length = unit < text.size() && text.at(unit).isHighSurrogate() ? 2 : 1;
  cursor.setPosition(static_cast<int>(std::min(unit + length, text.size())),
                     QTextCursor::KeepAnchor);
  edit->setTextCursor(cursor);
  edit->setFocus();
}

void ConditionDialog::save() {
  std::string error;
  if (!SaveCondition(window_, subject_.database, subject_.table, condition_, &error)) {
    window_.prompter().showMessage("The condition was not saved: " + error, MessageIcon::Error);
    return;
  }
  control<QPushButton>(kConditionSave)->setEnabled(false);
}

void ConditionDialog::mousePressEvent(QMouseEvent* event) {
  if (!StartBackgroundDrag(*this, event)) QDialog::mousePressEvent(event);
}

}  // namespace tablift
