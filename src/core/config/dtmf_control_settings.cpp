#include "core/config/dtmf_control_settings.h"

#include "core/dtmf/dtmf_command_reader.h"
#include "core/storage/ini_file.h"

namespace tarvok {

TDtmfControlSettings TDtmfControlSettings::Load(const TIniFile& ini, QString& problem) {
  const QString section = QStringLiteral("DTMFControl");
  TDtmfControlSettings settings;
  settings.Enabled = ini.ReadBool(section, QStringLiteral("Enabled"), false);
  settings.Pin = ini.ReadString(section, QStringLiteral("PIN"), QString()).trimmed().toStdString();
  problem.clear();
  if (settings.Enabled && !TDtmfCommandReader::ValidPin(settings.Pin)) {
    problem =
        settings.Pin.empty()
            ? QStringLiteral("DTMF control is off: [DTMFControl] has no PIN")
            : QStringLiteral("DTMF control is off: its PIN must be 4 to 8 of the digits 0 to 9");
    settings.Enabled = false;
  }
  if (!settings.Enabled)
    settings.Pin.clear();
  return settings;
}

}  // namespace tarvok
