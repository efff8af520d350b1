// The "Transmit" page: the six edits of the VOX levels and delays, with the room left above the
// noise level, the sampling rate of the traces and the transmitter's time-out and lock-out.
#pragma once

#include <QWidget>
#include <functional>
#include <map>

#include "core/station/vox_control.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace tarvok {

class TStationRuntime;

class TTransmitPage final : public QWidget {
  Q_OBJECT
 public:
  explicit TTransmitPage(TStationRuntime& station, QWidget* parent = nullptr);
  void Refresh();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddEdit(QGridLayout* grid, TVoxControl::TEdit edit, const QString& name,
               const QString& caption, int row);
  // An edit of the transmitter's watchdog, stored as soon as it holds a number.
  QLineEdit* AddWatchdogEdit(QGridLayout* grid, const QString& name, const QString& caption,
                             int row, std::function<void(int)> store);

  TStationRuntime& station_;
  std::map<TVoxControl::TEdit, QLineEdit*> edits_;
  QLabel* thresholdLabel_ = nullptr;
  QComboBox* peakSpeed_ = nullptr;
  QLineEdit* txTimeout_ = nullptr;
  QLineEdit* txLockout_ = nullptr;
};

}  // namespace tarvok
