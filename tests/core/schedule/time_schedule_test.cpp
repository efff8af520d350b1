#include "core/schedule/time_schedule.h"

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "core/storage/ini_file.h"
#include "support/schedule_fixture.h"

namespace tarvok {
namespace {

std::vector<int> Matched(const QString& expression) {
  std::vector<int> values;
  for (int v = 0; v < 60; ++v) {
    if (MatchExpression(expression, v))
      values.push_back(v);
  }
  return values;
}

TEST(MatchExpressionTest, ListsRangesStarsAndMalformedText) {
  EXPECT_EQ(Matched("1,2,10-15,21,24"), (std::vector<int>{1, 2, 10, 11, 12, 13, 14, 15, 21, 24}));
  EXPECT_EQ(Matched("6 - 8"), (std::vector<int>{6, 7, 8}));
  EXPECT_EQ(Matched("").size(), 60u);
  EXPECT_EQ(Matched("*").size(), 60u);
  EXPECT_EQ(Matched("0-99999999999999").size(), 60u);
  EXPECT_EQ(Matched("5,*"), (std::vector<int>{5}));
  EXPECT_EQ(Matched("1, 2"), (std::vector<int>{1}));
  for (const char* none : {"10-5", "*,5", "abc", "x,5", "99999999999999"})
    EXPECT_TRUE(Matched(none).empty()) << none;
}

TEST_F(ScheduleTest, IsTimeNeedsEveryFieldToMatchAndIgnoresSeconds) {
  TTimeSchedule s(clock_);
  SetRule(s, "", "");
  EXPECT_TRUE(s.IsTime(At(2026, 7, 4, 13, 37, 59)));
  SetRule(s, "15", "7", "*", "1", "1");  // 7:15 on Mondays in January
  EXPECT_TRUE(s.IsTime(At(2026, 1, 5, 7, 15, 40)));
  EXPECT_FALSE(s.IsTime(At(2026, 1, 6, 7, 15)));  // a Tuesday
  EXPECT_FALSE(s.IsTime(At(2026, 1, 5, 7, 16)));
  s.Enabled = false;
  EXPECT_FALSE(s.IsTime(At(2026, 1, 5, 7, 15)));
  EXPECT_EQ(s.StatusText(), "Disabled");
}

TEST_F(ScheduleTest, NextRunIsAfterTheCurrentMinuteAcrossDaysAndYears) {
  TTimeSchedule s(clock_);
  SetRule(s, "", "");
  SetNow(2026, 12, 31, 23, 59);
  ASSERT_TRUE(s.CalculateNextRun(true));
  EXPECT_EQ(s.NextRunText(), "01/01/2027 00:00");
  EXPECT_EQ(s.NextRunShortText(), "01/01 00:00");
  EXPECT_EQ(s.NextRun()->DayOfWeek, 5);  // a Friday
  EXPECT_EQ(s.StatusText(), "Queue");
  SetRule(s, "0", "10");
  SetNow(2026, 5, 1, 10, 0);
  ASSERT_TRUE(s.CalculateNextRun(true));
  EXPECT_EQ(s.NextRunText(), "05/02/2026 10:00");
}

TEST_F(ScheduleTest, DaySearchFollowsMonthLengthsAndLeapYears) {
  TTimeSchedule s(clock_);
  SetRule(s, "0", "0", "31", "*");
  SetNow(2026, 1, 31, 12, 0);
  ASSERT_TRUE(s.CalculateNextRun(true));
  EXPECT_EQ(s.NextRunText(), "03/31/2026 00:00");

  SetRule(s, "0", "12", "29", "2");
  SetNow(2026, 3, 1, 0, 0);
  EXPECT_FALSE(s.CalculateNextRun(true));
  EXPECT_EQ(s.StatusText(), "Never");
  EXPECT_EQ(s.NextRunText(), "");
  SetNow(2027, 3, 1, 0, 0);
  ASSERT_TRUE(s.CalculateNextRun(true));
  EXPECT_EQ(s.NextRunText(), "02/29/2028 12:00");
  SetNow(2099, 3, 1, 0, 0);  // 2100 counts as a leap year
  ASSERT_TRUE(s.CalculateNextRun(true));
  EXPECT_EQ(s.NextRunText(), "02/29/2100 12:00");
}

TEST_F(ScheduleTest, DayAndWeekdayMustBothMatchWithinTwelveMonths) {
  TTimeSchedule s(clock_);
  SetRule(s, "0", "9", "13", "", "5");
  SetNow(2026, 11, 14, 0, 0);
  ASSERT_TRUE(s.CalculateNextRun(true));
  EXPECT_EQ(s.NextRunText(), "08/13/2027 09:00");
  s.Month = "8";  // the months before August are skipped whole, the weekday carried along
  ASSERT_TRUE(s.CalculateNextRun(true));
  EXPECT_EQ(s.NextRunText(), "08/13/2027 09:00");
  s.Month = "";
  SetNow(2001, 7, 14, 0, 0);  // the next Friday the 13th is in September 2002
  EXPECT_FALSE(s.CalculateNextRun(true));

  // A date just passed is out of reach until the window comes round to it again.
  SetRule(s, "0", "0", "1", "3");
  SetNow(2026, 3, 15, 8, 0);
  EXPECT_FALSE(s.CalculateNextRun(true));
  SetNow(2026, 4, 1, 8, 0);
  ASSERT_TRUE(s.CalculateNextRun(true));
  EXPECT_EQ(s.NextRunText(), "03/01/2027 00:00");

  SetRule(s, "", "24");
  EXPECT_FALSE(s.CalculateNextRun(true));
}

TEST_F(ScheduleTest, WithoutForceARunStillAheadTodayIsKept) {
  TTimeSchedule s(clock_);
  SetRule(s, "0", "9");
  SetNow(2026, 5, 1, 8, 0);
  ASSERT_TRUE(s.CalculateNextRun(false));
  s.Min = "30";
  SetNow(2026, 5, 1, 8, 59);
  EXPECT_TRUE(s.CalculateNextRun(false));
  EXPECT_EQ(s.NextRunText(), "05/01/2026 09:00");
  SetNow(2026, 5, 1, 9, 0);
  EXPECT_TRUE(s.CalculateNextRun(false));
  EXPECT_EQ(s.NextRunText(), "05/01/2026 09:30");
}

TEST_F(ScheduleTest, IniKeysAreWrittenInOrder) {
  QTemporaryDir dir;
  TIniFile ini(dir.filePath("t.ini"));
  TTimeSchedule s(clock_);
  SetRule(s, "0,30", "6-10", "*", "", "1");
  ASSERT_TRUE(s.SaveToIni(ini, "Rule", 4));
  QFile file(ini.FileName());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(),
            "[Rule]\nIndex=4\nEnable=1\nMin=0,30\nHour=6-10\nDay=*\nMonth=\nWeekDay=1\n");
}

}  // namespace
}  // namespace tarvok
