// The device line that keys the transmitter: one modem-control line of a serial port.
#pragma once

#include <QString>

namespace tarvok {

enum class TModemLine { Dtr, Rts };

class TKeyingPort {
 public:
  virtual ~TKeyingPort() = default;
  // Opens the device exclusively with both lines cleared; false when it cannot be opened or
  // has no modem lines.
  virtual bool Open(const QString& device) = 0;
  virtual void SetLine(TModemLine line, bool raised) = 0;
  // Clears both lines, discards pending data and closes the device.
  virtual void Close() = 0;
};

}  // namespace tarvok
