// The cron-like time rule shared by beacons and schedule events: five expressions for the minute,
// hour, day of month, month and day of week, matched against the local clock once a minute, and a
// search for the next run that the lists show.
#pragma once

#include <QString>
#include <optional>

#include "core/common/clock.h"

namespace tarvok {

class TIniFile;

// True when value lies in one of the items of a list such as "0,30", "6-10" or "1,2,10-15,21".
// An empty expression and "*" match every value. The scan ends with no match at the first
// character it does not expect, so "*,5" and "1, 2" match nothing from the star or the blank on,
// and a range written downwards ("10-5") never matches.
bool MatchExpression(const QString& expression, int value);

// Every year divisible by 4 has a 29 February here, the century years included.
int DaysInMonth(int month, int year);

// The time that lies the given number of minutes (0 or more) after time, carried on the calendar
// of DaysInMonth. Only year, month, day, hour and minute of the result are meaningful.
TSystemTime AddMinutes(const TSystemTime& time, int minutes);

class TTimeSchedule {
 public:
  // The schedule reads the local time from clock, which must outlive it.
  explicit TTimeSchedule(const TClock& clock);
  virtual ~TTimeSchedule() = default;

  // The rule, stored as typed; a value outside a field's range never matches.
  bool Enabled = false;
  QString Min;      // 0..59
  QString Hour;     // 0..23
  QString Day;      // 1..31
  QString Month;    // 1..12
  QString WeekDay;  // 0..6, Sunday is 0

  // The next run as found by the last CalculateNextRun: year, month, day, day of week, hour and
  // minute; none when no run was found.
  const std::optional<TSystemTime>& NextRun() const { return nextRun_; }
  bool HasNextRun() const { return nextRun_.has_value(); }

  // "mm/dd/yyyy hh:nn" of the next run, or empty.
  QString NextRunText() const;
  // "mm/dd hh:nn" of the next run, or empty: the lists' time column.
  virtual QString NextRunShortText() const;
  // "Disabled", "Never" (enabled without a next run) or "Queue".
  virtual QString StatusText() const;

  // Copies the rule (not the next run) and recalculates the next run.
  void Assign(const TTimeSchedule& source);

  // True when enabled and every expression matches its field of now; seconds are ignored.
  virtual bool IsTime(const TSystemTime& now);

  // Searches the first minute after the current one on which the rule matches, within the current
  // month and the eleven that follow, and returns whether one was found. Without force, a next
  // run still ahead today is kept as it is.
  virtual bool CalculateNextRun(bool force);

  // The keys "Enable", "Min", "Hour", "Day", "Month" and "WeekDay" of a section; the next run is
  // left alone. SaveToIni writes "Index" first and stops at the first write that fails.
  void LoadFromIni(const TIniFile& ini, const QString& section);
  bool SaveToIni(TIniFile& ini, const QString& section, int index) const;

 protected:
  TTimeSchedule(const TTimeSchedule&) = default;
  TTimeSchedule& operator=(const TTimeSchedule&) = default;

  void ClearNextRun() { nextRun_.reset(); }
  // "mm/dd hh:nn"
  static QString ShortText(const TSystemTime& time);

 private:
  std::optional<TSystemTime> FindNextRun(const TSystemTime& now) const;

  const TClock* clock_;
  std::optional<TSystemTime> nextRun_;
};

}  // namespace tarvok
