// The "Com Port" page: which serial port keys the transmitter ("none", "COM1" ... "COM15", then
// the USB serial devices present when the list opens, and "virtual" when set) and its line.
#pragma once

#include <QComboBox>
#include <QWidget>

class QRadioButton;

namespace tarvok {

class TStationRuntime;

// A drop-down list that tells before its list opens, so that the entries can be fresh.
class TPortComboBox final : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
  void showPopup() override;

 signals:
  void PopupAboutToShow();
};

class TComPortPage final : public QWidget {
  Q_OBJECT
 public:
  explicit TComPortPage(TStationRuntime& station, QWidget* parent = nullptr);
  void Refresh();

 private:
  void FillPorts();
  void PortChosen(int index);

  TStationRuntime& station_;
  TPortComboBox* ports_ = nullptr;
  QRadioButton* dtr_ = nullptr;
  QRadioButton* rts_ = nullptr;
};

// The USB serial devices present now: "/dev/ttyUSB0", "/dev/ttyACM0", ...
QStringList UsbSerialDevices();

}  // namespace tarvok
