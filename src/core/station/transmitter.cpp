#include "core/station/transmitter.h"

#include "core/common/user_messages.h"
#include "core/config/config.h"

namespace tarvok {

TTransmitter::TTransmitter(TConfig& config, TKeyingPort& port, TUserMessages& messages,
                           QObject* parent)
    : QObject(parent), config_(config), port_(port), messages_(messages) {
  connect(&config_, &TConfig::SettingChanged, this, &TTransmitter::SettingChanged);
}

// Nobody is told: whoever listened may already be gone.
TTransmitter::~TTransmitter() {
  if (state_ == TState::Open)
    port_.Close();
}

TPortChoice TTransmitter::PortChoice() const {
  if (!config_.ComDevice().isEmpty())
    return {config_.ComDevice(), config_.ComDevice()};
  const int port = config_.ComPort();
  if (port <= 0)
    return {};
  return {QStringLiteral("/dev/ttyS%1").arg(port - 1), QStringLiteral("COM%1").arg(port)};
}

bool TTransmitter::OpenPort() {
  if (state_ != TState::Closed)
    ClosePort();
  const TPortChoice choice = PortChoice();
  if (choice.IsNone()) {
    state_ = TState::Invalid;
    return false;
  }
  if (!port_.Open(choice.Device)) {
    state_ = TState::Invalid;
    messages_.ShowError(QStringLiteral("Cannot open ") + choice.Caption + QStringLiteral(" port"));
    return false;
  }
  state_ = TState::Open;
  return true;
}

void TTransmitter::ClosePort() {
  if (state_ == TState::Open)
    port_.Close();
  state_ = TState::Closed;
  ReportLine(false);
}

void TTransmitter::Key(bool on) {
  keyed_ = on;
  if (state_ == TState::Closed)
    OpenPort();
  if (state_ != TState::Open)
    return;
  const std::uint8_t pin = config_.ComPin();
  if (pin == 0)
    port_.SetLine(TModemLine::Dtr, on);
  if (pin == 1)
    port_.SetLine(TModemLine::Rts, on);
  ReportLine(on && pin <= 1);
}

void TTransmitter::SettingChanged(const QString& section, const QString& key) {
  if (section != QLatin1String("Audio"))
    return;
  if (key == QLatin1String("ComPin")) {
    ClosePort();
  } else if (key == QLatin1String("ComPort") || key == QLatin1String("ComDevice")) {
    ClosePort();
    Key(false);
  }
}

void TTransmitter::ReportLine(bool raised) {
  if (raised == lineRaised_)
    return;
  lineRaised_ = raised;
  emit LineChanged(raised);
}

}  // namespace tarvok
