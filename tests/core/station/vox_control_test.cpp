// The VOX: the transmit-parameter edits, the VOX tick's requests to the engine, and the trace
// check with its messages and the exchange of the two traces' lines.
#include "core/station/vox_control.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/station/vox_control_check.h"
#include "support/trace_fixture.h"

namespace tarvok {
namespace {

class TFakeEngine final : public TVoxEngine {
 public:
  bool Inhibit() const override { return InhibitOn; }
  TRepeaterMode Mode() const override { return CurrentMode; }
  void SetState(int request) override {
    Requests.push_back(request);
    if (OnRequest)
      OnRequest();
  }

  bool InhibitOn = false;
  TRepeaterMode CurrentMode = rmInternetRepeater;
  std::vector<int> Requests;
  std::function<void()> OnRequest;
};

// Takes the check's questions; answers a warning at once unless told to hold the answer.
struct TPromptLog {
  void Listen(TVoxControl& vox) {
    QObject::connect(&vox, &TVoxControl::PeakMeterHelpNeeded, &vox, [this] { ++Helps; });
    QObject::connect(&vox, &TVoxControl::TraceWarningAsked, &vox,
                     [this, &vox](const QString& message) {
                       Warnings << message;
                       if (!HoldAnswer)
                         vox.AnswerTraceWarning(DontShowAgain);
                     });
  }

  int Helps = 0;
  QStringList Warnings;
  bool DontShowAgain = false;
  bool HoldAnswer = false;
};

class VoxControlTest : public TraceFixture {
 protected:
  void StartVox(TRepeaterMode mode, int line0, int line1) {
    engine_.CurrentMode = mode;
    Start(mode);
    Upper().ChooseLine(line0);
    Lower().ChooseLine(line1);
    vox_ = std::make_unique<TVoxControl>(Config(), *poller_, Upper(), Lower(), engine_);
    prompts_.Listen(*vox_);
  }
  std::vector<int> Ticks(int count = 1) {
    engine_.Requests.clear();
    for (int i = 0; i < count; ++i)
      vox_->RequestState();
    return engine_.Requests;
  }

  TFakeEngine engine_;
  TPromptLog prompts_;
  std::unique_ptr<TVoxControl> vox_;
};

constexpr int kWaveOut = 1;     // out, metered
constexpr int kCdPlayer = 2;    // out, no meter
constexpr int kMicrophone = 4;  // rec, metered
constexpr int kLineIn = 5;      // rec, metered

TEST_F(VoxControlTest, EditsSetBothTracesThePollerAndTheSettings) {
  StartVox(rmInternetRepeater, kWaveOut, kMicrophone);
  vox_->ApplyLevels();  // the end of start-up
  EXPECT_EQ(vox_->ThresholdLabel(), "dB [0..35]");
  vox_->ApplyEdit(TVoxControl::TEdit::NoiseLevel, "40");
  vox_->ApplyEdit(TVoxControl::TEdit::AudioThreshold, "10");
  EXPECT_EQ(Lower().Levels().NoiseLevel(), 40);
  EXPECT_EQ(Lower().Levels().ThresholdLevel(), 10);
  EXPECT_EQ(poller_->Vox().Threshold(), 316);    // 50 dB
  EXPECT_EQ(poller_->Other().Threshold(), 100);  // 40 dB
  EXPECT_EQ(vox_->ThresholdLabel(), "dB [0..50]");
  EXPECT_EQ(vox_->EditValue(TVoxControl::TEdit::AudioThreshold), 10);
  EXPECT_EQ(Stored("Audio", "NoiseLevel"), "40");
  EXPECT_EQ(Stored("Audio", "ThresholdLevel"), "10");

  const std::vector<std::pair<TVoxControl::TEdit, const char*>> delays{
      {TVoxControl::TEdit::XmitStartDelay, "StartDelay"},
      {TVoxControl::TEdit::XmitStopDelay, "StopDelay"},
      {TVoxControl::TEdit::LocalStartDelay, "LocalStartDelay"},
      {TVoxControl::TEdit::LocalStopDelay, "LocalStopDelay"}};
  int value = 20;
  for (const auto& [edit, key] : delays) {
    vox_->ApplyEdit(edit, QString::number(++value));
    EXPECT_EQ(vox_->EditValue(edit), value) << key;
    EXPECT_EQ(Stored("Audio", key), QString::number(value)) << key;
  }
  EXPECT_EQ(poller_->Vox().OnDelay(), 21);
  EXPECT_EQ(poller_->Other().OffDelay(), 24);

  // Text that is no whole number is ignored, and so is everything while the engine inhibits.
  for (const char* text : {"", "4x", "1.5"})
    vox_->ApplyEdit(TVoxControl::TEdit::NoiseLevel, text);
  engine_.InhibitOn = true;
  vox_->ApplyEdit(TVoxControl::TEdit::NoiseLevel, "30");
  EXPECT_EQ(Upper().Levels().NoiseLevel(), 40);
  engine_.InhibitOn = false;

  vox_->ApplyEdit(TVoxControl::TEdit::NoiseLevel, "0");
  EXPECT_EQ(Upper().Levels().NoiseRaw(), 0);
  EXPECT_EQ(vox_->ThresholdLabel(), "dB [0..90]");
}

TEST_F(VoxControlTest, TheTickFollowsTheFlagOrTheForcedState) {
  Config().SetState(0);
  StartVox(rmInternetRepeater, kWaveOut, kMicrophone);
  EXPECT_EQ(Ticks(), std::vector<int>{4});
  SetPresent(poller_->Vox(), true);
  EXPECT_EQ(Ticks(2), (std::vector<int>{3, 3}));
  Config().SetState(1);
  EXPECT_EQ(Ticks(), std::vector<int>{1});
  Config().SetState(2);
  EXPECT_EQ(Ticks(), std::vector<int>{2});
  Config().SetState(7);
  EXPECT_EQ(Ticks(), std::vector<int>{});
  engine_.InhibitOn = true;
  Config().SetState(0);
  EXPECT_EQ(Ticks(), std::vector<int>{});
  engine_.InhibitOn = false;

  // A VOX line without a meter asks for the default state.
  Upper().ChooseLine(kCdPlayer);
  EXPECT_EQ(Ticks(), std::vector<int>{0});
}

TEST_F(VoxControlTest, TheLowerTraceDrivesTheTickWhenItIsTheVoxTrace) {
  Config().SetState(0);
  Config().SetVOXControl(rmInternetRepeater, 1);
  StartVox(rmInternetRepeater, kCdPlayer, kMicrophone);
  EXPECT_EQ(Ticks(), std::vector<int>{4});
  SetPresent(poller_->Vox(), true);
  EXPECT_EQ(Ticks(), std::vector<int>{3});
}

TEST_F(VoxControlTest, ATickDoesNotReenterItself) {
  StartVox(rmInternetRepeater, kWaveOut, kMicrophone);
  engine_.OnRequest = [this] { vox_->RequestState(); };
  EXPECT_EQ(Ticks(), std::vector<int>{2});
}

TEST(TraceAssignmentTest, MessagesForAssignmentsThatDoNotSuitTheMode) {
  EXPECT_EQ(CheckTraceAssignment(rmInternetRepeater, true, true, 0).Message,
            "The VOX algorithm in Internet Repeater mode requires that one and only one, of the "
            "oscilloscope traces be connected to a sound output device (e.g., \"Wave\"). "
            "Currently both traces are connected to an output. Please modify your trace "
            "assignments.");
  EXPECT_TRUE(CheckTraceAssignment(rmSimplexRepeater, false, false, 1)
                  .Message.startsWith("The VOX algorithm in Simplex Repeater mode"));
  EXPECT_TRUE(CheckTraceAssignment(rmBeaconStation, true, true, 0)
                  .Message.startsWith("The VOX algorithm in Beacon Station mode"));
  // Beacon Station is content with two inputs, and no mode checks anything.
  EXPECT_EQ(CheckTraceAssignment(rmBeaconStation, false, false, 1).Message, "");
  EXPECT_FALSE(CheckTraceAssignment(rmBeaconStation, false, false, 1).Swap);
  EXPECT_EQ(CheckTraceAssignment(rmNone, true, true, 0).Message, "");
}

TEST(TraceAssignmentTest, TheVoxTraceBelongsOnTheOutputOnlyInInternetRepeaterMode) {
  // Upper on an output, lower on an input.
  EXPECT_FALSE(CheckTraceAssignment(rmInternetRepeater, true, false, 0).Swap);
  EXPECT_TRUE(CheckTraceAssignment(rmInternetRepeater, true, false, 1).Swap);
  EXPECT_TRUE(CheckTraceAssignment(rmSimplexRepeater, true, false, 0).Swap);
  EXPECT_FALSE(CheckTraceAssignment(rmSimplexRepeater, true, false, 1).Swap);
  EXPECT_TRUE(CheckTraceAssignment(rmBeaconStation, true, false, 0).Swap);
  // Upper on an input.
  EXPECT_TRUE(CheckTraceAssignment(rmInternetRepeater, false, true, 0).Swap);
  EXPECT_FALSE(CheckTraceAssignment(rmSimplexRepeater, false, true, 0).Swap);
  EXPECT_TRUE(CheckTraceAssignment(rmBeaconStation, false, true, 1).Swap);
}

TEST_F(VoxControlTest, AfterAModeChangeTheTracesExchangeTheirLines) {
  Config().SetVOXAutoDetect(true);
  StartVox(rmInternetRepeater, kWaveOut, kMicrophone);
  vox_->CheckTraces(true);
  EXPECT_EQ(Upper().SelectedLine(), kWaveOut);

  Config().SetVOXControl(rmInternetRepeater, 1);
  vox_->CheckTraces(false);  // a new source is checked, not exchanged
  EXPECT_EQ(Upper().SelectedLine(), kWaveOut);
  vox_->CheckTraces(true);
  EXPECT_EQ(Upper().SelectedLine(), kMicrophone);
  EXPECT_EQ(Lower().SelectedLine(), kWaveOut);
  EXPECT_EQ(Stored("Audio", "SourceIndex0"), "4");
  EXPECT_EQ(Stored("Audio", "SourceIndex1"), "1");
  EXPECT_EQ(Stored("Audio", "SourceName0"), "Microphone-key");
  EXPECT_TRUE(prompts_.Warnings.isEmpty());

  // In Simplex Repeater mode the VOX trace must hear the receiver, as the upper one now does.
  engine_.CurrentMode = rmSimplexRepeater;
  vox_->CheckTraces(true);
  EXPECT_EQ(Upper().SelectedLine(), kMicrophone);
}

TEST_F(VoxControlTest, AWarningCanSwitchTheCheckOff) {
  Config().SetVOXAutoDetect(true);
  StartVox(rmSimplexRepeater, kMicrophone, kLineIn);
  vox_->CheckTraces(true);
  ASSERT_EQ(prompts_.Warnings.size(), 1);
  EXPECT_TRUE(prompts_.Warnings[0].contains("Simplex Repeater mode"));
  EXPECT_EQ(Upper().SelectedLine(), kMicrophone);  // not changed
  EXPECT_EQ(Stored("Audio", "VOXAutoDetect"), "1");

  prompts_.DontShowAgain = true;
  vox_->CheckTraces(true);
  EXPECT_EQ(Stored("Audio", "VOXAutoDetect"), "0");
  vox_->CheckTraces(true);
  EXPECT_EQ(prompts_.Warnings.size(), 2);
}

TEST_F(VoxControlTest, AWarningAnsweredLaterAppliesItsAnswerThenAndOnlyOnce) {
  Config().SetVOXAutoDetect(true);
  StartVox(rmInternetRepeater, kWaveOut, kCdPlayer);
  prompts_.HoldAnswer = true;
  vox_->CheckTraces(true);
  vox_->CheckTraces(true);  // dropped while the warning waits
  ASSERT_EQ(prompts_.Warnings.size(), 1);
  EXPECT_EQ(Upper().SelectedLine(), kWaveOut);  // a failed check never swaps

  vox_->AnswerTraceWarning(false);
  EXPECT_EQ(Stored("Audio", "VOXAutoDetect"), "1");
  vox_->CheckTraces(true);
  ASSERT_EQ(prompts_.Warnings.size(), 2);
  vox_->AnswerTraceWarning(true);
  vox_->AnswerTraceWarning(true);  // no question open: nothing happens
  EXPECT_EQ(Stored("Audio", "VOXAutoDetect"), "0");
  vox_->CheckTraces(true);
  EXPECT_EQ(prompts_.Warnings.size(), 2);
  EXPECT_EQ(Upper().SelectedLine(), kWaveOut);
}

TEST_F(VoxControlTest, ASourceChosenByHandIsCheckedFromTheEventLoop) {
  EnsureApplication();
  Config().SetVOXAutoDetect(true);
  StartVox(rmInternetRepeater, kWaveOut, kMicrophone);
  Lower().ChooseLine(kCdPlayer);
  EXPECT_TRUE(prompts_.Warnings.isEmpty());
  RunQueuedCalls();
  EXPECT_EQ(prompts_.Warnings.size(), 1);
}

TEST_F(VoxControlTest, AnUpperTraceWithoutLinesBringsThePeakMeterHelp) {
  backend_->Layout.clear();
  Config().SetVOXAutoDetect(true);
  StartVox(rmInternetRepeater, 0, 0);
  EXPECT_FALSE(Upper().HasSources());
  EXPECT_EQ(Upper().HeaderCaption(), "      ");
  vox_->CheckTraces(true);
  EXPECT_EQ(prompts_.Helps, 1);
  EXPECT_TRUE(prompts_.Warnings.isEmpty());
  EXPECT_EQ(Ticks(), std::vector<int>{0});
}

}  // namespace
}  // namespace tarvok
