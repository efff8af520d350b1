#include "core/common/clock.h"

namespace tarvok {

namespace {
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochOffsetSeconds = 11644473600LL;
constexpr std::int64_t kTicksPerMillisecond = 10000;
}  // namespace

TSystemTime SystemTimeFromDateTime(const QDateTime& local) {
  const QDate date = local.date();
  const QTime time = local.time();
  TSystemTime t;
  t.Year = static_cast<std::uint16_t>(date.year());
  t.Month = static_cast<std::uint16_t>(date.month());
  t.DayOfWeek = static_cast<std::uint16_t>(date.dayOfWeek() % 7);
  t.Day = static_cast<std::uint16_t>(date.day());
  t.Hour = static_cast<std::uint16_t>(time.hour());
  t.Minute = static_cast<std::uint16_t>(time.minute());
  t.Second = static_cast<std::uint16_t>(time.second());
  t.Milliseconds = static_cast<std::uint16_t>(time.msec());
  return t;
}

std::int64_t FileTimeFromDateTime(const QDateTime& time) {
  return (time.toMSecsSinceEpoch() + kEpochOffsetSeconds * 1000) * kTicksPerMillisecond;
}

}  // namespace tarvok
