#include "core/config/ptt_control.h"

#include "core/common/user_messages.h"

namespace tarvok {

TPttControl::TPttControl(TKeyingPort& port, TUserMessages& messages)
    : port_(port), messages_(messages) {}

bool TPttControl::OpenPort(const TPortChoice& choice) {
  if (state_ != TState::Closed)
    ClosePort();
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

void TPttControl::ClosePort() {
  if (state_ == TState::Open)
    port_.Close();
  state_ = TState::Closed;
}

void TPttControl::SetPTT(bool on, const TPortChoice& choice, std::uint8_t pin) {
  pinValue_ = on;
  if (state_ == TState::Closed)
    OpenPort(choice);
  if (state_ != TState::Open)
    return;
  if (pin == 0)
    port_.SetLine(TModemLine::Dtr, on);
  if (pin == 1)
    port_.SetLine(TModemLine::Rts, on);
}

}  // namespace tarvok
