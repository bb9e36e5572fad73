#include "ui/qt_prompter.h"

#include <cstdio>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

#include "ui/new_database_dialog.h"

namespace tablift {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtPrompter::QtPrompter(QWidget* parentWindow) : parent_(parentWindow) {}

template <typename Function>
auto QtPrompter::onUiThread(Function function) -> decltype(function()) {
  if (unattended_.load()) return decltype(function()){};
  if (QThread::currentThread() == qApp->thread()) return function();
  decltype(function()) result{};
  if (closing_.load()) return result;
  QMetaObject::invokeMethod(
      qApp,
      [&] {
        if (!closing_.load()) result = function();
      },
      Qt::BlockingQueuedConnection);
  return result;
}

void QtPrompter::showMessage(std::string_view text, MessageIcon icon) {
  if (unattended_.load()) {
    std::fprintf(stderr, "tablift: %.*s\n", static_cast<int>(text.size()), text.data());
    return;
  }
  const QString message = ToQString(text);
  onUiThread([&] {
    switch (icon) {
      case MessageIcon::Information:
        QMessageBox::information(parent_, QStringLiteral("Tablift"), message);
        break;
      case MessageIcon::Warning:
        QMessageBox::warning(parent_, QStringLiteral("Tablift"), message);
        break;
      case MessageIcon::Error:
        QMessageBox::critical(parent_, QStringLiteral("Tablift"), message);
        break;
    }
    return 0;
  });
}

bool QtPrompter::askOkCancel(std::string_view question) {
  const QString text = ToQString(question);
  return onUiThread([&] {
    return QMessageBox::question(parent_, QStringLiteral("Tablift"), text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
  });
}

bool QtPrompter::askYesNo(std::string_view warning) {
  const QString text = ToQString(warning);
  return onUiThread([&] {
    return QMessageBox::warning(parent_, QStringLiteral("Tablift"), text,
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
  });
}

void QtPrompter::showHint(std::string_view hint) {
  const QString text = ToQString(hint);
  onUiThread([&] {
    if (hintHandler_) hintHandler_(text);
    return 0;
  });
}

std::optional<std::string> QtPrompter::askText(std::string_view caption, std::string_view label) {
  const QString title = ToQString(caption);
  const QString prompt = ToQString(label);
  return onUiThread([&]() -> std::optional<std::string> {
    NewDatabaseDialog dialog(parent_, title, prompt);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.name().toStdString();
  });
}

std::optional<std::string> QtPrompter::chooseFolder(std::string_view caption,
                                                    std::string_view startFolder) {
  const QString title = ToQString(caption);
  const QString start = ToQString(startFolder);
  return onUiThread([&]() -> std::optional<std::string> {
    const QString folder = QFileDialog::getExistingDirectory(parent_, title, start);
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
  });
}

std::optional<std::string> QtPrompter::chooseFile(std::string_view caption, std::string_view filter,
                                                  std::string_view startPath) {
  const QString title = ToQString(caption);
  const QString filters = ToQString(filter);
  const QString start = ToQString(startPath);
  return onUiThread([&]() -> std::optional<std::string> {
    const QString file = QFileDialog::getOpenFileName(parent_, title, start, filters);
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
  });
}

void QtPrompter::setHintHandler(std::function<void(const QString&)> handler) {
  hintHandler_ = std::move(handler);
}

}  // namespace tablift
