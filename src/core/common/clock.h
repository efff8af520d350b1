// The station's one source of local and UTC time, so that tests and simulations can set the date
// and time and step them instead of waiting for the wall clock.
#pragma once

#include <QDateTime>
#include <cstdint>

namespace tarvok {

// A local date and time broken into fields; DayOfWeek counts from 0 for Sunday.
struct TSystemTime {
  std::uint16_t Year = 0;
  std::uint16_t Month = 0;
  std::uint16_t DayOfWeek = 0;
  std::uint16_t Day = 0;
  std::uint16_t Hour = 0;
  std::uint16_t Minute = 0;
  std::uint16_t Second = 0;
  std::uint16_t Milliseconds = 0;

  friend bool operator==(const TSystemTime&, const TSystemTime&) = default;
};

TSystemTime SystemTimeFromDateTime(const QDateTime& local);

// 100-nanosecond ticks since 1 January 1601 UTC, the unit of the recordings age limit.
std::int64_t FileTimeFromDateTime(const QDateTime& time);

class TClock {
 public:
  virtual ~TClock() = default;
  virtual QDateTime Now() const = 0;  // local time

  TSystemTime LocalTime() const { return SystemTimeFromDateTime(Now()); }
  std::int64_t UtcFileTime() const { return FileTimeFromDateTime(Now()); }
};

class TSystemClock final : public TClock {
 public:
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until it is set or advanced.
class TManualClock final : public TClock {
 public:
  explicit TManualClock(QDateTime now) : now_(std::move(now)) {}
  QDateTime Now() const override { return now_; }
  void Set(QDateTime now) { now_ = std::move(now); }
  void AdvanceMilliseconds(qint64 ms) { now_ = now_.addMSecs(ms); }

 private:
  QDateTime now_;
};

}  // namespace tarvok
