// The example the peak-meter help refers to: a device's volume slider beside its peak meter, a
// recessed tray lit green, yellow and red from the bottom up as the level rises.
#pragma once

#include <QWidget>

namespace tarvok {

class TPeakMeterPicture final : public QWidget {
  Q_OBJECT
 public:
  explicit TPeakMeterPicture(QWidget* parent = nullptr);

  QSize sizeHint() const override { return {200, 240}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarvok
