#pragma once

#include <QDialog>

class QLineEdit;

namespace tablift {

// Control id of the name edit.
inline constexpr int kNewDatabaseNameEdit = 1023;

// Asks for the name of a new database: "DB Name:", one edit, OK and Cancel.
// The text is handed on exactly as typed.
class NewDatabaseDialog : public QDialog {
  Q_OBJECT
 public:
  explicit NewDatabaseDialog(QWidget* parent = nullptr, const QString& caption = {},
                             const QString& label = {});

  QLineEdit* nameEdit() const { return edit_; }
  QString name() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QLineEdit* edit_ = nullptr;
};

}  // namespace tablift
