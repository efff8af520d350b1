// Previews and the CW test on the virtual card, beside the station's own work: a preview plays to
// its end into transmitter.wav, stops on request, is refused while the station plays and cut off
// when the station starts to; the CW test sounds unkeyed and leaves the Simplex cycle working.
#include <gtest/gtest.h>

#include <cmath>

#include "support/pulse_test_server.h"
#include "support/recorded_samples.h"
#include "support/station_runtime_probe.h"
#include "support/whole_station_fixture.h"

namespace tarvok {
namespace {

class FilePlayerTest : public VirtualStationTest {
 protected:
  // A tone at another rate than the card's, so that the preview is converted on its way.
  QString WriteTone(const QString& name, double seconds, double frequency) {
    const QString path = FilePath(name);
    EXPECT_TRUE(WriteToneWav(path, frequency, -10, seconds, 16000));
    return path;
  }
  void StartSimplex(const QString& scenario) {
    WriteSettings(
        "[Audio]\nSaveMode=1\nDefaultMode=2\nState=0\nSourceIndex0=3\nSourceIndex1=1\n"
        "ComDevice=virtual\n");
    StartVirtual(scenario);
    ASSERT_TRUE(RunUntil([this] { return ModeState() == msListen; }, 500));
  }
  // transmitter.wav keeps only what was played or sent keyed, one stretch after the other: the
  // tone runs before the first keying, and from it on.
  std::pair<std::vector<TToneRun>, std::vector<TToneRun>> RunsAroundKeying() const {
    const std::vector<std::int16_t> sent = RecordedSamples(transmitter_->WavPath());
    const std::vector<TKeyingChange> log = KeyingLog();
    const auto keyed = static_cast<std::ptrdiff_t>(
        log.empty() ? 0 : std::lround(log[0].WavAt * TScenario::kSampleRate));
    const auto at = sent.begin() + std::min(keyed, static_cast<std::ptrdiff_t>(sent.size()));
    return {FindToneRuns({sent.begin(), at}, TScenario::kSampleRate),
            FindToneRuns({at, sent.end()}, TScenario::kSampleRate)};
  }
  TWavFilePlayer& Player() { return TStationRuntimeProbe::FilePlayer(Station()); }
  void Follow() {
    QObject::connect(&Player(), &TWavFilePlayer::Finished, &follower_,
                     [this](const QString& path) { finished_ << path; });
  }

  QStringList finished_;
  QObject follower_;
};

TEST_F(FilePlayerTest, APreviewPlaysToItsEndUnkeyedOrUntilStopped) {
  StartSimplex("0 rx silence\n");
  Follow();
  const QString tone = WriteTone("tone.wav", 0.5, 800);
  ASSERT_EQ(Player().Play(tone), "");
  EXPECT_TRUE(Player().Playing());
  EXPECT_EQ(Player().File(), tone);
  ASSERT_TRUE(RunUntil([this] { return !finished_.isEmpty(); }, 1500));
  Run(200);
  EXPECT_EQ(finished_, QStringList{tone});
  EXPECT_FALSE(Player().Playing());
  const std::vector<TToneRun> runs = TransmittedRuns();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_NEAR(runs[0].Seconds, 0.5, 0.03);
  EXPECT_NEAR(runs[0].Frequency, 800, 10);
  EXPECT_TRUE(keyings_.empty());
  EXPECT_EQ(ModeState(), msListen);

  ASSERT_EQ(Player().Play(tone), "");
  Run(100);
  Player().Stop();
  Player().Stop();
  Run(600);
  EXPECT_EQ(finished_, (QStringList{tone, tone}));
  EXPECT_NE(Player().Play(FilePath("missing.wav")), "");
  EXPECT_FALSE(Player().Playing());
}

TEST_F(FilePlayerTest, TheStationsPlaybackCutsOffAPreviewAndRefusesOneWhileItPlays) {
  StartSimplex("0 rx silence\n1 rx tone 1000 -10\n2 rx silence\n");
  Follow();
  const QString tone = WriteTone("long.wav", 5, 800);
  ASSERT_EQ(Player().Play(tone), "");
  ASSERT_TRUE(RunUntil([this] { return ModeState() == msNoSignal; }, 3000));
  EXPECT_EQ(finished_, QStringList{tone});
  EXPECT_TRUE(Keyed());
  EXPECT_EQ(Player().Play(tone), "The audio device is busy");
  ASSERT_TRUE(RunUntil([this] { return ModeState() == msListen; }, 3000));
  EXPECT_EQ(finished_, QStringList{tone});
  EXPECT_TRUE(messages_.Shown.empty());
  const auto [preview, repeat] = RunsAroundKeying();
  ASSERT_EQ(preview.size(), 1u);
  EXPECT_NEAR(preview[0].Frequency, 800, 10);
  ASSERT_EQ(repeat.size(), 1u);
  EXPECT_NEAR(repeat[0].Seconds, 1.0, 0.05) << "the whole repeat went out";
  EXPECT_NEAR(repeat[0].Frequency, 1000, 10);
}

TEST_F(FilePlayerTest, TheCWTestSoundsUnkeyedAndTheSimplexCycleGoesOnAfterIt) {
  StartSimplex("0 rx silence\n3 rx tone 1000 -10\n4 rx silence\n");
  Follow();
  ASSERT_EQ(Player().Play(WriteTone("tone.wav", 5, 800)), "");
  EXPECT_EQ(Station().Preview({}, "#...", {16384, 0, 600}), "");
  Run(1000);
  EXPECT_EQ(finished_.size(), 1) << "the test stops the preview";
  EXPECT_EQ(ModeState(), msListen);
  EXPECT_TRUE(keyings_.empty());
  EXPECT_EQ(Station().Preview({}, {}), "");

  ASSERT_TRUE(RunUntil([this] { return ModeState() == msSignal; }, 3000));
  ASSERT_TRUE(RunUntil([this] { return ModeState() == msListen; }, 4000));
  EXPECT_EQ(keyings_, (std::vector<bool>{true, false})) << "the transmission was repeated";
  const auto [test, repeat] = RunsAroundKeying();
  ASSERT_EQ(test.size(), 1u);
  EXPECT_NEAR(test[0].Seconds, 3 * config_->CWElementTime() / 1000.0, 0.03);
  EXPECT_NEAR(test[0].Frequency, 600, 20);
  ASSERT_EQ(repeat.size(), 1u);
  EXPECT_NEAR(repeat[0].Seconds, 1.0, 0.05);
  EXPECT_NEAR(repeat[0].Frequency, 1000, 10);
}

}  // namespace
}  // namespace tarvok
