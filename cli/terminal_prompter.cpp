#include "cli/terminal_prompter.h"

#include <cstdio>
#include <iostream>

namespace tablift {

bool TerminalPrompter::ask(std::string_view question, const char* choices) {
  std::fprintf(stderr, "%.*s %s ", static_cast<int>(question.size()), question.data(), choices);
  if (assumeYes_) {
    std::fputs("yes\n", stderr);
    return true;
  }
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) {
    std::fputc('\n', stderr);
    return false;
  }
  return !answer.empty() &&
         (answer[0] == 'y' || answer[0] == 'Y' || answer[0] == 'o' || answer[0] == 'O');
}

bool TerminalPrompter::askOkCancel(std::string_view question) {
  return ask(question, "[OK/Cancel]");
}

bool TerminalPrompter::askYesNo(std::string_view warning) {
  return ask(warning, "[Yes/No]");
}

std::optional<std::string> TerminalPrompter::askText(std::string_view caption,
                                                     std::string_view label) {
  if (text_) return text_;
  return ConsolePrompter::askText(caption, label);
}

}  // namespace tablift
