#include "core/station/transmitter.h"

#include <algorithm>

#include "core/common/clock.h"
#include "core/common/user_messages.h"
#include "core/config/config.h"

namespace tarvok {

namespace {

// A longer step between two ticks is a clock that was set, not time that passed.
constexpr qint64 kMaxBelievedStepMs = 5000;

}  // namespace

TTransmitter::TTransmitter(TConfig& config, const TClock& clock, TKeyingPort& port,
                           TUserMessages& messages, QObject* parent)
    : QObject(parent), config_(config), clock_(clock), port_(port), messages_(messages) {
  connect(&config_, &TConfig::SettingChanged, this, &TTransmitter::SettingChanged);
  watchdogTimer_.setTimerType(Qt::PreciseTimer);
  watchdogTimer_.setInterval(kWatchdogInterval);
  connect(&watchdogTimer_, &QTimer::timeout, this, &TTransmitter::WatchdogTick);
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
  requested_ = on;
  Apply();
}

void TTransmitter::Hold(bool on) {
  held_ = on;
  Apply();
}

void TTransmitter::Apply() {
  const bool keyed = (requested_ || held_) && !LockedOut();
  if (keyed && !keyed_) {
    keyedMs_ = 0;
    lastTick_ = clock_.Now().toMSecsSinceEpoch();
  }
  const bool changed = keyed != keyed_;
  keyed_ = keyed;
  if (changed)
    keyedSince_ = keyed ? clock_.Now() : QDateTime();
  SetLine(keyed);
  UpdateWatchdogTimer();
  if (changed)
    emit KeyingChanged(keyed);
}

void TTransmitter::SetLine(bool on) {
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

void TTransmitter::WatchdogTick() {
  const qint64 step = StepSinceLastTick();
  if (keyed_ && config_.TxTimeout() > 0) {
    keyedMs_ += step;
    const qint64 left = config_.TxTimeout() * qint64{1000} - keyedMs_;
    // The last tick falls on the limit itself.
    if (left > 0 && watchdogTimer_.isActive())
      watchdogTimer_.setInterval(static_cast<int>(std::min<qint64>(left, kWatchdogInterval)));
    if (left <= 0) {
      lockout_ = TLockout::ForLockoutTime;
      lockedMs_ = 0;
      Key(false);
      emit TimedOut(config_.TxTimeout());
    }
  } else if (lockout_ == TLockout::ForLockoutTime) {
    lockedMs_ += step;
    if (lockedMs_ >= config_.TxLockout() * qint64{1000})
      EndLockout();
  }
}

qint64 TTransmitter::StepSinceLastTick() {
  const qint64 now = clock_.Now().toMSecsSinceEpoch();
  const qint64 step = now - lastTick_;
  lastTick_ = now;
  return step >= 0 && step <= kMaxBelievedStepMs ? step : 0;
}

void TTransmitter::HoldWatchdogTimer() {
  watchdogHeld_ = true;
  watchdogTimer_.stop();
}

void TTransmitter::AwaitCauseEnd() {
  if (LockedOut())
    lockout_ = TLockout::UntilCauseEnds;
  UpdateWatchdogTimer();
}

void TTransmitter::EndLockout() {
  if (!LockedOut())
    return;
  lockout_ = TLockout::None;
  UpdateWatchdogTimer();
  emit LockoutEnded();
}

void TTransmitter::UpdateWatchdogTimer() {
  const bool counting = keyed_ || lockout_ == TLockout::ForLockoutTime;
  if (counting && !watchdogHeld_ && !watchdogTimer_.isActive()) {
    lastTick_ = clock_.Now().toMSecsSinceEpoch();
    watchdogTimer_.start(kWatchdogInterval);
  } else if (!counting) {
    watchdogTimer_.stop();
  }
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
