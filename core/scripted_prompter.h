#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "core/prompter.h"

namespace tablift {

// A prompter that answers from a script instead of asking anyone: the tests
// use it, and so does the command line when it runs unattended. Every prompt
// is recorded. Questions take the next scripted answer, or the default answer
// when the script is used up; texts and choices take the next scripted choice,
// or cancel.
class ScriptedPrompter : public Prompter {
 public:
  enum class Kind { Message, OkCancel, YesNo, Hint, Text, Folder, File };
  struct Prompt {
    Kind kind;
    std::string text;
  };

  explicit ScriptedPrompter(bool defaultAnswer = true) : defaultAnswer_(defaultAnswer) {}

  void queueAnswer(bool answer);
  // The next text, folder or file the "user" gives.
  void queueChoice(std::string path);
  std::vector<Prompt> prompts() const;
  // The texts of the prompts of one kind, in order.
  std::vector<std::string> texts(Kind kind) const;

  void showMessage(std::string_view text, MessageIcon icon) override;
  bool askOkCancel(std::string_view question) override;
  bool askYesNo(std::string_view warning) override;
  void showHint(std::string_view hint) override;
  std::optional<std::string> askText(std::string_view caption, std::string_view label) override;
  std::optional<std::string> chooseFolder(std::string_view caption,
                                          std::string_view startFolder) override;
  std::optional<std::string> chooseFile(std::string_view caption, std::string_view filter,
                                        std::string_view startPath) override;

 private:
  bool nextAnswer(Kind kind, std::string_view text);
  std::optional<std::string> nextChoice(Kind kind, std::string_view text);

  mutable std::mutex mutex_;
  bool defaultAnswer_;
  std::deque<bool> answers_;
  std::deque<std::string> choices_;
  std::vector<Prompt> prompts_;
};

}  // namespace tablift
