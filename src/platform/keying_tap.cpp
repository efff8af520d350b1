#include "platform/keying_tap.h"

namespace tarvok {

TKeyingTap::TKeyingTap(TKeyingPort& port, std::function<void(bool keyed)> keyedChanged)
    : port_(port), keyedChanged_(std::move(keyedChanged)) {}

bool TKeyingTap::Open(const QString& device) {
  virtual_ = device == QLatin1String(kVirtualDevice);
  if (!virtual_ && !port_.Open(device))
    return false;
  dtr_ = rts_ = false;
  Report();
  return true;
}

void TKeyingTap::SetLine(TModemLine line, bool raised) {
  if (!virtual_)
    port_.SetLine(line, raised);
  (line == TModemLine::Dtr ? dtr_ : rts_) = raised;
  Report();
}

void TKeyingTap::Close() {
  if (!virtual_)
    port_.Close();
  dtr_ = rts_ = false;
  Report();
}

void TKeyingTap::Report() {
  if (keyedChanged_)
    keyedChanged_(dtr_ || rts_);
}

}  // namespace tarvok
