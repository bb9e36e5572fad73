#include "ui/db_tree_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "core/connection_profile.h"
#include "core/write_line.h"
#include "engine/connect_side.h"
#include "engine/controller_commands.h"
#include "engine/list_catalog.h"
#include "engine/migration_condition.h"
#include "engine/queue_migration.h"
#include "engine/use_database.h"
#include "engine/workbench.h"
#include "ui/command_ids.h"
#include "ui/icons.h"

namespace tablift {
namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kEdgeMargin = 10;
const char kJetProgId[] = "Microsoft.Jet.OLEDB.4.0";

QString StepKey(const QString& parentKey, NodeKind kind, const std::string& text) {
  return parentKey + QChar(0x1f) + QString::number(static_cast<int>(kind)) + QChar(':') +
         QString::fromStdString(text);
}

bool SameNodes(const CatalogNode& a, const CatalogNode& b) {
  if (a.kind != b.kind || a.text != b.text || a.children.size() != b.children.size()) return false;
  for (std::size_t i = 0; i < a.children.size(); ++i)
    if (!SameNodes(a.children[i], b.children[i])) return false;
  return true;
}

bool OpenAtFirst(NodeKind image) {
  return image == NodeKind::Root || image == NodeKind::Database ||
         image == NodeKind::TablesFolder || image == NodeKind::ViewsFolder;
}

// A dragged node travels as its side and path, one "image<TAB>text" line per
// step after the first line.
QByteArray EncodePath(int side, const std::vector<CatalogStep>& path) {
  QByteArray data = QByteArray::number(side);
  for (const CatalogStep& step : path) {
    data += '\n';
    data += QByteArray::number(static_cast<int>(step.kind)) + '\t' +
            QByteArray::fromStdString(step.text);
  }
  return data;
}

// Tells the tree which key ended an in-place edit: Enter marks the rename,
// Escape clears the mark. The delegate sees the editor's keys before the
// editor does.
class RenameKeyWatcher : public QStyledItemDelegate {
 public:
  RenameKeyWatcher(std::function<void(bool)> entered, QObject* parent)
      : QStyledItemDelegate(parent), entered_(std::move(entered)) {}

  bool eventFilter(QObject* editor, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) entered_(true);
      if (key == Qt::Key_Escape) entered_(false);
    }
    return QStyledItemDelegate::eventFilter(editor, event);
  }

 private:
  std::function<void(bool)> entered_;
};

}  // namespace

CDBTreeView::CDBTreeView(Workbench& window, int side, QWidget* parent)
    : QTreeWidget(parent), window_(window), side_(side) {
  setObjectName(side_ == Workbench::kTargetSide ? QStringLiteral("TargetTree")
                                                : QStringLiteral("SourceTree"));
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);
  setItemsExpandable(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setExpandsOnDoubleClick(true);
  setFrameShape(QFrame::StyledPanel);
  setIconSize(QSize(16, 16));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setAutoScroll(false);  // the drag scrolls near the edges by itself
  if (side_ == Workbench::kSourceSide) {
    setToolTip(QStringLiteral("Tree Tool Tip"));
    viewport()->setMouseTracking(true);  // the tool tip follows the node under the mouse
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
  } else {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setItemDelegate(new RenameKeyWatcher([this](bool entered) { renameEntered_ = entered; }, this));
  }

  connect(this, &QTreeWidget::itemSelectionChanged, this, &CDBTreeView::selectionChangedByUser);
  connect(this, &QTreeWidget::itemClicked, this, [this] { notifyMenuState(); });
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    const QString key = item->data(0, kKeyRole).toString();
    expanded_.insert(key);
    collapsed_.erase(key);
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    const QString key = item->data(0, kKeyRole).toString();
    expanded_.erase(key);
    collapsed_.insert(key);
  });
  connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (KindOf(item) == NodeKind::Database) selectDatabase(item->text(0).toStdString());
  });
  connect(this, &QTreeWidget::itemChanged, this, &CDBTreeView::itemEdited);

  // The model may change on the controller thread: one queued call catches
  // the view up with every change made until it runs.
  model().setChangeListener([this] {
    if (!syncQueued_.exchange(true))
      QMetaObject::invokeMethod(this, &CDBTreeView::syncFromModel, Qt::QueuedConnection);
  });
  syncFromModel();
}

CDBTreeView::~CDBTreeView() {
  model().setChangeListener({});
}

CatalogTree& CDBTreeView::model() {
  return window_.tree(side_);
}

std::vector<CatalogStep> CDBTreeView::PathOf(const QTreeWidgetItem* item) {
  std::vector<CatalogStep> path;
  for (; item != nullptr; item = item->parent())
    path.insert(path.begin(), CatalogStep{KindOf(item), item->text(0).toStdString()});
  return path;
}

NodeKind CDBTreeView::KindOf(const QTreeWidgetItem* item) {
  return item == nullptr ? NodeKind::None : static_cast<NodeKind>(item->data(0, kKindRole).toInt());
}

QTreeWidgetItem* CDBTreeView::itemAtPath(const std::vector<CatalogStep>& path) const {
  if (path.empty()) return nullptr;
  QTreeWidgetItem* item = nullptr;
  for (std::size_t depth = 0; depth < path.size(); ++depth) {
    const CatalogStep& step = path[depth];
    const int count = depth == 0 ? topLevelItemCount() : item->childCount();
    QTreeWidgetItem* found = nullptr;
    for (int i = 0; i < count && found == nullptr; ++i) {
      QTreeWidgetItem* child = depth == 0 ? topLevelItem(i) : item->child(i);
      if (KindOf(child) == step.kind && child->text(0).toStdString() == step.text) found = child;
    }
    if (found == nullptr) return nullptr;
    item = found;
  }
  return item;
}

void CDBTreeView::syncFromModel() {
  syncQueued_ = false;
  const CatalogNode root = model().nodes();
  const bool empty = model().isEmpty();
  syncing_ = true;
  if (empty) {
    if (hasShown_ || topLevelItemCount() > 0) clear();
    tipItem_ = nullptr;
    hasShown_ = false;
  } else if (!hasShown_ || !SameNodes(root, shown_)) {
    rebuild(root);
  }
  const std::vector<CatalogStep> selection = model().selection().path;
  QTreeWidgetItem* selected = itemAtPath(selection);
  if (selected != currentItem() || (selected != nullptr && !selected->isSelected())) {
    if (selected != nullptr) {
      setCurrentItem(selected);
      scrollToItem(selected);
    } else {
      clearSelection();
      setCurrentItem(nullptr);
    }
    // A selection made by a command (a drop) updates the menus as a click
    // would.
    if (selected != nullptr) notifyMenuState();
  }
  showDropTarget(model().dropTarget());
  syncing_ = false;
}

void CDBTreeView::rebuild(const CatalogNode& root) {
  const int scroll = verticalScrollBar()->value();
  blockSignals(true);
  clear();
  tipItem_ = nullptr;
  const QString key = StepKey({}, root.kind, root.text);
  QTreeWidgetItem* top = makeItem(root, key);
  addTopLevelItem(top);
  addChildren(top, root, key);
  // A node is open when the user opened it, when the model says so, or, the
  // first time it is shown, when it leads to the tables and views.
  QTreeWidgetItemIterator it(this);
  for (; *it != nullptr; ++it) {
    QTreeWidgetItem* item = *it;
    const QString itemKey = item->data(0, kKeyRole).toString();
    const NodeKind image = KindOf(item);
    const bool open =
        expanded_.count(itemKey) > 0 || (collapsed_.count(itemKey) == 0 && OpenAtFirst(image));
    item->setExpanded(open);
  }
  blockSignals(false);
  verticalScrollBar()->setValue(scroll);
  highlighted_.clear();
  shown_ = root;
  hasShown_ = true;
}

QTreeWidgetItem* CDBTreeView::makeItem(const CatalogNode& node, const QString& key) {
  auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(node.text)});
  item->setIcon(0, NodeIcon(node.kind));
  item->setData(0, kKindRole, static_cast<int>(node.kind));
  item->setData(0, kKeyRole, key);
  if (node.expanded) expanded_.insert(key);
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (side_ == Workbench::kSourceSide) flags |= Qt::ItemIsDragEnabled;
  if (side_ == Workbench::kTargetSide) flags |= Qt::ItemIsDropEnabled;
  if (side_ == Workbench::kTargetSide && node.kind == NodeKind::Table) flags |= Qt::ItemIsEditable;
  item->setFlags(flags);
  return item;
}

void CDBTreeView::addChildren(QTreeWidgetItem* parent, const CatalogNode& node,
                              const QString& parentKey) {
  for (const CatalogNode& child : node.children) {
    const QString key = StepKey(parentKey, child.kind, child.text);
    QTreeWidgetItem* item = makeItem(child, key);
    parent->addChild(item);
    addChildren(item, child, key);
  }
}

void CDBTreeView::selectionChangedByUser() {
  if (syncing_ || model().busy()) return;
  const QList<QTreeWidgetItem*> items = selectedItems();
  if (items.isEmpty()) return;
  // Writing the selection into the model notifies the view again; that sync
  // finds the view already showing it.
  model().select(PathOf(items.first()));
  notifyMenuState();
}

MenuBarState CDBTreeView::menuState() const {
  const QTreeWidgetItem* item = currentItem();
  return MenuStateFor(side_, window_.tree(side_).dbmsKind(), KindOf(item));
}

void CDBTreeView::notifyMenuState() {
  if (model().busy() || !menuListener_) return;
  menuListener_(menuState());
}

void CDBTreeView::setMenuStateListener(std::function<void(const MenuBarState&)> listener) {
  menuListener_ = std::move(listener);
}

void CDBTreeView::setCommandHandler(std::function<void(int)> handler) {
  commandHandler_ = std::move(handler);
}

void CDBTreeView::setRenameHandler(
    std::function<bool(const std::string&, const std::string&)> handler) {
  renameHandler_ = std::move(handler);
}

QMenu* CDBTreeView::createContextMenu(QTreeWidgetItem* item) {
  if (item == nullptr) return nullptr;
  const std::vector<ContextEntry> entries =
      ContextMenuFor(side_, model().dbmsKind(), KindOf(item), item->text(0).toStdString());
  if (entries.empty()) return nullptr;
  auto* menu = new QMenu(this);
  for (const ContextEntry& entry : entries) {
    QAction* action = menu->addAction(QString::fromStdString(entry.caption));
    action->setData(entry.command);
    const int command = entry.command;
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
  }
  return menu;
}

void CDBTreeView::contextMenuEvent(QContextMenuEvent* event) {
  QTreeWidgetItem* item = itemAt(event->pos());
  if (item == nullptr) item = currentItem();
  if (item == nullptr) return;
  setCurrentItem(item);
  QMenu* menu = createContextMenu(item);
  if (menu == nullptr) return;
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

QString CDBTreeView::toolTipAt(const QPoint& position) {
  if (side_ != Workbench::kSourceSide) return toolTip();
  const QTreeWidgetItem* item = itemAt(position);
  if (item == nullptr) return {};
  return QString::fromStdString(ConditionToolTip(window_, PathOf(item)));
}

void CDBTreeView::mouseMoveEvent(QMouseEvent* event) {
  // The condition file is read when the mouse reaches another node.
  const QPoint position = event->position().toPoint();
  if (side_ == Workbench::kSourceSide && itemAt(position) != tipItem_) {
    tipItem_ = itemAt(position);
    setToolTip(toolTipAt(position));
  }
  QTreeWidget::mouseMoveEvent(event);
}

bool CDBTreeView::viewportEvent(QEvent* event) {
  if (side_ == Workbench::kSourceSide && event->type() == QEvent::ToolTip) {
    // Read when shown, so that a condition saved meanwhile shows at once.
    const auto* help = static_cast<QHelpEvent*>(event);
    setToolTip(toolTipAt(help->pos()));
    if (toolTip().isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), toolTip(), viewport());
    }
    return true;
  }
  return QTreeWidget::viewportEvent(event);
}

void CDBTreeView::runCommand(int command) {
  if (command == kCmdRenameTable && side_ == Workbench::kTargetSide) {
    QTreeWidgetItem* item = currentItem();
    if (item == nullptr || KindOf(item) != NodeKind::Table) return;
    renamePending_ = true;
    renameEntered_ = false;
    renameOldText_ = item->text(0);
    editItem(item, 0);
    return;
  }
  if (commandHandler_) commandHandler_(command);
}

void CDBTreeView::itemEdited(QTreeWidgetItem* item, int column) {
  if (syncing_ || !renamePending_ || column != 0) return;
  renamePending_ = false;
  const QString newText = item->text(0);
  if (newText == renameOldText_) return;
  const bool renamed =
      renameHandler_ && renameHandler_(renameOldText_.toStdString(), newText.toStdString());
  if (!renamed) {
    const QSignalBlocker blocker(this);
    item->setText(0, renameOldText_);
  }
}

void CDBTreeView::commitData(QWidget* editor) {
  if (renamePending_ && !renameEntered_) return;
  QTreeWidget::commitData(editor);
}

void CDBTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  QTreeWidget::closeEditor(editor, hint);
  renamePending_ = false;
  renameEntered_ = false;
}

void CDBTreeView::selectDatabase(const std::string& name) {
  // Switching the database changes the session the controller's tasks run
  // on: not while they run.
  if (!MayRunBesideTasks(window_)) return;
  CatalogTree& tree = model();
  tree.setCurrentDatabase(name);
  WriteLine(window_, "Select Database [%s]", name.c_str());
  if (tree.dbmsKind() == kDbmsMySql) {
    if (UseDatabase(window_, name, side_)) ListCatalog(window_, tree);
  } else if (tree.dbmsKind() == kDbmsAccess) {
    ConnectionProfile& profile =
        side_ == Workbench::kTargetSide ? window_.targetProfile() : window_.sourceProfile();
    profile.catalogName = profile.progId == kJetProgId ? std::string() : name;
    if (side_ == Workbench::kTargetSide)
      ConnectTarget(window_);
    else
      ConnectSource(window_);
  }
}

void CDBTreeView::showDropTarget(const std::vector<CatalogStep>& path) {
  if (path == highlighted_) return;
  if (QTreeWidgetItem* old = itemAtPath(highlighted_)) old->setBackground(0, QBrush());
  highlighted_ = path;
  if (QTreeWidgetItem* item = itemAtPath(path))
    item->setBackground(0, palette().brush(QPalette::Highlight).color().lighter(150));
}

void CDBTreeView::startDrag(Qt::DropActions) {
  QTreeWidgetItem* item = currentItem();
  if (item == nullptr || side_ != Workbench::kSourceSide) return;
  const std::vector<CatalogStep> path = PathOf(item);
  model().select(path);
  auto* data = new QMimeData;
  data->setData(kCatalogNodeMimeType, EncodePath(side_, path));
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  drag->setPixmap(item->icon(0).pixmap(16, 16));
  drag->setHotSpot(QPoint(8, 8));
  dragFinished(path, drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction));
}

void CDBTreeView::dragFinished(const std::vector<CatalogStep>& path, Qt::DropAction result) {
  if (result != Qt::MoveAction) return;
  // A move takes the node off this display only: the database keeps it. The
  // view stays as it is until the model's nodes change (a new listing).
  QTreeWidgetItem* dragged = itemAtPath(path);
  if (dragged == nullptr) return;
  syncing_ = true;
  tipItem_ = nullptr;
  delete dragged;
  syncing_ = false;
  if (model().selection().path == path) model().clearSelection();
}

bool CDBTreeView::acceptsDrag(const QMimeData* data) const {
  return side_ == Workbench::kTargetSide && data != nullptr &&
         data->hasFormat(kCatalogNodeMimeType) &&
         data->data(kCatalogNodeMimeType).startsWith(QByteArray::number(Workbench::kSourceSide));
}

void CDBTreeView::dragEnterEvent(QDragEnterEvent* event) {
  if (!acceptsDrag(event->mimeData())) {
    event->ignore();
    return;
  }
  event->setDropAction((event->modifiers() & Qt::ShiftModifier) ? Qt::MoveAction : Qt::CopyAction);
  event->accept();
}

void CDBTreeView::dragMoveEvent(QDragMoveEvent* event) {
  if (!acceptsDrag(event->mimeData())) {
    event->ignore();
    return;
  }
  const QPoint position = event->position().toPoint();
  scrollNearEdges(position);
  QTreeWidgetItem* item = itemAt(position);
  if (item == nullptr) {
    model().clearDropTarget();
    event->ignore();
    return;
  }
  model().setDropTarget(PathOf(item));
  showDropTarget(PathOf(item));
  event->setDropAction((event->modifiers() & Qt::ShiftModifier) ? Qt::MoveAction : Qt::CopyAction);
  event->accept();
}

void CDBTreeView::dragLeaveEvent(QDragLeaveEvent* event) {
  model().clearDropTarget();
  showDropTarget({});
  event->accept();
}

void CDBTreeView::dropEvent(QDropEvent* event) {
  QTreeWidgetItem* item = itemAt(event->position().toPoint());
  if (!acceptsDrag(event->mimeData()) || item == nullptr) {
    event->ignore();
    return;
  }
  const std::vector<CatalogStep> path = PathOf(item);
  event->setDropAction((event->modifiers() & Qt::ShiftModifier) ? Qt::MoveAction : Qt::CopyAction);
  event->accept();
  // The Migrate command asks its questions after the drag has ended.
  QMetaObject::invokeMethod(
      this, [this, path] { DropOnTarget(window_, path); }, Qt::QueuedConnection);
}

void CDBTreeView::scrollNearEdges(const QPoint& position) {
  const QRect area = viewport()->rect();
  QScrollBar* vertical = verticalScrollBar();
  QScrollBar* horizontal = horizontalScrollBar();
  if (position.y() < area.top() + kEdgeMargin)
    vertical->setValue(vertical->value() - vertical->singleStep());
  else if (position.y() > area.bottom() - kEdgeMargin)
    vertical->setValue(vertical->value() + vertical->singleStep());
  if (position.x() < area.left() + kEdgeMargin)
    horizontal->setValue(horizontal->value() - horizontal->singleStep());
  else if (position.x() > area.right() - kEdgeMargin)
    horizontal->setValue(horizontal->value() + horizontal->singleStep());
}

}  // namespace tablift
