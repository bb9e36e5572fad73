#pragma once

#include <optional>
#include <string>
#include <utility>

#include "core/prompter.h"

namespace tablift {

// The command line's prompter: it runs unattended, so messages and hints go
// to standard error and every question is answered OK / Yes (the command's
// options already said what the user wants). Texts, folders and files cannot
// be asked for and count as cancelled, except a folder the command's options
// gave beforehand.
class ConsolePrompter : public Prompter {
 public:
  void showMessage(std::string_view text, MessageIcon icon) override;
  bool askOkCancel(std::string_view question) override;
  bool askYesNo(std::string_view warning) override;
  void showHint(std::string_view hint) override;
  std::optional<std::string> askText(std::string_view caption, std::string_view label) override;
  std::optional<std::string> chooseFolder(std::string_view caption,
                                          std::string_view startFolder) override;
  std::optional<std::string> chooseFile(std::string_view caption, std::string_view filter,
                                        std::string_view startPath) override;
};

}  // namespace tablift
