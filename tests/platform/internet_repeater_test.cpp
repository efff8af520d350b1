// Internet Repeater mode end to end on the virtual card: audio from the PC keys the transmitter
// once the VOX start delay has passed, and when it ends the courtesy tone follows the stop delay
// before the transmitter is released.
#include <gtest/gtest.h>

#include "support/pulse_test_server.h"
#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

class InternetRepeaterTest : public VirtualStationTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteToneWav(FilePath("courtesy.wav"), 1500, -6, 0.3));
    WriteSettings(
        "[Audio]\nState=0\nComDevice=virtual\nStartDelay=200\nStopDelay=500\n"
        "WAVFile1=" +
        FilePath("courtesy.wav").toUtf8() + "\n[Remote]\nRemoteEnabled=1\n");
  }
};

TEST_F(InternetRepeaterTest, PcAudioKeysTheTransmitterAndTheCourtesyToneEndsTheTransmission) {
  StartVirtual("0 pc silence\n1 pc tone 440 -10\n3 pc silence\n");
  ASSERT_TRUE(RunUntil([this] { return Keyed(); }, 2000));
  EXPECT_NEAR(CardSeconds(), 1.2, 0.03) << "keyed the start delay after the PC audio began";
  Run(1000);
  EXPECT_EQ(ModeState(), msSignal);
  EXPECT_EQ(Station().Indicator().Caption, "TRANSMITTING");
  QMap<QString, QString> status = RemoteStatus();
  EXPECT_EQ(status.value("RepeaterMode"), "1");
  EXPECT_EQ(status.value("ModeState"), "3");
  EXPECT_EQ(status.value("PinValue"), "1");

  ASSERT_TRUE(RunUntil([this] { return ModeState() == msCourtesy; }, 2000));
  EXPECT_NEAR(CardSeconds(), 3.5, 0.05) << "the courtesy tone starts after the stop delay";
  EXPECT_TRUE(Keyed());
  ASSERT_TRUE(RunUntil([this] { return !Keyed(); }, 1000));
  EXPECT_EQ(ModeState(), msNoSignal);
  // The courtesy tone on the card's output does not key the transmitter again.
  Run(1500);
  EXPECT_FALSE(Keyed());
  EXPECT_EQ(Station().Indicator().Caption, "receiving");
  status = RemoteStatus();
  EXPECT_EQ(status.value("ModeState"), "4");
  EXPECT_EQ(status.value("PinValue"), "0");

  const std::vector<TKeyingChange> log = KeyingLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log[0].Keyed);
  EXPECT_NEAR(log[0].At, 1.2, 0.03);
  EXPECT_FALSE(log[1].Keyed);
  EXPECT_NEAR(log[1].At, 3.8, 0.05) << "released when the 0.3 s courtesy tone has ended";
  EXPECT_EQ(keyings_, (std::vector<bool>{true, false}));

  // transmitter.wav holds the PC audio while keyed, the stop delay's silence, then the tone.
  const std::vector<TToneRun> runs = TransmittedRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NEAR(runs[0].Start, 0.0, 0.02);
  EXPECT_NEAR(runs[0].Seconds, 1.8, 0.05);
  EXPECT_NEAR(runs[0].Frequency, 440, 5);
  EXPECT_NEAR(runs[1].Start - (runs[0].Start + runs[0].Seconds), 0.5, 0.05);
  EXPECT_NEAR(runs[1].Seconds, 0.3, 0.03);
  EXPECT_NEAR(runs[1].Frequency, 1500, 10);
  EXPECT_NEAR(log[1].WavAt, runs[1].Start + runs[1].Seconds, 0.1);
  EXPECT_TRUE(messages_.Shown.empty());
  EXPECT_EQ(promptsShown_, 0);
}

}  // namespace
}  // namespace tarvok
