#include "core/scripted_prompter.h"

namespace tablift {

void ScriptedPrompter::queueAnswer(bool answer) {
  std::lock_guard guard(mutex_);
  answers_.push_back(answer);
}

void ScriptedPrompter::queueChoice(std::string path) {
  std::lock_guard guard(mutex_);
  choices_.push_back(std::move(path));
}

std::vector<ScriptedPrompter::Prompt> ScriptedPrompter::prompts() const {
  std::lock_guard guard(mutex_);
  return prompts_;
}

std::vector<std::string> ScriptedPrompter::texts(Kind kind) const {
  std::vector<std::string> result;
  for (const Prompt& prompt : prompts()) {
    if (prompt.kind == kind) result.push_back(prompt.text);
  }
  return result;
}

void ScriptedPrompter::showMessage(std::string_view text, MessageIcon) {
  std::lock_guard guard(mutex_);
  prompts_.push_back({Kind::Message, std::string(text)});
}

bool ScriptedPrompter::askOkCancel(std::string_view question) {
  return nextAnswer(Kind::OkCancel, question);
}

bool ScriptedPrompter::askYesNo(std::string_view warning) {
  return nextAnswer(Kind::YesNo, warning);
}

void ScriptedPrompter::showHint(std::string_view hint) {
  std::lock_guard guard(mutex_);
  prompts_.push_back({Kind::Hint, std::string(hint)});
}

std::optional<std::string> ScriptedPrompter::askText(std::string_view caption, std::string_view) {
  return nextChoice(Kind::Text, caption);
}

std::optional<std::string> ScriptedPrompter::chooseFolder(std::string_view caption,
                                                          std::string_view) {
  return nextChoice(Kind::Folder, caption);
}

std::optional<std::string> ScriptedPrompter::chooseFile(std::string_view caption, std::string_view,
                                                        std::string_view) {
  return nextChoice(Kind::File, caption);
}

bool ScriptedPrompter::nextAnswer(Kind kind, std::string_view text) {
  std::lock_guard guard(mutex_);
  prompts_.push_back({kind, std::string(text)});
  if (answers_.empty()) return defaultAnswer_;
  const bool answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPrompter::nextChoice(Kind kind, std::string_view text) {
  std::lock_guard guard(mutex_);
  prompts_.push_back({kind, std::string(text)});
  if (choices_.empty()) return std::nullopt;
  std::string choice = std::move(choices_.front());
  choices_.pop_front();
  return choice;
}

}  // namespace tablift
