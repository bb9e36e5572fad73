#pragma once

#include <optional>
#include <string>

#include "cli/console_prompter.h"

namespace tablift {

// The prompter of the commands that change the server: every question is
// shown on standard error and answered on the terminal (a line beginning with
// "y" or "o" says yes/OK, anything else or the end of input says no), unless
// the user gave --yes, which answers every question with yes. The one text a
// command may ask for (a new database's name) is given on the command line.
class TerminalPrompter : public ConsolePrompter {
 public:
  TerminalPrompter(bool assumeYes, std::optional<std::string> text = std::nullopt)
      : assumeYes_(assumeYes), text_(std::move(text)) {}

  bool askOkCancel(std::string_view question) override;
  bool askYesNo(std::string_view warning) override;
  std::optional<std::string> askText(std::string_view caption, std::string_view label) override;

 private:
  bool ask(std::string_view question, const char* choices);

  bool assumeYes_;
  std::optional<std::string> text_;
};

}  // namespace tablift
