// Beacon Station mode end to end on the virtual card: a CW beacon falls due at the turn of a minute
// of the station's clock. On a free channel it goes out at once; while the receiver hears a signal
// it waits, and it goes out when the channel has been quiet for the stop delay.
#include <gtest/gtest.h>

#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

class BeaconStationTest : public VirtualStationTest {
 protected:
  void SetUp() override {
    clock_.Set(QDateTime(QDate(2026, 12, 5), QTime(7, 14, 58)));
    WriteSettings(
        "[Audio]\nSaveMode=1\nDefaultMode=3\nState=0\nSourceIndex0=3\nSourceIndex1=1\n"
        "ComDevice=virtual\nCWFrequency=600\n[Remote]\nRemoteEnabled=1\n"
        "[BeaconGeneral]\nCount=1\n"
        "[BeaconEvent0]\nEnable=1\nMin=15,16\nHour=7\nName=Club beacon\nCWString=E\n");
    StartVirtual("0 rx silence\n3 rx tone 700 -10\n6 rx silence\n");
    QObject::connect(&Station(), &TStationRuntime::BeaconSent,
                     [this](const QString& name) { started_ << name; });
  }

  QStringList started_;
};

TEST_F(BeaconStationTest, ABeaconDueGoesOutOnAFreeChannelAndWaitsWhileItIsBusy) {
  ASSERT_TRUE(RunUntil([this] { return ModeState() == msNoSignal; }, 500));
  EXPECT_EQ(Station().State().Mode, rmBeaconStation);

  // 07:15:00, the channel is free.
  ASSERT_TRUE(RunUntil([this] { return Keyed(); }, 3000));
  EXPECT_NEAR(CardSeconds(), 2.0, 0.05);
  EXPECT_EQ(started_, QStringList{"Club beacon"});
  ASSERT_TRUE(RunUntil([this] { return !Keyed(); }, 1500));
  EXPECT_EQ(ModeState(), msNoSignal);

  // The receiver hears a signal from 3 s to 6 s; the next minute begins meanwhile.
  ASSERT_TRUE(RunUntil([this] { return ModeState() == msSignal; }, 2000));
  clock_.Set(QDateTime(QDate(2026, 12, 5), QTime(7, 15, 59, 500)));
  Run(2000);
  EXPECT_FALSE(Keyed()) << "a beacon never goes out on a busy channel";
  EXPECT_TRUE(config_->Beacons().AnyPending());
  QMap<QString, QString> status = RemoteStatus();
  EXPECT_EQ(status.value("RepeaterMode"), "3");
  EXPECT_EQ(status.value("ModeState"), "3");
  EXPECT_EQ(status.value("PinValue"), "0");

  ASSERT_TRUE(RunUntil([this] { return Keyed(); }, 2000));
  EXPECT_NEAR(CardSeconds(), 6.5, 0.05) << "sent once the channel was free for the stop delay";
  ASSERT_TRUE(RunUntil([this] { return !Keyed(); }, 1500));
  Run(1000);
  EXPECT_FALSE(config_->Beacons().AnyPending());
  EXPECT_EQ(started_, (QStringList{"Club beacon", "Club beacon"}));
  status = RemoteStatus();
  EXPECT_EQ(status.value("ModeState"), "4");
  EXPECT_EQ(status.value("PinValue"), "0");

  const std::vector<TKeyingChange> log = KeyingLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_NEAR(log[0].At, 2.0, 0.05);
  EXPECT_NEAR(log[2].At, 6.5, 0.05);
  EXPECT_EQ(keyings_, (std::vector<bool>{true, false, true, false}));
  // Only the beacons went out, not what the receiver heard.
  const std::vector<TToneRun> runs = TransmittedRuns();
  ASSERT_EQ(runs.size(), 2u);
  for (const TToneRun& run : runs)
    EXPECT_NEAR(run.Frequency, 600, 20);
  EXPECT_TRUE(messages_.Shown.empty());
}

}  // namespace
}  // namespace tarvok
