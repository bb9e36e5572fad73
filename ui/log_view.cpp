#include "ui/log_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QStyledItemDelegate>

namespace tablift {
namespace {

QColor ToQColor(const Colour& colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

// Draws one line 5 pixels from the left edge: unselected in its own colours,
// selected with text and background colours swapped (a line without a colour
// record is white on blue then).
class LogLineDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QColor text = index.data(Qt::ForegroundRole).value<QBrush>().color();
    QColor back = index.data(Qt::BackgroundRole).value<QBrush>().color();
    if (option.state & QStyle::State_Selected) {
      if (index.data(LogView::kHasRecordRole).toBool()) {
        std::swap(text, back);
      } else {
        text = Qt::white;
        back = QColor(0, 0, 255);
      }
    }
    painter->save();
    painter->fillRect(option.rect, back);
    painter->setPen(text);
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QFontMetrics metrics(option.font);
    return QSize(metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 10,
                 metrics.height() + 2);
  }
};

}  // namespace

LogView::LogView(OutputPane& pane, QWidget* parent) : QListWidget(parent), pane_(pane) {
  setObjectName(QStringLiteral("OutputPane"));
  setFont(QApplication::font());
  setItemDelegate(new LogLineDelegate(this));
  setUniformItemSizes(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Several lines at once: a run's lines are copied or saved together.
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setToolTip(QStringLiteral("List Tool Tip"));
  const auto addCommand = [this](const char* text, QKeySequence keys, auto slot) {
    auto* action = new QAction(QString::fromLatin1(text), this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
  };
  copy_ = addCommand("Copy", QKeySequence::Copy,
                     [this] { QApplication::clipboard()->setText(selectedText()); });
  selectAll_ = addCommand("Select All", QKeySequence::SelectAll, [this] { selectAll(); });
  save_ = addCommand("Save Log...", QKeySequence::Save, [this] { saveLog(); });
  clear_ = addCommand("Clear", QKeySequence(), [this] { clear(); });
  // Lines written before the view existed, then every new one.
  pane_.addListener(this);
  for (const LogLine& line : pane_.lines())
    addLine(line);
  if (count() > 0) setCurrentRow(count() - 1);
}

LogView::~LogView() {
  pane_.removeListener(this);
}

QString LogView::selectedText() const {
  QStringList texts;
  for (int row = 0; row < count(); ++row) {
    if (item(row)->isSelected()) texts << item(row)->text();
  }
  return texts.join(QLatin1Char('\n'));
}

bool LogView::saveTo(const QString& file, QString* error) const {
  QFile out(file);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
    if (error != nullptr) *error = out.errorString();
    return false;
  }
  for (int row = 0; row < count(); ++row) {
    out.write(item(row)->text().toUtf8());
    out.write("\n");
  }
  out.close();
  if (out.error() != QFileDevice::NoError) {
    if (error != nullptr) *error = out.errorString();
    return false;
  }
  return true;
}

void LogView::saveLog() {
  const QString file = chooseFile_
                           ? chooseFile_()
                           : QFileDialog::getSaveFileName(this, QStringLiteral("Save Log"),
                                                          QStringLiteral("tablift.log"),
                                                          QStringLiteral("Log (*.log *.txt)"));
  if (file.isEmpty()) return;
  if (QString error; !saveTo(file, &error)) {
    QMessageBox::warning(this, QStringLiteral("Save Log"),
                         QStringLiteral("The log could not be saved to %1: %2").arg(file, error));
  }
}

void LogView::contextMenuEvent(QContextMenuEvent* event) {
  copy_->setEnabled(!selectedItems().isEmpty());
  QMenu menu(this);
  menu.addAction(copy_);
  menu.addAction(selectAll_);
  menu.addSeparator();
  menu.addAction(save_);
  menu.addAction(clear_);
  menu.exec(event->globalPos());
}

void LogView::lineAdded(const LogLine& line) {
  bool first = false;
  {
    std::lock_guard lock(pendingMutex_);
    first = pending_.empty();
    pending_.push_back(line);
  }
  // One queued call carries every line written until it runs.
  if (first) QMetaObject::invokeMethod(this, &LogView::flushPending, Qt::QueuedConnection);
}

void LogView::flushPending() {
  std::vector<LogLine> lines;
  {
    std::lock_guard lock(pendingMutex_);
    lines.swap(pending_);
  }
  if (lines.empty()) return;
  setUpdatesEnabled(false);
  for (const LogLine& line : lines)
    addLine(line);
  setCurrentRow(count() - 1);
  setUpdatesEnabled(true);
  scrollToBottom();
}

void LogView::addLine(const LogLine& line) {
  // A line written while the view was being filled arrives twice.
  if (line.sequence != 0 && line.sequence <= lastSequence_) return;
  lastSequence_ = line.sequence;
  while (count() >= static_cast<int>(OutputPane::kMaxLines))
    delete takeItem(0);
  const QString text = QString::fromStdString(line.text);
  auto* item = new QListWidgetItem(text, this);
  item->setForeground(ToQColor(line.hasRecord ? line.textColour : kBlack));
  item->setBackground(ToQColor(line.hasRecord ? line.backColour : kWhite));
  item->setData(kHasRecordRole, line.hasRecord);
  item->setToolTip(text);
  // The horizontal range grows to the widest line plus 10 pixels and never
  // shrinks for shorter ones.
  const int width = fontMetrics().horizontalAdvance(text) + 10;
  if (width > widest_) widest_ = width;
}

}  // namespace tablift
