// The configuration's beacon and mode-schedule lists: loaded with the settings, written with them
// in one replace of the file.
#include <QFile>

#include "support/config_fixture.h"

namespace tarvok {
namespace {

const QByteArray kStationWithLists =
    "; my station\n[Audio]\nCWSpeed=12\n\n"
    "[ScheduleGeneral]\nCount=1\n\n"
    "[ScheduleEvent0]\nIndex=0\nEnable=1\nMin=0\nHour=8\nDay=\nMonth=\nWeekDay=1-5\nMode=3\n"
    "Duration=120\n\n"
    "[BeaconGeneral]\nCount=2\n\n"
    "[BeaconEvent0]\nIndex=0\nEnable=1\nMin=0,30\nHour=6-10\nDay=*\nMonth=*\nWeekDay=*\n"
    "Name=Morning ID\nWaveFile=/srv/beacons/id.wav\nCWString=DE N0CALL\n\n"
    "[BeaconEvent1]\nIndex=1\nEnable=0\nMin=15\nHour=7\nDay=*\nMonth=1\nWeekDay=1\n"
    "Name=January net\nWaveFile=\nCWString=QST\n\n"
    "[Filter]\nBand0=3\n";

using ConfigListsTest = ConfigTest;

TEST_F(ConfigListsTest, SettingsFileWithListsRoundTripsUnchanged) {
  WriteSettings(kStationWithLists);
  TConfig& c = Config();
  EXPECT_EQ(c.CWSpeed(), 12);
  ASSERT_EQ(c.Beacons().Count(), 2);
  EXPECT_EQ(c.Beacons().Items(1).Name, "January net");
  ASSERT_EQ(c.Schedules().Count(), 1);
  EXPECT_EQ(c.Schedules().Items(0).Mode, rmBeaconStation);
  EXPECT_TRUE(c.WriteTogether([&c] { c.WriteLists(); }));
  EXPECT_EQ(Settings(), kStationWithLists);
  EXPECT_TRUE(messages_.Shown.empty());
}

TEST_F(ConfigListsTest, ChangedListsAreWrittenWithTheSettings) {
  WriteSettings("[Audio]\nCWSpeed=12\n");
  Config().Beacons().AddNamed("Evening ID");
  TScheduleEvent event(clock_);
  event.Mode = rmSimplexRepeater;
  Config().Schedules().Add(event);
  EXPECT_EQ(Stored("BeaconGeneral", "Count"), "<missing>");
  Config().WriteTogether([this] { Config().WriteLists(); });
  Reload();
  EXPECT_TRUE(Settings().startsWith("[Audio]\nCWSpeed=12\n\n[ScheduleGeneral]\nCount=1\n"));
  ASSERT_EQ(Config().Beacons().Count(), 1);
  EXPECT_EQ(Config().Beacons().Items(0).Name, "Evening ID");
  EXPECT_EQ(Config().Schedules().Count(), 1);
}

// Each key once searched the whole file: this 16 KB file took minutes to load (the benchmark of
// the settings measures it). Every named section of the count still loads, in order.
TEST_F(ConfigListsTest, ManySectionsLoadWithEveryNamedOneInOrder) {
  QByteArray settings = "[BeaconGeneral]\nCount=4000\n[ScheduleGeneral]\nCount=4000\n";
  for (int i = 0; i < 4000; ++i)
    settings += "[s]\n";
  settings += "[beaconevent3999]\nName=last\n[BeaconEvent7]\nName=first\n[BeaconEvent7]\nName=x\n";
  WriteSettings(settings);
  ASSERT_EQ(Config().Beacons().Count(), 2);
  EXPECT_EQ(Config().Beacons().Items(0).Name, "first");
  EXPECT_EQ(Config().Beacons().Items(1).Name, "last");
  EXPECT_EQ(Config().Schedules().Count(), 0);
}

}  // namespace
}  // namespace tarvok
