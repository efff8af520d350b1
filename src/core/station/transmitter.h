// The transmitter's keying: the DTR or RTS line of the port that the settings choose. The port is
// opened on the first keying request; one that cannot be opened is reported once and not tried
// again until the port settings change. A change of port or line releases the transmitter.
//
// A watchdog below every mode and state: keyed for TxTimeout seconds without a break, the
// transmitter is released and stays locked out, whatever asks for it, until the station says that
// what keyed it has stopped, or for TxLockout seconds when it cannot tell. Time is counted on the
// station clock, each tick believed for at most a few seconds, so that a clock set forward or
// back neither cuts a transmission early nor lets one run on.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include "core/config/keying_port.h"

namespace tarvok {

class TClock;
class TConfig;
class TUserMessages;

// The port the settings choose: Device is what is opened, Caption what the user is told.
struct TPortChoice {
  QString Device;
  QString Caption;
  bool IsNone() const { return Device.isEmpty(); }
};

class TTransmitter final : public QObject {
  Q_OBJECT
 public:
  static constexpr int kWatchdogInterval = 100;  // ms between two ticks of the watchdog

  TTransmitter(TConfig& config, const TClock& clock, TKeyingPort& port, TUserMessages& messages,
               QObject* parent = nullptr);
  ~TTransmitter() override;
  TTransmitter(const TTransmitter&) = delete;
  TTransmitter& operator=(const TTransmitter&) = delete;

  // Keys (true) or releases the transmitter. ComPin 0 keys DTR, 1 keys RTS, any other no line.
  // During a lock-out the transmitter stays released.
  void Key(bool on);
  // Holds the transmitter keyed for a message of the station's own, whatever Key asks meanwhile.
  void Hold(bool on);
  bool Held() const { return held_; }
  // Keyed as the station asked for last (or held), whether or not a line could follow it.
  bool Keyed() const { return keyed_; }
  // Station time of the last keying; invalid while released.
  const QDateTime& KeyedSince() const { return keyedSince_; }

  // Counts the keyed time and the lock-out; runs from its own timer and may be run by hand.
  void WatchdogTick();
  void HoldWatchdogTimer();
  bool LockedOut() const { return lockout_ != TLockout::None; }
  // After a time-out: the station can tell when its cause has stopped and calls EndLockout then.
  void AwaitCauseEnd();
  bool AwaitsCauseEnd() const { return lockout_ == TLockout::UntilCauseEnds; }
  void EndLockout();

  TPortChoice PortChoice() const;
  bool OpenPort();
  void ClosePort();

 signals:
  // The keying line of the open port was raised or cleared.
  void LineChanged(bool raised);
  // Keyed for TxTimeout seconds: released and locked out.
  void TimedOut(int seconds);
  void LockoutEnded();
  // Keyed or released as the station asked, whether or not a line followed.
  void KeyingChanged(bool keyed);

 private:
  enum class TState { Closed, Invalid, Open };
  enum class TLockout { None, UntilCauseEnds, ForLockoutTime };

  void SettingChanged(const QString& section, const QString& key);
  void Apply();
  void SetLine(bool on);
  void ReportLine(bool raised);
  // Milliseconds of station time since the last tick, as far as they can be believed.
  qint64 StepSinceLastTick();
  void UpdateWatchdogTimer();

  TConfig& config_;
  const TClock& clock_;
  TKeyingPort& port_;
  TUserMessages& messages_;
  TState state_ = TState::Closed;
  bool keyed_ = false;
  bool requested_ = false;  // what Key asked for last
  bool held_ = false;
  QDateTime keyedSince_;
  bool lineRaised_ = false;
  TLockout lockout_ = TLockout::None;
  qint64 keyedMs_ = 0;
  qint64 lockedMs_ = 0;
  qint64 lastTick_ = 0;
  QTimer watchdogTimer_;
  bool watchdogHeld_ = false;
};

}  // namespace tarvok
