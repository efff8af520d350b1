// The peak-meter help: why the station needs a peak meter on an input and on an output line, how
// to find them on this machine, and a picture of one.
#pragma once

#include <QDialog>

namespace tarvok {

class THelpDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit THelpDialog(QWidget* parent = nullptr);
};

// Shows the help modally, for the door's PeakMeterHelpNeeded; call it from a queued call.
void ShowPeakMeterHelp(QWidget* parent);

}  // namespace tarvok
