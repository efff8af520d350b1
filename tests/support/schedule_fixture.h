// A clock set to a chosen local date and time for the scheduling tests.
#pragma once

#include <gtest/gtest.h>

#include "core/common/clock.h"
#include "core/schedule/time_schedule.h"

namespace tarvok {

inline TSystemTime At(int year, int month, int day, int hour, int minute, int second = 0) {
  return SystemTimeFromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

class ScheduleTest : public ::testing::Test {
 protected:
  void SetNow(int year, int month, int day, int hour, int minute) {
    clock_.Set(QDateTime(QDate(year, month, day), QTime(hour, minute, 30)));
  }

  static void SetRule(TTimeSchedule& s, const QString& min, const QString& hour,
                      const QString& day = {}, const QString& month = {},
                      const QString& weekDay = {}) {
    s.Enabled = true;
    s.Min = min;
    s.Hour = hour;
    s.Day = day;
    s.Month = month;
    s.WeekDay = weekDay;
  }

  TManualClock clock_{QDateTime(QDate(2026, 5, 1), QTime(7, 0))};
};

}  // namespace tarvok
