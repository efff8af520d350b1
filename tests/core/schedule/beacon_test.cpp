#include "core/schedule/beacon.h"

#include <QFile>
#include <QTemporaryDir>

#include "core/schedule/beacon_list.h"
#include "core/storage/ini_file.h"
#include "support/schedule_fixture.h"

namespace tarvok {
namespace {

class BeaconTest : public ScheduleTest {
 protected:
  BeaconTest() { EXPECT_TRUE(QFile(wav_).open(QIODevice::WriteOnly)); }

  TBeacon Beacon(const QString& name, const QString& wave, const QString& cw) {
    TBeacon b(clock_);
    SetRule(b, "0,30", "");
    b.Name = name;
    b.WaveFile = wave;
    b.CWString = cw;
    return b;
  }

  QTemporaryDir dir_;
  QString wav_ = dir_.filePath("id.wav");
};

TEST_F(BeaconTest, MatchingMinuteMarksOnlyPayloadsThatCanBeSent) {
  TBeacon both = Beacon("both", wav_, "CQ");
  TBeacon goneWave = Beacon("gone", dir_.filePath("gone.wav"), "");
  EXPECT_FALSE(both.IsTime(At(2026, 5, 1, 7, 1)));
  EXPECT_TRUE(both.IsTime(At(2026, 5, 1, 7, 30)));
  EXPECT_TRUE(both.WavePending() && both.CWPending());
  EXPECT_FALSE(goneWave.IsTime(At(2026, 5, 1, 7, 30)));
  EXPECT_FALSE(goneWave.IsPending());
  // An unserved flag keeps the beacon due, also at a minute that does not match.
  both.ClearCWPending();
  EXPECT_FALSE(both.IsTime(At(2026, 5, 1, 7, 31)));
  EXPECT_TRUE(both.IsPending());
}

TEST_F(BeaconTest, AnEnabledBeaconWithoutPayloadNeverRuns) {
  TBeacon b = Beacon("quiet", "", "CQ");
  EXPECT_TRUE(b.CalculateNextRun(true));
  b.CWString.clear();
  EXPECT_FALSE(b.CalculateNextRun(false));  // even with a run still ahead today
  EXPECT_FALSE(b.HasNextRun());
  EXPECT_EQ(b.StatusText(), "Never");
}

TEST_F(BeaconTest, DueBeaconsAreServedInListOrderWaveBeforeCW) {
  TBeaconList list(clock_);
  TBeacon source = Beacon("first", "", "A");
  list.Add(source);
  source.Name = "changed";  // the list holds a copy
  list.Add(Beacon("second", wav_, "B"));
  list.Add(Beacon("not now", wav_, "C"));
  list.Items(2).Min = "15";
  EXPECT_EQ(list.CheckTime(At(2026, 5, 1, 9, 0)), 2);
  std::vector<QString> sent;
  for (int next = list.FirstPending(); next >= 0; next = list.FirstPending()) {
    TBeacon& beacon = list.Items(next);
    const bool wave = beacon.WavePending();
    sent.push_back(beacon.Name + (wave ? " wav" : " cw"));
    wave ? beacon.ClearWavePending() : beacon.ClearCWPending();
  }
  EXPECT_EQ(sent, (std::vector<QString>{"first cw", "second wav", "second cw"}));
  list.CheckTime(At(2026, 5, 1, 9, 30));
  EXPECT_TRUE(list.AnyPending());
  list.ClearAllPending();
  EXPECT_FALSE(list.AnyPending());
}

TEST_F(BeaconTest, LoadDropsNamelessSectionsAndSaveRenumbersLeavingStaleOnes) {
  const QString path = dir_.filePath("tarvok.ini");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "[BeaconGeneral]\nCount=3\n[BeaconEvent0]\nEnable=1\nMin=0\nName=ID\nCWString=DE N0CALL\n"
      "[BeaconEvent1]\nEnable=1\nCWString=LOST\n[BeaconEvent2]\nMin=15\nName=Net\n");
  file.close();
  TIniFile ini(path);
  TBeaconList list(clock_);
  list.LoadFromIni(ini);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.Items(0).HasNextRun());
  EXPECT_EQ(list.Items(1).Name, "Net");

  ASSERT_TRUE(list.SaveToIni(ini));
  EXPECT_EQ(ini.ReadInteger("BeaconGeneral", "Count", 0), 2);
  EXPECT_EQ(ini.ReadString("BeaconEvent1", "Name", ""), "Net");
  EXPECT_EQ(ini.ReadString("BeaconEvent1", "CWString", "x"), "");
  EXPECT_EQ(ini.ReadString("BeaconEvent2", "Name", ""), "Net");  // stale, unread

  // A wild count reads no more sections than the file holds.
  ASSERT_TRUE(ini.WriteInteger("BeaconGeneral", "Count", 2147483647));
  TBeaconList again(clock_);
  again.LoadFromIni(ini);
  EXPECT_EQ(again.Count(), 3);
}

}  // namespace
}  // namespace tarvok
