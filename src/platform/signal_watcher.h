// Turns SIGINT and SIGTERM into a Qt signal on the main thread, so the station stops through its
// ordinary shut-down and releases the transmitter.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tarvok {

class TSignalWatcher final : public QObject {
  Q_OBJECT
 public:
  // One watcher per process; it owns the handlers of SIGINT and SIGTERM while it lives.
  explicit TSignalWatcher(QObject* parent = nullptr);
  ~TSignalWatcher() override;

 signals:
  void StopRequested(int signalNumber);

 private:
  void Drain();

  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tarvok
