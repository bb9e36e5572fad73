#pragma once

#include <functional>
#include <string>

namespace tablift {

// Low-level code must sometimes tell the user something (the message boxes of
// the data access layer) without knowing which window, console or test is in
// front. The front end installs a handler; until then texts go to stderr.
using UserMessageHandler = std::function<void(const std::string&)>;

// Installs the handler for all threads; an empty handler restores the default.
void SetUserMessageHandler(UserMessageHandler handler);

// Hands the text to the installed handler. Callable from any thread; the
// handler runs on the calling thread and may itself show further messages.
void ShowUserMessage(const std::string& text);

}  // namespace tablift
