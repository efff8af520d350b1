#include "core/schedule/schedule_event.h"

#include <tuple>

#include "core/storage/ini_file.h"

namespace tarvok {

namespace {

// Compares to the minute; day of week and seconds do not count.
bool AtOrAfter(const TSystemTime& a, const TSystemTime& b) {
  return std::tie(a.Year, a.Month, a.Day, a.Hour, a.Minute) >=
         std::tie(b.Year, b.Month, b.Day, b.Hour, b.Minute);
}

}  // namespace

void TScheduleEvent::Reset() {
  started_ = false;
  expired_ = false;
  endTime_.reset();
}

void TScheduleEvent::Assign(const TScheduleEvent& source) {
  Mode = source.Mode;
  Duration = source.Duration;
  TTimeSchedule::Assign(source);
}

bool TScheduleEvent::IsTime(const TSystemTime& now) {
  if (TTimeSchedule::IsTime(now)) {
    started_ = true;
    endTime_.reset();
    if (Duration > 0)
      endTime_ = AddMinutes(now, Duration);
  }
  if (endTime_ && AtOrAfter(now, *endTime_))
    expired_ = true;
  return started_ || expired_;
}

QString TScheduleEvent::NextRunShortText() const {
  if (!NextRun())
    return QString();
  const QString end =
      Duration > 0 ? ShortText(AddMinutes(*NextRun(), Duration)) : QStringLiteral("...");
  return ShortText(*NextRun()) + QLatin1Char('-') + end;
}

void TScheduleEvent::LoadFromIni(const TIniFile& ini, const QString& section) {
  TTimeSchedule::LoadFromIni(ini, section);
  const int mode = ini.ReadInteger(section, QStringLiteral("Mode"), rmNone);
  Mode = IsOperatingMode(mode) ? static_cast<TRepeaterMode>(mode) : rmNone;
  Duration = ini.ReadInteger(section, QStringLiteral("Duration"), 0);
}

bool TScheduleEvent::SaveToIni(TIniFile& ini, const QString& section, int index) const {
  return TTimeSchedule::SaveToIni(ini, section, index) &&
         ini.WriteInteger(section, QStringLiteral("Mode"), Mode) &&
         ini.WriteInteger(section, QStringLiteral("Duration"), Duration);
}

}  // namespace tarvok
