// Only one copy of the station runs on a station folder: two would fight over the sound card and
// the serial port. The first copy holds an exclusive lock on "tarvok.lock" in the folder and
// listens on a local socket named after the folder; a second copy finds the lock taken, asks the
// first to come to the front through the socket and ends. The kernel drops the lock and the
// socket with the process, so a copy that crashed leaves nothing that stops the next start.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QSocketNotifier;

namespace tarvok {

class TInstanceGuard final : public QObject {
  Q_OBJECT
 public:
  enum class TResult {
    First,    // this copy runs the station
    Running,  // another copy runs it and was asked to come to the front
    Failed,   // the lock could not be made; Message says why
  };

  explicit TInstanceGuard(const QString& stationFolder, QObject* parent = nullptr);
  ~TInstanceGuard() override;
  TInstanceGuard(const TInstanceGuard&) = delete;
  TInstanceGuard& operator=(const TInstanceGuard&) = delete;

  // Takes the folder for this process; once taken, later calls return First at once.
  TResult Acquire();
  // Why this copy ends, for Running and Failed.
  const QString& Message() const { return message_; }

 signals:
  // A later copy asked this one to come to the front.
  void RaiseRequested();

 private:
  void Listen(const QByteArray& name);
  void ReadRequests();

  QString folder_;
  QString message_;
  int lockFd_ = -1;
  int socketFd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tarvok
