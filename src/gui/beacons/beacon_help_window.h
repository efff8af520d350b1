// "Beacon Scheduling Help": how the time expressions of beacons and schedule events are written.
#pragma once

#include <QDialog>

namespace tarvok {

class TBeaconHelpWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit TBeaconHelpWindow(QWidget* parent = nullptr);
};

// Opens the help over parent's window without waiting for it to close.
void ShowBeaconHelp(QWidget* parent);

}  // namespace tarvok
