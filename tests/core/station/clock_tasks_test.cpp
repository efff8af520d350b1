#include <QDir>

#include "support/station_fixture.h"

namespace tarvok {
namespace {

using enum TStateButton;

class ClockTasksTest : public StationTest {
 protected:
  void AddScheduleEvent(TRepeaterMode mode, const QString& minute) {
    TScheduleEvent event(clock_);
    event.Mode = mode;
    event.Enabled = true;
    event.Min = minute;
    Config().Schedules().Add(event);
  }
  void AddBeaconEveryMinute() {
    TBeacon beacon(clock_);
    beacon.Name = "every minute";
    beacon.CWString = "a";
    beacon.Enabled = true;
    Config().Beacons().Add(beacon);
  }
  void SwitchSchedulerOn() {
    station_->Modes().ToggleScheduler();
    Settle();
  }
  // A recording of `bytes` bytes in the recordings folder, modified `age` minutes ago.
  void MakeRecording(const QString& name, int bytes, int age) {
    QDir().mkpath(Config().LogBrowsePath());
    QFile file(Config().LogBrowsePath() + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(bytes, '\0'));
    file.setFileTime(clock_.Now().addSecs(-60 * age), QFileDevice::FileModificationTime);
  }
  QStringList Recordings() const {
    return QDir(config_->LogBrowsePath()).entryList({"*.wav"}, QDir::Files, QDir::Name);
  }
};

TEST_F(ClockTasksTest, ShowsTheDateAndTime) {
  Start();
  EXPECT_EQ(station_->ClockTasks().DateText(), "12/05/2026");
  EXPECT_EQ(station_->ClockTasks().TimeText(), "10:15:07");
}

TEST_F(ClockTasksTest, MinuteChecksRunOnceInTheFirstSecondsOfAMinute) {
  AddScheduleEvent(rmBeaconStation, "*");
  AddBeaconEveryMinute();
  Config().SetState(csVox);
  Start();
  SwitchSchedulerOn();
  int scheduleChecks = 0;
  QObject::connect(&station_->ClockTasks(), &TClockTasks::SchedulesChecked,
                   [&] { ++scheduleChecks; });
  At(10, 15, 7);
  Tick();
  EXPECT_EQ(scheduleChecks, 0);
  At(10, 16, 2);
  Tick();
  EXPECT_EQ(scheduleChecks, 1);
  EXPECT_EQ(Mode(), rmBeaconStation);
  At(10, 16, 4);
  Tick();  // the first beacon check of Beacon Station mode; no second schedule check
  EXPECT_EQ(scheduleChecks, 1);
  Request(TSender::Trace, msNoSignal);  // the channel is free for the beacon that fell due
  EXPECT_EQ(TakeLog(), QStringList{"play 8"});
  EndPlayback();
  // In Beacon Station mode under the scheduler both checks come in the same minute.
  At(10, 17, 0);
  Tick();
  EXPECT_EQ(scheduleChecks, 2);
  EXPECT_EQ(TakeLog(), QStringList{"play 8"});
}

TEST_F(ClockTasksTest, ScheduledBeaconStationOverridesForceListenOnlyWhenItStarts) {
  AddScheduleEvent(rmBeaconStation, "16");
  AddBeaconEveryMinute();
  Config().SetState(csVox);
  Start();
  Menu(rmBeaconStation);
  Click(BeaconListen);
  SwitchSchedulerOn();
  At(10, 16, 1);
  Tick();
  EXPECT_EQ(Mode(), rmBeaconStation);
  EXPECT_TRUE(Checked(BeaconVox));
  EXPECT_EQ(Config().State(), csVox);
  EXPECT_EQ(station_->Display().Caption(), "Schedule - Beacon Station");

  // The event stays in force; its mode is not entered again at the next minute, which
  // would cut the beacon on the air.
  Request(TSender::Trace, msNoSignal);
  At(10, 17, 1);
  Tick();
  ASSERT_EQ(ModeState(), msBeaconCW);
  TakeLog();
  At(10, 18, 1);
  Tick();
  EXPECT_EQ(ModeState(), msBeaconCW);
  EXPECT_TRUE(TakeLog().isEmpty());
}

TEST_F(ClockTasksTest, RecordingLimits) {
  Start();
  const TClockTasks& tasks = station_->ClockTasks();
  EXPECT_TRUE(tasks.WithinRecordLimits());
  Config().SetLimitRecordTime(60);
  recorder_->Written = 480000;
  EXPECT_TRUE(tasks.WithinRecordLimits());
  recorder_->Written = 488000;
  EXPECT_FALSE(tasks.WithinRecordLimits());
  recorder_->PerSec = 0;
  EXPECT_TRUE(tasks.WithinRecordLimits());
  Config().SetLimitRecordTime(0);
  Config().SetLimitRecordSize(100000);
  recorder_->Written = 100000;
  EXPECT_TRUE(tasks.WithinRecordLimits());
  recorder_->Written = 100001;
  EXPECT_FALSE(tasks.WithinRecordLimits());
}

TEST_F(ClockTasksTest, RecordingsAreTrimmedEveryFiveMinutesOfSimplexRepeater) {
  Config().SetLimitLogSize(2500);
  MakeRecording("261205_100000.wav", 1000, 15);
  MakeRecording("261205_100500.wav", 1000, 10);
  MakeRecording("261205_101000.wav", 1000, 5);
  MakeRecording("261205_101400.wav", 1000, 1);
  station_->ClockTasks().SetRecordingsInUse(
      [this] { return QStringList{Config().LogBrowsePath() + "261205_100000.wav"}; });
  StartSimplexWithVox();
  for (int i = 0; i < 299; ++i)
    station_->ClockTasks().ClockTick();
  Settle();
  EXPECT_EQ(Recordings().size(), 4);
  Tick();
  EXPECT_EQ(Recordings(),
            (QStringList{"261205_100000.wav", "261205_101000.wav", "261205_101400.wav"}));
}

TEST_F(ClockTasksTest, LogCutoffFollowsTheClockEveryHourOfSimplexRepeater) {
  Config().SetLimitLogDays(1);
  StartSimplexWithVox();
  const std::int64_t cutoff = Config().LogCutoffTime();
  clock_.AdvanceMilliseconds(3600 * 1000);
  for (int i = 0; i < 3599; ++i)
    station_->ClockTasks().ClockTick();
  EXPECT_EQ(Config().LogCutoffTime(), cutoff);
  station_->ClockTasks().ClockTick();
  EXPECT_EQ(Config().LogCutoffTime(), cutoff + 3600LL * 10000000);
  Settle();
}

TEST_F(ClockTasksTest, FailedPlaybackRestartsTheModeOnTheSixthSecond) {
  StartSimplexWithVox();
  recorder_->FailPlay = true;
  Transmission();
  ASSERT_TRUE(station_->State().RetryPending);
  int modeChanges = 0;
  QObject::connect(station_.get(), &TStation::CheckTracesRequested, [&] { ++modeChanges; });
  for (int i = 0; i < 5; ++i)
    Tick();
  EXPECT_EQ(modeChanges, 0);
  EXPECT_EQ(ModeState(), msSignal);
  Tick();
  EXPECT_EQ(modeChanges, 2);  // through Internet Repeater and back
  EXPECT_EQ(Mode(), rmSimplexRepeater);
  EXPECT_EQ(ModeState(), msListen);
  EXPECT_FALSE(station_->State().RetryPending);
}

}  // namespace
}  // namespace tarvok
