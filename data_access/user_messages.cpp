#include "data_access/user_messages.h"

#include <cstdio>
#include <memory>
#include <mutex>

namespace tablift {
namespace {

std::mutex handler_mutex;
// Shared ownership lets a message in flight keep using the handler it started
// with while another thread installs a new one.
std::shared_ptr<const UserMessageHandler> installed_handler;

void WriteToStandardError(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace

void SetUserMessageHandler(UserMessageHandler handler) {
  std::shared_ptr<const UserMessageHandler> replacement;
  if (handler) replacement = std::make_shared<const UserMessageHandler>(std::move(handler));
  const std::lock_guard lock(handler_mutex);
  installed_handler.swap(replacement);
}

void ShowUserMessage(const std::string& text) {
  std::shared_ptr<const UserMessageHandler> handler;
  {
    const std::lock_guard lock(handler_mutex);
    handler = installed_handler;
  }
  // Called outside the lock so that a handler may show messages or replace
  // itself without deadlocking.
  if (handler) {
    try {
      (*handler)(text);
      return;
    } catch (...) {
      // A failing front end must not take the caller down, nor lose the text.
    }
  }
  WriteToStandardError(text);
}

}  // namespace tablift
