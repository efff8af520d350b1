#include "core/schedule/beacon.h"

#include <QFileInfo>

#include "core/storage/ini_file.h"

namespace tarvok {

void TBeacon::Assign(const TBeacon& source) {
  Name = source.Name;
  WaveFile = source.WaveFile;
  CWString = source.CWString;
  TTimeSchedule::Assign(source);
}

bool TBeacon::CalculateNextRun(bool force) {
  if (Enabled && !HasPayload()) {
    ClearNextRun();
    return false;
  }
  return TTimeSchedule::CalculateNextRun(force);
}

QString TBeacon::StatusText() const {
  if (Enabled && !HasPayload())
    return QStringLiteral("Never");
  return TTimeSchedule::StatusText();
}

bool TBeacon::IsTime(const TSystemTime& now) {
  if (!TTimeSchedule::IsTime(now))
    return false;
  if (!CWString.isEmpty())
    cwPending_ = true;
  if (!WaveFile.isEmpty() && QFileInfo(WaveFile).isFile())
    wavePending_ = true;
  return IsPending();
}

void TBeacon::LoadFromIni(const TIniFile& ini, const QString& section) {
  TTimeSchedule::LoadFromIni(ini, section);
  Name = ini.ReadString(section, QStringLiteral("Name"), QString());
  WaveFile = ini.ReadString(section, QStringLiteral("WaveFile"), QString());
  CWString = ini.ReadString(section, QStringLiteral("CWString"), QString());
}

bool TBeacon::SaveToIni(TIniFile& ini, const QString& section, int index) const {
  return TTimeSchedule::SaveToIni(ini, section, index) &&
         ini.WriteString(section, QStringLiteral("Name"), Name) &&
         ini.WriteString(section, QStringLiteral("WaveFile"), WaveFile) &&
         ini.WriteString(section, QStringLiteral("CWString"), CWString);
}

}  // namespace tarvok
