#include "engine/catalog_tree.h"

#include <algorithm>
#include <utility>

namespace tablift {

CatalogNode& CatalogNode::add(NodeKind childImage, std::string childText) {
  children.push_back(CatalogNode{childImage, std::move(childText), false, {}});
  return children.back();
}

const std::string& CatalogSelection::text() const {
  static const std::string kNone;
  return path.empty() ? kNone : path.back().text;
}

std::string CatalogSelection::nearest(NodeKind image) const {
  for (auto step = path.rbegin(); step != path.rend(); ++step) {
    if (step->kind == image) return step->text;
  }
  return {};
}

CatalogNode CatalogTree::nodes() const {
  std::lock_guard lock(mutex_);
  return root_;
}

bool CatalogTree::isEmpty() const {
  std::lock_guard lock(mutex_);
  return !hasNodes_;
}

void CatalogTree::replace(CatalogNode root) {
  {
    std::lock_guard lock(mutex_);
    root_ = std::move(root);
    hasNodes_ = true;
    if (!selection_.empty() && Find(root_, selection_) == nullptr) selection_.clear();
    if (!dropTarget_.empty() && Find(root_, dropTarget_) == nullptr) dropTarget_.clear();
  }
  notify();
}

void CatalogTree::clear() {
  {
    std::lock_guard lock(mutex_);
    root_ = CatalogNode{};
    hasNodes_ = false;
    selection_.clear();
    dropTarget_.clear();
  }
  notify();
}

namespace {

// The node at `path` below `root`, for changing it; null when there is none.
CatalogNode* FindMutable(CatalogNode& root, const std::vector<CatalogStep>& path) {
  return const_cast<CatalogNode*>(CatalogTree::Find(root, path));
}

bool StartsWith(const std::vector<CatalogStep>& path, const std::vector<CatalogStep>& prefix) {
  return path.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

}  // namespace

bool CatalogTree::remove(const std::vector<CatalogStep>& path) {
  {
    std::lock_guard lock(mutex_);
    if (!hasNodes_ || path.size() < 2) return false;
    const std::vector<CatalogStep> parentPath(path.begin(), path.end() - 1);
    CatalogNode* parent = FindMutable(root_, parentPath);
    if (parent == nullptr) return false;
    auto& children = parent->children;
    const auto found = std::find_if(children.begin(), children.end(), [&](const CatalogNode& c) {
      return c.kind == path.back().kind && c.text == path.back().text;
    });
    if (found == children.end()) return false;
    children.erase(found);
    if (StartsWith(selection_, path)) selection_.clear();
    if (StartsWith(dropTarget_, path)) dropTarget_.clear();
  }
  notify();
  return true;
}

bool CatalogTree::rename(const std::vector<CatalogStep>& path, std::string text) {
  {
    std::lock_guard lock(mutex_);
    if (!hasNodes_) return false;
    CatalogNode* node = FindMutable(root_, path);
    if (node == nullptr) return false;
    node->text = text;
    // A selection on or below the node follows it.
    if (StartsWith(selection_, path)) selection_[path.size() - 1].text = text;
    if (StartsWith(dropTarget_, path)) dropTarget_[path.size() - 1].text = text;
  }
  notify();
  return true;
}

int CatalogTree::dbmsKind() const {
  std::lock_guard lock(mutex_);
  return dbmsKind_;
}

void CatalogTree::setDbmsKind(int kind) {
  std::lock_guard lock(mutex_);
  dbmsKind_ = kind;
}

std::string CatalogTree::currentDatabase() const {
  std::lock_guard lock(mutex_);
  return currentDatabase_;
}

void CatalogTree::setCurrentDatabase(std::string name) {
  std::lock_guard lock(mutex_);
  currentDatabase_ = std::move(name);
}

std::string CatalogTree::storageEngine() const {
  std::lock_guard lock(mutex_);
  return storageEngine_;
}

void CatalogTree::setStorageEngine(std::string engine) {
  std::lock_guard lock(mutex_);
  storageEngine_ = std::move(engine);
}

bool CatalogTree::busy() const {
  std::lock_guard lock(mutex_);
  return busy_;
}

void CatalogTree::setBusy(bool busy) {
  std::lock_guard lock(mutex_);
  busy_ = busy;
}

CatalogSelection CatalogTree::selection() const {
  std::lock_guard lock(mutex_);
  return CatalogSelection{selection_};
}

bool CatalogTree::select(const std::vector<CatalogStep>& path) {
  {
    std::lock_guard lock(mutex_);
    if (!hasNodes_ || Find(root_, path) == nullptr) return false;
    selection_ = path;
  }
  notify();
  return true;
}

void CatalogTree::clearSelection() {
  {
    std::lock_guard lock(mutex_);
    selection_.clear();
  }
  notify();
}

std::vector<CatalogStep> CatalogTree::dropTarget() const {
  std::lock_guard lock(mutex_);
  return dropTarget_;
}

void CatalogTree::setDropTarget(std::vector<CatalogStep> path) {
  {
    std::lock_guard lock(mutex_);
    if (dropTarget_ == path) return;
    dropTarget_ = std::move(path);
  }
  notify();
}

void CatalogTree::clearDropTarget() {
  setDropTarget({});
}

void CatalogTree::setChangeListener(std::function<void()> listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

void CatalogTree::notify() {
  std::function<void()> listener;
  {
    std::lock_guard lock(mutex_);
    listener = listener_;
  }
  if (listener) listener();
}

const CatalogNode* CatalogTree::Find(const CatalogNode& root,
                                     const std::vector<CatalogStep>& path) {
  if (path.empty() || root.kind != path[0].kind || root.text != path[0].text) return nullptr;
  const CatalogNode* node = &root;
  for (std::size_t i = 1; i < path.size(); ++i) {
    const CatalogNode* next = nullptr;
    for (const CatalogNode& child : node->children) {
      if (child.kind == path[i].kind && child.text == path[i].text) {
        next = &child;
        break;
      }
    }
    if (next == nullptr) return nullptr;
    node = next;
  }
  return node;
}

}  // namespace tablift
