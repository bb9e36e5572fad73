#include "ui/run_summary_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "core/prompter.h"
#include "core/status.h"
#include "engine/run_report.h"

namespace tablift {
namespace {

QString AskSavePath(QWidget* parent, const QString& suggested) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("Save the Summary"), suggested,
                                      QStringLiteral("Text (*.txt);;JSON (*.json)"));
}

}  // namespace

RunSummaryDialog::RunSummaryDialog(RunSummary summary, Prompter& prompter, QWidget* parent)
    : QDialog(parent), summary_(std::move(summary)), prompter_(prompter), chooser_(AskSavePath) {
  setWindowTitle(QStringLiteral("Migration Summary"));
  auto* layout = new QVBoxLayout(this);
  auto* header = new QLabel(QString::fromStdString(SummaryHeader(summary_)).trimmed(), this);
  header->setObjectName(QStringLiteral("SummaryHeader"));
  header->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(header);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("SummaryText"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The table's columns line up only in a fixed-width font.
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text_->setPlainText(QString::fromStdString(SummaryText(summary_)));
  layout->addWidget(text_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  save_ = buttons->addButton(QStringLiteral("&Save..."), QDialogButtonBox::ActionRole);
  connect(save_, &QPushButton::clicked, this, &RunSummaryDialog::save);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(760, 420);
}

QString RunSummaryDialog::shownText() const {
  return text_->toPlainText();
}

void RunSummaryDialog::save() {
  const QString suggested = QDir::home().filePath(QStringLiteral("tablift-summary.txt"));
  const QString chosen = chooser_(this, suggested);
  if (chosen.isEmpty()) return;
  std::error_code error;
  std::filesystem::path file = std::filesystem::absolute(chosen.toStdString(), error);
  if (error) file = chosen.toStdString();
  const Status written = file.extension() == ".json" ? WriteSummaryJson(file, summary_)
                                                     : WriteSummaryText(file, summary_);
  if (!written.ok())
    prompter_.showMessage("The summary was not saved: " + written.message(), MessageIcon::Error);
}

}  // namespace tablift
