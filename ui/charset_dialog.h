#pragma once

#include <QDialog>
#include <string>

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace tablift {

// Control ids of the character set dialog's buttons.
inline constexpr int kCharsetSelectButton = 1;
inline constexpr int kCharsetCancelButton = 2;

// The character set choice: one radio button per character set (with its
// description beside it) in two columns. It opens with the radio of the
// current name checked (none when the name is not offered); each click
// makes the name of the checked radio the chosen one.
class CharsetDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CharsetDialog(const std::string& currentName, QWidget* parent = nullptr);

  // The name "Select" confirms.
  const std::string& chosenName() const { return chosen_; }
  // The radio button of a control id (1024 "big5" ...), or null.
  QRadioButton* radio(int id) const;
  QPushButton* selectButton() const { return select_; }

 private:
  std::string chosen_;
  QButtonGroup* group_ = nullptr;
  QPushButton* select_ = nullptr;
};

}  // namespace tablift
