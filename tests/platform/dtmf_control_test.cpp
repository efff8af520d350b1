// Commands over the air on the virtual card: "*", the PIN, a code and "#" from the receiver.
#include <gtest/gtest.h>

#include <QStringList>

#include "core/station/mode_control.h"
#include "core/station/station_runtime.h"
#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

class DtmfControlTest : public VirtualStationTest {
 protected:
  void Start(const QByteArray& pin, const QString& scenario, const QByteArray& audio = {}) {
    WriteSettings("[Audio]\nState=0\nComDevice=virtual\n" + audio +
                  "[Remote]\nRemoteEnabled=1\n[DTMFControl]\nEnabled=1\nPIN=" + pin + "\n");
    StartVirtual(scenario);
    QObject::connect(&Station(), &TStationRuntime::DtmfControlLine,
                     [this](const QString& line) { lines_ << line; });
    QObject::connect(&Station(), &TStationRuntime::DtmfKey,
                     [this](QChar key) { lines_ << QString(key); });
  }
  bool PinLogged() const { return lines_.join('\n').contains("2468"); }

  QStringList lines_;
};

TEST_F(DtmfControlTest, TheRightPinSwitchesToBeaconStationAndTheLogAndRemoteStatusAgree) {
  Start("2468", "0 rx silence\n1 rx dtmf *246813#\n3 rx silence\n");
  ASSERT_TRUE(RunUntil([this] { return Station().State().Mode == rmBeaconStation; }, 4000));
  EXPECT_FALSE(Station().RecorderCapturing()) << "the command capture leaves the Mode menu open";
  Run(1500);
  EXPECT_EQ(lines_, QStringList{"DTMF command: mode Beacon Station"});
  EXPECT_EQ(RemoteStatus().value("RepeaterMode"), "3");
  EXPECT_FALSE(PinLogged());
}

TEST_F(DtmfControlTest, SimplexRepeaterHearsCommandsThroughTheRecorder) {
  Start("2468", "0 rx silence\n1 rx dtmf *246813#\n3 rx silence\n",
        "SaveMode=1\nDefaultMode=2\nSourceIndex0=3\nSourceIndex1=1\n");
  ASSERT_EQ(Station().State().Mode, rmSimplexRepeater);
  EXPECT_TRUE(RunUntil([this] { return Station().State().Mode == rmBeaconStation; }, 5000));
}

TEST_F(DtmfControlTest, SchedulerAndStateCommandsFollowTheRemoteFilesRulesAndADialogRefusesThem) {
  Start("2468",
        "0 rx silence\n1 rx dtmf *246831#\n3 rx silence\n4 rx dtmf *246822#\n6 rx silence\n"
        "7 rx dtmf *246830#\n9 rx silence\n10 rx dtmf *246822#\n12 rx silence\n"
        "13 rx dtmf *246812#\n15 rx silence\n");
  Run(3500);
  EXPECT_TRUE(Station().State().SchedulerOn);
  Run(6000);
  EXPECT_FALSE(Station().State().SchedulerOn);
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  Run(3000);
  EXPECT_TRUE(Station().Modes().Buttons().IsChecked(TStateButton::RepeaterForceXmit));
  {
    const auto hold = Station().HoldForDialog();
    Run(3000);
  }
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  EXPECT_EQ(lines_, (QStringList{"DTMF command: scheduler on", "DTMF command refused: state 2",
                                 "DTMF command: scheduler off", "DTMF command: state 2",
                                 "DTMF command refused while a dialog is open: mode Simplex "
                                 "Repeater"}));
}

TEST_F(DtmfControlTest, WrongPinsChangeNothingAndTheThirdLocksEntry) {
  Start("2468",
        "0 rx silence\n1 rx dtmf *111113#\n3 rx silence\n4 rx dtmf *111113#\n6 rx silence\n"
        "7 rx dtmf *111113#\n9 rx silence\n10 rx dtmf *246813#\n12 rx silence\n");
  Run(13000);
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  EXPECT_EQ(lines_, QStringList{"DTMF control: three wrong PINs, entry locked for 10 minutes"});
}

TEST_F(DtmfControlTest, DigitsSixSecondsApartStartOver) {
  Start("2468", "0 rx silence\n1 rx dtmf *2468\n2 rx silence\n8 rx dtmf 13#\n9 rx silence\n");
  Run(10000);
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  EXPECT_TRUE(lines_.isEmpty());
}

TEST_F(DtmfControlTest, ABadPinLeavesControlOff) {
  Start("12", "0 rx silence\n1 rx dtmf *1213#\n3 rx silence\n");
  Run(4000);
  EXPECT_EQ(Station().State().Mode, rmInternetRepeater);
  EXPECT_TRUE(lines_.isEmpty());
  EXPECT_FALSE(Station().Capturing()) << "no capture is kept for commands that are off";
}

}  // namespace
}  // namespace tarvok
