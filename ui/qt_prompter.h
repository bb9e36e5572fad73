#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>

#include "core/prompter.h"

namespace tablift {

// Answers the engine's questions with Qt dialogs. Callable from any thread:
// a call from the controller thread is carried out on the user-interface
// thread and waits for the answer there.
class QtPrompter : public QObject, public Prompter {
  Q_OBJECT
 public:
  explicit QtPrompter(QWidget* parentWindow);

  void showMessage(std::string_view text, MessageIcon icon) override;
  bool askOkCancel(std::string_view question) override;
  bool askYesNo(std::string_view warning) override;
  void showHint(std::string_view hint) override;
  std::optional<std::string> askText(std::string_view caption, std::string_view label) override;
  std::optional<std::string> chooseFolder(std::string_view caption,
                                          std::string_view startFolder) override;
  std::optional<std::string> chooseFile(std::string_view caption, std::string_view filter,
                                        std::string_view startPath) override;

  // The window is going away: questions from other threads are answered at
  // once with Cancel / No / nothing, and their messages are not shown, so a
  // controller thread waiting for an answer can end.
  void setClosing() { closing_.store(true); }
  // Nobody is there to answer (the program only takes a screenshot):
  // messages go to standard error, and questions are answered at once with
  // Cancel / No / nothing instead of waiting for a click that never comes.
  void setUnattended() { unattended_.store(true); }

  // Where refusal hints go; the main window connects its "Tips" pane here.
  void setHintHandler(std::function<void(const QString&)> handler);

 private:
  template <typename Function>
  auto onUiThread(Function function) -> decltype(function());

  QPointer<QWidget> parent_;
  std::atomic<bool> closing_{false};
  std::atomic<bool> unattended_{false};
  std::function<void(const QString&)> hintHandler_;
};

}  // namespace tablift
