#include "core/common/clock.h"

#include <gtest/gtest.h>

namespace tarvok {
namespace {

TEST(ClockTest, BreaksLocalTimeIntoFieldsWithSundayAsZero) {
  const QDateTime sunday(QDate(2026, 12, 6), QTime(7, 14, 22, 345));
  const TSystemTime t = SystemTimeFromDateTime(sunday);
  EXPECT_EQ(t, (TSystemTime{2026, 12, 0, 6, 7, 14, 22, 345}));
  EXPECT_EQ(SystemTimeFromDateTime(sunday.addDays(6)).DayOfWeek, 6);
}

TEST(ClockTest, FileTimeCountsTicksSince1601Utc) {
  const QDateTime unixEpoch(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC);
  EXPECT_EQ(FileTimeFromDateTime(unixEpoch), 116444736000000000LL);
  EXPECT_EQ(FileTimeFromDateTime(unixEpoch.addMSecs(1)), 116444736000010000LL);
}

TEST(ClockTest, ManualClockStandsStillUntilAdvanced) {
  TManualClock clock(QDateTime(QDate(2026, 2, 28), QTime(23, 59, 59)));
  EXPECT_EQ(clock.LocalTime().Day, 28);
  clock.AdvanceMilliseconds(1000);
  EXPECT_EQ(clock.LocalTime(), (TSystemTime{2026, 3, 0, 1, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace tarvok
