// Trace sources: the source list and its stored choice, binding of meter and volume, levels and
// poller thresholds, captions, the fader, the options, and what the panels are given to draw.
#include "core/station/trace_source.h"

#include <gtest/gtest.h>

#include "support/trace_fixture.h"

namespace tarvok {
namespace {

using TraceSourceTest = TraceFixture;

std::vector<int> LinesOf(const TTraceSource& trace) {
  std::vector<int> lines;
  for (const TSourceEntry& entry : trace.Sources())
    lines.push_back(entry.Line);
  return lines;
}

TEST_F(TraceSourceTest, ListsEveryLineWithItsKindAndStartsOnTheFirst) {
  Start();
  QStringList texts;
  for (const TSourceEntry& entry : Upper().Sources())
    texts << entry.Text;
  EXPECT_EQ(texts,
            (QStringList{"DST:out: Speakers", "src:out: Wave Out", "src:out: CD Player",
                         "DST:rec: Recording Control", "src:rec: Microphone", "src:rec: Line In"}));
  EXPECT_EQ(Upper().SelectedLine(), 0);
  EXPECT_EQ(Upper().HeaderLabel(), "Select Sound Card Device to connect to Upper Trace");
  EXPECT_EQ(Lower().HeaderLabel(), "Select Sound Card Device to connect to Lower Trace");
  EXPECT_EQ(Upper().HeaderCaption(), "    out: Speakers  ");
  EXPECT_EQ(Upper().MixerNames(), QStringList{"Fake 0"});
  // Speakers has no meter: no bounds, and the VOX asks for the default state.
  EXPECT_EQ(Upper().Bounds(), "");
  EXPECT_EQ(Upper().VoxRequest(), 0);
}

TEST_F(TraceSourceTest, ShowVOXOnlyListsMeteredLinesAndFallsBackToTheFirstEntry) {
  Config().SetShowVOXOnly(true);
  Config().SetSourceIndex(0, 2);  // CD Player: no meter, not listed
  Start();
  EXPECT_EQ(LinesOf(Upper()), (std::vector<int>{1, 4, 5}));
  EXPECT_EQ(Upper().SelectedLine(), 1);
  // SourceIndex 0 means the first listed entry, which is not line 0 here.
  EXPECT_EQ(Lower().SelectedLine(), 1);
}

TEST_F(TraceSourceTest, TheStoredDeviceNameWinsOverTheIndex) {
  Config().SetSourceIndex(0, 4);
  Config().SetSourceIndex(1, 4);
  Config().IniFile().WriteString("Audio", "SourceName0", "Line In-key");
  Start();
  EXPECT_EQ(Upper().SelectedLine(), 5);
  EXPECT_EQ(Lower().SelectedLine(), 4);
}

// A USB card unplugged and plugged back: the trace bound by SourceIndex0 keeps to its device, not
// to whatever line takes the index, and says once that it is gone and once that it is back.
TEST_F(TraceSourceTest, ATraceFollowsItsDeviceWhenLinesComeAndGo) {
  Config().SetSourceIndex(0, 4);
  Start();
  QStringList reports;
  QObject::connect(&Upper(), &TTraceSource::DeviceReport,
                   [&](const QString& text) { reports << text; });
  std::vector<TMixerLine>& recording = backend_->Layout.back().Sources;
  const TMixerLine microphone = recording.front();
  recording.erase(recording.begin());  // "Line In" takes index 4
  backend_->RaiseLinesChanged();
  backend_->RaiseLinesChanged();
  EXPECT_EQ(Upper().SelectedLine(), -1);
  EXPECT_FALSE(PeakObjectOf(Upper()).Valid());
  EXPECT_EQ(Upper().VoxRequest(), 0);
  EXPECT_EQ(Lower().SelectedLine(), 0) << "the other trace stays on its device";

  recording.push_back(microphone);
  backend_->RaiseLinesChanged();
  EXPECT_EQ(Upper().SelectedLine(), 5);
  EXPECT_EQ(PeakObjectOf(Upper()).Line().Name, "Microphone");
  EXPECT_EQ(reports,
            (QStringList{"The device of the Upper Trace is gone (Microphone); the trace is "
                         "silent until it comes back.",
                         "The device of the Upper Trace is back (Microphone)."}));
}

TEST_F(TraceSourceTest, AChoiceByHandIsStoredAndAsksForTheTraceCheck) {
  Start();
  int checks = 0;
  QObject::connect(&Upper(), &TTraceSource::TraceCheckRequested, [&] { ++checks; });
  Upper().ChooseSource(1);
  EXPECT_EQ(Upper().SelectedLine(), 1);
  EXPECT_EQ(Stored("Audio", "SourceIndex0"), "1");
  EXPECT_EQ(Stored("Audio", "SourceName0"), "Wave Out-key");
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(Upper().Bounds(), "0-90 dB");
  EXPECT_TRUE(PeakObjectOf(Upper()).Active());
  EXPECT_EQ(PeakObjectOf(Upper()).Line().Name, "Wave Out");

  // Re-applying from code neither stores nor checks.
  Config().SetSourceIndex(0, 4);
  Upper().ApplySource();
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(Upper().SelectedLine(), 1);

  Upper().ChooseLine(5);
  EXPECT_EQ(Upper().Bounds(), "0-96 dB");
  EXPECT_EQ(checks, 2);
  // Out-of-range choices change nothing.
  Upper().ChooseSource(6);
  Upper().ChooseSource(-1);
  EXPECT_EQ(Upper().SelectedLine(), 5);
}

TEST_F(TraceSourceTest, RangesAndThePollerThresholdsFollowNoiseAndThreshold) {
  Start();
  Upper().ChooseLine(1);
  Lower().ChooseLine(4);
  const TTraceLevels& levels = Upper().Levels();
  EXPECT_EQ(levels.NoiseRaw(), 562);
  EXPECT_EQ(levels.ThresholdRaw(), 2);
  EXPECT_EQ(levels.PeakMax(), 32767);
  EXPECT_EQ(levels.RawRange(), 32767 - 562);
  EXPECT_NEAR(levels.DbRange(), 35.309, 0.001);
  // The VOX slot switches at noise plus threshold, the other slot at the noise level.
  EXPECT_EQ(poller_->Vox().Threshold(), 1122);
  EXPECT_EQ(poller_->Other().Threshold(), 562);

  // A noise level above the meter's maximum leaves the whole range.
  Upper().SetNoiseLevel(95);
  Upper().UpdateLevels();
  EXPECT_EQ(levels.RawRange(), 32767);
  EXPECT_NEAR(levels.DbRange(), 90.309, 0.001);

  // A line without a meter has no range.
  Upper().ChooseLine(2);
  EXPECT_EQ(levels.PeakMax(), 0);
  EXPECT_EQ(levels.DbRange(), 0);
  EXPECT_EQ(levels.RawRange(), 0);
  EXPECT_FALSE(PeakObjectOf(Upper()).Valid());
}

TEST_F(TraceSourceTest, TheModesVOXTraceTakesThePollersVoxSlot) {
  Config().SetVOXControl(rmSimplexRepeater, 1);
  Start(rmInternetRepeater);
  EXPECT_EQ(Upper().GroupCaption(), " Upper Trace (VOX)  ");
  EXPECT_EQ(Lower().GroupCaption(), " Lower Trace  ");
  EXPECT_EQ(poller_->VoxIndex(), 1);
  EXPECT_EQ(poller_->OtherIndex(), 3);

  Upper().SetMode(rmSimplexRepeater);
  Lower().SetMode(rmSimplexRepeater);
  EXPECT_EQ(Upper().GroupCaption(), " Upper Trace  ");
  EXPECT_EQ(Lower().GroupCaption(), " Lower Trace (VOX)  ");
  EXPECT_EQ(poller_->VoxIndex(), 3);
  EXPECT_EQ(poller_->OtherIndex(), 1);
  // Each trace reads the flag of its own slot.
  SetPresent(poller_->Vox(), true);
  EXPECT_TRUE(Lower().SignalPresent());
  EXPECT_FALSE(Upper().SignalPresent());
}

TEST_F(TraceSourceTest, TheFaderFollowsTheMixerVolumeBothWays) {
  EXPECT_EQ(FaderFromMixer(65535), 32768);
  EXPECT_EQ(FaderFromMixer(32768), 16384);
  EXPECT_EQ(MixerFromFader(16384), 32767u);
  EXPECT_EQ(MixerFromFader(32768), 65535u);

  backend_->Cell(21).Value = 40000;
  Start();
  Upper().ChooseLine(1);
  EXPECT_TRUE(Upper().VolumeVisible());
  EXPECT_EQ(Upper().VolumePosition(), 20000);

  Upper().ChangeVolume(16384);
  EXPECT_EQ(backend_->Written.back(), std::make_pair(21u, 32767u));

  // Another program turns the volume up; a change of any other control is not the fader's.
  backend_->Cell(21).Value = 65535;
  backend_->RaiseControlChanged(20);
  EXPECT_EQ(Upper().VolumePosition(), 16384);
  backend_->RaiseControlChanged(21);
  EXPECT_EQ(Upper().VolumePosition(), 32768);

  Upper().ChooseLine(3);  // Recording Control: no volume
  EXPECT_FALSE(Upper().VolumeVisible());
  const std::size_t writes = backend_->Written.size();
  Upper().ChangeVolume(1000);
  EXPECT_EQ(backend_->Written.size(), writes);
}

TEST_F(TraceSourceTest, OptionsAreStoredAndReachTheMeter) {
  Config().SetDisablePeakMeter(1, true);
  Start();
  EXPECT_TRUE(Lower().PeakMeterDisabled());
  EXPECT_FALSE(Upper().PeakMeterDisabled());

  Upper().ChooseLine(1);
  Upper().SetSigned(true);
  EXPECT_EQ(Stored("Audio", "SignalSigned0"), "1");
  EXPECT_TRUE(PeakObjectOf(Upper()).Signed());
  Upper().ChooseLine(4);
  EXPECT_TRUE(PeakObjectOf(Upper()).Signed());

  Config().SetAverage(kMaximum);
  Upper().RefreshFromSettings();
  EXPECT_EQ(PeakObjectOf(Upper()).AveragingMode(), kMaximum);

  Upper().SetTraceDisabled(true);
  EXPECT_EQ(Stored("Audio", "DisableSource0"), "1");
  Upper().SetGainControl(true);
  EXPECT_EQ(Stored("AutomaticGainControl", "Enabled0"), "1");

  Upper().MarkRecording(true);
  EXPECT_TRUE(PeakObjectOf(Upper()).Recording());
  Upper().MarkRecording(false);
  EXPECT_FALSE(PeakObjectOf(Upper()).Recording());
}

TEST_F(TraceSourceTest, DisplayTickPlacesTheLevelAboveTheNoiseOnEitherScale) {
  Start();
  Upper().ChooseLine(1);  // a 32767 meter: 35.3 dB above the noise of 55 dB
  // No panel has been laid out yet: nothing to draw into.
  Upper().DisplayTick();
  EXPECT_EQ(Upper().Scope().Points()[0], 0);

  Upper().SetDisplaySize(240, 15, 101);
  const auto tick = [&](int level) {
    PeakObjectOf(Upper()).SetLevel(level);
    Upper().DisplayTick();
    return Upper().Scope().Points()[0];
  };
  EXPECT_EQ(tick(32767), 0);
  EXPECT_EQ(tick(562), 100);
  EXPECT_EQ(tick(0), 100);  // below the noise: clipped at it
  EXPECT_EQ(Upper().Meter().Points(), std::vector<int>{100});
  EXPECT_EQ(Upper().Scope().Points()[2], 0);
  EXPECT_EQ(Upper().LastLevel(), 0);

  Config().SetTrayScale(1);
  EXPECT_EQ(tick(32767), 0);
  EXPECT_EQ(tick(562 + 16102), 51);

  // A disabled trace leaves the oscilloscope alone but still feeds the meter.
  Upper().SetTraceDisabled(true);
  EXPECT_EQ(Upper().Scope().Points(), std::vector<int>(32, 101));
  tick(32767);
  EXPECT_EQ(Upper().Scope().Points()[0], 101);
  EXPECT_EQ(Upper().Meter().Points(), std::vector<int>{0});
  Upper().SetPeakMeterDisabled(true);
  PeakObjectOf(Upper()).SetLevel(562);
  Upper().DisplayTick();
  EXPECT_EQ(Upper().Meter().Points(), std::vector<int>{101});

  // Without a meter every level and the threshold line lie below the panel.
  Upper().SetTraceDisabled(false);
  Upper().ChooseLine(2);
  EXPECT_EQ(tick(30000), 102);
  Config().SetTrayScale(0);
  EXPECT_EQ(tick(30000), 103);
  Upper().RefreshFromSettings();
  EXPECT_EQ(Upper().Scope().ThresholdY(), 103);
}

TEST_F(TraceSourceTest, ThresholdAndAgcLinesAndTheScale) {
  Config().SetAgcMinimum(0, 70);
  Start();
  Upper().SetDisplaySize(240, 15, 101);
  Upper().ChooseLine(1);
  EXPECT_EQ(Upper().Scope().ThresholdY(), 83);
  EXPECT_EQ(Upper().Meter().ThresholdY(), 83);
  EXPECT_EQ(Upper().Scope().AgcLowY(), -1);
  EXPECT_EQ(Upper().ScaleLabels(), (std::vector<TScaleLabel>{{100, 55}, {0, 90}, {83, 61}}));

  int repaints = 0;
  QObject::connect(&Upper(), &TTraceSource::LinesChanged, [&] { ++repaints; });
  Upper().SetGainControl(true);
  EXPECT_EQ(repaints, 1);
  // AGC band 87 to 90 dB, drawn 32 and 35 dB above the noise.
  EXPECT_EQ(Upper().Scope().AgcLowY(), 9);
  EXPECT_EQ(Upper().Scope().AgcHighY(), 1);
  EXPECT_EQ(Upper().Meter().AgcHighY(), 1);
  EXPECT_EQ(Upper().ScaleLabels(),
            (std::vector<TScaleLabel>{{100, 55}, {0, 90}, {83, 61}, {9, 87}, {1, 90}}));

  Config().SetTrayScale(1);
  Upper().RefreshFromSettings();
  // Linear: 2 raw (6 dB) of 32205 above the noise.
  EXPECT_EQ(Upper().Scope().ThresholdY(), 100);

  Upper().SetGainControl(false);
  EXPECT_EQ(Upper().Scope().AgcLowY(), -1);
  EXPECT_EQ(Upper().Meter().AgcHighY(), -1);
}

TEST_F(TraceSourceTest, AgcMovesTheFaderAndTheMixerVolume) {
  // Linear band 8000 .. 16000, middle 12000.
  Config().SetAgcMinimum(0, 24.4140625);
  Config().SetAgcMaximum(0, 48.828125);
  Config().SetAgcEnabled(0, true);
  Start();
  Upper().ChooseLine(1);
  Upper().ChangeVolume(16000);
  PeakObjectOf(Upper()).SetLevel(48000);  // the running level becomes 24000
  Upper().AgcTick();
  EXPECT_EQ(Upper().VolumePosition(), 16000);  // no signal: no move
  SetPresent(poller_->Vox(), true);
  Upper().AgcTick();
  EXPECT_EQ(Upper().VolumePosition(), 8000);
  EXPECT_EQ(backend_->Written.back(), std::make_pair(21u, 15999u));
}

TEST(LevelHistoryTest, ScrollsToTheRightAndClearsToTheBottom) {
  TLevelHistory history;
  history.SetSize(240, 50);
  history.AddPoint(5);
  EXPECT_EQ(history.Count(), 0);
  history.SetCount(32);
  EXPECT_EQ(history.StepWidth(), 7);
  history.SetSize(20, 50);
  EXPECT_EQ(history.StepWidth(), 0);

  history.SetCount(3);
  history.AddPoint(5);
  history.AddPoint(6);
  EXPECT_EQ(history.Points(), (std::vector<int>{6, 5, 0}));
  history.Clear();
  EXPECT_EQ(history.Points(), (std::vector<int>{50, 50, 50}));
  EXPECT_EQ(history.ThresholdY(), -1);
  EXPECT_EQ(history.AgcLowY(), -1);

  // Bars placed for another height would be wrong: a new height starts empty.
  history.AddPoint(5);
  history.SetSize(20, 50);
  EXPECT_EQ(history.Points()[0], 5);
  history.SetSize(20, 80);
  EXPECT_EQ(history.Points(), (std::vector<int>{80, 80, 80}));
}

}  // namespace
}  // namespace tarvok
