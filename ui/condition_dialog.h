#pragma once

#include <QDialog>
#include <map>
#include <string>

#include "engine/migration_condition.h"

namespace tablift {

class Workbench;

// Control ids of the condition dialog.
enum ConditionControl : int {
  kConditionClose = 2,
  kConditionTest = 3,
  kConditionSave = 1031,
  kConditionEdit = 1032,
  kConditionResult = 1034,
  kConditionSelectLabel = 1037,
};

// Edits, tests and saves the migration condition of one source table (or
// view). A condition is saved only as it passed its test: Save is enabled by
// a successful test and disabled again by any change of the text, so what is
// saved is always what was counted.
class ConditionDialog : public QDialog {
  Q_OBJECT
 public:
  ConditionDialog(Workbench& window, ConditionSubject subject, QWidget* parent = nullptr);

  // A control by its id (see ConditionControl).
  template <typename Widget>
  Widget* control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : qobject_cast<Widget*>(found->second);
  }
  const ConditionSubject& subject() const { return subject_; }
  // The last test's result, as the engine words it.
  const std::string& resultText() const { return result_; }

  void test();
  void save();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void add(int id, QWidget* widget);
  void conditionEdited();
  // Selects the character at `position` (from 1) of the edit's text: where a
  // failed test found the error.
  void selectCharacter(std::size_t position);
  QString editText() const;

  Workbench& window_;
  const ConditionSubject subject_;
  std::string condition_;  // the text as last tested
  std::string result_;
  std::map<int, QWidget*> controls_;
};

}  // namespace tablift
