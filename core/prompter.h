#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tablift {

enum class MessageIcon { Information, Warning, Error };

// Everything the engine asks of the user goes through here: message boxes,
// OK/Cancel and Yes/No questions, hints for refused commands, and folder and
// file choices. The desktop program answers with Qt dialogs, the command line
// with its flags or standard input, tests with scripted answers.
class Prompter {
 public:
  virtual ~Prompter() = default;

  virtual void showMessage(std::string_view text, MessageIcon icon) = 0;
  // True when the user answered OK.
  virtual bool askOkCancel(std::string_view question) = 0;
  // True when the user answered Yes.
  virtual bool askYesNo(std::string_view warning) = 0;
  // A refused command explains itself in the "Tips" pane, under "F1 to Help:".
  virtual void showHint(std::string_view hint) = 0;
  // A line of text the user types (a new database's name, say); nothing when
  // the user cancelled.
  virtual std::optional<std::string> askText(std::string_view caption, std::string_view label) = 0;
  // The chosen folder or file; nothing when the user cancelled.
  virtual std::optional<std::string> chooseFolder(std::string_view caption,
                                                  std::string_view startFolder) = 0;
  virtual std::optional<std::string> chooseFile(std::string_view caption, std::string_view filter,
                                                std::string_view startPath) = 0;
};

}  // namespace tablift
