// A keying port that passes everything on to another one and, after every change of the lines,
// tells whether the transmitter is keyed (either line raised). The device name "virtual" keys no
// device at all, only the tap: the virtual sound card's transmitter, whose keying it logs.
#pragma once

#include <functional>

#include "core/config/keying_port.h"

namespace tarvok {

class TKeyingTap final : public TKeyingPort {
 public:
  static constexpr const char* kVirtualDevice = "virtual";

  TKeyingTap(TKeyingPort& port, std::function<void(bool keyed)> keyedChanged);

  bool Open(const QString& device) override;
  void SetLine(TModemLine line, bool raised) override;
  void Close() override;

 private:
  void Report();

  TKeyingPort& port_;
  std::function<void(bool keyed)> keyedChanged_;
  bool virtual_ = false;
  bool dtr_ = false;
  bool rts_ = false;
};

}  // namespace tarvok
