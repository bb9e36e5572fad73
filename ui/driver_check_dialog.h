#pragma once

#include <QDialog>
#include <map>
#include <vector>

#include "engine/driver_check.h"

class QGridLayout;
class QLabel;

namespace tablift {

// Control ids of the driver check dialog.
enum DriverCheckControl : int {
  kDriverCheckOpenConfig = 1,
  kDriverCheckCancel = 2,
  kDriverCheckAccessGroup = 1055,
  kDriverCheckMySqlGroup = 1056,
  kDriverCheckAccessNote = 1057,
  kDriverCheckMySqlNote = 1058,
  kDriverCheckAccessRows = 2113,  // three labels a row, rows 5 ids apart
  kDriverCheckMySqlRows = 2163,
  kDriverCheckMicrosoftLink = 2213,
  kDriverCheckMySqlLink = 2214,
  kDriverCheckInstall = 2215,
  kDriverCheckShowAtStart = 2216,
};

// The download pages of the two link buttons.
inline constexpr char kMicrosoftDownloadPage[] =
    "https://www.microsoft.com/en-us/download/details.aspx?id=13255";
inline constexpr char kMySqlDownloadPage[] = "https://dev.mysql.com/downloads/connector/odbc/";

// Shows which providers and drivers each side has and whether they can be
// used, with links to get the missing ones and the installer of the driver
// shipped beside the program.
class DriverCheckDialog : public QDialog {
  Q_OBJECT
 public:
  DriverCheckDialog(std::vector<DriverReportRow> accessRows, std::vector<DriverReportRow> mySqlRows,
                    QWidget* parent = nullptr, bool showAtStart = false);

  template <typename Widget>
  Widget* control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : qobject_cast<Widget*>(found->second);
  }

 signals:
  // "Open Config": the dialog has closed and the configuration should open.
  void openConfigRequested();
  // "Install Mysql ODBC 3.51 Driver" was pressed.
  void installRequested();
  // "Show at start" was switched: whether the check opens at every start,
  // or only when a side misses what it needs.
  void showAtStartChanged(bool shown);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QWidget* buildGroup(int groupId, const QString& title, int firstRowId,
                      const std::vector<DriverReportRow>& rows);
  void add(int id, QWidget* widget);

  std::map<int, QWidget*> controls_;
};

// The colour of a report label: red for "Unusable...", green for "Usable...".
QString DriverLabelStyle(const QString& text);

}  // namespace tablift
