// The transmitter's keying: the DTR or RTS line of the port that the settings choose. The port is
// opened on the first keying request; one that cannot be opened is reported once and not tried
// again until the port settings change. A change of port or line releases the transmitter.
#pragma once

#include <QObject>
#include <QString>

#include "core/config/keying_port.h"

namespace tarvok {

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
  TTransmitter(TConfig& config, TKeyingPort& port, TUserMessages& messages,
               QObject* parent = nullptr);
  ~TTransmitter() override;
  TTransmitter(const TTransmitter&) = delete;
  TTransmitter& operator=(const TTransmitter&) = delete;

  // Keys (true) or releases the transmitter. ComPin 0 keys DTR, 1 keys RTS, any other no line.
  void Key(bool on);
  // What the station asked for last, whether or not a line could follow it.
  bool Keyed() const { return keyed_; }

  TPortChoice PortChoice() const;
  bool OpenPort();
  void ClosePort();

 signals:
  // The keying line of the open port was raised or cleared.
  void LineChanged(bool raised);

 private:
  enum class TState { Closed, Invalid, Open };

  void SettingChanged(const QString& section, const QString& key);
  void ReportLine(bool raised);

  TConfig& config_;
  TKeyingPort& port_;
  TUserMessages& messages_;
  TState state_ = TState::Closed;
  bool keyed_ = false;
  bool lineRaised_ = false;
};

}  // namespace tarvok
