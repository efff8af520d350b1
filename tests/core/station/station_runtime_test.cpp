// The station as a whole on a fake sound card: the order of start-up (the saved mode comes back
// after it, the recording format is fixed by the mode in force then), modal dialogs, the refresh
// tick, the capture menu and what shut-down saves and releases.
#include "core/station/station_runtime.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "core/audio/sound_card.h"
#include "core/config/audio_events.h"
#include "core/config/config.h"
#include "core/station/control_choices.h"
#include "core/station/status_display.h"
#include "core/station/transmitter.h"
#include "support/application.h"
#include "support/config_fixture.h"
#include "support/fake_sound_backend.h"
#include "support/station_runtime_probe.h"

namespace tarvok {
namespace {

class StationRuntimeTest : public ConfigTest {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  StationRuntimeTest() {
    Config().SetComPort(1);
    backend_->AddLine(1, kDestinationSpeakers, "Speakers", false, {Volume(10)});
    backend_->AddLine(2, kSourceWaveOut, "Wave Out", true, {PeakMeter(20), Volume(21)});
  }
  ~StationRuntimeTest() override {
    runtime_.reset();
    transmitter_.reset();
  }

  void AddRecordingLines() {
    backend_->AddLine(3, kDestinationWaveIn, "Recording Control", false);
    backend_->AddLine(4, kSourceLineLevel, "Line In", true, {PeakMeter(40), Volume(41)});
  }
  TStationRuntime& Start() {
    runtime_ = std::make_unique<TStationRuntime>(Config(), clock_, std::move(pendingBackend_),
                                                 *transmitter_, messages_);
    runtime_->Start();
    runtime_->HoldTimers();
    return *runtime_;
  }
  static void Settle() {
    for (int i = 0; i < 10; ++i)
      QCoreApplication::processEvents();
  }
  TRepeaterMode Mode() const { return runtime_->State().Mode; }
  bool Keyed() const { return runtime_->TransmitterKeyed(); }
  const TWaveFormat& RecordingFormat() const { return runtime_->RecordingFormat(); }
  void StoreRecordingFormat(int samplesPerSec, int channels, int bits) {
    Config().SetSamplesPerSec(samplesPerSec);
    Config().SetChannels(channels);
    Config().SetBitsPerSample(bits);
  }
  void ExpectFormat(std::uint32_t samplesPerSec, std::uint16_t channels, std::uint16_t bits) {
    EXPECT_EQ(RecordingFormat().SamplesPerSec, samplesPerSec);
    EXPECT_EQ(RecordingFormat().Channels, channels);
    EXPECT_EQ(RecordingFormat().BitsPerSample, bits);
  }

  std::unique_ptr<TSoundBackend> pendingBackend_ = std::make_unique<TFakeSoundBackend>();
  TFakeSoundBackend* backend_ = static_cast<TFakeSoundBackend*>(pendingBackend_.get());
  std::unique_ptr<TTransmitter> transmitter_ =
      std::make_unique<TTransmitter>(Config(), clock_, port_, messages_);
  std::unique_ptr<TStationRuntime> runtime_;
};

TEST_F(StationRuntimeTest, TheSavedModeReturnsRightAfterStartUp) {
  AddRecordingLines();
  Config().SetSaveMode(true);
  Config().SetDefaultMode(rmSimplexRepeater);
  Start();
  EXPECT_EQ(Mode(), rmInternetRepeater);
  Settle();
  EXPECT_EQ(Mode(), rmSimplexRepeater);
  EXPECT_EQ(runtime_->Status().Caption(), "Simplex Repeater");
}

TEST_F(StationRuntimeTest, WithoutSaveModeTheStationStaysInInternetRepeaterMode) {
  Config().SetSaveMode(false);
  Config().SetDefaultMode(rmBeaconStation);
  Start();
  Settle();
  EXPECT_EQ(Mode(), rmInternetRepeater);
}

TEST_F(StationRuntimeTest, TheRecordingFormatIsTheOneOfTheModeInForceWhenItIsApplied) {
  AddRecordingLines();
  StoreRecordingFormat(22050, 2, 16);
  Config().SetSaveMode(true);
  Config().SetDefaultMode(rmSimplexRepeater);
  Start();
  Settle();
  ASSERT_EQ(Mode(), rmSimplexRepeater);
  // Restored after start-up: the telephone format stays until the preferences are saved.
  ExpectFormat(8000, 1, 16);
  runtime_->ApplyPreferences();
  ExpectFormat(22050, 2, 16);

  // Leaving Simplex Repeater mode keeps the format until it is applied again.
  runtime_->ChangeMode(rmInternetRepeater);
  Settle();
  ExpectFormat(22050, 2, 16);
  runtime_->ApplyRecordingFormat();
  ExpectFormat(8000, 1, 16);
}

TEST_F(StationRuntimeTest, WithDtmfInSimplexModeOnlyAFormatOfTheSameChannelsAndBitsIsTaken) {
  AddRecordingLines();
  Config().SetDTFMSimplex(true);
  Start();
  runtime_->ChangeMode(rmSimplexRepeater);
  Settle();
  StoreRecordingFormat(22050, 2, 16);
  runtime_->ApplyRecordingFormat();
  ExpectFormat(8000, 1, 16);
  StoreRecordingFormat(11025, 1, 16);
  runtime_->ApplyRecordingFormat();
  ExpectFormat(11025, 1, 16);
}

TEST_F(StationRuntimeTest, OnlyAListedRefreshSpeedIsTakenAndAnUnlistedPortSelectsNothing) {
  Config().SetPeakSpeed(20);
  EXPECT_EQ(Start().RefreshInterval(), TStationRuntime::kDefaultRefreshInterval);
  runtime_.reset();
  pendingBackend_ = std::make_unique<TFakeSoundBackend>();
  Config().SetPeakSpeed(10);
  EXPECT_EQ(Start().RefreshInterval(), 10);
  runtime_->SetPeakSpeed(100);
  EXPECT_EQ(runtime_->RefreshInterval(), 100);
  runtime_->SetPeakSpeed(20);
  EXPECT_EQ(runtime_->RefreshInterval(), TStationRuntime::kDefaultRefreshInterval);
  EXPECT_EQ(Stored("Audio", "PeakSpeed"), "20");

  EXPECT_EQ(ChoiceIndex(ComPortChoices(), 20), -1);
  EXPECT_EQ(ComPortChoices()[static_cast<std::size_t>(ChoiceIndex(ComPortChoices(), 15))].Text,
            "COM15");
  EXPECT_EQ(ChoiceIndex(PeakSpeedChoices(), 20), -1);
}

TEST_F(StationRuntimeTest, SavedPreferencesMoveTheVoxToTheTraceTheyNameForTheMode) {
  AddRecordingLines();
  Start();
  ASSERT_TRUE(runtime_->Trace(TTraceSource::kUpper).IsVoxTrace());
  Config().SetVOXControl(rmInternetRepeater, TTraceSource::kLower);
  runtime_->ApplyPreferences();
  EXPECT_FALSE(runtime_->Trace(TTraceSource::kUpper).IsVoxTrace());
  EXPECT_TRUE(runtime_->Trace(TTraceSource::kLower).IsVoxTrace());
}

TEST_F(StationRuntimeTest, WorkQueuedBeforeTheCloseIsNotDoneAfterIt) {
  AddRecordingLines();
  Config().SetSaveMode(true);
  Config().SetDefaultMode(rmSimplexRepeater);
  Start();  // queues the return to Simplex Repeater mode
  runtime_->Close();
  Settle();
  EXPECT_EQ(Mode(), rmInternetRepeater);
  EXPECT_FALSE(Keyed());
}

TEST_F(StationRuntimeTest, ALaptopLeavesSimplexModeForADialogAndComesBack) {
  AddRecordingLines();
  Config().SetIsLaptop(true);
  Config().SetState(csVox);
  Start();
  runtime_->ChangeMode(rmSimplexRepeater);
  Settle();
  {
    const TStationRuntime::TDialogHold hold = runtime_->HoldForDialog();
    Settle();
    EXPECT_EQ(Mode(), rmInternetRepeater);
    EXPECT_EQ(Config().State(), csForcedOff);
    EXPECT_EQ(Stored("Audio", "State"), "0") << "the forced receive is not written";
  }
  Settle();
  EXPECT_EQ(Mode(), rmSimplexRepeater);
  EXPECT_EQ(Config().State(), csVox);
  EXPECT_EQ(runtime_->State().ModeState, msListen);
}

TEST_F(StationRuntimeTest, ALaptopClosedWithADialogOpenStoresTheModeItLeftForTheDialog) {
  AddRecordingLines();
  Config().SetIsLaptop(true);
  Start();
  runtime_->ChangeMode(rmBeaconStation);
  Settle();
  const TStationRuntime::TDialogHold hold = runtime_->HoldForDialog();
  Settle();
  runtime_->Close();
  EXPECT_EQ(Stored("Audio", "DefaultMode"), "3");
}

TEST_F(StationRuntimeTest, ADesktopKeepsItsModeAndOnlyHoldsTheTransmitterOffDuringADialog) {
  AddRecordingLines();
  Config().SetState(csForcedOn);
  Start();
  Settle();
  ASSERT_TRUE(Keyed());
  {
    const TStationRuntime::TDialogHold hold = runtime_->HoldForDialog();
    EXPECT_EQ(Mode(), rmInternetRepeater);
    EXPECT_FALSE(Keyed()) << "the VOX follows the forced receive";
    EXPECT_EQ(runtime_->Snapshot().Control, csForcedOff);
    EXPECT_TRUE(runtime_->Snapshot().HeldByDialog) << "other views are refused meanwhile";
    EXPECT_EQ(Stored("Audio", "State"), "1") << "the file keeps the operator's state";
  }
  Settle();
  EXPECT_FALSE(runtime_->Snapshot().HeldByDialog);
  EXPECT_EQ(Config().State(), csForcedOn);
  EXPECT_TRUE(Keyed()) << "the state before the dialog returns";
}

TEST_F(StationRuntimeTest, ARefreshStartedDuringTheLastOneIsOverflowedAndSkipped) {
  AddRecordingLines();
  Start();
  TTraceSource& upper = TStationRuntimeProbe::Trace(*runtime_, TTraceSource::kUpper);
  upper.SetDisplaySize(32, 8, 100);
  int overflows = 0;
  int nested = 0;
  QObject::connect(runtime_.get(), &TStationRuntime::RefreshOverflowed, [&] { ++overflows; });
  // A slow repaint that lets the event loop run a second tick.
  QObject::connect(&upper.Scope(), &TLevelHistory::Changed, [&] {
    if (nested++ == 0)
      runtime_->Tick(TStationTimer::Refresh);
  });
  runtime_->Tick(TStationTimer::Refresh);
  EXPECT_EQ(overflows, 1);
  runtime_->Tick(TStationTimer::Refresh);
  EXPECT_EQ(overflows, 1) << "the next tick after the slow one runs normally";
}

TEST_F(StationRuntimeTest, CaptureNeedsALineToRecordFrom) {
  Start();
  runtime_->StartCapture();
  EXPECT_FALSE(runtime_->Capturing());
  EXPECT_EQ(runtime_->Status().ErrorText(), "The WaveIn devices are not found");
}

TEST_F(StationRuntimeTest, ClosingSavesLevelsAndModeStopsTheAudioAndReleasesTheTransmitter) {
  AddRecordingLines();
  Config().SetState(csForcedOn);
  Start();
  Settle();
  ASSERT_TRUE(Keyed());
  TStationRuntimeProbe::Poller(*runtime_).SetVoxOnDelay(150);
  TStationRuntimeProbe::Poller(*runtime_).SetOtherOffDelay(900);
  runtime_->StartCapture();
  runtime_->Close();
  runtime_->Close();
  EXPECT_FALSE(Keyed());
  EXPECT_FALSE(runtime_->Capturing());
  EXPECT_EQ(Stored("Audio", "StartDelay"), "150");
  EXPECT_EQ(Stored("Audio", "LocalStopDelay"), "900");
  EXPECT_EQ(Stored("Audio", "DefaultMode"), "1");
  EXPECT_EQ(Stored("Audio", "DefaultState"), "0");
}

TEST_F(StationRuntimeTest, ASimplexStationClosesListeningAndStopsRecording) {
  AddRecordingLines();
  Start();
  runtime_->ChangeMode(rmSimplexRepeater);
  Settle();
  ASSERT_NE(backend_->Capture, nullptr) << "listening records";
  runtime_->Close();
  EXPECT_EQ(backend_->Capture, nullptr);
  EXPECT_EQ(Stored("Audio", "DefaultMode"), "2");
  EXPECT_TRUE(messages_.Shown.empty());
}

TEST_F(StationRuntimeTest, TheSnapshotFollowsModeKeyingCaptureAndErrorsAndSignalsOnlyChanges) {
  AddRecordingLines();
  Start();
  Settle();
  int changes = 0;
  const QObject listener;  // ends the connection before the station's close signals
  QObject::connect(runtime_.get(), &TStationRuntime::SnapshotChanged, &listener,
                   [&] { ++changes; });
  const TStationSnapshot idle = runtime_->Snapshot();
  EXPECT_EQ(idle.Mode, rmInternetRepeater);
  EXPECT_EQ(idle.Caption, "Internet Repeater");
  EXPECT_FALSE(idle.Keyed);
  EXPECT_FALSE(idle.KeyedSince.isValid());
  runtime_->PostVoxRequest();
  runtime_->Tick(TStationTimer::Refresh);
  RunQueuedCalls();
  (void)runtime_->Levels();
  EXPECT_EQ(changes, 0) << "ticks and levels of an idle station wake nobody";
  EXPECT_EQ(runtime_->Snapshot(), idle);

  runtime_->StartCapture();
  EXPECT_TRUE(runtime_->Snapshot().RecorderCapture);
  EXPECT_GE(changes, 1);
  runtime_->StopCapture();
  EXPECT_FALSE(runtime_->Snapshot().Capturing);

  changes = 0;
  runtime_->ClickStateButton(TStateButton::RepeaterForceXmit);
  Settle();
  const TStationSnapshot keyed = runtime_->Snapshot();
  EXPECT_TRUE(keyed.Keyed);
  EXPECT_EQ(keyed.KeyedSince, clock_.Now());
  EXPECT_EQ(keyed.Control, csForcedOn);
  EXPECT_GE(changes, 1);

  runtime_->ChangeMode(rmSimplexRepeater);
  Settle();
  EXPECT_EQ(runtime_->Snapshot().Mode, rmSimplexRepeater);
  EXPECT_EQ(runtime_->Snapshot().Caption, "Simplex Repeater");
}

TEST_F(StationRuntimeTest, LevelsAreReadFromBothTracesAgainstTheirThresholds) {
  AddRecordingLines();
  Start();
  const TLevelReadings levels = runtime_->Levels();
  EXPECT_TRUE(levels[TTraceSource::kUpper].Vox);
  EXPECT_FALSE(levels[TTraceSource::kLower].Vox);
  EXPECT_EQ(levels[TTraceSource::kUpper].Threshold,
            runtime_->Trace(TTraceSource::kUpper).Levels().ThresholdRaw());
}

TEST_F(StationRuntimeTest, ViewOperationsWriteTheirKeysAndTellTheirFollowers) {
  AddRecordingLines();
  Start();
  Settle();
  QStringList changed;
  const QObject listener;  // ends the connections before the station's close writes
  QObject::connect(&Config(), &TConfig::SettingChanged, &listener,
                   [&](const QString&, const QString& key) { changed << key; });
  runtime_->ChooseComDevice("/dev/ttyUSB0");
  EXPECT_EQ(Stored("Audio", "ComDevice"), "/dev/ttyUSB0");
  runtime_->ChooseComPort(3);
  EXPECT_EQ(Stored("Audio", "ComPort"), "3");
  EXPECT_EQ(Stored("Audio", "ComDevice"), "")
      << "a port number chosen ends the device's precedence";
  runtime_->ChooseComPin(1);
  runtime_->SetTxTimeout(120);
  runtime_->SetTxLockout(30);
  EXPECT_EQ(Stored("Audio", "ComPin"), "1");
  EXPECT_EQ(Stored("Audio", "TxTimeout"), "120");
  EXPECT_EQ(Stored("Audio", "TxLockout"), "30");
  runtime_->ChangeTrace(TTraceSource::kUpper, TTraceChange::TraceDisabled, 1);
  EXPECT_TRUE(runtime_->Trace(TTraceSource::kUpper).TraceDisabled());
  EXPECT_TRUE(changed.contains("ComDevice") && changed.contains("TxLockout"))
      << changed.join(',').toStdString();

  int snapshots = 0;
  QObject::connect(runtime_.get(), &TStationRuntime::SnapshotChanged, &listener,
                   [&] { ++snapshots; });
  TBeacon beacon = runtime_->Lists().NewBeacon();
  beacon.Name = "Club";
  beacon.Enabled = true;
  beacon.Min = "*";
  beacon.Hour = beacon.Day = beacon.Month = beacon.WeekDay = "*";
  beacon.CWString = "DE CLUB";
  ASSERT_TRUE(runtime_->AddBeacon(beacon));
  ASSERT_TRUE(runtime_->SetBeaconEnabled(0, true));
  EXPECT_EQ(Stored("BeaconGeneral", "Count"), "1");
  EXPECT_EQ(runtime_->Snapshot().NextBeacon.Name, "Club");
  EXPECT_GE(snapshots, 1) << "the next beacon is in the snapshot";
}

}  // namespace
}  // namespace tarvok
