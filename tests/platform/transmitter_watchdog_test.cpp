// The transmitter's watchdog end to end on the virtual card, stepped in card time: whatever keys
// the transmitter (PC audio, Force XMIT, a playback) is released after TxTimeout seconds and stays
// released until that has stopped.
#include <gtest/gtest.h>

#include "core/station/status_display.h"
#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

class TransmitterWatchdogTest : public VirtualStationTest {
 protected:
  void Start(const QByteArray& settings, const QString& scenario) {
    WriteSettings("[Audio]\nComDevice=virtual\nStartDelay=200\nStopDelay=500\n" + settings +
                  "[Remote]\nRemoteEnabled=1\n");
    StartVirtual(scenario);
    QObject::connect(&Station(), &TStationRuntime::TransmitterLockoutEnded, &follower_,
                     [this] { lockoutEnds_.push_back(CardSeconds()); });
  }
  // The card times of the keying changes in transmitter.log.
  std::vector<double> KeyingTimes() const {
    std::vector<double> times;
    for (const TKeyingChange& change : KeyingLog())
      times.push_back(change.At);
    return times;
  }
  void ExpectTimes(const std::vector<double>& expected) const {
    const std::vector<double> times = KeyingTimes();
    ASSERT_EQ(times.size(), expected.size());
    for (std::size_t i = 0; i < times.size(); ++i)
      EXPECT_NEAR(times[i], expected[i], 0.03) << "keying change " << i;
  }

  std::vector<double> lockoutEnds_;
  QObject follower_;
};

TEST_F(TransmitterWatchdogTest, PcAudioHeldTooLongIsCutAndKeysAgainOnlyAfterItStopped) {
  Start("State=0\nTxTimeout=3\n",
        "0 pc silence\n0.5 pc tone 440 -10\n6 pc silence\n7 pc tone 440 -10\n8 pc silence\n");
  ASSERT_TRUE(RunUntil([this] { return Keyed(); }, 1000));
  ASSERT_TRUE(RunUntil([this] { return !Keyed(); }, 4000));
  EXPECT_EQ(Station().Status().ErrorText(), "Transmitter time-out after 3 s");
  EXPECT_EQ(ModeState(), msNoSignal);
  EXPECT_EQ(Station().Indicator().Caption, "receiving");
  Run(1500);
  EXPECT_EQ(RemoteStatus().value("PinValue"), "0");
  Run(1500);  // the audio goes on until 6 s, then the stop delay passes
  EXPECT_FALSE(Keyed());
  ASSERT_EQ(lockoutEnds_.size(), 1u);
  EXPECT_NEAR(lockoutEnds_[0], 6.5, 0.05);
  Run(3000);
  ExpectTimes({0.7, 3.7, 7.2, 8.5});
}

TEST_F(TransmitterWatchdogTest, ForceXmitIsReleasedAtTheLimitUntilAnotherStateIsChosen) {
  Start("State=1\nTxTimeout=2\n", "0 pc silence\n");
  Run(100);
  ASSERT_TRUE(Keyed());
  Run(5000);
  EXPECT_FALSE(Keyed()) << "the forced state still asks for the transmitter";
  Station().ClickStateButton(TStateButton::RepeaterForceRecv);
  Station().ClickStateButton(TStateButton::RepeaterForceXmit);
  Run(100);
  EXPECT_TRUE(Keyed());
  ExpectTimes({0.0, 2.0, 5.1});
}

TEST_F(TransmitterWatchdogTest, ATimeOutOfZeroNeverFires) {
  Start("State=1\nTxTimeout=0\n", "0 pc silence\n");
  Run(10000);
  EXPECT_TRUE(Keyed());
  EXPECT_EQ(keyings_, std::vector<bool>{true});
}

TEST_F(TransmitterWatchdogTest, ASimplexPlaybackLongerThanTheLimitIsCutAndTheStationListens) {
  Start("SaveMode=1\nDefaultMode=2\nState=0\nSourceIndex0=3\nSourceIndex1=1\nTxTimeout=2\n",
        "0 rx silence\n0.5 rx tone 1000 -10\n4.5 rx silence\n");
  ASSERT_TRUE(RunUntil([this] { return Keyed(); }, 6000));
  const double keyedAt = CardSeconds();
  ASSERT_TRUE(RunUntil([this] { return ModeState() == msListen; }, 3000));
  EXPECT_FALSE(Keyed());
  Run(3000);
  EXPECT_EQ(ModeState(), msListen);
  EXPECT_EQ(Station().Indicator().Caption, "LISTENING");
  EXPECT_EQ(lockoutEnds_.size(), 1u);
  ExpectTimes({keyedAt, keyedAt + 2.0});
}

}  // namespace
}  // namespace tarvok
