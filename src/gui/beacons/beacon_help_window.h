// "Beacon Scheduling Help": how the time expressions of beacons and schedule events are written.
#pragma once

#include <QDialog>
#include <functional>

class QDialogButtonBox;
class QPushButton;

namespace tarvok {

class TBeaconHelpWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit TBeaconHelpWindow(QWidget* parent = nullptr);
};

// Opens the help over parent's window without waiting for it to close.
void ShowBeaconHelp(QWidget* parent);

// The Save, Cancel and Help row of the beacon and schedule edit dialogs: Save starts disabled and
// runs onSave, Cancel rejects the dialog, Help opens the help above.
struct TEditButtons {
  QDialogButtonBox* Row;
  QPushButton* Save;
};
TEditButtons AddEditButtons(QDialog* dialog, const std::function<void()>& onSave);

}  // namespace tarvok
