#include "support/config_fixture.h"

namespace tarvok {
namespace {

using PttTest = ConfigTest;

TEST_F(PttTest, NoPortRecordsTheRequestAndTouchesNoDevice) {
  Config().SetPTT(true);
  EXPECT_TRUE(Config().PinValue());
  EXPECT_TRUE(port_.Log.isEmpty());
  EXPECT_TRUE(messages_.Shown.empty());
}

TEST_F(PttTest, PortNumbersNameLinuxSerialDevicesUnlessADeviceIsGiven) {
  WriteSettings("[Audio]\nComPort=7\n");
  EXPECT_EQ(Config().PortChoice().Device, "/dev/ttyS6");
  EXPECT_EQ(Config().PortChoice().Caption, "COM7");
  ASSERT_TRUE(Config().SetComDevice("/dev/ttyUSB0"));
  EXPECT_EQ(Config().PortChoice().Device, "/dev/ttyUSB0");
  EXPECT_EQ(Config().PortChoice().Caption, "/dev/ttyUSB0");
}

TEST_F(PttTest, MissingPortIsReportedOnceAndNotRetriedUntilTheSettingsChange) {
  WriteSettings("[Audio]\nComPort=7\n");
  port_.Missing = {"/dev/ttyS6"};
  Config().SetPTT(true);
  Config().SetPTT(false);
  Config().SetPTT(true);
  EXPECT_EQ(messages_.Shown, std::vector<QString>{"Cannot open COM7 port"});
  EXPECT_EQ(port_.Log, QStringList{"open /dev/ttyS6"});
  EXPECT_TRUE(Config().PinValue());

  port_.Missing << "/dev/ttyUSB9";
  ASSERT_TRUE(Config().SetComDevice("/dev/ttyUSB9"));
  EXPECT_EQ(messages_.Shown.back(), "Cannot open /dev/ttyUSB9 port");
}

TEST_F(PttTest, KeyingDrivesTheChosenPin) {
  WriteSettings("[Audio]\nComPort=1\n");
  Config().SetPTT(true);
  EXPECT_TRUE(port_.Dtr);
  EXPECT_FALSE(port_.Rts);
  Config().SetPTT(false);
  EXPECT_FALSE(port_.Dtr);
  EXPECT_EQ(port_.Log, QStringList{"open /dev/ttyS0"});
}

TEST_F(PttTest, SelectingAnotherPortWhileKeyedReleasesTheOldOneAndOpensTheNew) {
  WriteSettings("[Audio]\nComPort=1\n");
  Config().SetPTT(true);
  ASSERT_TRUE(Config().SetComPort(2));
  EXPECT_EQ(port_.Log, (QStringList{"open /dev/ttyS0", "close /dev/ttyS0", "open /dev/ttyS1"}));
  EXPECT_FALSE(Config().PinValue());
  EXPECT_FALSE(port_.Dtr || port_.Rts);
}

TEST_F(PttTest, SwitchingThePinWhileKeyedUnkeysUntilTheNextRequest) {
  WriteSettings("[Audio]\nComPort=1\n");
  Config().SetPTT(true);
  ASSERT_TRUE(Config().SetComPin(1));
  EXPECT_TRUE(port_.Device.isEmpty());
  EXPECT_FALSE(port_.Dtr || port_.Rts);
  Config().SetPTT(true);
  EXPECT_TRUE(port_.Rts);
  EXPECT_FALSE(port_.Dtr);
}

TEST_F(PttTest, AnUnknownPinKeysNothing) {
  WriteSettings("[Audio]\nComPort=1\nComPin=2\n");
  Config().SetPTT(true);
  EXPECT_EQ(port_.Device, "/dev/ttyS0");
  EXPECT_FALSE(port_.Dtr || port_.Rts);
}

TEST_F(PttTest, TheOpenPortIsReleasedWhenTheConfigurationEnds) {
  WriteSettings("[Audio]\nComPort=1\n");
  Config().SetPTT(true);
  config_.reset();
  EXPECT_EQ(port_.Log.last(), "close /dev/ttyS0");
  EXPECT_FALSE(port_.Dtr);
}

}  // namespace
}  // namespace tarvok
