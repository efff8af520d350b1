// Short messages the station sends of its own accord: the answers to commands over the air ("OK",
// "NO", a status report) and an identification asked for outside Simplex Repeater mode. Each waits
// until the air is clear (the station's rule, asked every few milliseconds while one waits), is
// keyed for its length, and is dropped when the air stays busy for a minute.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>

namespace tarvok {

class TClock;
class TStationPreview;
class TTransmitter;

class TAirMessages final : public QObject {
  Q_OBJECT
 public:
  static constexpr std::int64_t kPatienceMs = 60 * 1000;

  // `player` plays a file and then a CW text, unkeyed; `clear` tells whether the air is clear for
  // a message.
  TAirMessages(TStationPreview& player, TTransmitter& transmitter, const TClock& clock,
               std::function<bool()> clear, QObject* parent = nullptr);

  // Queues a message: a WAV file, then a CW text; either may be empty.
  void Send(const QString& file, const QString& cw);
  bool Sending() const { return sending_; }
  bool Waiting() const { return !waiting_.empty(); }
  // Sends the next message when the air is clear; cheap when none waits.
  void TrySend();
  // The message on the air stops and the transmitter is released; the others still wait.
  void CutShort();
  // Nothing more goes out: what waits is forgotten and what plays is stopped.
  void Stop();

 signals:
  // A message was queued: TrySend is due until none waits.
  void Queued();
  // A message waited a minute for the air, or could not play, and was dropped.
  void Dropped(const QString& cw);
  // A message went out; the transmitter is released.
  void Sent();

 private:
  struct TMessage {
    QString File;
    QString CW;
  };

  void Finished();
  std::int64_t NowMs() const;

  TStationPreview& player_;
  TTransmitter& transmitter_;
  const TClock& clock_;
  std::function<bool()> clear_;
  std::deque<TMessage> waiting_;
  std::int64_t waitingSinceMs_ = 0;
  bool sending_ = false;
};

}  // namespace tarvok
