// Keys the transmitter with the DTR or RTS line of a Linux serial device, leaving its line
// settings alone. A small guard process holds the port with the station and clears both lines
// when the station ends in any way, killed included: the kernel does not drop the lines of a
// port that is also the system console, and HUPCL does not help when the guard is killed too.
#pragma once

#include <sys/types.h>

#include "core/config/keying_port.h"

namespace tarvok {

class TSerialKeyingPort final : public TKeyingPort {
 public:
  TSerialKeyingPort() = default;
  ~TSerialKeyingPort() override;
  TSerialKeyingPort(const TSerialKeyingPort&) = delete;
  TSerialKeyingPort& operator=(const TSerialKeyingPort&) = delete;

  bool Open(const QString& device) override;
  void SetLine(TModemLine line, bool raised) override;
  void Close() override;

 private:
  void StartGuard();
  void StopGuard();

  int fd_ = -1;
  int guardPipe_ = -1;  // write end; the guard acts when it closes
  pid_t guardPid_ = -1;
};

}  // namespace tarvok
