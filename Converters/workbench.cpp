#include "Converters/workbench.h"

#include "data_access/user_messages.h"
#include "data_access/working_directories.h"

namespace tablift {

Workbench::Workbench(Prompter& prompter) : prompter_(prompter) {
  SetUserMessageHandler(
      [this](const std::string& text) { prompter_.showMessage(text, MessageIcon::Error); });
}

Workbench::~Workbench() {
  SetUserMessageHandler({});
}

void Workbench::setStatusText(std::string text) {
  std::function<void(const std::string&)> listener;
  {
    std::lock_guard guard(mutex_);
    statusText_ = text;
    listener = statusListener_;
  }
  if (listener) listener(text);
}

std::string Workbench::statusText() const {
  std::lock_guard guard(mutex_);
  return statusText_;
}

void Workbench::setStatusListener(std::function<void(const std::string&)> listener) {
  std::lock_guard guard(mutex_);
  statusListener_ = std::move(listener);
}

std::string Workbench::charset() const {
  std::lock_guard guard(mutex_);
  return charset_;
}

void Workbench::setCharset(std::string charset) {
  std::lock_guard guard(mutex_);
  charset_ = std::move(charset);
}

std::string Workbench::storageEngine() const {
  std::lock_guard guard(mutex_);
  return storageEngine_;
}

void Workbench::setStorageEngine(std::string engine) {
  std::lock_guard guard(mutex_);
  storageEngine_ = std::move(engine);
}

std::filesystem::path Workbench::conditionFile() const {
  std::lock_guard guard(mutex_);
  if (conditionFile_.empty()) return ProgramDirectory() / "Condition.cfg";
  return conditionFile_;
}

void Workbench::setConditionFile(std::filesystem::path path) {
  std::lock_guard guard(mutex_);
  conditionFile_ = std::move(path);
}

std::string Workbench::sideName() const {
  std::lock_guard guard(mutex_);
  return sideName_;
}

void Workbench::setSideName(std::string name) {
  std::lock_guard guard(mutex_);
  sideName_ = std::move(name);
}

std::string Workbench::treeDatabasePath(int side) const {
  if (side != kSourceSide && side != kTargetSide) return {};
  std::lock_guard guard(mutex_);
  return treeDatabasePaths_[side];
}

void Workbench::setTreeDatabasePath(int side, std::string path) {
  if (side != kSourceSide && side != kTargetSide) return;
  std::lock_guard guard(mutex_);
  treeDatabasePaths_[side] = std::move(path);
}

}  // namespace tablift
