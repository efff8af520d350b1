// Simplex Repeater mode end to end on the virtual card: a burst heard on the receiver is recorded,
// played back keyed on the transmitter, followed by the CW identification that fell due meanwhile,
// and the station listens again.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

class SimplexRepeaterTest : public VirtualStationTest {
 protected:
  void SetUp() override {
    // The mode of the last run comes back at start; the receiver is the VOX trace's line.
    WriteSettings(
        "[Audio]\nSaveMode=1\nDefaultMode=2\nState=0\nSourceIndex0=3\nSourceIndex1=1\n"
        "ComDevice=virtual\nCWString2=E\nCWFrequency=600\n[Remote]\nRemoteEnabled=1\n");
  }
  bool RunUntilState(int modeState, int maxMs) {
    return RunUntil([this, modeState] { return ModeState() == modeState; }, maxMs);
  }
};

TEST_F(SimplexRepeaterTest, AReceivedBurstIsRecordedRepeatedIdentifiedAndTheStationListensAgain) {
  StartVirtual("0 rx silence\n0.5 rx tone 1000 -10\n1.5 rx silence\n");
  ASSERT_TRUE(RunUntilState(msListen, 500));
  EXPECT_EQ(Station().State().Mode, rmSimplexRepeater);

  ASSERT_TRUE(RunUntilState(msSignal, 1000));
  EXPECT_NEAR(CardSeconds(), 0.5, 0.03);
  EXPECT_FALSE(Keyed());
  Run(500);
  EXPECT_EQ(Station().Indicator().Caption, "RECORDING");
  QMap<QString, QString> status = RemoteStatus();
  EXPECT_EQ(status.value("RepeaterMode"), "2");
  EXPECT_EQ(status.value("ModeState"), "3");
  EXPECT_EQ(status.value("PinValue"), "0");
  const QString recording = Station().LastRecording();
  EXPECT_TRUE(QFileInfo::exists(recording));
  Station().Tick(TStationTimer::Ident);  // the identification falls due while recording

  ASSERT_TRUE(RunUntilState(msNoSignal, 2000));
  EXPECT_NEAR(CardSeconds(), 2.0, 0.05) << "repeated once the stop delay has passed";
  EXPECT_TRUE(Keyed());
  Run(1000);
  status = RemoteStatus();
  EXPECT_EQ(status.value("ModeState"), "4");
  EXPECT_EQ(status.value("PinValue"), "1");

  ASSERT_TRUE(RunUntilState(msCWTone, 3000));
  EXPECT_TRUE(Keyed()) << "the identification follows on the same transmission";
  EXPECT_FALSE(QFileInfo::exists(recording)) << "a repeated recording is not kept";
  ASSERT_TRUE(RunUntilState(msListen, 2000));
  EXPECT_FALSE(Keyed());
  Run(1000);
  EXPECT_EQ(Station().Indicator().Caption, "LISTENING");
  EXPECT_EQ(RemoteStatus().value("ModeState"), "5");

  const std::vector<TKeyingChange> log = KeyingLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log[0].Keyed);
  EXPECT_NEAR(log[0].At, 2.0, 0.05);
  EXPECT_FALSE(log[1].Keyed);
  EXPECT_EQ(keyings_, (std::vector<bool>{true, false}));

  // The recorded second of tone, then the one CW element of "E" at the CW frequency.
  const std::vector<TToneRun> runs = TransmittedRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NEAR(runs[0].Seconds, 1.0, 0.05);
  EXPECT_NEAR(runs[0].Frequency, 1000, 5);
  EXPECT_NEAR(runs[1].Seconds, config_->CWElementTime() / 1000.0, 0.02);
  EXPECT_NEAR(runs[1].Frequency, 600, 20);
  EXPECT_GT(runs[1].Start, runs[0].Start + runs[0].Seconds);
  const double cwEnd = runs[1].Start + runs[1].Seconds;
  EXPECT_GT(log[1].WavAt, cwEnd);
  EXPECT_LT(log[1].WavAt, cwEnd + 0.6) << "released once the CW has been sent";
  EXPECT_TRUE(messages_.Shown.empty());
  EXPECT_EQ(promptsShown_, 0);
}

TEST_F(SimplexRepeaterTest, AUserWhoKeysDuringTheRepeatIsRecordedWhenItEnds) {
  // The engine takes no request while it repeats: the request must come again at its end.
  StartVirtual(
      "0 rx silence\n0.5 rx tone 1000 -10\n1.5 rx silence\n2.3 rx tone 800 -10\n"
      "5 rx silence\n");
  ASSERT_TRUE(RunUntilState(msNoSignal, 3000));
  ASSERT_TRUE(RunUntilState(msSignal, 3000)) << "the second user is heard";
  EXPECT_NEAR(CardSeconds(), 3.6, 0.1) << "as soon as the repeat has ended";
  EXPECT_FALSE(Keyed());
  ASSERT_TRUE(RunUntilState(msNoSignal, 3000));
  EXPECT_TRUE(Keyed()) << "and repeated";
}

}  // namespace
}  // namespace tarvok
