#include "core/station/transmitter.h"

#include "support/config_fixture.h"

namespace tarvok {
namespace {

class TransmitterTest : public ConfigTest {
 protected:
  TTransmitter& Transmitter() {
    if (!transmitter_) {
      transmitter_ = std::make_unique<TTransmitter>(Config(), clock_, port_, messages_);
      QObject::connect(transmitter_.get(), &TTransmitter::LineChanged,
                       [this](bool raised) { lines_.push_back(raised); });
    }
    return *transmitter_;
  }

  std::vector<bool> lines_;
  std::unique_ptr<TTransmitter> transmitter_;
};

TEST_F(TransmitterTest, NoPortRecordsTheRequestAndTouchesNoDevice) {
  Transmitter().Key(true);
  EXPECT_TRUE(Transmitter().Keyed());
  EXPECT_TRUE(port_.Log.isEmpty());
  EXPECT_TRUE(messages_.Shown.empty());
  EXPECT_TRUE(lines_.empty());
}

TEST_F(TransmitterTest, TheWatchdogBelievesOnlyClockStepsThatCanBeTimeAndLocksOutForItsTime) {
  WriteSettings("[Audio]\nComPort=1\nTxTimeout=10\nTxLockout=4\n");
  std::vector<int> timeouts;
  QObject::connect(&Transmitter(), &TTransmitter::TimedOut,
                   [&](int seconds) { timeouts.push_back(seconds); });
  int lockoutEnds = 0;
  QObject::connect(&Transmitter(), &TTransmitter::LockoutEnded, [&] { ++lockoutEnds; });
  const auto run = [this](int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
      clock_.AdvanceMilliseconds(100);
      Transmitter().WatchdogTick();
    }
  };
  Transmitter().Key(true);
  run(6);
  clock_.AdvanceMilliseconds(3600 * 1000);  // the clock set an hour forward, then back
  Transmitter().WatchdogTick();
  clock_.AdvanceMilliseconds(-3600 * 1000);
  Transmitter().WatchdogTick();
  run(3);
  EXPECT_TRUE(port_.Dtr);
  run(1);
  EXPECT_EQ(timeouts, std::vector<int>{10});
  EXPECT_FALSE(port_.Dtr);
  EXPECT_FALSE(Transmitter().Keyed());

  // Nobody tells the cause: the lock-out lasts TxLockout seconds.
  Transmitter().Key(true);
  EXPECT_FALSE(port_.Dtr);
  run(3);
  EXPECT_EQ(lockoutEnds, 0);
  run(1);
  EXPECT_EQ(lockoutEnds, 1);
  Transmitter().Key(true);
  EXPECT_TRUE(port_.Dtr);
  EXPECT_EQ(lines_, (std::vector<bool>{true, false, true}));
}

TEST_F(TransmitterTest, MissingPortIsReportedOnceAndNotRetriedUntilTheSettingsChange) {
  WriteSettings("[Audio]\nComPort=7\n");
  port_.Missing = {"/dev/ttyS6"};
  Transmitter().Key(true);
  Transmitter().Key(false);
  Transmitter().Key(true);
  EXPECT_EQ(messages_.Shown, std::vector<QString>{"Cannot open COM7 port"});
  EXPECT_EQ(port_.Log, QStringList{"open /dev/ttyS6"});
  EXPECT_TRUE(Transmitter().Keyed());
  EXPECT_TRUE(lines_.empty());

  port_.Missing << "/dev/ttyUSB9";
  ASSERT_TRUE(Config().SetComDevice("/dev/ttyUSB9"));
  EXPECT_EQ(messages_.Shown.back(), "Cannot open /dev/ttyUSB9 port");
}

TEST_F(TransmitterTest, KeyingDrivesTheChosenPinAndReportsEachChangeOfTheLine) {
  WriteSettings("[Audio]\nComPort=1\n");
  Transmitter().Key(true);
  EXPECT_TRUE(port_.Dtr);
  EXPECT_FALSE(port_.Rts);
  Transmitter().Key(true);
  Transmitter().Key(false);
  EXPECT_FALSE(port_.Dtr);
  EXPECT_EQ(port_.Log, QStringList{"open /dev/ttyS0"});
  EXPECT_EQ(lines_, (std::vector<bool>{true, false}));
}

// Another part of the station changes the port: the transmitter follows the settings' signal.
TEST_F(TransmitterTest, SelectingAnotherPortWhileKeyedReleasesTheOldOneAndOpensTheNew) {
  WriteSettings("[Audio]\nComPort=1\n");
  Transmitter().Key(true);
  ASSERT_TRUE(Config().SetComPort(2));
  EXPECT_EQ(port_.Log, (QStringList{"open /dev/ttyS0", "close /dev/ttyS0", "open /dev/ttyS1"}));
  EXPECT_FALSE(Transmitter().Keyed());
  EXPECT_FALSE(port_.Dtr || port_.Rts);
  EXPECT_EQ(lines_, (std::vector<bool>{true, false}));
}

TEST_F(TransmitterTest, SwitchingThePinWhileKeyedUnkeysUntilTheNextRequest) {
  WriteSettings("[Audio]\nComPort=1\n");
  Transmitter().Key(true);
  ASSERT_TRUE(Config().SetComPin(1));
  EXPECT_TRUE(port_.Device.isEmpty());
  EXPECT_FALSE(port_.Dtr || port_.Rts);
  Transmitter().Key(true);
  EXPECT_TRUE(port_.Rts);
  EXPECT_FALSE(port_.Dtr);
}

TEST_F(TransmitterTest, AnUnknownPinKeysNothing) {
  WriteSettings("[Audio]\nComPort=1\nComPin=2\n");
  Transmitter().Key(true);
  EXPECT_EQ(port_.Device, "/dev/ttyS0");
  EXPECT_FALSE(port_.Dtr || port_.Rts);
  EXPECT_TRUE(lines_.empty());
}

TEST_F(TransmitterTest, TheOpenPortIsReleasedWhenTheTransmitterEnds) {
  WriteSettings("[Audio]\nComPort=1\n");
  Transmitter().Key(true);
  transmitter_.reset();
  EXPECT_EQ(port_.Log.last(), "close /dev/ttyS0");
  EXPECT_FALSE(port_.Dtr);
}

}  // namespace
}  // namespace tarvok
