#include "cli/console_prompter.h"

#include <cstdio>

namespace tablift {
namespace {

void Say(const char* kind, std::string_view text) {
  std::fprintf(stderr, "%s%.*s\n", kind, static_cast<int>(text.size()), text.data());
}

}  // namespace

void ConsolePrompter::showMessage(std::string_view text, MessageIcon icon) {
  Say(icon == MessageIcon::Information ? "" : "tablift-cli: ", text);
}

bool ConsolePrompter::askOkCancel(std::string_view question) {
  Say("", question);
  return true;
}

bool ConsolePrompter::askYesNo(std::string_view warning) {
  Say("", warning);
  return true;
}

void ConsolePrompter::showHint(std::string_view hint) {
  Say("Hint: ", hint);
}

std::optional<std::string> ConsolePrompter::askText(std::string_view, std::string_view label) {
  Say("tablift-cli: cannot ask for ", label);
  return std::nullopt;
}

std::optional<std::string> ConsolePrompter::chooseFolder(std::string_view caption,
                                                         std::string_view) {
  Say("tablift-cli: cannot ask for ", caption);
  return std::nullopt;
}

std::optional<std::string> ConsolePrompter::chooseFile(std::string_view caption, std::string_view,
                                                       std::string_view) {
  Say("tablift-cli: cannot ask for ", caption);
  return std::nullopt;
}

}  // namespace tablift
