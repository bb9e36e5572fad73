#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tablift {

// What a node of a database tree stands for. The kinds are told apart by
// this type, never by the icon a view shows for them (ui/icons.h maps each
// kind to its picture).
enum class NodeKind : int {
  None = -1,  // no node: an empty selection
  Root = 0,
  Database = 1,
  Table = 2,
  TablesFolder = 3,
  Field = 4,
  FieldsFolder = 5,
  Index = 6,
  IndexesFolder = 7,
  View = 8,
  ViewsFolder = 9,
};

struct CatalogNode {
  NodeKind kind = NodeKind::Root;
  std::string text;
  bool expanded = false;
  std::vector<CatalogNode> children;

  CatalogNode& add(NodeKind childKind, std::string childText);
};

// One step of the way from the root to a node.
struct CatalogStep {
  NodeKind kind = NodeKind::Root;
  std::string text;
  bool operator==(const CatalogStep&) const = default;
};

// A node as the commands see it: its kind, its text and those of its
// ancestors. It stays meaningful when the tree is refilled meanwhile.
struct CatalogSelection {
  std::vector<CatalogStep> path;  // from the root down to the node

  bool empty() const { return path.empty(); }
  NodeKind kind() const { return path.empty() ? NodeKind::None : path.back().kind; }
  const std::string& text() const;
  // The text of the nearest ancestor-or-self of the given kind, "" if none.
  std::string nearest(NodeKind kind) const;
};

// The model behind one database tree: what the catalog listing fills and the
// desktop program's tree view shows. The controller thread refills the target
// tree while the user-interface thread reads it, so every access is locked
// for a moment only; a refill builds its nodes first and swaps them in.
class CatalogTree {
 public:
  explicit CatalogTree(int side) : side_(side) {}
  CatalogTree(const CatalogTree&) = delete;
  CatalogTree& operator=(const CatalogTree&) = delete;

  int side() const { return side_; }

  // A copy of the nodes (a root with an empty text and no children when the
  // tree is empty).
  CatalogNode nodes() const;
  bool isEmpty() const;
  // Replaces every node; the selection is kept when its path still exists.
  void replace(CatalogNode root);
  void clear();
  // Removes the node at `path` with everything below it (the selection goes
  // with it when it was there); false when there is no such node.
  bool remove(const std::vector<CatalogStep>& path);
  // Gives the node at `path` a new text (a renamed table keeps its place);
  // false when there is no such node.
  bool rename(const std::vector<CatalogStep>& path, std::string text);

  // The connection fields the connect command sets.
  int dbmsKind() const;
  void setDbmsKind(int kind);
  // The current database (for Access the .mdb path without ".mdb").
  std::string currentDatabase() const;
  void setCurrentDatabase(std::string name);
  // The storage engine of new MySQL tables, "MyISAM" at first.
  std::string storageEngine() const;
  void setStorageEngine(std::string engine);

  bool busy() const;
  void setBusy(bool busy);

  CatalogSelection selection() const;
  // Selects the node at `path`; false (selection unchanged) when there is
  // none.
  bool select(const std::vector<CatalogStep>& path);
  void clearSelection();

  // The node highlighted as the place a node dragged from the other tree
  // would be dropped; empty when none is. The view sets it while a drag moves
  // over the tree; commands clear it when a drop is abandoned.
  std::vector<CatalogStep> dropTarget() const;
  void setDropTarget(std::vector<CatalogStep> path);
  void clearDropTarget();

  // Told after every change of nodes or selection, on the thread that made
  // it; it must not call back into the tree while it holds a lock of its own
  // that the tree's readers take.
  void setChangeListener(std::function<void()> listener);

  // The node at `path` in `root`, or null.
  static const CatalogNode* Find(const CatalogNode& root, const std::vector<CatalogStep>& path);

 private:
  void notify();

  const int side_;
  mutable std::mutex mutex_;
  CatalogNode root_;
  bool hasNodes_ = false;
  int dbmsKind_ = 0;
  std::string currentDatabase_;
  std::string storageEngine_ = "MyISAM";
  bool busy_ = false;
  std::vector<CatalogStep> selection_;
  std::vector<CatalogStep> dropTarget_;
  std::function<void()> listener_;
};

}  // namespace tablift
