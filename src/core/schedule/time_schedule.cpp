#include "core/schedule/time_schedule.h"

#include <algorithm>
#include <bitset>

#include "core/storage/ini_file.h"

namespace tarvok {

namespace {

constexpr int kMonthsPerYear = 12;
constexpr int kDaysPerWeek = 7;
constexpr int kHoursPerDay = 24;
constexpr int kMinutesPerHour = 60;
// Larger than any field's value; longer digit runs are held here instead of overflowing.
constexpr int kNumberCeiling = 1000000;

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

int ReadNumber(const QString& text, qsizetype& pos) {
  int number = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos)
    number = std::min(kNumberCeiling, number * 10 + (text[pos].unicode() - '0'));
  return number;
}

void SkipSpaces(const QString& text, qsizetype& pos) {
  while (pos < text.size() && text[pos] == QLatin1Char(' '))
    ++pos;
}

// Which of the values 0..59 the expression matches.
using TValueSet = std::bitset<kMinutesPerHour>;

TValueSet Matching(const QString& expression, int first, int last) {
  TValueSet set;
  for (int value = first; value <= last; ++value)
    set[static_cast<size_t>(value)] = MatchExpression(expression, value);
  return set;
}

struct TDate {
  int Year;
  int Month;
  int Day;
  int WeekDay;

  void NextMonth() {
    Day = 1;
    if (++Month > kMonthsPerYear) {
      Month = 1;
      ++Year;
    }
  }
  void NextDay() {
    WeekDay = (WeekDay + 1) % kDaysPerWeek;
    if (++Day > DaysInMonth(Month, Year))
      NextMonth();
  }
};

// Walks the start month and the eleven after it for a day that day and weekday both match.
bool FindDay(TDate& date, const TValueSet& months, const TValueSet& days,
             const TValueSet& weekDays) {
  for (int i = 0; i < kMonthsPerYear; ++i) {
    const int length = DaysInMonth(date.Month, date.Year);
    if (months[static_cast<size_t>(date.Month)]) {
      for (; date.Day <= length; ++date.Day) {
        if (days[static_cast<size_t>(date.Day)] && weekDays[static_cast<size_t>(date.WeekDay)])
          return true;
        date.WeekDay = (date.WeekDay + 1) % kDaysPerWeek;
      }
    } else {
      date.WeekDay = (date.WeekDay + std::max(0, length - date.Day + 1)) % kDaysPerWeek;
    }
    date.NextMonth();
  }
  return false;
}

bool FindTime(int& hour, int& minute, const TValueSet& hours, const TValueSet& minutes) {
  for (; hour < kHoursPerDay; ++hour, minute = 0) {
    if (!hours[static_cast<size_t>(hour)])
      continue;
    for (; minute < kMinutesPerHour; ++minute) {
      if (minutes[static_cast<size_t>(minute)])
        return true;
    }
  }
  return false;
}

std::uint16_t Field(int value) { return static_cast<std::uint16_t>(value); }

TSystemTime MakeTime(const TDate& date, int hour, int minute) {
  TSystemTime time;
  time.Year = Field(date.Year);
  time.Month = Field(date.Month);
  time.DayOfWeek = Field(date.WeekDay);
  time.Day = Field(date.Day);
  time.Hour = Field(hour);
  time.Minute = Field(minute);
  return time;
}

bool SameDay(const TSystemTime& a, const TSystemTime& b) {
  return a.Year == b.Year && a.Month == b.Month && a.Day == b.Day;
}

int MinuteOfDay(const TSystemTime& t) { return t.Hour * kMinutesPerHour + t.Minute; }

}  // namespace

bool MatchExpression(const QString& expression, int value) {
  if (expression.isEmpty() || expression == QLatin1String("*"))
    return true;
  qsizetype pos = 0;
  while (pos < expression.size()) {
    const int low = ReadNumber(expression, pos);
    SkipSpaces(expression, pos);
    int high = low;
    if (pos < expression.size()) {
      if (expression[pos] == QLatin1Char(',')) {
        ++pos;
      } else if (expression[pos] == QLatin1Char('-')) {
        ++pos;
        SkipSpaces(expression, pos);
        high = ReadNumber(expression, pos);
        ++pos;  // the character after the range, normally its comma
      } else {
        return false;
      }
    }
    if (low <= value && value <= high)
      return true;
  }
  return false;
}

int DaysInMonth(int month, int year) {
  static constexpr int kDays[kMonthsPerYear] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && year % 4 == 0)
    return 29;
  return kDays[std::clamp(month, 1, kMonthsPerYear) - 1];
}

TSystemTime AddMinutes(const TSystemTime& time, int minutes) {
  const std::int64_t totalMinutes = time.Minute + std::int64_t{std::max(0, minutes)};
  const std::int64_t totalHours = time.Hour + totalMinutes / kMinutesPerHour;
  TDate date{time.Year, time.Month, time.Day + static_cast<int>(totalHours / kHoursPerDay), 0};
  for (int length = DaysInMonth(date.Month, date.Year); date.Day > length;
       length = DaysInMonth(date.Month, date.Year)) {
    const int rest = date.Day - length;
    date.NextMonth();
    date.Day = rest;
  }
  return MakeTime(date, static_cast<int>(totalHours % kHoursPerDay),
                  static_cast<int>(totalMinutes % kMinutesPerHour));
}

TTimeSchedule::TTimeSchedule(const TClock& clock) : clock_(&clock) {}

QString TTimeSchedule::NextRunText() const {
  if (!nextRun_)
    return QString();
  return QString::asprintf("%2.2d/%2.2d/%4.4d %2.2d:%2.2d", nextRun_->Month, nextRun_->Day,
                           nextRun_->Year, nextRun_->Hour, nextRun_->Minute);
}

QString TTimeSchedule::NextRunShortText() const {
  return nextRun_ ? ShortText(*nextRun_) : QString();
}

QString TTimeSchedule::ShortText(const TSystemTime& time) {
  return QString::asprintf("%2.2d/%2.2d %2.2d:%2.2d", time.Month, time.Day, time.Hour, time.Minute);
}

QString TTimeSchedule::StatusText() const {
  if (!Enabled)
    return QStringLiteral("Disabled");
  return nextRun_ ? QStringLiteral("Queue") : QStringLiteral("Never");
}

void TTimeSchedule::Assign(const TTimeSchedule& source) {
  Enabled = source.Enabled;
  Min = source.Min;
  Hour = source.Hour;
  Day = source.Day;
  Month = source.Month;
  WeekDay = source.WeekDay;
  CalculateNextRun(true);
}

bool TTimeSchedule::IsTime(const TSystemTime& now) {
  return Enabled && MatchExpression(Min, now.Minute) && MatchExpression(Hour, now.Hour) &&
         MatchExpression(Day, now.Day) && MatchExpression(Month, now.Month) &&
         MatchExpression(WeekDay, now.DayOfWeek);
}

bool TTimeSchedule::CalculateNextRun(bool force) {
  const TSystemTime now = clock_->LocalTime();
  if (!force && nextRun_ && SameDay(*nextRun_, now) && MinuteOfDay(*nextRun_) > MinuteOfDay(now))
    return true;
  nextRun_.reset();
  if (!Enabled)
    return false;
  nextRun_ = FindNextRun(now);
  return nextRun_.has_value();
}

std::optional<TSystemTime> TTimeSchedule::FindNextRun(const TSystemTime& now) const {
  const TValueSet months = Matching(Month, 1, kMonthsPerYear);
  const TValueSet days = Matching(Day, 1, 31);
  const TValueSet weekDays = Matching(WeekDay, 0, kDaysPerWeek - 1);
  const TValueSet hours = Matching(Hour, 0, kHoursPerDay - 1);
  const TValueSet minutes = Matching(Min, 0, kMinutesPerHour - 1);
  if (months.none() || days.none() || weekDays.none() || hours.none() || minutes.none())
    return std::nullopt;

  TDate date{now.Year, now.Month, now.Day, now.DayOfWeek};
  int hour = now.Hour;
  int minute = now.Minute + 1;
  // Today may have no matching minute left; then the search runs once more from tomorrow.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!FindDay(date, months, days, weekDays))
      return std::nullopt;
    if (date.Year != now.Year || date.Month != now.Month || date.Day != now.Day)
      hour = minute = 0;
    if (FindTime(hour, minute, hours, minutes))
      return MakeTime(date, hour, minute);
    hour = minute = 0;
    date.NextDay();
  }
  return std::nullopt;
}

void TTimeSchedule::LoadFromIni(const TIniFile& ini, const QString& section) {
  Enabled = ini.ReadBool(section, QStringLiteral("Enable"), false);
  Min = ini.ReadString(section, QStringLiteral("Min"), QString());
  Hour = ini.ReadString(section, QStringLiteral("Hour"), QString());
  Day = ini.ReadString(section, QStringLiteral("Day"), QString());
  Month = ini.ReadString(section, QStringLiteral("Month"), QString());
  WeekDay = ini.ReadString(section, QStringLiteral("WeekDay"), QString());
}

bool TTimeSchedule::SaveToIni(TIniFile& ini, const QString& section, int index) const {
  return ini.WriteInteger(section, QStringLiteral("Index"), index) &&
         ini.WriteBool(section, QStringLiteral("Enable"), Enabled) &&
         ini.WriteString(section, QStringLiteral("Min"), Min) &&
         ini.WriteString(section, QStringLiteral("Hour"), Hour) &&
         ini.WriteString(section, QStringLiteral("Day"), Day) &&
         ini.WriteString(section, QStringLiteral("Month"), Month) &&
         ini.WriteString(section, QStringLiteral("WeekDay"), WeekDay);
}

}  // namespace tarvok
