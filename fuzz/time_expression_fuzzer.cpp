// Time rules: the next run that the lists show is after now, matches the rule, and no minute
// between now and then matches it; an event's end lies its duration after its start on the
// calendar.
#include <fuzzer/FuzzedDataProvider.h>

#include "core/schedule/schedule_event.h"
#include "core/schedule/time_schedule.h"
#include "fuzz_support.h"

using namespace tarvok;
using tarvok::fuzz::Check;

namespace {

constexpr int kMinutesSearched = 24 * 60;

QString Expression(FuzzedDataProvider& input) {
  return QString::fromLatin1(input.ConsumeRandomLengthString(24));
}

QDateTime AsDateTime(const TSystemTime& t) {
  return QDateTime(QDate(t.Year, t.Month, t.Day), QTime(t.Hour, t.Minute), Qt::UTC);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  // 2001 to 2094, so that the next run falls before 2100: the rules count every fourth year as a
  // leap year, and 2100 is the one year of this range where the calendar does not.
  const QDateTime start(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
  const QDateTime leapYearRuleEnds(QDate(2100, 3, 1), QTime(0, 0), Qt::UTC);
  const QDateTime now =
      start.addSecs(60 * input.ConsumeIntegralInRange<qint64>(0, 94LL * 365 * 24 * 60));
  const TManualClock clock(now);
  TScheduleEvent rule(clock);
  rule.Enabled = true;
  rule.Min = Expression(input);
  rule.Hour = Expression(input);
  rule.Day = Expression(input);
  rule.Month = Expression(input);
  rule.WeekDay = Expression(input);
  rule.Duration = input.ConsumeIntegralInRange(0, 10 * 366 * 24 * 60);
  rule.CalculateNextRun(true);

  // The minutes of the next day, stepped by hand: QDateTime arithmetic would cost most of a run.
  QDateTime firstMatch;
  QDate day = now.date();
  int minuteOfDay = now.time().hour() * 60 + now.time().minute();
  for (int step = 1; step <= kMinutesSearched; ++step) {
    if (++minuteOfDay == 24 * 60) {
      minuteOfDay = 0;
      day = day.addDays(1);
    }
    TSystemTime t;
    t.Year = static_cast<std::uint16_t>(day.year());
    t.Month = static_cast<std::uint16_t>(day.month());
    t.Day = static_cast<std::uint16_t>(day.day());
    t.DayOfWeek = static_cast<std::uint16_t>(day.dayOfWeek() % 7);
    t.Hour = static_cast<std::uint16_t>(minuteOfDay / 60);
    t.Minute = static_cast<std::uint16_t>(minuteOfDay % 60);
    if (rule.TTimeSchedule::IsTime(t)) {
      firstMatch = AsDateTime(t);
      break;
    }
  }
  if (rule.HasNextRun()) {
    const TSystemTime next = *rule.NextRun();
    const QDateTime nextRun = AsDateTime(next);
    Check(nextRun.isValid() && nextRun > now, "the next run lies after now");
    Check(next.DayOfWeek == nextRun.date().dayOfWeek() % 7, "the next run's weekday is its date's");
    Check(rule.TTimeSchedule::IsTime(next), "the next run matches the rule");
    Check(!firstMatch.isValid() || firstMatch == nextRun, "no earlier minute matches");
    const QDateTime end = nextRun.addSecs(60LL * rule.Duration);
    if (end < leapYearRuleEnds)
      Check(AsDateTime(AddMinutes(next, rule.Duration)) == end,
            "the end lies the duration after the start on the calendar");
    Check(rule.NextRunShortText().startsWith(nextRun.toString(QStringLiteral("MM/dd HH:mm-"))),
          "the run window starts at the next run");
  } else {
    Check(!firstMatch.isValid(), "a rule that matches soon has a next run");
  }
  return 0;
}
