#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "data_access/user_messages.h"

namespace tablift::test {

// Collects the texts shown to the user while it lives, instead of letting them
// reach stderr, and restores the default handler afterwards.
class CapturedUserMessages {
 public:
  CapturedUserMessages() {
    SetUserMessageHandler([this](const std::string& text) {
      const std::lock_guard lock(mutex_);
      texts_.push_back(text);
    });
  }
  ~CapturedUserMessages() { SetUserMessageHandler({}); }
  CapturedUserMessages(const CapturedUserMessages&) = delete;
  CapturedUserMessages& operator=(const CapturedUserMessages&) = delete;

  std::vector<std::string> texts() const {
    const std::lock_guard lock(mutex_);
    return texts_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
};

}  // namespace tablift::test
