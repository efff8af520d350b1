// What a window or a log sees of the station through its door, on the virtual card: the signals
// of a Simplex Repeater cycle in the order they happen, and the capture stream reported off when a
// remote command changes the mode.
#include <gtest/gtest.h>

#include <QFile>

#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

class StationDoorTest : public VirtualStationTest {
 protected:
  void Follow() {
    TStationRuntime* door = &Station();
    QObject::connect(door, &TStationRuntime::RecordingStarted, &follower_,
                     [this](const QString& file) { events_ << "recording to " + file; });
    QObject::connect(door, &TStationRuntime::RecordingFinished, &follower_,
                     [this](const QString& file) { events_ << "recording finished " + file; });
    QObject::connect(door, &TStationRuntime::TransmitterKeyedChanged, &follower_,
                     [this](bool keyed) { events_ << (keyed ? "keyed" : "released"); });
    QObject::connect(door, &TStationRuntime::PlaybackStarted, &follower_,
                     [this] { events_ << "playing"; });
    QObject::connect(door, &TStationRuntime::PlaybackFinished, &follower_,
                     [this] { events_ << "played"; });
    QObject::connect(door, &TStationRuntime::ModeStateChanged, &follower_,
                     [this](TModeState state) { events_ << QString::number(state); });
    QObject::connect(door, &TStationRuntime::CaptureChanged, &follower_,
                     [this](bool on) { events_ << (on ? "capture on" : "capture off"); });
    QObject::connect(
        door, &TStationRuntime::ModeChanged, &follower_,
        [this](TRepeaterMode mode, bool) { events_ << QStringLiteral("mode %1").arg(mode); });
  }

  QStringList events_;
  QObject follower_;  // ends the connections before events_ goes
};

TEST_F(StationDoorTest, ASimplexCycleIsReportedInTheOrderItHappens) {
  WriteSettings(
      "[Audio]\nSaveMode=1\nDefaultMode=2\nState=0\nSourceIndex0=3\nSourceIndex1=1\n"
      "ComDevice=virtual\n");
  StartVirtual("0 rx silence\n0.5 rx tone 1000 -10\n1.5 rx silence\n");
  ASSERT_TRUE(RunUntil([this] { return ModeState() == msListen; }, 500));
  Follow();
  ASSERT_TRUE(RunUntil([this] { return ModeState() == msSignal; }, 1000));
  const QString file = Station().LastRecording();
  ASSERT_TRUE(RunUntil([this] { return events_.contains("released"); }, 4000));
  Run(100);
  // The playback starts a moment before the keying, in the same transition.
  EXPECT_EQ(events_, (QStringList{"recording to " + file, "3", "recording finished " + file,
                                  "playing", "keyed", "4", "played", "released", "5"}));
}

TEST_F(StationDoorTest, ARemoteModeChangeReportsTheCaptureOff) {
  WriteSettings(
      "[Audio]\nState=0\nSourceIndex0=3\nSourceIndex1=1\nComDevice=virtual\nDTFMEnabled=1\n"
      "[Remote]\nRemoteEnabled=1\n");
  StartVirtual("0 rx silence\n");
  Run(100);
  ASSERT_TRUE(Station().Capturing()) << "a station without a window feeds its DTMF decoder";
  Follow();
  QFile command(FilePath("remote/tarvok.cmd"));
  ASSERT_TRUE(command.open(QIODevice::WriteOnly));
  command.write("command=1\nmode=2\nstate=1\n");
  command.close();
  ASSERT_TRUE(RunUntil([this] { return Station().State().Mode == rmSimplexRepeater; }, 3000));
  EXPECT_FALSE(Station().Capturing());
  EXPECT_TRUE(events_.contains("capture off")) << events_.join(", ").toStdString();
  EXPECT_LT(events_.indexOf("capture off"), events_.indexOf("mode 2"));
}

}  // namespace
}  // namespace tarvok
