// Section [DTMFControl] of the settings file: whether the station takes commands over the air, and
// the PIN that opens them.
#pragma once

#include <QString>
#include <string>

namespace tarvok {

class TIniFile;

struct TDtmfControlSettings {
  bool Enabled = false;
  std::string Pin;

  // Enabled=1 with a PIN that is missing or not 4 to 8 of the digits 0 to 9 loads as off, and
  // `problem` then says why, without the PIN.
  static TDtmfControlSettings Load(const TIniFile& ini, QString& problem);
};

}  // namespace tarvok
