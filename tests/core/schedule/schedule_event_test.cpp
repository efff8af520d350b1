#include "core/schedule/schedule_event.h"

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "core/schedule/mode_schedule.h"
#include "core/storage/ini_file.h"
#include "support/schedule_fixture.h"

namespace tarvok {
namespace {

QString Text(const std::optional<TSystemTime>& t) {
  return t ? QString::asprintf("%04d-%02d-%02d %02d:%02d", t->Year, t->Month, t->Day, t->Hour,
                               t->Minute)
           : QStringLiteral("none");
}

class ScheduleEventTest : public ScheduleTest {
 protected:
  TScheduleEvent Event(TRepeaterMode mode, int duration, const QString& min, const QString& hour) {
    TScheduleEvent e(clock_);
    SetRule(e, min, hour);
    e.Mode = mode;
    e.Duration = duration;
    return e;
  }

  // The station's minute check as the clock tasks run it; returns the modes it switches to.
  static std::vector<int> Check(TModeSchedule& list, const TSystemTime& now) {
    std::vector<int> switches;
    if (list.ResetExpired())
      switches.push_back(rmNone);
    list.CheckTime(now);
    for (int i = 0; i < list.Count(); ++i) {
      if (list.Items(i).Started()) {
        switches.push_back(list.Items(i).Mode);
        list.SetActiveIndex(i);
      }
    }
    return switches;
  }
};

TEST_F(ScheduleEventTest, EndTimeIsCountedOnTheCalendarFromTheLastMatchingMinute) {
  TScheduleEvent e = Event(rmBeaconStation, 20, "50", "23");
  EXPECT_TRUE(e.IsTime(At(2026, 5, 31, 23, 50)));
  EXPECT_EQ(Text(e.EndTime()), "2026-06-01 00:10");
  e = Event(rmBeaconStation, 60, "0", "10");
  e.IsTime(At(2026, 5, 31, 10, 0));
  EXPECT_EQ(Text(e.EndTime()), "2026-05-31 11:00");
  e = Event(rmBeaconStation, 45, "30", "23");
  e.IsTime(At(2026, 12, 31, 23, 30));
  EXPECT_EQ(Text(e.EndTime()), "2027-01-01 00:15");

  e = Event(rmSimplexRepeater, 30, "*", "8");
  for (int minute = 0; minute < 60; ++minute)
    e.IsTime(At(2026, 5, 1, 8, minute));
  EXPECT_EQ(Text(e.EndTime()), "2026-05-01 09:29");
  e.IsTime(At(2026, 5, 1, 9, 28));
  EXPECT_FALSE(e.Expired());
  EXPECT_TRUE(e.IsTime(At(2026, 5, 1, 9, 29)));
  EXPECT_TRUE(e.Expired());
}

TEST_F(ScheduleEventTest, CheckAppliesTheLastStartedEventAndLeavesTheModeOnExpiry) {
  TModeSchedule list(clock_);
  list.Add(Event(rmInternetRepeater, 0, "0", "8"));
  list.Add(Event(rmBeaconStation, 2, "0", "8"));
  EXPECT_EQ(Check(list, At(2026, 5, 1, 7, 59)), std::vector<int>{});
  EXPECT_EQ(Check(list, At(2026, 5, 1, 8, 0)), (std::vector<int>{1, 3}));
  EXPECT_EQ(list.ActiveIndex(), 1);
  EXPECT_EQ(Check(list, At(2026, 5, 1, 8, 2)), (std::vector<int>{1, 3}));  // expires, applies
  EXPECT_EQ(Check(list, At(2026, 5, 1, 8, 3)), (std::vector<int>{0, 1}));
  EXPECT_EQ(list.ActiveIndex(), 0);
  EXPECT_EQ(Text(list.Items(0).EndTime()), "none");  // open-ended: never expires

  list.ResetAll();
  EXPECT_EQ(list.ActiveIndex(), -1);
  EXPECT_EQ(list.Items(0).Hour, "8");
  EXPECT_EQ(Check(list, At(2026, 5, 1, 8, 4)), std::vector<int>{});
}

TEST_F(ScheduleEventTest, DeletingEventsKeepsTheActivePositionOnTheSameEvent) {
  TModeSchedule list(clock_);
  for (TRepeaterMode mode : {rmInternetRepeater, rmSimplexRepeater, rmBeaconStation})
    list.Add(Event(mode, 0, "0", "8"));
  list.SetActiveIndex(2);
  list.Delete(0);
  EXPECT_EQ(list.Items(list.ActiveIndex()).Mode, rmBeaconStation);
  list.Delete(1);
  EXPECT_EQ(list.ActiveIndex(), -1);
}

TEST_F(ScheduleEventTest, AssignLeavesTheRunStateAndTheWindowTextShowsStartAndEnd) {
  SetNow(2026, 4, 30, 23, 0);
  TScheduleEvent source = Event(rmSimplexRepeater, 30, "50", "23");
  source.IsTime(At(2026, 4, 30, 23, 50));
  TScheduleEvent e(clock_);
  e.Assign(source);
  EXPECT_FALSE(e.Started());
  EXPECT_EQ(e.NextRunShortText(), "04/30 23:50-05/01 00:20");
  e.Duration = 0;
  EXPECT_EQ(e.NextRunShortText(), "04/30 23:50-...");
}

TEST_F(ScheduleEventTest, LoadDropsEventsWithoutAModeAndSaveRenumbers) {
  QTemporaryDir dir;
  const QString path = dir.filePath("tarvok.ini");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "[ScheduleGeneral]\nCount=3\n[ScheduleEvent0]\nEnable=1\nHour=8\nMode=0\nDuration=30\n"
      "[ScheduleEvent1]\nEnable=1\nMin=0\nHour=9\nMode=2\nDuration=90\n"
      "[ScheduleEvent2]\nMode=9\n");
  file.close();
  TIniFile ini(path);
  TModeSchedule list(clock_);
  list.LoadFromIni(ini);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).Duration, 90);
  EXPECT_TRUE(list.Items(0).HasNextRun());
  ASSERT_TRUE(list.SaveToIni(ini));
  EXPECT_EQ(ini.ReadInteger("ScheduleGeneral", "Count", 0), 1);
  EXPECT_EQ(ini.ReadInteger("ScheduleEvent0", "Mode", 0), 2);
  EXPECT_EQ(ini.ReadString("ScheduleEvent0", "Hour", ""), "9");
}

}  // namespace
}  // namespace tarvok
