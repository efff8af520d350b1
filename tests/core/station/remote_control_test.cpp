#include <QDir>

#include "core/config/remote_data.h"
#include "support/station_fixture.h"

namespace tarvok {
namespace {

using enum TStateButton;

class RemoteControlTest : public StationTest {
 protected:
  void StartRemote() {
    QDir().mkpath(Config().RemotePath());
    Config().SetRemoteEnabled(true);
    Start();
  }
  QString StatusFile() const { return QDir(config_->RemotePath()).filePath("tarvok.rmt"); }
  QString CommandFile() const { return QDir(config_->RemotePath()).filePath("tarvok.cmd"); }
  QByteArray Status() const {
    QFile file(StatusFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // The other program leaves a command; the station reads it at its next poll.
  void Command(const QByteArray& content) {
    QFile file(CommandFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    Tick();
    EXPECT_FALSE(QFile::exists(CommandFile()));
  }
};

TEST_F(RemoteControlTest, StatusIsWrittenOnTheFirstPollFollowsTheStationAndGoesAtTheEnd) {
  Config().SetState(csVox);
  StartRemote();
  const QByteArray version = QStringLiteral("VersionMajor=%1\nVersionMinor=%2\n")
                                 .arg(Config().VersionMajor())
                                 .arg(Config().VersionMinor())
                                 .toLatin1();
  EXPECT_EQ(Status(), version + "RepeaterMode=1\nRepeaterState=0\nModeState=2\nPinValue=0\n");
  Request(TSender::Trace, msSignal);
  Tick();
  EXPECT_EQ(Status(), version + "RepeaterMode=1\nRepeaterState=0\nModeState=3\nPinValue=1\n");
  const QString statusFile = StatusFile();
  Stop();
  EXPECT_FALSE(QFile::exists(statusFile));
}

TEST_F(RemoteControlTest, CommandSelectsAStateButtonOfTheModeInForce) {
  Config().SetState(csVox);
  StartRemote();
  Command("command=1\nmode=1\nstate=2\n");
  EXPECT_TRUE(Checked(RepeaterForceXmit));
  EXPECT_EQ(ModeState(), msForcedOn);
  EXPECT_TRUE(Keyed());
  Tick();
  EXPECT_TRUE(Status().endsWith("ModeState=1\nPinValue=1\n"));
}

TEST_F(RemoteControlTest, CommandForAnotherModeChangesOnlyTheMode) {
  Config().SetState(csVox);
  StartRemote();
  Menu(rmSimplexRepeater);
  Command("command=1\nmode=1\nstate=2\n");
  EXPECT_EQ(Mode(), rmInternetRepeater);
  EXPECT_TRUE(Checked(RepeaterVox));
  EXPECT_EQ(Config().State(), csVox);
}

TEST_F(RemoteControlTest, SchedulerCommandSwitchesItOnAndARepeatDoesNotSwitchItOff) {
  StartRemote();
  Command("command=1\nmode=4\nstate=1\n");
  EXPECT_TRUE(station_->State().SchedulerOn);
  Command("command=1\nmode=4\nstate=1\n");
  EXPECT_TRUE(station_->State().SchedulerOn);
  Tick();
  EXPECT_TRUE(Status().contains("RepeaterMode=0\nRepeaterState=1\n"));
}

TEST_F(RemoteControlTest, CommandsThatDoNothingAreStillDeleted) {
  Config().SetState(csVox);
  StartRemote();
  Command(" Command = 1 \nmode=2\nstate=1\n");
  Command("command=1\nmode=2\n");
  Command("command=2\nmode=2\nstate=1\n");
  Command("garbage\n\n=\n");
  EXPECT_EQ(Mode(), rmInternetRepeater);
  Menu(rmBeaconStation);
  Command("command=1\nmode=3\nstate=2\n");
  EXPECT_TRUE(Checked(BeaconVox));
  EXPECT_EQ(Config().State(), csVox);
}

}  // namespace
}  // namespace tarvok
