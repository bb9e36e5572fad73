#pragma once

#include <QAbstractItemDelegate>
#include <QTreeWidget>
#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/catalog_tree.h"
#include "ui/tree_menus.h"

class QMenu;

namespace tablift {

class Workbench;

// The MIME type of a catalog node dragged from the source tree.
inline constexpr char kCatalogNodeMimeType[] = "application/x-tablift-catalog-node";

// One database tree of the main window: a view over the side's CatalogTree.
// The view is rebuilt whenever the model's nodes change (the model may change
// on the controller thread; the view follows on its own thread), and every
// selection the user makes is written back into the model, where the commands
// read it. The source tree lets nodes be dragged onto the target tree; a drop
// there migrates the dragged node into the node under the pointer.
class CDBTreeView : public QTreeWidget {
  Q_OBJECT
 public:
  CDBTreeView(Workbench& window, int side, QWidget* parent = nullptr);
  ~CDBTreeView() override;

  int side() const { return side_; }
  CatalogTree& model();

  // The way from the root to an item, as the model names it.
  static std::vector<CatalogStep> PathOf(const QTreeWidgetItem* item);
  QTreeWidgetItem* itemAtPath(const std::vector<CatalogStep>& path) const;
  static NodeKind KindOf(const QTreeWidgetItem* item);

  // Makes the view follow the model now (it does so by itself from the event
  // loop after every change of the model).
  void syncFromModel();

  // The context menu of an item, or null when the item has none; the caller
  // owns it. A chosen entry runs its command on this tree.
  QMenu* createContextMenu(QTreeWidgetItem* item);

  // Runs a command on this tree's selection, as if chosen from its context
  // menu: "Rename Table" begins editing the selected label in place (target
  // tree only); every other command goes to the command handler.
  void runCommand(int command);
  void setCommandHandler(std::function<void(int command)> handler);

  // Told of the menu bar state after every selection change and single click.
  void setMenuStateListener(std::function<void(const MenuBarState&)> listener);
  MenuBarState menuState() const;

  // The rename of a target table: given the old and the new name, true when
  // the table was renamed (the label keeps the new text only then).
  void setRenameHandler(std::function<bool(const std::string&, const std::string&)> handler);

  // The double click on a database node: that database becomes the tree's
  // current one (MySQL: "use" it and list it; Access: connect the side anew).
  void selectDatabase(const std::string& name);

  // The source tree's tool tip for the point of the viewport: the migration
  // condition of the table there ("Convert All" without one), empty over
  // any other node. Moving the mouse sets the tree's tool tip to it.
  QString toolTipAt(const QPoint& position);

  // The end of a drag that started here: a move (Shift held over the target)
  // removes the dragged node from this display.
  void dragFinished(const std::vector<CatalogStep>& path, Qt::DropAction result);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // An in-place rename takes the edited text only when the user ended the
  // edit with Enter; Escape or clicking elsewhere keeps the old name.
  void commitData(QWidget* editor) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  void rebuild(const CatalogNode& root);
  void addChildren(QTreeWidgetItem* parent, const CatalogNode& node, const QString& parentKey);
  QTreeWidgetItem* makeItem(const CatalogNode& node, const QString& key);
  void selectionChangedByUser();
  void notifyMenuState();
  void showDropTarget(const std::vector<CatalogStep>& path);
  void itemEdited(QTreeWidgetItem* item, int column);
  void scrollNearEdges(const QPoint& position);
  bool acceptsDrag(const QMimeData* data) const;

  Workbench& window_;
  const int side_;
  CatalogNode shown_;
  bool hasShown_ = false;
  std::set<QString> expanded_;
  std::set<QString> collapsed_;
  bool syncing_ = false;
  std::atomic<bool> syncQueued_{false};
  std::vector<CatalogStep> highlighted_;
  std::function<void(int)> commandHandler_;
  std::function<void(const MenuBarState&)> menuListener_;
  std::function<bool(const std::string&, const std::string&)> renameHandler_;
  bool renamePending_ = false;
  bool renameEntered_ = false;  // Enter was pressed in the rename's editor
  QString renameOldText_;
  const QTreeWidgetItem* tipItem_ = nullptr;  // the node the tool tip was last set for
};

}  // namespace tablift
