// Transmitter keying: opens the chosen port lazily on the first keying request, remembers a failed
// open until the port settings change, and raises or clears the DTR or RTS line.
#pragma once

#include <QString>
#include <cstdint>

#include "core/config/keying_port.h"

namespace tarvok {

class TUserMessages;

// The port the settings choose: Device is what is opened, Caption what the user is told.
struct TPortChoice {
  QString Device;
  QString Caption;
  bool IsNone() const { return Device.isEmpty(); }
};

class TPttControl {
 public:
  TPttControl(TKeyingPort& port, TUserMessages& messages);

  bool OpenPort(const TPortChoice& choice);
  void ClosePort();
  // Pin 0 keys DTR, 1 keys RTS; any other pin changes no line.
  void SetPTT(bool on, const TPortChoice& choice, std::uint8_t pin);

  bool PinValue() const { return pinValue_; }
  bool IsOpen() const { return state_ == TState::Open; }

 private:
  enum class TState { Closed, Invalid, Open };

  TKeyingPort& port_;
  TUserMessages& messages_;
  TState state_ = TState::Closed;
  bool pinValue_ = false;
};

}  // namespace tarvok
